#include "airport/gzip_source.h"

#include <stdexcept>
#include <zlib.h>

namespace airport {

namespace {

constexpr std::size_t kCompressedPiece = std::size_t{1} << 18;
constexpr int kGzipOnly = 16 + MAX_WBITS;

}  // namespace

bool StartsGzip(std::string_view bytes) {
  return bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b';
}

struct GzipSource::Stream {
  z_stream z{};
  std::string input = std::string(kCompressedPiece, '\0');
  bool inputEnded = false;
  bool finished = false;
};

GzipSource::GzipSource(ByteSource& compressed, std::string name)
    : compressed_(compressed), name_(std::move(name)), stream_(std::make_unique<Stream>()) {
  if (inflateInit2(&stream_->z, kGzipOnly) != Z_OK) throw std::runtime_error(name_ + ": cannot start decompressing");
}

GzipSource::~GzipSource() {
  inflateEnd(&stream_->z);
}

std::size_t GzipSource::Read(std::span<char> buffer) {
  Stream& s = *stream_;
  s.z.next_out = reinterpret_cast<Bytef*>(buffer.data());
  s.z.avail_out = static_cast<uInt>(buffer.size());
  while (s.z.avail_out > 0 && !s.finished) {
    if (s.z.avail_in == 0 && !s.inputEnded) {
      const std::size_t read = compressed_.Read(s.input);
      s.inputEnded = read < s.input.size();
      s.z.next_in = reinterpret_cast<Bytef*>(s.input.data());
      s.z.avail_in = static_cast<uInt>(read);
    }
    const int status = inflate(&s.z, Z_NO_FLUSH);
    if (status == Z_STREAM_END) {
      if (s.z.avail_in == 0 && s.inputEnded) {
        s.finished = true;
      } else if (inflateReset(&s.z) != Z_OK) {
        throw std::runtime_error(name_ + ": the compressed data cannot be read");
      }
    } else if (status == Z_BUF_ERROR && s.z.avail_in == 0 && s.inputEnded) {
      throw std::runtime_error(name_ + ": the compressed data ends early");
    } else if (status != Z_OK && status != Z_BUF_ERROR) {
      throw std::runtime_error(name_ + ": the compressed data is damaged" +
                               (s.z.msg ? std::string(" (") + s.z.msg + ")" : std::string()));
    }
  }
  return buffer.size() - s.z.avail_out;
}

}  // namespace airport
