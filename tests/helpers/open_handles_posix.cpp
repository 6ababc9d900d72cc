#include <filesystem>
#include <iterator>

#include "helpers/open_handles.h"

namespace test_helpers {

std::size_t OpenHandleCount() {
  const std::filesystem::directory_iterator listing("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(begin(listing), end(listing))) - 1;  // the listing's own
}

}  // namespace test_helpers
