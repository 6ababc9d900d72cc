// parkmarq-batch: builds the model of every stand in a table, one row after another, through the same
// build as the window's "Create new MDL" button.
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "app/application_folder.h"
#include "app/settings_file.h"
#include "build/batch_build.h"
#include "build/build_failure.h"
#include "build/stand_table.h"
#include "catalogue/skipped_templates_report.h"
#include "catalogue/template_catalogue.h"
#include "platform/text_file.h"

namespace {

constexpr int kAllBuilt = 0;
constexpr int kSomeFailed = 1;
constexpr int kCannotRun = 2;

constexpr const char* kUsage = R"(Usage: parkmarq-batch STANDS [--out DIR]
       parkmarq-batch --list
       parkmarq-batch --help

Builds one model file per row of the stand table STANDS, in table order, exactly as the
"Create new MDL" button of the window would for the same template and field texts.

STANDS is a CSV file whose first line names the columns, in any order:
  stand       a label for the stand, used in messages
  template    the template's name as the window's list shows it (see --list)
  heading     heading in degrees
  stop        stop distance in metres
  visibility  visibility distance in metres, 0 for no limitation
  lateral     lateral distance in metres, negative for the other side
  output      optional: the model file's path, relative to the table's folder
The four values may be empty where the template does not use them. The separator is a comma,
a semicolon or a tab, as the header line shows; fields may be quoted with double quotes ("" for
a quote inside). Numbers use "." as the decimal separator, whatever the locale.

A row without an output gets the name the window proposes, in DIR when --out is given, else
in the default output folder the window remembers (parkmarq.ini), else in the current folder.
An existing model file is replaced. Builds share the tools folder one at a time: a row waits
while another build uses it.

Options:
  --out DIR   the folder for models of rows without an output; it must exist
  --list      lists the templates: position in the window's list, name, the columns they use
  --help      shows this text

Exit status: 0 when every row was built, 1 when a row failed, 2 for a usage error or a table
that cannot be read.

The templates (vgds_source), the compiler (tools) and parkmarq.ini are those of the window's
application folder: the program's own folder, or, for an installed copy or a folder this user
cannot write to, parkmarq in the user's data folder, which gets the installed templates and
compiler and keeps the user's own.
)";

struct Arguments {
  bool help = false;
  bool list = false;
  std::string table;
  std::optional<std::string> outputFolder;
};

// The parsed arguments, or why they make no sense.
std::variant<Arguments, std::string> ParseArguments(const std::vector<std::string>& args) {
  Arguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--list") {
      parsed.list = true;
    } else if (arg == "--out" || arg.starts_with("--out=")) {
      if (parsed.outputFolder) return std::string("--out is given twice");
      if (arg == "--out" && i + 1 == args.size()) return std::string("--out needs a folder");
      parsed.outputFolder = arg == "--out" ? args[++i] : arg.substr(6);
      if (parsed.outputFolder->empty()) return std::string("--out needs a folder");
    } else if (arg.size() > 1 && arg.front() == '-') {
      return "unknown option " + arg;
    } else if (!parsed.table.empty()) {
      return "only one stand table can be built at a time";
    } else {
      parsed.table = arg;
    }
  }
  if (parsed.help) return parsed;
  if (parsed.list && (!parsed.table.empty() || parsed.outputFolder)) return std::string("--list takes nothing else");
  if (!parsed.list && parsed.table.empty()) return std::string("no stand table given");
  return parsed;
}

// "Application folder: ...", for the help text: which folder this user's builds use.
std::string ApplicationFolderNote() {
  try {
    return "Application folder: " + app::LocateApplicationFolder().folder + "\n";
  } catch (const std::exception& error) {
    return std::string("Application folder: none (") + error.what() + ")\n";
  }
}

int UsageError(const std::string& problem) {
  std::cerr << "parkmarq-batch: " << problem << "\n\n" << kUsage;
  return kCannotRun;
}

catalogue::TemplateCatalogue LoadCatalogue(const std::string& appFolder) {
  auto load = catalogue::LoadTemplateCatalogue(appFolder);
  if (!load.skipped.empty()) std::cerr << "parkmarq-batch: " << catalogue::SkippedTemplatesReport(load.skipped) << '\n';
  if (load.catalogue.Count() == 0) {
    std::cerr << "parkmarq-batch: there are no templates in " << catalogue::TemplateFilePath(appFolder, "") << '\n';
  }
  return std::move(load.catalogue);
}

std::string Normal(const std::filesystem::path& path) {
  return path.lexically_normal().string();
}

// The folder for proposed names: --out, else the window's default output folder, else the current
// one. Throws when the folder named does not exist, as every row would fail for it.
std::string OutputFolder(const Arguments& args, const std::string& appFolder) {
  std::string folder = ".";
  std::string named;
  if (args.outputFolder) {
    folder = *args.outputFolder;
    named = "the output folder " + build::Quoted(folder);
  } else if (auto remembered = app::LoadDefaultOutputFolder(appFolder); remembered && !remembered->empty()) {
    folder = *remembered;
    named = "the default output folder in parkmarq.ini, " + build::Quoted(folder) + ",";
  }
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) throw std::runtime_error(named + " is no existing folder");
  return Normal(folder);
}

int BuildTable(const Arguments& args) {
  std::string content;
  try {
    content = platform::ReadFileBytes(args.table);
  } catch (const std::system_error& error) {
    std::cerr << "parkmarq-batch: cannot read the stand table: " << error.what() << '\n';
    return kCannotRun;
  }
  auto parsed = build::ParseStandTable(content);
  if (const auto* problem = std::get_if<build::StandTableProblem>(&parsed)) {
    std::cerr << "parkmarq-batch: " << args.table << ": " << problem->reason << '\n';
    return kCannotRun;
  }
  auto& table = std::get<build::StandTable>(parsed);
  for (const auto& column : table.ignoredColumns) {
    std::cerr << "parkmarq-batch: " << args.table << ": the column " << build::Quoted(column) << " is not used\n";
  }

  const std::string appFolder = app::PrepareApplicationFolder();
  const std::string outputFolder = OutputFolder(args, appFolder);
  const std::filesystem::path tableFolder = std::filesystem::path(args.table).parent_path();
  for (auto& row : table.rows) {
    if (!row.output.empty()) row.output = Normal(tableFolder / row.output);
  }

  const auto catalogue = LoadCatalogue(appFolder);
  const build::BatchSettings settings{appFolder, outputFolder};
  const auto summary = build::RunBatch(table, catalogue, settings, [](const build::RowResult& result, int rowCount) {
    std::cout << build::ProgressLine(result, rowCount) << std::endl;
  });
  std::cout << build::SummaryLine(summary, static_cast<int>(table.rows.size())) << std::endl;
  return summary.failed.empty() ? kAllBuilt : kSomeFailed;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const auto parsed = ParseArguments(arguments);
  if (const auto* problem = std::get_if<std::string>(&parsed)) return UsageError(*problem);
  const auto& args = std::get<Arguments>(parsed);
  try {
    if (args.help) {
      std::cout << kUsage << ApplicationFolderNote();
      return kAllBuilt;
    }
    if (args.list) {
      std::cout << build::CatalogueListing(LoadCatalogue(app::PrepareApplicationFolder()));
      return kAllBuilt;
    }
    return BuildTable(args);
  } catch (const std::exception& error) {
    std::cerr << "parkmarq-batch: " << error.what() << '\n';
    return kCannotRun;
  }
}
