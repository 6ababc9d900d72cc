#pragma once

#include <memory>
#include <string>

#include "airport/byte_source.h"

namespace airport {

// The first two bytes of every gzip stream.
[[nodiscard]] bool StartsGzip(std::string_view bytes);

// The bytes of a gzip-compressed source, decompressed as they are read. Members written one after
// another (as concatenated .gz files are) read as one stream.
class GzipSource final : public ByteSource {
 public:
  // name is the file's name for messages.
  GzipSource(ByteSource& compressed, std::string name);
  ~GzipSource() override;
  GzipSource(const GzipSource&) = delete;
  GzipSource& operator=(const GzipSource&) = delete;

  [[nodiscard]] std::size_t Read(std::span<char> buffer) override;

 private:
  struct Stream;
  ByteSource& compressed_;
  std::string name_;
  std::unique_ptr<Stream> stream_;
};

}  // namespace airport
