#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "build/build_sequence.h"
#include "build/compile_log.h"
#include "build/parameter_fields.h"
#include "catalogue/template_catalogue.h"
#include "helpers/process_probe.h"
#include "runner/dos_outputs.h"
#include "support/recording_messages.h"
#include "support/temp_folder.h"

namespace build_test {

namespace fs = std::filesystem;

inline const build::NumberLocale kPoint{".", ","};
inline const build::NumberLocale kComma{",", "."};

// The four parameter fields in their order, all enabled or all disabled.
inline build::ParameterFields Fields(const char* heading, const char* stop, const char* visibility, const char* lateral,
                                     bool enabled = true) {
  return {{{{heading, enabled}, {stop, enabled}, {visibility, enabled}, {lateral, enabled}}}};
}

inline constexpr const char* kMainSource = "; dock main source\r\ninclude dock_0.asm\r\n";
inline constexpr const char* kParameterSource =  // no final line end
    "heading dw HEADING_VECTOR_X, HEADING_VECTOR_Y\r\nstop dw STOP_DISTANCE ; NVLH\r\n"
    "bars real4 BAR_DISTANCE1, BAR_DISTANCE2, BAR_POSITION1, BAR_POSITION2";
// kParameterSource rewritten with the fields' initial texts 0, 20, 500, 10.
inline constexpr const char* kRewrittenInitial =
    "heading dw 0, -32768\r\nstop dw 20 ; 16384\r\nbars real4 -0.744, -0.794, -0.236, -0.264\r\n";

// Stands in for the scenery compiler: counts its arguments, reads the source, writes the model.
inline constexpr const char* kFakeCompiler =
    "#!/bin/sh\n"
    "echo \"bglc: $# arguments\"\n"
    "test -r \"$1\" || { echo \"cannot read $1\" >&2; exit 2; }\n"
    "printf 'model of %s\\n' \"$1\" > \"$2\"\n"
    "echo 'bglc: done' >&2\n";

// The window, scripted: its fields, its list selection and the answers of its save dialog.
class ScriptedHost : public build::BuildHost {
 public:
  [[nodiscard]] int SelectedListIndex() const override { return listIndex; }
  [[nodiscard]] build::ParameterField Field(catalogue::Parameter parameter) const override { return fields[parameter]; }
  void ShowValidationError(const std::string& message) override { validationErrors.push_back(message); }
  [[nodiscard]] std::string SaveDialog(const std::string& title, const std::string& filter,
                                       const std::string& idir) override {
    dialogCalls.push_back(title + " | " + filter + " | " + idir);
    return saveAnswer;
  }
  void SetCreateCaption(const std::string& caption) override { captions.push_back(caption); }

  int listIndex = 0;
  build::ParameterFields fields = Fields("0", "20", "500", "10");
  std::string saveAnswer;
  std::vector<std::string> dialogCalls;  // "title | filter | idir"
  std::vector<std::string> validationErrors;
  std::vector<std::string> captions;
};

// Every regular file below folder with its content, to see what a build changed.
inline std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file()) files[fs::relative(it->path(), folder).string()] = testing_support::ReadAll(it->path());
  }
  return files;
}

// An application folder (with a blank in its path) holding the template "Dock" (all four parameters) and
// the fake compiler; the window's owner objects; a host whose save dialog confirms dock.mdl.
class BuildFixture : public ::testing::Test {
 protected:
  BuildFixture() : app_(temp_.Path() / "app folder") {
    temp_.Write("app folder/vgds_source/dock.asm", kMainSource);
    temp_.Write("app folder/vgds_source/dock_0.asm", kParameterSource);
    ResetTools();
    catalogue::TemplateEntry dock;
    dock.UsesHeading = dock.UsesStopDistance = dock.UsesVisibilityDistance = dock.UsesLateralDistance = true;
    dock.Name = "Dock";
    dock.SourceFile = "dock.asm";
    catalogue_.Add(dock);
    objDOS_.ConnectReceiveOutputs([this](std::string& CommandOutputs) { log_.Append(CommandOutputs); });
    ResetHost();
  }

  // A fresh window state whose save dialog confirms OutputPath().
  void ResetHost() { (host_ = ScriptedHost()).saveAnswer = OutputPath(); }

  // A tools folder holding nothing but the compiler.
  void ResetTools(const std::string& compiler = kFakeCompiler) const {
    fs::remove_all(Tools());
    const auto path = temp_.Write("app folder/tools/bglc_9.exe", compiler);
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  }

  build::BuildOutcome Run() {
    return build::RunBuildSequence(host_, {catalogue_, app_.string(), defaultOutputFolder_, kPoint, objDOS_, log_});
  }

  // Runs the sequence expecting it to throw; the exception's text, or "" when it did not throw.
  std::string RunExpectingFailure() {
    try {
      ADD_FAILURE() << "the build did not stop but ended as " << static_cast<int>(Run());
    } catch (const std::exception& failure) {
      return failure.what();
    }
    return {};
  }

  [[nodiscard]] fs::path Tools() const { return app_ / "tools"; }
  [[nodiscard]] fs::path Tools(const std::string& name) const { return Tools() / name; }
  [[nodiscard]] fs::path Templates() const { return app_ / "vgds_source"; }
  [[nodiscard]] fs::path Templates(const std::string& name) const { return Templates() / name; }
  [[nodiscard]] std::string OutputPath() const { return (temp_.Path() / "dock.mdl").string(); }
  // The tools file's content; "" when it is no regular file.
  [[nodiscard]] std::string ToolsFile(const std::string& name) const {
    return fs::is_regular_file(Tools(name)) ? testing_support::ReadAll(Tools(name)) : "";
  }

  // After a failure: what must hold whatever went wrong, and a normal build works again.
  void ExpectTemplatesIntactAndNextBuildWorks() {
    EXPECT_EQ(Snapshot(Templates()),
              (std::map<std::string, std::string>{{"dock.asm", kMainSource}, {"dock_0.asm", kParameterSource}}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Tools("temp.asm"))));
    ResetHost();
    ASSERT_EQ(Run(), build::BuildOutcome::Compiled);
    EXPECT_EQ(ToolsFile("dock.asm"), kMainSource);
    EXPECT_EQ(ToolsFile("dock_0.asm"), kRewrittenInitial);
    EXPECT_EQ(testing_support::ReadAll(OutputPath()), "model of " + Tools("dock.asm").string() + "\n")
        << ToolsFile("compile.log");
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  testing_support::TempFolder temp_;
  fs::path app_;
  catalogue::TemplateCatalogue catalogue_;
  std::string defaultOutputFolder_;
  testing_support::RecordingMessages messages_;
  runner::DOSOutputs objDOS_{messages_};
  build::CompileLog log_;
  ScriptedHost host_;
};

}  // namespace build_test
