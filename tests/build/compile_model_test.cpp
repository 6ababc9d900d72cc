#include "build/compile_model.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace build {
namespace {

TEST(CompilerCommandLine, ThreeQuotedArgumentsWithSingleSpacesAndNoDoubleQuoteInside) {
  EXPECT_EQ(CompilerCommandLine("/a b", "DOCK.ASM", "out put.mdl"),
            "\"/a b/tools/bglc_9.exe\" \"/a b/tools/DOCK.ASM\" \"out put.mdl\"");
  const struct {
    const char* app;
    const char* output;
    const char* names;
  } refused[] = {
      {"/a\"b", "/m/x.mdl", "the application folder /a\"b contains a double quote"},
      {"/ab", "/m/\"x\".mdl", "the output file /m/\"x\".mdl contains a double quote"},
  };
  for (const auto& row : refused) {
    SCOPED_TRACE(row.names);
    try {
      (void)CompilerCommandLine(row.app, "dock.asm", row.output);
      ADD_FAILURE() << "a quote went onto the command line";
    } catch (const std::invalid_argument& failure) {
      EXPECT_NE(std::string(failure.what()).find(row.names), std::string::npos) << failure.what();
    }
  }
}

}  // namespace
}  // namespace build
