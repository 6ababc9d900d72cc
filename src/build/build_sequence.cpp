#include "build/build_sequence.h"

#include <optional>

#include "build/build_failure.h"
#include "build/compile_model.h"
#include "build/output_name.h"
#include "build/source_generation.h"
#include "build/tools_folder.h"
#include "build/validation.h"
#include "platform/folder_lock.h"
#include "platform/program_launch.h"

namespace build {
namespace {

platform::FolderLock LockToolsFolder(const BuildContext& context) {
  const auto tools = ToolsFolderPath(context.appFolder);
  std::optional<platform::FolderLock> lock;
  try {
    if (context.whenToolsBusy == WhenToolsBusy::Wait) return platform::FolderLock::Wait(tools);
    lock = platform::FolderLock::Try(tools);
  } catch (const std::system_error& failure) {
    ThrowBuildFailure("Could not use the tools folder " + Quoted(tools), failure);
  }
  if (!lock) {
    throw ToolsFolderBusy("Another build is running in the tools folder " + Quoted(tools) +
                          ". Nothing was written. Please create the MDL file again when it has finished.");
  }
  return std::move(*lock);
}

}  // namespace

BuildOutcome RunBuildSequence(BuildHost& host, const BuildContext& context) {
  const auto fields = ReadParameterFields(host);
  if (!ValidateParameters(host, fields, context.locale)) return BuildOutcome::Refused;

  const auto& sourceFile = context.catalogue.EntryForListIndex(host.SelectedListIndex()).SourceFile;
  if (sourceFile.empty()) {
    throw std::runtime_error("No template is selected. Please choose a template in the list first.");
  }
  // Known before anything is written: a compiler that cannot start here would leave only a useless log.
  if (const auto problem = platform::LaunchProblem(ToolsFilePath(context.appFolder, kCompilerName)); !problem.empty()) {
    throw std::runtime_error("Could not start the compiler: " + problem + " Nothing was written.");
  }
  const auto lock = LockToolsFolder(context);
  GenerateSource(context.appFolder, sourceFile, fields, context.locale);

  const auto proposed = ProposeOutputName(sourceFile, fields, context.defaultOutputFolder, context.locale);
  const auto outputPath = host.SaveDialog(std::string(kSaveDialogTitle), std::string(kSaveDialogFilter), proposed);
  if (outputPath.empty()) return BuildOutcome::Cancelled;

  CompileModel(host, context.appFolder, sourceFile, outputPath, context.objDOS, context.compileLog);
  return BuildOutcome::Compiled;
}

}  // namespace build
