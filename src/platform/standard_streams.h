#pragma once

namespace platform {

// Makes standard output and standard error pass bytes through as written. On Windows the C runtime
// otherwise writes CR LF for every LF; a program whose output other programs log (the stand-in
// compiler) then prints the same bytes on every system. Nothing to do on POSIX.
void WriteStandardStreamsAsBytes();

// Makes standard input pass bytes through as the writer wrote them (on Windows the C runtime otherwise
// drops the CR of CR LF and ends the input at a Ctrl-Z). Nothing to do on POSIX.
void ReadStandardInputAsBytes();

}  // namespace platform
