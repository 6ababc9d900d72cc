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
  imports=$("$objdump" -p "$program" | awk '
    /^\tDLL Name: / { dll = tolower($3); print "dll " dll; next }
    dll != "" && /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ { print "function " dll " " $3 }
    /^$/ { dll = "" }')
  [ -n "$imports" ] || { echo "$program: no import table read" >&2; status=1; continue; }
  found=$(printf '%s\n' "$imports" | awk -v dlls="$newer_dlls" -v functions="$newer_functions" '
    $1 == "dll" && $2 ~ dlls { print "  " $2 }
    $1 == "function" && $3 ~ functions { print "  " $2 ": " $3 }')
  if [ -n "$found" ]; then
    echo "$program imports what Windows 7 SP1 lacks:" >&2
    printf '%s\n' "$found" >&2
    status=1
  fi
done
exit $status
