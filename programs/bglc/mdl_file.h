#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace bglc {

// The model file is a RIFF file, all sizes little-endian:
//   0  "RIFF"   4  u32 size of everything after this field   8  "MDL "
//   12 "DATA"  16  u32 size of the model data                20  the model data, then one zero
//                                                               pad byte when its size is odd
inline constexpr std::size_t kDataChunkSizeOffset = 16;
inline constexpr std::size_t kModelDataOffset = 20;

// The whole file for the given model data. Throws std::length_error when the data cannot be
// described by the 32-bit sizes.
[[nodiscard]] std::vector<std::uint8_t> MdlFileBytes(std::span<const std::uint8_t> data);

// Writes bytes to path so that path holds either its old content or all of the new: the bytes go to
// a scratch file beside it, which then replaces path. Throws std::system_error naming path (and
// leaves no scratch file) when that fails.
void WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace bglc
