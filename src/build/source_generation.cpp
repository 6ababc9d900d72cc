#include "build/source_generation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

#include "build/build_failure.h"
#include "build/replace_all.h"
#include "build/tools_folder.h"
#include "catalogue/template_catalogue.h"
#include "platform/buffered_output.h"
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

// How much of the parameter source is read at a time.
constexpr std::size_t kRewritePieceSize = 64 * 1024;

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

TokenRewriter::TokenRewriter(const TokenValues& tokens, Sink sink) : sink_(std::move(sink)) {
  for (const auto& [token, value] : tokens) stages_.push_back({token, value, {}, {}, {}});
}

void TokenRewriter::Feed(std::string_view bytes) {
  lineEnds_.clear();
  while (!bytes.empty()) {
    const auto end = bytes.find_first_of("\r\n");
    const auto text = bytes.substr(0, end);
    lineEnds_ += text;
    if (!text.empty()) {
      afterCr_ = false;
      inLine_ = true;
    }
    if (end == std::string_view::npos) break;
    // The LF of a CR LF was written with the CR.
    if (bytes[end] == '\r' || !afterCr_) lineEnds_ += platform::kLineEnd;
    afterCr_ = bytes[end] == '\r';
    inLine_ = false;
    bytes.remove_prefix(end + 1);
  }
  PassOn(0, lineEnds_, false);
}

void TokenRewriter::Finish() {
  PassOn(0, inLine_ ? platform::kLineEnd : std::string_view(), true);
  inLine_ = false;
  afterCr_ = false;
}

void TokenRewriter::PassOn(std::size_t index, std::string_view bytes, bool last) {
  if (index == stages_.size()) {
    if (!bytes.empty()) sink_(bytes);
    return;
  }
  Stage& stage = stages_[index];
  stage.work.assign(stage.kept);
  stage.work += bytes;
  stage.rewritten.clear();
  const std::string_view work = stage.work;
  std::size_t from = 0;
  for (auto at = work.find(stage.token); at != std::string_view::npos; at = work.find(stage.token, from)) {
    stage.rewritten += work.substr(from, at - from);
    stage.rewritten += stage.value;
    from = at + stage.token.size();
  }
  // The end may be the start of a token that the next bytes complete.
  std::size_t keep = work.size();
  if (!last) keep = std::max(from, work.size() - std::min(work.size(), stage.token.size() - 1));
  stage.rewritten += work.substr(from, keep - from);
  stage.kept.assign(work.substr(keep));
  PassOn(index + 1, stage.rewritten, last);
}

std::string RewriteParameterSource(std::string_view content, const ParameterFields& fields, const BarValues& bars,
                                   const NumberLocale& locale) {
  if (content.empty()) return {};
  std::string rewritten;
  TokenRewriter rewriter(ComputeTokenValues(fields, bars, locale),
                         [&rewritten](std::string_view bytes) { rewritten += bytes; });
  rewriter.Feed(content);
  rewriter.Finish();
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
  const auto readFailure = [&working](const std::system_error& failure) {
    ThrowBuildFailure("Could not read the working parameter source " + Quoted(working), failure);
  };
  std::optional<platform::InputFile> in;
  std::vector<char> piece(kRewritePieceSize);
  std::size_t count = 0;
  try {
    in.emplace(working);
    count = in->Read(piece);
  } catch (const std::system_error& failure) {
    readFailure(failure);
  }
  // The token values are computed from the first line, before the scratch file is created, so a bad
  // heading creates none; a source without lines computes none.
  std::optional<TokenValues> tokens;
  if (count > 0) tokens = ComputeTokenValues(fields, bars, locale);
  bool scratchCreated = false;
  bool reading = false;
  try {
    {
      platform::OutputFile out(scratch);
      scratchCreated = true;
      platform::BufferedOutput buffered(out);
      if (tokens) {
        TokenRewriter rewriter(*tokens, [&buffered](std::string_view bytes) { buffered.Write(bytes); });
        while (count > 0) {
          rewriter.Feed(std::string_view(piece.data(), count));
          reading = true;
          count = in->Read(piece);
          reading = false;
        }
        rewriter.Finish();
      }
      buffered.Flush();
      out.Close();
    }
    // Windows refuses to replace a file that is still open.
    in.reset();
    files.MoveFileOver(scratch, working);
  } catch (const std::system_error& failure) {
    try {
      if (scratchCreated) files.DeleteFile(scratch);
    } catch (const std::system_error&) {
      // The report below matters more than a scratch file that cannot be removed either.
    }
    if (reading) readFailure(failure);
    ThrowBuildFailure("Could not write the rewritten parameter source through " + Quoted(scratch), failure);
  }
}

}  // namespace build
