// The compile step as the window runs it (the runner reading 256 bytes at a time, every chunk and a
// CR LF into tools/compile.log) against a bare loop doing the same reads and the same writes through
// a 64 KiB buffer, with the same compiler stand-in printing the same number of bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

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

// An application folder whose compiler prints the benchmark's number of bytes.
class CompilerFolder {
 public:
  explicit CompilerFolder(const benchmark::State& state) {
    const auto compiler = folder_.Write(
        "tools/bglc_9.exe",
        "#!/bin/sh\nexec " + test_helpers::ChildCommand("write " + std::to_string(state.range(0))) + "\n");
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

void BM_CompileStep(benchmark::State& state) {
  const CompilerFolder app(state);
  SilentMessages messages;
  runner::DOSOutputs objDOS(messages);
  build::CompileLog log;
  objDOS.ConnectReceiveOutputs([&log](std::string& chunk) { log.Append(chunk); });
  CaptionOnlyHost host;
  // As the window keeps one runner: its accumulated output's memory is in use from the second compile on.
  build::CompileModel(host, app.App(), "dock.asm", app.Output(), objDOS, log);
  for (auto _ : state) build::CompileModel(host, app.App(), "dock.asm", app.Output(), objDOS, log);
  CheckLog(state, app);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}

// The same child, the same 256-byte reads, the same log written through a 64 KiB buffer, nothing else.
void BM_BareReadAndBufferedLog(benchmark::State& state) {
  const CompilerFolder app(state);
  const auto commandLine = app.CommandLine();
  constexpr std::size_t kBufferSize = 64 * 1024;
  std::string buffer;
  buffer.reserve(kBufferSize);
  for (auto _ : state) {
    const int log = ::open(app.Log().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    platform::Pipe pipe;
    if (log < 0 || platform::CreatePipe(pipe) != 0 || !platform::StartChild(commandLine, pipe.writeEnd)) {
      state.SkipWithError("cannot start the child");
      break;
    }
    pipe.writeEnd.Close();
    const auto append = [&](std::string_view bytes) {
      if (buffer.size() + bytes.size() > kBufferSize) {
        benchmark::DoNotOptimize(::write(log, buffer.data(), buffer.size()));
        buffer.clear();
      }
      buffer += bytes;
    };
    std::array<char, 256> chunk;
    for (ssize_t count; (count = ::read(pipe.readEnd.Get(), chunk.data(), chunk.size())) > 0;) {
      append(std::string_view(chunk.data(), static_cast<std::size_t>(count)));
      append("\r\n");
    }
    append("\r\n");
    benchmark::DoNotOptimize(::write(log, buffer.data(), buffer.size()));
    buffer.clear();
    ::close(log);
    platform::ReapEndedChildren();
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

}  // namespace

BENCHMARK_MAIN();
