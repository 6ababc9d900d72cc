// parkmarq-batch: builds the model of every stand in a table, one row after another, through the same
// build as the window's "Create new MDL" button.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "app/application_folder.h"
#include "app/batch_stands.h"
#include "app/settings_file.h"
#include "build/batch_build.h"
#include "build/build_failure.h"
#include "build/stand_table.h"
#include "catalogue/skipped_templates_report.h"
#include "catalogue/template_catalogue.h"
#include "platform/output_file.h"
#include "platform/standard_streams.h"
#include "platform/text_file.h"

namespace {

constexpr int kAllBuilt = 0;
constexpr int kSomeFailed = 1;
constexpr int kCannotRun = 2;

constexpr const char* kUsage = R"(Usage: parkmarq-batch STANDS [--out DIR] [--placements FILE]
       parkmarq-batch --stands AIRPORT-FILE [--airport ICAO] [--kind gate|all] [--template NAME]
                      [--stop M] [--visibility M] [--lateral M]
       parkmarq-batch --list
       parkmarq-batch --help

Builds one model file per row of the stand table STANDS, in table order, exactly as the
"Create new MDL" button of the window would for the same template and field texts. STANDS "-"
reads the table from standard input.

STANDS is a CSV file whose first line names the columns, in any order:
  stand       a label for the stand, used in messages
  template    the template's name as the window's list shows it (see --list)
  heading     heading in degrees
  stop        stop distance in metres
  visibility  visibility distance in metres, 0 for no limitation
  lateral     lateral distance in metres, negative for the other side
  output      optional: the model file's path, relative to the table's folder
  lat, lon    optional: the stand's position in decimal degrees, for the placement list
The four values may be empty where the template does not use them. The separator is a comma,
a semicolon or a tab, as the header line shows; fields may be quoted with double quotes ("" for
a quote inside). Numbers use "." as the decimal separator, whatever the locale.

A row without an output gets the name the window proposes, in DIR when --out is given, else
in the default output folder the window remembers (parkmarq.ini), else in the current folder.
An existing model file is replaced. Builds share the tools folder one at a time: a row waits
while another build uses it.

--stands writes such a table to standard output: one row per stand of an airport, in the
order of AIRPORT-FILE, with its heading (true, 0 to 360) and position. The file's format is
recognised from its content: X-Plane apt.dat (plain or gzip-compressed, versions 850 to 1200),
the simulator SDK's XML airport source (TaxiwayParking), FlightGear groundnet.xml or parking.xml.
A stand the file describes incompletely is left out and named on standard error.

Options:
  --out DIR          the folder for models of rows without an output; it must exist
  --placements FILE  writes, for every row built, stand,model,lat,lon,heading as CSV to FILE
  --stands FILE      writes the stand table of the airport in FILE (see above)
  --airport ICAO     with --stands: the airport to read; needed for an apt.dat file of several
                     airports; an SDK file's first airport is the default
  --kind gate|all    with --stands: only the stands where a docking display belongs (gate, the
                     default), or every stand
  --template NAME    with --stands: the template of every row; the default is the first in the
                     list that takes the heading
  --stop M, --visibility M, --lateral M
                     with --stands: the values of every row, by default 20, 500 and 10; empty
                     where the template does not take them
  --list             lists the templates: position in the window's list, name, the columns they use
  --help             shows this text

Exit status: 0 when every row was built (or the stand table was written), 1 when a row failed,
2 for a usage error, a table that cannot be read, or an airport file that gives no stand table.

The templates (vgds_source), the compiler (tools) and parkmarq.ini are those of the window's
application folder: the program's own folder, or, for an installed copy or a folder this user
cannot write to, parkmarq in the user's data folder, which gets the installed templates and
compiler and keeps the user's own.
)";

// The name a table read from standard input goes by.
constexpr std::string_view kStandardInput = "-";

struct Arguments {
  bool help = false;
  bool list = false;
  std::string table;
  std::optional<std::string> outputFolder;
  std::optional<std::string> placements;
  std::optional<std::string> stands;
  std::optional<std::string> airport;
  std::optional<std::string> kind;
  std::optional<std::string> templateName;
  std::optional<std::string> stop, visibility, lateral;
};

// The options that take a value: --NAME VALUE or --NAME=VALUE.
struct ValueOption {
  std::string_view name;
  std::optional<std::string> Arguments::*slot;
  std::string_view what;
  bool standsOnly;
};
const ValueOption kValueOptions[] = {
    {"--out", &Arguments::outputFolder, "a folder", false},
    {"--placements", &Arguments::placements, "a file", false},
    {"--stands", &Arguments::stands, "a file", false},
    {"--airport", &Arguments::airport, "an ICAO code", true},
    {"--kind", &Arguments::kind, "gate or all", true},
    {"--template", &Arguments::templateName, "a template's name", true},
    {"--stop", &Arguments::stop, "a distance", true},
    {"--visibility", &Arguments::visibility, "a distance", true},
    {"--lateral", &Arguments::lateral, "a distance", true},
};

// The parsed arguments, or why they make no sense.
std::variant<Arguments, std::string> ParseArguments(const std::vector<std::string>& args) {
  Arguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto option = std::find_if(std::begin(kValueOptions), std::end(kValueOptions), [&](const ValueOption& o) {
      return arg == o.name || (arg.starts_with(o.name) && arg.size() > o.name.size() && arg[o.name.size()] == '=');
    });
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--list") {
      parsed.list = true;
    } else if (option != std::end(kValueOptions)) {
      const std::string name(option->name);
      auto& slot = parsed.*(option->slot);
      if (slot) return name + " is given twice";
      if (arg == name && i + 1 == args.size()) return name + " needs " + std::string(option->what);
      slot = arg == name ? args[++i] : arg.substr(name.size() + 1);
      if (slot->empty()) return name + " needs " + std::string(option->what);
    } else if (arg.size() > 1 && arg.front() == '-') {
      return "unknown option " + arg;
    } else if (!parsed.table.empty()) {
      return "only one stand table can be built at a time";
    } else {
      parsed.table = arg;
    }
  }
  if (parsed.help) return parsed;
  if (parsed.list && (!parsed.table.empty() || parsed.outputFolder || parsed.placements || parsed.stands)) {
    return std::string("--list takes nothing else");
  }
  if (parsed.stands) {
    if (!parsed.table.empty() || parsed.outputFolder || parsed.placements) {
      return std::string("--stands writes a table and builds none: it takes no table, --out or --placements");
    }
    if (parsed.kind && *parsed.kind != "gate" && *parsed.kind != "all") return std::string("--kind is gate or all");
    return parsed;
  }
  for (const auto& option : kValueOptions) {
    if (option.standsOnly && parsed.*(option.slot)) return std::string(option.name) + " goes with --stands";
  }
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

// stand,model,lat,lon,heading for every row built, in table order.
std::string PlacementList(const std::vector<build::RowResult>& built) {
  std::string list = build::CsvLine({"stand", "model", std::string(build::kLatitudeColumn),
                                     std::string(build::kLongitudeColumn), "heading"});
  for (const auto& result : built) {
    const build::StandRow& row = *result.row;
    list += build::CsvLine({row.stand, result.modelPath, row.latitude, row.longitude,
                            row.Value(catalogue::Parameter::Heading)});
  }
  return list;
}

std::string ReadTable(const std::string& name) {
  if (name != kStandardInput) return platform::ReadFileBytes(name);
  platform::ReadStandardInputAsBytes();
  std::string content{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  if (std::cin.bad()) throw std::runtime_error("cannot read standard input");
  return content;
}

int BuildTable(const Arguments& args) {
  std::string content;
  try {
    content = ReadTable(args.table);
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
  // A table from standard input names its outputs from the current folder.
  const std::filesystem::path tableFolder =
      args.table == kStandardInput ? std::filesystem::path() : std::filesystem::path(args.table).parent_path();
  for (auto& row : table.rows) {
    if (!row.output.empty()) row.output = Normal(tableFolder / row.output);
  }

  const auto catalogue = LoadCatalogue(appFolder);
  const build::BatchSettings settings{appFolder, outputFolder};
  std::vector<build::RowResult> built;
  const auto summary = build::RunBatch(table, catalogue, settings, [&](const build::RowResult& result, int rowCount) {
    std::cout << build::ProgressLine(result, rowCount) << std::endl;
    if (result.built) built.push_back(result);
  });
  std::cout << build::SummaryLine(summary, static_cast<int>(table.rows.size())) << std::endl;
  if (args.placements) {
    try {
      platform::WriteFileAtomically(*args.placements, PlacementList(built));
    } catch (const std::system_error& error) {
      std::cerr << "parkmarq-batch: the placement list is not written: " << error.what() << '\n';
      return kSomeFailed;
    }
  }
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
    if (args.stands) {
      platform::WriteStandardStreamsAsBytes();  // the table is data: its bytes as written, on every system
      const app::StandsRequest request{*args.stands,
                                       args.airport.value_or(""),
                                       args.kind.value_or("gate") == "gate",
                                       args.templateName.value_or(""),
                                       args.stop,
                                       args.visibility,
                                       args.lateral};
      return app::WriteStandTable(request, app::PrepareApplicationFolder(), std::cout, std::cerr);
    }
    return BuildTable(args);
  } catch (const std::exception& error) {
    std::cerr << "parkmarq-batch: " << error.what() << '\n';
    return kCannotRun;
  }
}
