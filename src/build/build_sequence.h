#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "build/build_host.h"
#include "build/number_conversions.h"
#include "catalogue/template_catalogue.h"
#include "runner/dos_outputs.h"

namespace build {

class CompileLog;

inline constexpr std::string_view kCreateCaption = "Create new MDL";
inline constexpr std::string_view kCompilingCaption = "Compiling ...";

// What a build does when another build holds the tools folder: the window refuses at once, a batch
// of builds waits its turn.
enum class WhenToolsBusy { Refuse, Wait };

// What the owner of the build (the window, or a batch program) lends to one build.
struct BuildContext {
  const catalogue::TemplateCatalogue& catalogue;
  std::string appFolder;            // holds vgds_source and tools
  std::string defaultOutputFolder;  // put in front of the proposed file name as it is
  NumberLocale locale;
  runner::DOSOutputs& objDOS;
  CompileLog& compileLog;  // its owner has connected objDOS's ReceiveOutputs to its Append once
  WhenToolsBusy whenToolsBusy = WhenToolsBusy::Refuse;
};

// How a build ended when nothing unanticipated happened.
enum class BuildOutcome {
  Refused,    // a parameter field failed validation; the host has shown its message, nothing was written
  Cancelled,  // the save dialog gave no path; the working sources in tools are rewritten, the log untouched
  Compiled,   // the compiler ran; whether it succeeded is in the log and the MDL file
};

// Another build holds the tools folder and this one was told not to wait; nothing has been written.
class ToolsFolderBusy : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The "Create new MDL" sequence: validate the enabled fields, copy the template's two sources into
// tools, rewrite the parameter source, propose a name and ask for the output path, then compile
// with the output captured in tools/compile.log. The tools folder is locked from the copies to the
// end of the compile.
// Unanticipated failures (a template file missing, tools not writable, no template selected, bar
// values that are not finite, a number that does not fit the file name, a double quote in a path
// the compiler would get, a log that cannot be written) throw std::runtime_error or
// std::system_error whose text says what failed, on which file, and why. What the build wrote up to
// then stays, except a half-written tools/temp.asm. The button caption is "Create new MDL" again
// whenever the build returns or throws after changing it.
BuildOutcome RunBuildSequence(BuildHost& host, const BuildContext& context);

}  // namespace build
