// The compile step as the window runs it (the runner reading 256 bytes at a time, every chunk and a
// CR LF into tools/compile.log) against a bare loop doing the same reads, keeping the whole output in
// memory as the runner must (appended to one string, whose size nobody knows beforehand) and doing
// the same writes through a 64 KiB buffer, with the same compiler stand-in printing the same number
// of bytes.
//
// compile_bench --fresh compile|reference BYTES runs one of the two once, in this fresh process, and
// prints its seconds and the process's peak resident memory in bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "build/build_host.h"
#include "build/compile_log.h"
#include "build/compile_model.h"
#include "helpers/process_probe.h"
#include "platform/pipe.h"
#include "platform/process.h"
#include "runner/dos_outputs.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class SilentMessages : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

// Only the caption is asked for during a compile.
class CaptionOnlyHost : public build::BuildHost {
 public:
  [[nodiscard]] int SelectedListIndex() const override { return 0; }
  [[nodiscard]] build::ParameterField Field(catalogue::Parameter) const override { return {}; }
  void ShowValidationError(const std::string&) override {}
  [[nodiscard]] std::string SaveDialog(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  void SetCreateCaption(const std::string&) override {}
};

// An application folder whose compiler prints bytes bytes.
class CompilerFolder {
 public:
  explicit CompilerFolder(std::int64_t bytes) {
    const auto compiler = folder_.Write(
        "tools/bglc_9.exe", "#!/bin/sh\nexec " + test_helpers::ChildCommand("write " + std::to_string(bytes)) + "\n");
    fs::permissions(compiler, fs::perms::owner_all);
    folder_.Write("tools/dock.asm", "");
  }
  [[nodiscard]] std::string App() const { return folder_.Str(); }
  [[nodiscard]] std::string Log() const { return (folder_.Path() / "tools" / "compile.log").string(); }
  [[nodiscard]] std::string Output() const { return (folder_.Path() / "dock.mdl").string(); }
  [[nodiscard]] std::string CommandLine() const { return build::CompilerCommandLine(App(), "dock.asm", Output()); }

 private:
  testing_support::TempFolder folder_;
};

// The log holds every byte and a CR LF per chunk, so it is at least the output and two bytes longer.
void CheckLog(benchmark::State& state, const CompilerFolder& app) {
  if (fs::file_size(app.Log()) < static_cast<std::uintmax_t>(state.range(0)) + 2) {
    state.SkipWithError("the log is not whole");
  }
}

// The window's runner and compile log, compiling in app.
class CompileStep {
 public:
  CompileStep() {
    objDOS.ConnectReceiveOutputs([this](std::string& chunk) { log.Append(chunk); });
  }
  void Run(const CompilerFolder& app) { build::CompileModel(host, app.App(), "dock.asm", app.Output(), objDOS, log); }

  SilentMessages messages;
  runner::DOSOutputs objDOS{messages};
  build::CompileLog log;
  CaptionOnlyHost host;
};

void BM_CompileStep(benchmark::State& state) {
  const CompilerFolder app(state.range(0));
  CompileStep step;
  // As the window keeps one runner: its accumulated output's memory is in use from the second compile on.
  step.Run(app);
  for (auto _ : state) step.Run(app);
  CheckLog(state, app);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}

// The same child, the same 256-byte reads, the output kept in output, the same log written through a
// 64 KiB buffer, nothing else. false when the child cannot be started.
bool BareReadAndBufferedLog(const CompilerFolder& app, std::string& output, std::string& buffer) {
  constexpr std::size_t kBufferSize = 64 * 1024;
  const int log = ::open(app.Log().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  platform::Pipe pipe;
  if (log < 0 || platform::CreatePipe(pipe) != 0 || !platform::StartChild(app.CommandLine(), pipe.writeEnd)) {
    return false;
  }
  pipe.writeEnd.Close();
  const auto append = [&](std::string_view bytes) {
    if (buffer.size() + bytes.size() > kBufferSize) {
      benchmark::DoNotOptimize(::write(log, buffer.data(), buffer.size()));
      buffer.clear();
    }
    buffer += bytes;
  };
  output.clear();
  std::array<char, 256> chunk;
  for (ssize_t count; (count = ::read(pipe.readEnd.Get(), chunk.data(), chunk.size())) > 0;) {
    const std::string_view bytes(chunk.data(), static_cast<std::size_t>(count));
    output += bytes;
    append(bytes);
    append("\r\n");
  }
  append("\r\n");
  benchmark::DoNotOptimize(::write(log, buffer.data(), buffer.size()));
  buffer.clear();
  ::close(log);
  platform::ReapEndedChildren();
  return true;
}

void BM_BareReadAndBufferedLog(benchmark::State& state) {
  const CompilerFolder app(state.range(0));
  // Kept from run to run, as the runner keeps its output's memory.
  std::string output;
  std::string buffer;
  buffer.reserve(64 * 1024);
  for (auto _ : state) {
    if (!BareReadAndBufferedLog(app, output, buffer)) {
      state.SkipWithError("cannot start the child");
      break;
    }
  }
  CheckLog(state, app);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}

constexpr std::int64_t kMiB = 1024 * 1024;

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(1 * kMiB)->Arg(16 * kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_BareReadAndBufferedLog)->Apply(Sizes);
BENCHMARK(BM_CompileStep)->Apply(Sizes);

// One run of what names, timed from after the folder is set up; 0 when it failed.
double FreshRun(std::string_view what, std::int64_t bytes) {
  const CompilerFolder app(bytes);
  const auto start = std::chrono::steady_clock::now();
  if (what == "compile") {
    CompileStep step;
    step.Run(app);
    if (step.objDOS.Outputs().size() != static_cast<std::size_t>(bytes)) return 0;
  } else {
    std::string output;
    std::string buffer;
    buffer.reserve(64 * 1024);
    if (!BareReadAndBufferedLog(app, output, buffer) || output.size() != static_cast<std::size_t>(bytes)) return 0;
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (fs::file_size(app.Log()) < static_cast<std::uintmax_t>(bytes) + 2) return 0;
  return seconds.count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "--fresh") {
    const double seconds = FreshRun(argv[2], std::strtoll(argv[3], nullptr, 10));
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%.6f %lld\n", seconds, static_cast<long long>(usage.ru_maxrss) * 1024);  // kilobytes on Linux
    return seconds > 0 ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
