#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bglc/diagnostic.h"
#include "bglc/source_files.h"

namespace bglc {

// Guards against sources that never end; with them, a run's memory is bounded whatever its sources.
// The compiler uses the defaults, far above any real model; tests and fuzzing pass tighter ones to
// reach them quickly.
struct Limits {
  std::size_t includeDepth = 16;        // files open at once along one include chain
  std::size_t sourceLines = 1'000'000;  // lines of all files together, a repeated include each time
  std::size_t dataBytes = 16u << 20;    // model data
  std::size_t errors = 100;             // the rest would mostly be follow-on noise
  std::size_t lineBytes = 1u << 20;     // one line; sources are read a line at a time
};

struct Assembly {
  std::vector<std::uint8_t> data;      // the model data, little-endian; empty when there are errors
  std::vector<Diagnostic> errors;      // in the order found; empty on success
  std::vector<std::string> filesRead;  // every source opened, main source first, each once
  [[nodiscard]] bool ok() const { return errors.empty(); }
};

// Assembles mainPath and every file it includes (an include names a file relative to the folder of
// the file that includes it). The language:
//   - ';' starts a comment; lines end at CR LF, LF or CR.
//   - db / dw / dd: comma-separated whole numbers, 1 / 2 / 4 bytes each, two's complement. Accepted
//     ranges follow the usual assembler convention that a value may be given signed or unsigned:
//     db -128..255, dw -32768..65535, dd -2147483648..4294967295.
//   - real4 / real8: one number, stored as IEEE single / double; beyond the single range is an error.
//   - a label (name: or a name before a data directive) stands for the offset of the next byte in
//     the data; name equ VALUE defines a constant. A value is a number or a name, and a name may be
//     used before the line that defines it.
//   - Names are case-sensitive (NVL and nvl differ), so a template token left unreplaced is always
//     reported as an undefined name; directive words are not (DW = dw).
// Never throws for anything in the sources; every problem becomes a Diagnostic.
// Past a limit it reports one last error and stops.
[[nodiscard]] Assembly Assemble(const std::string& mainPath, const SourceFiles& files, const Limits& limits = {});

}  // namespace bglc
