#include "app/batch_stands.h"

#include <algorithm>
#include <vector>

#include "airport/stand_values.h"
#include "airport/stands_file.h"
#include "build/build_failure.h"
#include "build/stand_table.h"
#include "catalogue/skipped_templates_report.h"
#include "catalogue/template_catalogue.h"

namespace app {

namespace {

constexpr int kWritten = 0;
constexpr int kNoTable = 2;
constexpr std::string_view kProgram = "parkmarq-batch: ";

// The list index of the template to use, or nullopt after saying why there is none.
std::optional<int> ChooseTemplate(const catalogue::TemplateCatalogue& catalogue, const std::string& wanted,
                                  std::ostream& messages) {
  const auto names = catalogue.ListNames();
  for (std::size_t k = 0; k < names.size(); ++k) {
    const bool fits = wanted.empty() ? catalogue.EntryForListIndex(static_cast<int>(k)).Uses(catalogue::Parameter::Heading)
                                     : names[k] == wanted;
    if (fits) return static_cast<int>(k);
  }
  if (wanted.empty()) {
    messages << kProgram << "no template takes the heading; --template chooses one (--list shows them)\n";
  } else {
    messages << kProgram << "unknown template " << build::Quoted(wanted) << " (--list shows the templates)\n";
  }
  return std::nullopt;
}

std::string Counted(std::size_t count, const char* one) {
  return std::to_string(count) + " " + one + (count == 1 ? "" : "s");
}

}  // namespace

int WriteStandTable(const StandsRequest& request, const std::string& appFolder, std::ostream& out,
                    std::ostream& messages) {
  auto load = catalogue::LoadTemplateCatalogue(appFolder);
  if (!load.skipped.empty()) messages << kProgram << catalogue::SkippedTemplatesReport(load.skipped) << '\n';
  const auto listIndex = ChooseTemplate(load.catalogue, request.templateName, messages);
  if (!listIndex) return kNoTable;
  const catalogue::TemplateEntry& entry = load.catalogue.EntryForListIndex(*listIndex);
  const std::string templateName = load.catalogue.ListNames()[static_cast<std::size_t>(*listIndex)];

  auto read = airport::ReadStandsFile(request.file, request.airport);
  if (const auto* problem = std::get_if<airport::StandsProblem>(&read)) {
    messages << kProgram << problem->reason << '\n';
    return kNoTable;
  }
  const auto& stands = std::get<airport::AirportStands>(read);
  if (!stands.note.empty()) messages << kProgram << stands.note << '\n';
  for (const auto& skipped : stands.skipped) {
    // A file the XML parser had to convert (UTF-16) gives no line numbers.
    const std::string line = skipped.lineNumber > 0 ? ": line " + std::to_string(skipped.lineNumber) : "";
    messages << kProgram << request.file << line << ": stand " << build::Quoted(skipped.name)
             << " skipped: " << skipped.reason << '\n';
  }

  const std::string airportName = stands.airport.empty() ? std::string("the airport") : "the airport " + stands.airport;
  const auto kept = std::count_if(stands.stands.begin(), stands.stands.end(), [&](const airport::Stand& stand) {
    return !request.gatesOnly || stand.kind == airport::StandKind::Gate;
  });
  if (stands.stands.empty()) {
    messages << kProgram << request.file << ": " << airportName << " has no stands that can be read\n";
    return kNoTable;
  }
  if (kept == 0) {
    messages << kProgram << request.file << ": " << airportName << " has no gates, but "
             << Counted(stands.stands.size(), "other stand") << "; --kind all includes them\n";
    return kNoTable;
  }

  const auto value = [&](catalogue::Parameter parameter, const std::optional<std::string>& given) {
    if (!entry.Uses(parameter)) return std::string();
    return given ? *given : std::string(catalogue::InitialText(parameter));
  };
  std::vector<std::string> header{std::string(build::kStandColumn), std::string(build::kTemplateColumn)};
  for (const auto parameter : catalogue::kParameters) header.emplace_back(build::ColumnName(parameter));
  header.emplace_back(build::kLatitudeColumn);
  header.emplace_back(build::kLongitudeColumn);
  std::string table = build::CsvLine(header);
  for (const auto& stand : stands.stands) {
    if (request.gatesOnly && stand.kind != airport::StandKind::Gate) continue;
    table += build::CsvLine({stand.name, templateName, entry.Uses(catalogue::Parameter::Heading) ? stand.heading : "",
                             value(catalogue::Parameter::StopDistance, request.stop),
                             value(catalogue::Parameter::VisibilityDistance, request.visibility),
                             value(catalogue::Parameter::LateralDistance, request.lateral),
                             airport::DegreesText(stand.latitude), airport::DegreesText(stand.longitude)});
  }
  if (request.templateName.empty()) {
    messages << kProgram << "template " << build::Quoted(templateName)
             << ", the first in the list that takes the heading (--template chooses another)\n";
  }
  messages << kProgram << request.file << ": " << airportName << " (" << stands.format << "), "
           << Counted(static_cast<std::size_t>(kept), "stand") << " of " << stands.stands.size() << " in the table\n";
  out << table << std::flush;
  return kWritten;
}

}  // namespace app
