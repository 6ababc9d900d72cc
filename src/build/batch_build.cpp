#include "build/batch_build.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

#include "build/build_failure.h"
#include "build/build_host.h"
#include "build/build_sequence.h"
#include "build/compile_log.h"
#include "build/missing_model.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/path.h"
#include "platform/text_file.h"
#include "runner/dos_outputs.h"

namespace build {

namespace {

// A table means the same on every machine: "." separates the decimals and numbers are never
// grouped, so a heading "1,500" is refused rather than read as 1 by one check and 1500 by another.
const NumberLocale kTableLocale{".", ""};

// The list index of the template the list shows as name; the first one when two share a name.
std::optional<int> ListIndexOf(const catalogue::TemplateCatalogue& catalogue, const std::string& name) {
  const auto names = catalogue.ListNames();
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (names[k] == name) return static_cast<int>(k);
  }
  return std::nullopt;
}

std::string FieldText(const StandRow& row, const catalogue::TemplateEntry& entry, catalogue::Parameter parameter) {
  const std::string& text = row.Value(parameter);
  if (text.empty() && !entry.Uses(parameter)) return std::string(catalogue::InitialText(parameter));
  return text;
}

// What decides a row's model: two rows that agree on it build the same file.
std::string ModelKey(const StandRow& row, const catalogue::TemplateEntry& entry) {
  std::string key = row.templateName;
  for (const auto parameter : catalogue::kParameters) key += '\0' + FieldText(row, entry, parameter);
  return key;
}

std::string StandLabel(const StandRow& row) {
  return row.stand.empty() ? "(no stand label)" : row.stand;
}

struct BuiltModel {
  const StandRow* row;
  std::string key;
};

class RunnerMessageSink final : public runner::RunnerMessages {
 public:
  void ShowMessage(const std::string& text) override { messages_ += (messages_.empty() ? "" : "; ") + text; }
  [[nodiscard]] std::string Take() { return std::exchange(messages_, {}); }

 private:
  std::string messages_;
};

// Where a failed row keeps the whole output of its compile: beside its model, named after it, as
// tools/compile.log belongs to the next build.
std::string RowLogPath(const std::string& modelPath) {
  std::filesystem::path log(modelPath);
  log.replace_extension(".log");
  return log.string() == modelPath ? modelPath + ".log" : log.string();
}

// Plays the window for one row: the row's texts in the fields, the template's flags as their enabled
// state, and the save dialog answered with the row's model path.
class RowHost final : public BuildHost {
 public:
  RowHost(const StandRow& row, const catalogue::TemplateEntry& entry, int listIndex, const BatchSettings& settings,
          const std::map<std::string, BuiltModel>& built)
      : row_(row), entry_(entry), listIndex_(listIndex), settings_(settings), built_(built) {}

  [[nodiscard]] int SelectedListIndex() const override { return listIndex_; }

  [[nodiscard]] ParameterField Field(catalogue::Parameter parameter) const override {
    return {FieldText(row_, entry_, parameter), entry_.Uses(parameter)};
  }

  void ShowValidationError(const std::string& message) override { refusal_ = message; }

  [[nodiscard]] std::string SaveDialog(const std::string&, const std::string&, const std::string& idir) override {
    modelPath_ = row_.output.empty() ? InOutputFolder(idir) : row_.output;
    const auto earlier = built_.find(modelPath_);
    if (earlier != built_.end() && earlier->second.key != ModelKey(row_, entry_)) {
      const StandRow& other = *earlier->second.row;
      refusal_ = "its model file " + modelPath_ + " would replace the one row " + std::to_string(other.number) + " (" +
                 StandLabel(other) + ") built from other values; give the row an output of its own";
      return {};
    }
    const platform::FileSystem files;
    // Neither an old model nor the log of an earlier failed compile may pass for this build's.
    for (const auto& path : {modelPath_, RowLogPath(modelPath_)}) {
      if (files.FileExists(path)) files.DeleteFile(path);
    }
    return modelPath_;
  }

  void SetCreateCaption(const std::string&) override {}

  [[nodiscard]] const std::string& Refusal() const { return refusal_; }
  [[nodiscard]] const std::string& ModelPath() const { return modelPath_; }

 private:
  [[nodiscard]] std::string InOutputFolder(const std::string& fileName) const {
    const std::string& folder = settings_.outputFolder;
    if (platform::EndsWithSeparator(folder)) return folder + fileName;
    return platform::JoinPath(folder, fileName);
  }

  const StandRow& row_;
  const catalogue::TemplateEntry& entry_;
  int listIndex_;
  const BatchSettings& settings_;
  const std::map<std::string, BuiltModel>& built_;
  std::string refusal_;
  std::string modelPath_;
};

// What the compiler printed, and where the whole of it is.
std::string CompilerOutput(const std::string& output, const std::string& modelPath) {
  if (output.empty()) return NoModelReport(modelPath, output, {});
  const auto logPath = RowLogPath(modelPath);
  try {
    platform::OutputFile log(logPath);
    log.Write(output);
    log.Close();
    return NoModelReport(modelPath, output, WholeOutputKeptIn(logPath));
  } catch (const std::system_error& failure) {
    return NoModelReport(modelPath, output, std::string("The whole output could not be kept: ") + failure.what());
  }
}

// Runs one row and fills in result; what the build throws is left to the caller.
class BatchRunner {
 public:
  BatchRunner(const catalogue::TemplateCatalogue& catalogue, const BatchSettings& settings)
      : catalogue_(catalogue), settings_(settings), objDOS_(messages_) {
    objDOS_.ConnectReceiveOutputs([this](std::string& chunk) { compileLog_.Append(chunk); });
  }

  void Build(const StandRow& row, RowResult& result) {
    const std::optional<int> listIndex = ListIndexOf(catalogue_, row.templateName);
    if (!listIndex) {
      result.reason = "unknown template " + Quoted(row.templateName) + " (--list shows the templates)";
      return;
    }
    const catalogue::TemplateEntry& entry = catalogue_.EntryForListIndex(*listIndex);
    RowHost host(row, entry, *listIndex, settings_, built_);
    const BuildContext context{catalogue_,  settings_.appFolder, "", kTableLocale, objDOS_,
                               compileLog_, WhenToolsBusy::Wait};
    const BuildOutcome outcome = RunBuildSequence(host, context);
    result.modelPath = host.ModelPath();
    const std::string runnerMessages = messages_.Take();
    if (outcome != BuildOutcome::Compiled) {
      result.reason = host.Refusal().empty() ? "no output path was given" : host.Refusal();
    } else if (!runnerMessages.empty()) {
      result.reason = "the compiler could not be run: " + runnerMessages;
    } else if (!platform::FileSystem().FileExists(result.modelPath)) {
      result.reason = CompilerOutput(objDOS_.Outputs(), result.modelPath);
    } else {
      result.built = true;
      built_.insert_or_assign(result.modelPath, BuiltModel{&row, ModelKey(row, entry)});
    }
  }

 private:
  const catalogue::TemplateCatalogue& catalogue_;
  const BatchSettings& settings_;
  RunnerMessageSink messages_;
  runner::DOSOutputs objDOS_;
  CompileLog compileLog_;
  std::map<std::string, BuiltModel> built_;
};

}  // namespace

BatchSummary RunBatch(const StandTable& table, const catalogue::TemplateCatalogue& catalogue,
                      const BatchSettings& settings, const RowFinished& rowFinished) {
  BatchSummary summary;
  BatchRunner runner(catalogue, settings);
  const int rowCount = static_cast<int>(table.rows.size());
  for (const StandRow& row : table.rows) {
    RowResult result{&row, false, {}, row.problem};
    if (result.reason.empty()) {
      try {
        runner.Build(row, result);
      } catch (const std::exception& error) {
        result.reason = error.what();
      }
    }
    if (result.built) {
      ++summary.built;
    } else {
      summary.failed.push_back(result);
    }
    if (rowFinished) rowFinished(result, rowCount);
  }
  return summary;
}

std::string ProgressLine(const RowResult& result, int rowCount) {
  const StandRow& row = *result.row;
  std::string line = "[" + std::to_string(row.number) + "/" + std::to_string(rowCount) + "] " + StandLabel(row);
  if (result.built) return line + " ... built " + result.modelPath;
  line += " (line " + std::to_string(row.lineNumber) + ") ... failed: ";
  const auto reasonLines = platform::SplitLines(result.reason);
  for (std::size_t i = 0; i < reasonLines.size(); ++i) line += (i == 0 ? "" : "\n    ") + reasonLines[i];
  return line;
}

std::string SummaryLine(const BatchSummary& summary, int rowCount) {
  std::string line = std::to_string(rowCount) + (rowCount == 1 ? " stand: " : " stands: ") +
                     std::to_string(summary.built) + " built, " + std::to_string(summary.failed.size()) + " failed";
  if (summary.failed.empty()) return line;
  line += summary.failed.size() == 1 ? " (row " : " (rows ";
  for (std::size_t i = 0; i < summary.failed.size(); ++i) {
    line += (i == 0 ? "" : ", ") + std::to_string(summary.failed[i].row->number);
  }
  return line + ")";
}

std::string CatalogueListing(const catalogue::TemplateCatalogue& catalogue) {
  const auto names = catalogue.ListNames();
  std::size_t width = 0;
  for (const auto& name : names) width = std::max(width, name.size());
  std::string listing;
  for (std::size_t k = 0; k < names.size(); ++k) {
    const catalogue::TemplateEntry& entry = catalogue.EntryForListIndex(static_cast<int>(k));
    std::string uses;
    for (const auto parameter : catalogue::kParameters) {
      if (entry.Uses(parameter)) uses += (uses.empty() ? "" : ", ") + std::string(ColumnName(parameter));
    }
    const std::string position = std::to_string(k + 1);
    listing += std::string(position.size() < 3 ? 3 - position.size() : 0, ' ') + position + "  " + names[k] +
               std::string(width - names[k].size() + 2, ' ') + (uses.empty() ? "(no parameters)" : uses) + "\n";
  }
  return listing;
}

}  // namespace build
