#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "build/number_conversions.h"
#include "build/parameter_fields.h"

namespace build {

// What the names of template sources end in; matched case-sensitively wherever a name is derived.
inline constexpr std::string_view kSourceExtension = ".asm";

// The template's parameter source: every ".asm" in the main source's name (case-sensitive) becomes
// "_0.asm". dock.asm gives dock_0.asm, a.asm.asm gives a_0.asm_0.asm, DOCK.ASM stays DOCK.ASM.
[[nodiscard]] std::string ParameterSourceName(std::string_view mainSource);

// The bars' distances along the stand and their positions across it, in single precision.
struct BarValues {
  float distance1 = 0;
  float distance2 = 0;
  float position1 = 0;
  float position2 = 0;
};

// From the leading numbers of the stop and lateral distance texts. Throws std::range_error, naming
// both texts, when a distance is not a finite single (a lateral distance of 0, or a quotient beyond
// the single range).
[[nodiscard]] BarValues ComputeBarValues(std::string_view stopText, std::string_view lateralText);

// The eleven tokens of a parameter source in the order they are replaced ("NVLH" before "NVL"), each
// with its text for this build.
using TokenValues = std::array<std::pair<std::string_view, std::string>, 11>;

// Throws std::runtime_error naming the field when the heading text is no number or a whole-number
// value cannot be written (an infinite visibility distance, say).
[[nodiscard]] TokenValues ComputeTokenValues(const ParameterFields& fields, const BarValues& bars,
                                             const NumberLocale& locale);

// Every occurrence of every token, in table order, also inside longer words; case-sensitive.
[[nodiscard]] std::string ReplaceTokens(std::string line, const TokenValues& tokens);

// The parameter source rewritten as it streams through, in pieces of any size: every line (ended
// by CR LF, a lone LF or a lone CR; a last line without an end counts) gets CR LF after it, and the
// eleven tokens are replaced one after the other, each over the whole line, exactly as ReplaceTokens
// does. The memory used depends on the size of the pieces, never on that of a line or of the source.
class TokenRewriter {
 public:
  using Sink = std::function<void(std::string_view rewritten)>;

  TokenRewriter(const TokenValues& tokens, Sink sink);
  // Rewrites what it can of bytes and hands it to the sink; keeps back what may be the start of a
  // token or a CR before its LF.
  void Feed(std::string_view bytes);
  // Hands over what was kept back, with CR LF after a last line that had no line end.
  void Finish();

 private:
  // One token's replacement, with what it keeps back and its reused buffers.
  struct Stage {
    std::string_view token;
    std::string value;
    std::string kept;
    std::string work;
    std::string rewritten;
  };

  void PassOn(std::size_t stage, std::string_view bytes, bool last);

  std::vector<Stage> stages_;
  Sink sink_;
  std::string lineEnds_;
  bool afterCr_ = false;
  bool inLine_ = false;
};

// The whole parameter source rewritten by a TokenRewriter. The token values are computed only when
// there is a line, so an empty source cannot fail.
[[nodiscard]] std::string RewriteParameterSource(std::string_view content, const ParameterFields& fields,
                                                 const BarValues& bars, const NumberLocale& locale);

// Steps 2 to 4 of the build: copies sourceFile and its parameter source from appFolder/vgds_source to
// appFolder/tools (replacing what is there), computes the bar values and rewrites the parameter
// source in tools through tools/temp.asm. On return tools/temp.asm does not exist. A template source
// named like one of the tools folder's own files (temp.asm, compile.log, bglc_9.exe) is refused
// before anything is copied. Failures throw std::system_error or std::runtime_error whose text names
// the file and the reason; the copies made so far stay, a temp.asm begun is removed, and the
// parameter source in tools is either the template's copy or the fully rewritten one. The source is
// streamed, so neither its size nor its count of lines decides the memory used.
void GenerateSource(const std::string& appFolder, const std::string& sourceFile, const ParameterFields& fields,
                    const NumberLocale& locale);

}  // namespace build
