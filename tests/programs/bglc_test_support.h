#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bglc/assembler.h"
#include "bglc/source_files.h"

namespace programs_test {

// Bytes from hex pairs separated by blanks: "01 ff".
inline std::vector<std::uint8_t> Bytes(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// One source held in memory as main.asm, assembled.
inline bglc::Assembly AssembleText(const std::string& text) {
  bglc::MemorySourceFiles files;
  files.Add("main.asm", text);
  return bglc::Assemble("main.asm", files);
}

// The first error as "FILE(LINE): error: MESSAGE", or "" when there is none.
inline std::string FirstError(const bglc::Assembly& assembly) {
  return assembly.errors.empty() ? std::string() : bglc::FormatDiagnostic(assembly.errors.front());
}

}  // namespace programs_test
