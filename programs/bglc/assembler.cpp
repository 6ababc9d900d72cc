#include "bglc/assembler.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "bglc/number_literal.h"
#include "bglc/statement.h"
#include "platform/text_file.h"

namespace bglc {
namespace {

// Constants defined through one another deeper than this are taken for a runaway definition.
constexpr std::size_t kMaxConstantDepth = 64;

// A source line, small enough to keep one per line of a large build: the path is interned.
struct Place {
  const std::string* file = nullptr;
  std::size_t line = 0;
  [[nodiscard]] Location ToLocation() const { return {file != nullptr ? *file : std::string(), line}; }
};

// A data line waits for the second pass as its text, which stays alive in the source cache, and is
// parsed again then: keeping the parsed operands of every line would cost far more memory.
struct DataLine {
  Place where;
  std::string_view text;
};

struct Symbol {
  enum class State { kUnresolved, kResolving, kDone };
  Place defined;
  bool isConstant = false;
  std::uint64_t offset = 0;  // a label's place in the data
  std::string valueText;     // a constant's value as written
  State state = State::kUnresolved;
  std::optional<Value> value;  // a constant's value once resolved; nullopt when it has no valid value
};

struct IntegerRange {
  std::int64_t low;
  std::int64_t high;
};

IntegerRange RangeOf(Directive directive) {
  switch (directive) {
    case Directive::kDb: return {-128, 255};
    case Directive::kDw: return {-32768, 65535};
    default: return {-2147483648LL, 4294967295LL};
  }
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string ValueText(const Value& value) {
  if (!value.isReal) return std::to_string(value.integer);
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value.real).ptr;
  return std::string(text, end);
}

void AppendLittleEndian(std::vector<std::uint8_t>& data, std::uint64_t bits, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) data.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

class Assembler {
 public:
  Assembler(const SourceFiles& files, const Limits& limits) : files_(files), limits_(limits) {}

  Assembly Run(const std::string& mainPath) {
    ReadSource(mainPath, Place{});
    for (const auto& name : constantOrder_) {
      if (gaveUp_) break;
      (void)ResolveConstant(name, 0);
    }
    for (const auto& line : dataLines_) {
      if (gaveUp_) break;
      Emit(line);
    }
    if (!result_.ok()) result_.data.clear();
    return std::move(result_);
  }

 private:
  void Error(const Place& where, std::string message) {
    if (gaveUp_) return;
    result_.errors.push_back({where.ToLocation(), std::move(message)});
    if (result_.errors.size() == limits_.errors) Stop(where, "too many errors; stopping here");
  }

  // Records a last error and ends the run: what follows would be noise or would not end.
  void Stop(const Place& where, std::string message) {
    if (gaveUp_) return;
    result_.errors.push_back({where.ToLocation(), std::move(message)});
    gaveUp_ = true;
  }

  const std::string* Intern(const std::string& path) { return &*paths_.insert(path).first; }

  // The text of a source, read once however often it is included; nullptr after reporting why not.
  const std::string* SourceTextOf(const std::string& path, const std::string& normal, const Place& reportAt) {
    const auto cached = texts_.find(normal);
    if (cached != texts_.end()) return &cached->second;
    SourceText source = files_.Read(path);
    if (!source.found) {
      Error(reportAt, "cannot open " + Quoted(path) + ": " + source.reason);
      return nullptr;
    }
    result_.filesRead.push_back(path);
    return &texts_.emplace(normal, std::move(source.text)).first->second;
  }

  // site is the include line that names path, or empty for the main source.
  void ReadSource(const std::string& path, const Place& site) {
    const std::string* file = Intern(path);
    const Place reportAt = site.file == nullptr ? Place{file, 0} : site;
    const std::string normal = NormalPath(path);
    if (std::find(chain_.begin(), chain_.end(), normal) != chain_.end()) {
      std::string cycle;
      for (const auto& outer : chain_) cycle += outer + " -> ";
      Error(site, "include cycle: " + cycle + normal);
      return;
    }
    if (chain_.size() >= limits_.includeDepth) {
      Error(site, "includes nested more than " + std::to_string(limits_.includeDepth) + " deep");
      return;
    }
    const std::string* text = SourceTextOf(path, normal, reportAt);
    if (text == nullptr) return;
    const std::vector<std::string_view> lines = LinesOf(*text);
    linesRead_ += lines.size();
    if (linesRead_ > limits_.sourceLines) {
      Stop(reportAt,
           "more than " + std::to_string(limits_.sourceLines) + " source lines in all (an include repeated?)");
      return;
    }
    chain_.push_back(normal);
    for (std::size_t i = 0; i < lines.size() && !gaveUp_; ++i) {
      const Place where{file, i + 1};
      const ParsedLine parsed = ParseLine(lines[i]);
      if (parsed.ok) {
        Handle(parsed.statement, where, lines[i]);
      } else {
        Error(where, parsed.error);
      }
    }
    chain_.pop_back();
  }

  // Views of the lines of text, with the line ends SplitLines recognises.
  static std::vector<std::string_view> LinesOf(const std::string& text) {
    std::vector<std::string_view> views;
    std::size_t start = 0;
    for (const auto& line : platform::SplitLines(text)) {
      start = text.find(line, start);
      views.emplace_back(text.data() + start, line.size());
      start += line.size();
    }
    return views;
  }

  void Handle(const Statement& statement, const Place& where, std::string_view text) {
    if (statement.directive == Directive::kInclude) {
      // operator/ keeps an absolute name as it is, and a bare name lands beside the including file.
      const auto target = std::filesystem::path(*where.file).parent_path() / statement.operands.front();
      ReadSource(target.string(), where);
      return;
    }
    Symbol symbol;
    symbol.defined = where;
    if (statement.directive == Directive::kEqu) {
      symbol.isConstant = true;
      symbol.valueText = statement.operands.front();
      if (Define(statement.name, std::move(symbol))) constantOrder_.push_back(statement.name);
      return;
    }
    if (!statement.name.empty()) {
      symbol.offset = offset_;
      (void)Define(statement.name, std::move(symbol));
    }
    if (statement.directive == Directive::kNone) return;

    offset_ += ItemSize(statement.directive) * statement.operands.size();
    if (offset_ > limits_.dataBytes) {
      Stop(where, "the model data grows beyond " + std::to_string(limits_.dataBytes) + " bytes");
      return;
    }
    dataLines_.push_back({where, text});
  }

  [[nodiscard]] bool Define(const std::string& name, Symbol symbol) {
    const auto [existing, inserted] = symbols_.try_emplace(name, symbol);
    if (!inserted) {
      const Location first = existing->second.defined.ToLocation();
      Error(symbol.defined,
            Quoted(name) + " is already defined at " + first.file + "(" + std::to_string(first.line) + ")");
    }
    return inserted;
  }

  std::optional<Value> ResolveConstant(const std::string& name, std::size_t depth) {
    Symbol& constant = symbols_.at(name);
    if (constant.state == Symbol::State::kDone) return constant.value;
    if (constant.state == Symbol::State::kResolving || depth > kMaxConstantDepth) {
      Error(constant.defined, Quoted(name) + " is defined in terms of itself");
      constant.state = Symbol::State::kDone;
      return std::nullopt;
    }
    constant.state = Symbol::State::kResolving;
    const std::optional<Value> value = Evaluate(constant.valueText, constant.defined, depth);
    // A cycle found below may have settled this constant already; its verdict stands.
    if (constant.state != Symbol::State::kDone) {
      constant.value = value;
      constant.state = Symbol::State::kDone;
    }
    return constant.value;
  }

  // nullopt after reporting why (or silently when a constant it names was reported already).
  std::optional<Value> Evaluate(const std::string& operand, const Place& where, std::size_t depth) {
    const Literal literal = ReadNumberLiteral(operand);
    if (literal.status == LiteralStatus::kValue) return literal.value;
    if (literal.status == LiteralStatus::kOutOfRange) {
      Error(where, Quoted(operand) + " is too large a number");
      return std::nullopt;
    }
    if (!IsName(operand)) {
      Error(where, Quoted(operand) + " is neither a number nor a name");
      return std::nullopt;
    }
    const auto found = symbols_.find(operand);
    if (found == symbols_.end()) {
      Error(where, "undefined name " + Quoted(operand));
      return std::nullopt;
    }
    if (!found->second.isConstant) return Value{false, static_cast<std::int64_t>(found->second.offset), 0.0};
    return ResolveConstant(operand, depth + 1);
  }

  void Emit(const DataLine& line) {
    const Statement statement = ParseLine(line.text).statement;
    const std::string_view directive = DirectiveName(statement.directive);
    const std::size_t size = ItemSize(statement.directive);
    for (const auto& operand : statement.operands) {
      const std::optional<Value> value = Evaluate(operand, line.where, 0);
      if (!value) continue;
      const std::string shown = IsName(operand) ? operand + " (= " + ValueText(*value) + ")" : operand;
      if (statement.directive == Directive::kReal4 || statement.directive == Directive::kReal8) {
        const double real = value->isReal ? value->real : static_cast<double>(value->integer);
        if (statement.directive == Directive::kReal8) {
          AppendLittleEndian(result_.data, std::bit_cast<std::uint64_t>(real), size);
        } else if (std::abs(real) <= std::numeric_limits<float>::max()) {
          AppendLittleEndian(result_.data, std::bit_cast<std::uint32_t>(static_cast<float>(real)), size);
        } else {
          Error(line.where, shown + " is out of range for real4");
        }
        continue;
      }
      if (value->isReal) {
        Error(line.where, std::string(directive) + " needs a whole number, not " + shown);
        continue;
      }
      const IntegerRange range = RangeOf(statement.directive);
      if (value->integer < range.low || value->integer > range.high) {
        Error(line.where, shown + " is out of range for " + std::string(directive) + " (" + std::to_string(range.low) +
                              ".." + std::to_string(range.high) + ")");
        continue;
      }
      AppendLittleEndian(result_.data, static_cast<std::uint64_t>(value->integer), size);
    }
  }

  const SourceFiles& files_;
  const Limits limits_;
  std::set<std::string> paths_;               // every path spelling seen, for Place
  std::map<std::string, std::string> texts_;  // source texts by normal path
  std::vector<std::string> chain_;            // normal paths of the files being read, outermost first
  std::vector<DataLine> dataLines_;
  std::map<std::string, Symbol> symbols_;
  std::vector<std::string> constantOrder_;
  std::uint64_t offset_ = 0;
  std::size_t linesRead_ = 0;
  bool gaveUp_ = false;
  Assembly result_;
};

}  // namespace

Assembly Assemble(const std::string& mainPath, const SourceFiles& files, const Limits& limits) {
  return Assembler(files, limits).Run(mainPath);
}

}  // namespace bglc
