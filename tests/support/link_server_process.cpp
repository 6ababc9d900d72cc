#include "support/link_server_process.h"

#include <array>
#include <chrono>

namespace testing_support {

bool LinkServerProcess::ReadUntil(const std::string& marker, int timeoutMilliseconds) {
  const std::size_t from = printed_.size();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  std::array<char, 512> chunk;
  while (marker.empty() || printed_.find(marker, from) == std::string::npos) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (!pipe_.readEnd.IsOpen() || left.count() <= 0 || !platform::WaitReadable(pipe_.readEnd, left)) return false;
    const platform::ReadResult read = platform::ReadSome(pipe_.readEnd, chunk);
    if (!read.ok) return marker.empty();
    printed_.append(chunk.data(), read.count);
  }
  return true;
}

}  // namespace testing_support
