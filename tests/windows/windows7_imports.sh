#!/bin/sh
# windows7_imports.sh OBJDUMP PROGRAM.exe...: fails when a program imports a DLL or a function that
# Windows 7 SP1 lacks, since such a program does not even load there ("entry point not found").
# The list holds what came later among the DLLs these programs import and those they might reach for.
set -eu
objdump=$1
shift
newer_dlls='^(shcore|ucrtbase|vcruntime140|msvcp140|d3d12|dcomp|windows\.storage|api-ms-win-.*|ext-ms-win-.*)\.dll$'
newer_functions='^(GetDpiForWindow|GetDpiForSystem|GetDpiForMonitor|AdjustWindowRectExForDpi|GetSystemMetricsForDpi|'\
'SystemParametersInfoForDpi|SetThreadDpiAwarenessContext|GetThreadDpiAwarenessContext|'\
'GetWindowDpiAwarenessContext|SetProcessDpiAwarenessContext|AreDpiAwarenessContextsEqual|'\
'IsValidDpiAwarenessContext|GetAwarenessFromDpiAwarenessContext|GetDpiFromDpiAwarenessContext|'\
'EnableNonClientDpiScaling|SetDialogDpiChangeBehavior|SetDialogControlDpiChangeBehavior|'\
'LogicalToPhysicalPointForPerMonitorDPI|PhysicalToLogicalPointForPerMonitorDPI|GetPointerInfo|GetPointerType|'\
'EnableMouseInPointer|GetSystemTimePreciseAsFileTime|CreateFile2|CopyFile2|GetCurrentThreadStackLimits|'\
'SetThreadDescription|GetThreadDescription|WaitOnAddress|WakeByAddressSingle|WakeByAddressAll|'\
'GetOverlappedResultEx|CreateFileMappingFromApp|MapViewOfFileFromApp|VirtualAlloc2|PrefetchVirtualMemory|'\
'SetProcessMitigationPolicy|GetProcessMitigationPolicy|SetDefaultDllDirectories|AddDllDirectory|'\
'RemoveDllDirectory|GetTempPath2A|GetTempPath2W|CreatePseudoConsole|ClosePseudoConsole|ResizePseudoConsole|'\
'GetCurrentPackageFullName|GetPackageFullName|DiscardVirtualMemory|OfferVirtualMemory|ReclaimVirtualMemory|'\
'GetFirmwareType|GetProcessInformation|SetProcessInformation|GetThreadInformation|SetThreadInformation|'\
'QueryUnbiasedInterruptTimePrecise|GetSystemCpuSetInformation|SetThreadSelectedCpuSets|'\
'CompareObjectHandles|GetFileInformationByName)$'
status=0
for program in "$@"; do
  "$objdump" -p "$program" | awk -v program="$program" -v dlls="$newer_dlls" -v functions="$newer_functions" '
    /^\tDLL Name: / { dll = tolower($3); read = 1; if (dll ~ dlls) found = found "\n  " dll; next }
    dll != "" && /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ && $3 ~ functions { found = found "\n  " dll ": " $3 }
    /^$/ { dll = "" }
    END {
      if (!read) found = ": no import table read"
      else if (found != "") found = " imports what Windows 7 SP1 lacks:" found
      if (found != "") { print program found > "/dev/stderr"; exit 1 }
    }' || status=1
done
exit $status
