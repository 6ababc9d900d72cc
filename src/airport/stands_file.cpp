#include "airport/stands_file.h"

#include <stdexcept>
#include <system_error>

#include "airport/apt_dat.h"
#include "airport/gzip_source.h"
#include "airport/xml_stands.h"

namespace airport {

namespace {

// Enough of the start of a file to tell its format.
constexpr std::size_t kHead = std::size_t{1} << 16;
constexpr std::size_t kPiece = std::size_t{1} << 20;

StandsProblem UnknownFormat(const std::string& name) {
  return {name + " is no file of stands read here (" + std::string(kAptDatFormat) + ", plain or gzip-compressed; " +
          std::string(kSdkFormat) + "; " + std::string(kFlightGearFormat) + ")"};
}

std::string ReadAll(ByteSource& source, std::string bytes) {
  while (true) {
    const std::size_t had = bytes.size();
    bytes.resize(had + kPiece);
    const std::size_t read = source.Read(std::span<char>(bytes.data() + had, kPiece));
    bytes.resize(had + read);
    if (read < kPiece) return bytes;
  }
}

StandsResult ReadUncompressed(ByteSource& source, const std::string& name, const std::string& icao) {
  std::string head = ReadUpTo(source, kHead);
  if (LooksLikeAptDat(head)) {
    PrefixedSource whole(std::move(head), &source);
    return ReadAptDat(whole, name, icao);
  }
  if (LooksLikeXml(head)) {
    auto read = ReadXmlStands(ReadAll(source, std::move(head)), name, icao);
    if (read) return std::move(*read);
  }
  return UnknownFormat(name);
}

}  // namespace

StandsResult ReadStands(ByteSource& source, const std::string& name, const std::string& icao) {
  try {
    std::string head = ReadUpTo(source, 2);
    PrefixedSource whole(head, &source);
    if (!StartsGzip(head)) return ReadUncompressed(whole, name, icao);
    GzipSource decompressed(whole, name);
    return ReadUncompressed(decompressed, name, icao);
  } catch (const std::runtime_error& error) {
    return StandsProblem{error.what()};
  }
}

StandsResult ReadStandsFile(const std::string& path, const std::string& icao) {
  try {
    FileSource file(path);
    return ReadStands(file, path, icao);
  } catch (const std::system_error& error) {
    return StandsProblem{error.what()};
  }
}

}  // namespace airport
