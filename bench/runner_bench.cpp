// Capturing a child's output through DOSOutputs against reading the same kind of pipe bare, with
// the same child writing the same number of bytes; each run starts its own child.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <string>

#include "helpers/process_probe.h"
#include "platform/pipe.h"
#include "platform/process.h"
#include "runner/dos_outputs.h"

namespace {

class SilentMessages : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

std::string WriterCommand(const benchmark::State& state) {
  return test_helpers::ChildCommand("write " + std::to_string(state.range(0)));
}

// Reads the output through runner and checks it arrived whole, in the handler and in the result.
void CaptureOnce(benchmark::State& state, runner::DOSOutputs& runner, const std::string& command, std::size_t& handed) {
  handed = 0;
  const std::string& output = runner.ExecuteCommand(command);
  const auto size = static_cast<std::size_t>(state.range(0));
  if (output.size() != size || handed != size) state.SkipWithError("the output did not arrive whole");
}

// As the window uses it: one runner for many runs, so the accumulated output's memory is reused.
void BM_ExecuteCommand(benchmark::State& state) {
  const std::string command = WriterCommand(state);
  SilentMessages messages;
  runner::DOSOutputs dos(messages);
  std::size_t handed = 0;
  dos.ConnectReceiveOutputs([&handed](std::string& chunk) { handed += chunk.size(); });
  CaptureOnce(state, dos, command, handed);
  for (auto _ : state) CaptureOnce(state, dos, command, handed);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}

// A new runner for every run: each pays for growing its accumulated output from nothing.
void BM_ExecuteCommandFreshRunner(benchmark::State& state) {
  const std::string command = WriterCommand(state);
  SilentMessages messages;
  for (auto _ : state) {
    runner::DOSOutputs dos(messages);
    std::size_t handed = 0;
    dos.ConnectReceiveOutputs([&handed](std::string& chunk) { handed += chunk.size(); });
    CaptureOnce(state, dos, command, handed);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}

void BM_BareRead(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string command = WriterCommand(state);
  for (auto _ : state) {
    platform::Pipe pipe;
    if (platform::CreatePipe(pipe) != 0 || !platform::StartChild(command, pipe.writeEnd)) {
      state.SkipWithError("cannot start the child");
      break;
    }
    pipe.writeEnd.Close();
    std::array<char, 256> buffer;
    std::size_t total = 0;
    for (ssize_t count; (count = ::read(static_cast<int>(pipe.readEnd.Get()), buffer.data(), buffer.size())) > 0;) {
      total += static_cast<std::size_t>(count);
    }
    benchmark::DoNotOptimize(total);
    if (total != size) state.SkipWithError("the output did not arrive whole");
  }
  platform::ReapEndedChildren();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

constexpr std::int64_t kMiB = 1024 * 1024;

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(1 * kMiB)->Arg(16 * kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_BareRead)->Apply(Sizes);
BENCHMARK(BM_ExecuteCommand)->Apply(Sizes);
BENCHMARK(BM_ExecuteCommandFreshRunner)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
