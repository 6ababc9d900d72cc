#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bglc/diagnostic.h"
#include "bglc/source_files.h"

namespace bglc {

// Guards against sources that never end: include chains deeper than this, more lines than this in
// all files together (a file included many times counts each time), more model data than this.
inline constexpr std::size_t kMaxIncludeDepth = 16;
inline constexpr std::size_t kMaxSourceLines = 1'000'000;
inline constexpr std::size_t kMaxDataBytes = 16u * 1024u * 1024u;
// After this many errors the rest would mostly be follow-on noise.
inline constexpr std::size_t kMaxErrors = 100;

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
[[nodiscard]] Assembly Assemble(const std::string& mainPath, const SourceFiles& files);

}  // namespace bglc
