#pragma once

#include <functional>
#include <string>
#include <vector>

#include "build/stand_table.h"
#include "catalogue/template_catalogue.h"

namespace build {

// Where a batch runs and where its models go.
struct BatchSettings {
  std::string appFolder;     // holds vgds_source and tools, as for the window
  std::string outputFolder;  // where a row without an output of its own gets its proposed file name
};

// How one row ended.
struct RowResult {
  const StandRow* row = nullptr;
  bool built = false;
  std::string modelPath;  // the model file's path once an output path was chosen
  std::string reason;     // why the row failed; empty when built
};

// Called after each row, in table order.
using RowFinished = std::function<void(const RowResult& result, int rowCount)>;

struct BatchSummary {
  int built = 0;
  std::vector<RowResult> failed;
};

// Builds one model per row through the same sequence as the window's "Create new MDL" button, in
// table order, each row waiting for the tools folder while another build holds it. A row names its
// template as the list shows it; the template's flags enable its fields, so exactly the window's
// validation runs, with its messages. A field the template does not use and the row leaves empty
// gets the text the window's field starts with.
//
// The model goes to the row's output when it has one (the caller resolves relative paths), else to
// the proposed file name in settings.outputFolder. An existing model there is replaced: it is removed
// before the compile, with the log of an earlier failed compile of it, so a compile that writes
// nothing never leaves an older model looking new.
//
// A row fails, and the next one goes on, when its fields do not fit the header, its template is not
// in the catalogue, a value is refused, a step of the build throws, the runner cannot start the
// compiler, or the compile writes no model file (the reason then holds the last 20 lines of the
// compiler's output and names the file beside the model, NAME.log, that holds the whole of it). It
// also fails, before compiling, when its model file would replace one that an earlier row of this
// batch built from another template or other values.
[[nodiscard]] BatchSummary RunBatch(const StandTable& table, const catalogue::TemplateCatalogue& catalogue,
                                    const BatchSettings& settings, const RowFinished& rowFinished);

// "[12/40] A12 ... built out/dock_h90_s20.mdl", or "... failed: reason", a multi-line reason
// continuing on indented lines.
[[nodiscard]] std::string ProgressLine(const RowResult& result, int rowCount);

// "40 stands: 38 built, 2 failed (rows 3, 17)".
[[nodiscard]] std::string SummaryLine(const BatchSummary& summary, int rowCount);

// The catalogue in the window's list order, one template a line: its position in the list (from 1),
// its name and the table columns it uses.
[[nodiscard]] std::string CatalogueListing(const catalogue::TemplateCatalogue& catalogue);

}  // namespace build
