// Bounded memory for huge inputs, measured in a child process (POSIX resource usage).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "build/build_fixture.h"
#include "build/source_generation.h"
#include "catalogue/template_catalogue.h"
#include "support/peak_memory.h"

namespace build {
namespace {

using namespace build_test;

// 100 MB of empty lines, as a descriptor or as a parameter source: the catalogue skips the descriptor
// unread and the build streams the source, each in a child whose peak memory is measured.
TEST(LargeFiles, ADescriptorOrParameterSourceOfAHundredMillionEmptyLinesStaysInBoundedMemory) {
  testing_support::TempFolder app;
#ifdef __SANITIZE_ADDRESS__
  constexpr std::size_t kLines = 10'000'000;  // instrumented, far slower; still ten times the descriptor limit
#else
  constexpr std::size_t kLines = 100'000'000;
#endif
  constexpr std::size_t kMostMemory = 200 * 1024 * 1024;
  const auto writeEmptyLines = [&](const std::string& name, const std::string& head) {
    std::ofstream out(app.Path() / name, std::ios::binary);
    out << head;
    const std::string block(1 << 20, '\n');
    for (std::size_t left = kLines; left > 0; left -= std::min(left, block.size())) {
      out.write(block.data(), static_cast<std::streamsize>(std::min(left, block.size())));
    }
  };
  app.Write("vgds_source/small.vgp", "1\r\n1\r\n1\r\n1\r\nSmall\r\ns.png\r\nbig.asm\r\n\r\n");
  writeEmptyLines("vgds_source/big.vgp", "1\r\n1\r\n1\r\n1\r\nBig\r\nb.png\r\nbig.asm\r\n\r\n");
  app.Write("vgds_source/big.asm", kMainSource);
  writeEmptyLines("vgds_source/big_0.asm", "STOP_DISTANCE");
  app.Write("tools/.keep", "");

  const auto catalogueMemory = testing_support::PeakMemoryInChild([&] {
    const auto load = catalogue::LoadTemplateCatalogue(app.Str());
    if (load.catalogue.Count() != 1 || load.skipped.size() != 1 || load.skipped[0].fileName != "big.vgp")
      throw std::runtime_error("not as expected");
  });
  EXPECT_LT(catalogueMemory, kMostMemory);

  const auto buildMemory = testing_support::PeakMemoryInChild(
      [&] { GenerateSource(app.Str(), "big.asm", Fields("0", "20", "500", "10"), kPoint); });
  EXPECT_LT(buildMemory, kMostMemory);
  const auto rewritten = app.Path() / "tools" / "big_0.asm";
  EXPECT_EQ(std::filesystem::file_size(rewritten), 2 * kLines + 2);  // "20" and CR LF after every line
  std::ifstream in(rewritten, std::ios::binary);
  std::string start(8, '\0');
  in.read(start.data(), 8);
  EXPECT_EQ(start, "20\r\n\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(app.Path() / "tools" / "temp.asm"));
}

}  // namespace
}  // namespace build
