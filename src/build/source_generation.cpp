#include "build/source_generation.h"

#include <cmath>
#include <stdexcept>

#include "build/build_failure.h"
#include "build/replace_all.h"
#include "build/tools_folder.h"
#include "catalogue/template_catalogue.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/text_file.h"

namespace build {
namespace {

using catalogue::Parameter;

// Single precision, as the templates take it; a value the single range cannot hold is refused.
float ToSingle(double value, std::string_view stopText, std::string_view lateralText) {
  const auto single = static_cast<float>(value);
  if (!std::isfinite(value) || !std::isfinite(single)) {
    throw std::range_error("Could not compute the bar distances from the stop distance " + Quoted(stopText) +
                           " and the lateral distance " + Quoted(lateralText) +
                           ": the lateral distance must not be 0 and the result must stay within the range of "
                           "single-precision numbers");
  }
  return single;
}

std::string WholeTokenText(double value, std::string_view fieldName, std::string_view text) {
  try {
    return WholeNumberText(RoundHalfEven(value));
  } catch (const std::domain_error&) {
    throw std::range_error("Could not write the " + std::string(fieldName) + " " + Quoted(text) +
                           " into the parameter source: the number is too large");
  }
}

// The templates' heading vector: π as a single, in degrees, scaled to -32768..32768.
constexpr double kSinglePi = 3.1415927410125732;
constexpr double kVectorScale = -32768;

}  // namespace

std::string ParameterSourceName(std::string_view mainSource) {
  return ReplaceAll(std::string(mainSource), kSourceExtension, "_0" + std::string(kSourceExtension));
}

BarValues ComputeBarValues(std::string_view stopText, std::string_view lateralText) {
  const double l = LeadingNumber(lateralText);
  const double s = LeadingNumber(stopText);
  const double q = (s - 0.25) * 0.25 / std::fabs(l);
  BarValues bars;
  bars.distance1 = ToSingle(-(q + 0.25), stopText, lateralText);
  bars.distance2 = ToSingle(-(q + 0.3), stopText, lateralText);
  const bool thisSide = LeadingNumber(lateralText) > 0;
  bars.position1 = thisSide ? -0.236f : 0.264f;
  bars.position2 = thisSide ? -0.264f : 0.236f;
  return bars;
}

TokenValues ComputeTokenValues(const ParameterFields& fields, const BarValues& bars, const NumberLocale& locale) {
  const auto& heading = fields[Parameter::Heading].text;
  const auto& stop = fields[Parameter::StopDistance].text;
  const auto& visibility = fields[Parameter::VisibilityDistance].text;
  const auto& lateral = fields[Parameter::LateralDistance].text;
  const auto degrees = ParseNumber(heading, locale);
  if (!degrees) {
    throw std::runtime_error("Could not write the heading " + Quoted(heading) +
                             " into the parameter source: it is not a number");
  }
  const double theta = *degrees * kSinglePi / 180;
  return {{
      {"NVLH", "16384"},
      {"NVL", "32767"},
      {"VISIBILITY_DISTANCE", WholeTokenText(LeadingNumber(visibility), "visibility distance", visibility)},
      {"HEADING_VECTOR_X", WholeTokenText(std::sin(theta) * kVectorScale, "heading", heading)},
      {"HEADING_VECTOR_Y", WholeTokenText(std::cos(theta) * kVectorScale, "heading", heading)},
      {"STOP_DISTANCE", WholeTokenText(LeadingNumber(stop), "stop distance", stop)},
      {"LATERAL_DISTANCE", WholeTokenText(LeadingNumber(lateral), "lateral distance", lateral)},
      // The compiler reads "." as the decimal point whatever the user's locale: a decimal comma would
      // assemble as two values and shift the whole model.
      {"BAR_DISTANCE1", FixedThreeText(bars.distance1, kInvariantLocale)},
      {"BAR_DISTANCE2", FixedThreeText(bars.distance2, kInvariantLocale)},
      {"BAR_POSITION1", FixedThreeText(bars.position1, kInvariantLocale)},
      {"BAR_POSITION2", FixedThreeText(bars.position2, kInvariantLocale)},
  }};
}

std::string ReplaceTokens(std::string line, const TokenValues& tokens) {
  for (const auto& [token, value] : tokens) line = ReplaceAll(std::move(line), token, value);
  return line;
}

std::string RewriteParameterSource(std::string_view content, const ParameterFields& fields, const BarValues& bars,
                                   const NumberLocale& locale) {
  const auto lines = platform::SplitLines(content);
  if (lines.empty()) return {};
  const auto tokens = ComputeTokenValues(fields, bars, locale);
  std::string rewritten;
  for (const auto& line : lines) {
    rewritten += ReplaceTokens(line, tokens);
    rewritten += platform::kLineEnd;
  }
  return rewritten;
}

void GenerateSource(const std::string& appFolder, const std::string& sourceFile, const ParameterFields& fields,
                    const NumberLocale& locale) {
  const platform::FileSystem files;
  const auto parameterSource = ParameterSourceName(sourceFile);
  // A template source of such a name would overwrite the compiler, the log or the scratch file.
  for (const auto& name : {sourceFile, parameterSource}) {
    if (name == kCompilerName || name == kCompileLogName || name == kScratchName) {
      throw std::invalid_argument("Could not copy the template source " + Quoted(name) +
                                  " to the tools folder: the tools folder uses that name for its own file");
    }
  }
  const auto copy = [&](const std::string& name, std::string_view kind) {
    const auto from = catalogue::TemplateFilePath(appFolder, name);
    try {
      files.CopyFile(from, ToolsFilePath(appFolder, name));
    } catch (const std::system_error& failure) {
      ThrowBuildFailure("Could not copy the " + std::string(kind) + " " + Quoted(from) + " to the tools folder " +
                            Quoted(ToolsFolderPath(appFolder)),
                        failure);
    }
  };
  copy(sourceFile, "template source");
  copy(parameterSource, "template parameter source");

  const auto bars = ComputeBarValues(fields[Parameter::StopDistance].text, fields[Parameter::LateralDistance].text);

  const auto working = ToolsFilePath(appFolder, parameterSource);
  const auto scratch = ToolsFilePath(appFolder, kScratchName);
  std::string content;
  try {
    content = platform::ReadFileBytes(working);
  } catch (const std::system_error& failure) {
    ThrowBuildFailure("Could not read the working parameter source " + Quoted(working), failure);
  }
  // What the scratch file is to hold is known before it is created, so a bad heading creates none.
  const auto rewritten = RewriteParameterSource(content, fields, bars, locale);
  bool scratchCreated = false;
  try {
    {
      platform::OutputFile out(scratch);
      scratchCreated = true;
      out.Write(rewritten);
      out.Close();
    }
    files.MoveFileOver(scratch, working);
  } catch (const std::system_error& failure) {
    try {
      if (scratchCreated) files.DeleteFile(scratch);
    } catch (const std::system_error&) {
      // The report below matters more than a scratch file that cannot be removed either.
    }
    ThrowBuildFailure("Could not write the rewritten parameter source through " + Quoted(scratch), failure);
  }
}

}  // namespace build
