// The stand-in compiler's memory whatever its source, measured in a child process (POSIX resource usage).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "bglc/compiler.h"
#include "support/peak_memory.h"
#include "support/temp_folder.h"

namespace bglc {
namespace {

constexpr std::size_t kMostMemory = 200 * 1024 * 1024;
#ifdef __SANITIZE_ADDRESS__
constexpr std::size_t kSourceBytes = 10'000'000;  // instrumented, far slower
#else
constexpr std::size_t kSourceBytes = 100'000'000;
#endif

TEST(BglcMemory, ASourceOfAHundredMegabytesIsRefusedWhileStreamedInBoundedMemory) {
  const testing_support::TempFolder folder;
  const auto source = folder.Path() / "big.asm";
  // Each source is what head writes, then line repeated to about kSourceBytes.
  const struct {
    std::function<void(std::ostream&)> head;
    std::string line;
    std::string reason;
  } cases[] = {
      {[](std::ostream&) {}, "\r\n", "more than 1000000 source lines"},
      {[](std::ostream& out) { out << "db 1 ; "; }, "x", "a line longer than 1048576 bytes"},
      {[](std::ostream& out) {  // a label on each of a million lines
         for (int i = 0; i < 999'999; ++i) out << "label_number_" << i << ": db 1\n";
         out << "db undefined\n";
       },
       "", "undefined name \"undefined\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    {
      std::ofstream out(source, std::ios::binary);
      c.head(out);
      std::string block;
      while (!c.line.empty() && block.size() < (1u << 20)) block += c.line;
      for (std::size_t written = 0; !block.empty() && written < kSourceBytes; written += block.size()) out << block;
    }
    const auto peak = testing_support::PeakMemoryInChild([&] {
#ifndef __SANITIZE_ADDRESS__
      // Past the limit the child fails at once instead of taking the machine's memory.
      const rlimit limit{2 * kMostMemory, 2 * kMostMemory};
      ::setrlimit(RLIMIT_AS, &limit);
#endif
      std::ostringstream out;
      std::ostringstream err;
      const int status = RunCompiler({source.string(), (folder.Path() / "big.mdl").string()}, out, err);
      if (status != 1 || err.str().find(c.reason) == std::string::npos) throw std::runtime_error(err.str());
    });
    EXPECT_GT(peak, 0u);
#ifndef __SANITIZE_ADDRESS__  // the instrumented allocator holds freed memory back for a while
    EXPECT_LT(peak, kMostMemory);
#endif
  }
}

}  // namespace
}  // namespace bglc
