; FileHash for the installer (PREFIX "") or the uninstaller (PREFIX "un."): sets $R9 to the MD5 of
; the file named in $R0, as 32 lower-case hexadecimal digits, or to "" when it cannot be read. Uses
; the system's CryptoAPI, present on every Windows the program supports.
!macro FileHashFunction PREFIX
Function ${PREFIX}FileHash
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  Push $R8
  StrCpy $R9 ""
  ; PROV_RSA_FULL, CRYPT_VERIFYCONTEXT
  System::Call 'advapi32::CryptAcquireContextW(*p .R1, p 0, p 0, i 1, i 0xF0000000) i .R2'
  ${If} $R2 <> 0
    ; CALG_MD5
    System::Call 'advapi32::CryptCreateHash(p R1, i 0x8003, p 0, i 0, *p .R3) i .R2'
    ${If} $R2 <> 0
      ClearErrors
      FileOpen $R4 $R0 r
      ${IfNot} ${Errors}
        System::Alloc 65536
        Pop $R5
        StrCpy $R2 1
        ${Do}
          System::Call 'kernel32::ReadFile(p R4, p R5, i 65536, *i 0 R6, p 0) i .R2'
          ${If} $R2 = 0
          ${OrIf} $R6 = 0
            ${Break}
          ${EndIf}
          System::Call 'advapi32::CryptHashData(p R3, p R5, i R6, i 0) i .R2'
        ${LoopWhile} $R2 <> 0
        FileClose $R4
        ${If} $R2 <> 0
          ; HP_HASHVAL
          System::Call 'advapi32::CryptGetHashParam(p R3, i 2, p R5, *i 16, i 0) i .R2'
          ${If} $R2 <> 0
            StrCpy $R6 0
            ${Do}
              IntPtrOp $R8 $R5 + $R6
              System::Call '*$R8(&i1 .R7)'
              IntOp $R7 $R7 & 0xFF
              IntFmt $R7 "%02x" $R7
              StrCpy $R9 "$R9$R7"
              IntOp $R6 $R6 + 1
            ${LoopUntil} $R6 = 16
          ${EndIf}
        ${EndIf}
        System::Free $R5
      ${EndIf}
      System::Call 'advapi32::CryptDestroyHash(p R3)'
    ${EndIf}
    System::Call 'advapi32::CryptReleaseContext(p R1, i 0)'
  ${EndIf}
  Pop $R8
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd
!macroend
