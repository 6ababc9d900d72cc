#include "bglc/mdl_file.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace bglc {
namespace {

void AppendTag(std::vector<std::uint8_t>& file, std::string_view tag) {
  file.insert(file.end(), tag.begin(), tag.end());
}

void AppendU32(std::vector<std::uint8_t>& file, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> MdlFileBytes(std::span<const std::uint8_t> data) {
  const std::size_t pad = data.size() % 2;
  constexpr std::size_t kAfterRiffSize = kModelDataOffset - 8;
  if (data.size() > std::numeric_limits<std::uint32_t>::max() - kAfterRiffSize - pad) {
    throw std::length_error("model data of " + std::to_string(data.size()) + " bytes is too large for a model file");
  }
  std::vector<std::uint8_t> file;
  file.reserve(kModelDataOffset + data.size() + pad);
  AppendTag(file, "RIFF");
  AppendU32(file, static_cast<std::uint32_t>(kAfterRiffSize + data.size() + pad));
  AppendTag(file, "MDL ");
  AppendTag(file, "DATA");
  AppendU32(file, static_cast<std::uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  if (pad != 0) file.push_back(0);
  return file;
}

void WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes) {
  const std::string scratch = path + ".partial";
  auto fail = [&](int error, const std::string& what) {
    std::error_code ignored;
    std::filesystem::remove(scratch, ignored);
    throw std::system_error(error, std::generic_category(), what + " \"" + path + "\"");
  };
  errno = 0;
  {
    std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
    if (!out) fail(errno != 0 ? errno : EIO, "cannot create the model file");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) fail(errno != 0 ? errno : EIO, "cannot write the model file");
  }
  std::error_code renamed;
  std::filesystem::rename(scratch, path, renamed);
  if (renamed) fail(renamed.value(), "cannot replace the model file");
}

}  // namespace bglc
