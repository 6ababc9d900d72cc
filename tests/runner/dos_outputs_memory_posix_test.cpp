// The runner keeps a child's output once, measured in a child process (POSIX resource usage).
#include <stdexcept>

#include "runner/runner_fixture.h"
#include "support/peak_memory.h"

namespace {

TEST(RunnerMemory, AFreshRunnerHoldsTheOutputOnceAndOutputsIsTheResultItself) {
  // Just over a power of two, where growing a single buffer would hold twice the output for a moment.
  constexpr std::size_t kOutput = (40u << 20) + 4096;
  const std::size_t before = testing_support::PeakMemoryInChild([] {});
  const std::size_t peak = testing_support::PeakMemoryInChild([] {
    testing_support::RecordingMessages messages;
    runner::DOSOutputs runner(messages);
    const std::string& result = runner.ExecuteCommand(test_helpers::ChildCommand("write " + std::to_string(kOutput)));
    if (result.size() != kOutput || result.data() != runner.Outputs().data()) throw std::runtime_error("not one output");
  });
  ASSERT_GT(peak, before);
#ifndef __SANITIZE_ADDRESS__  // the instrumented allocator holds freed memory back for a while
  EXPECT_LE(peak - before, kOutput + (10u << 20));
#endif
}

}  // namespace
