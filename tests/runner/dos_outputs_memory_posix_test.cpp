// The runner keeps a child's output once, measured in a child process (POSIX resource usage).
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "helpers/process_probe.h"
#include "runner/dos_outputs.h"
#include "support/peak_memory.h"

namespace {

class NoMessages : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

TEST(RunnerMemory, AFreshRunnerHoldsTheOutputOnceAndOutputsIsTheResultItself) {
  // Just over a power of two, where growing a single buffer would hold twice the output for a moment.
  constexpr std::size_t kOutput = (40u << 20) + 4096;
  [[maybe_unused]] constexpr std::size_t kSlack = 10u << 20;
  const std::size_t before = testing_support::PeakMemoryInChild([] {});
  const std::size_t peak = testing_support::PeakMemoryInChild([] {
    NoMessages messages;
    runner::DOSOutputs runner(messages);
    const std::string& result = runner.ExecuteCommand(test_helpers::ChildCommand("write " + std::to_string(kOutput)));
    if (result.size() != kOutput || result.data() != runner.Outputs().data()) throw std::runtime_error("not one output");
  });
  ASSERT_GT(peak, before);
#ifndef __SANITIZE_ADDRESS__  // the instrumented allocator holds freed memory back for a while
  EXPECT_LE(peak - before, kOutput + kSlack);
#endif
}

}  // namespace
