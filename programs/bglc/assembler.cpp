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
#include <system_error>

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

// Small, since a source may define a name on every one of its lines.
struct Symbol {
  Place defined;
  std::uint64_t offset = 0;  // a label's place in the data; a constant's index in the constants
  bool isConstant = false;
};

struct Constant {
  enum class State { kUnresolved, kResolving, kDone };
  std::string valueText;  // as written
  State state = State::kUnresolved;
  std::optional<Value> value;  // once resolved; nullopt when it has no valid value
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

  // Two passes over the sources, each reading them line by line: the first defines every name, the
  // second writes the data. Nothing of a source is kept but its names, so its size costs no memory.
  Assembly Run(const std::string& mainPath) {
    ReadSource(mainPath, Place{});
    for (const auto& name : constantOrder_) {
      if (gaveUp_) break;
      (void)ResolveConstant(name, 0);
    }
    // The second pass goes as far as the first went, over the same lines, and reports nothing of its
    // own but what the data's values are.
    if (!gaveUp_) {
      pass_ = Pass::kData;
      linesLeft_ = linesRead_;
      ReadSource(mainPath, Place{});
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

  // What the first pass reports; the second has met it already.
  void SourceError(const Place& where, std::string message) {
    if (pass_ == Pass::kNames) Error(where, std::move(message));
  }

  // The source opened, or null after reporting why not.
  std::unique_ptr<SourceLines> Open(const std::string& path, const std::string& normal, const Place& reportAt) {
    OpenedSource source = files_.Open(path);
    if (source.lines == nullptr) {
      SourceError(reportAt, "cannot open " + Quoted(path) + ": " + source.reason);
      return nullptr;
    }
    if (pass_ == Pass::kNames && opened_.insert(normal).second) result_.filesRead.push_back(path);
    return std::move(source.lines);
  }

  // site is the include line that names path, or empty for the main source.
  void ReadSource(const std::string& path, const Place& site) {
    const std::string* file = Intern(path);
    const Place reportAt = site.file == nullptr ? Place{file, 0} : site;
    const std::string normal = NormalPath(path);
    if (std::find(chain_.begin(), chain_.end(), normal) != chain_.end()) {
      std::string cycle;
      for (const auto& outer : chain_) cycle += outer + " -> ";
      SourceError(site, "include cycle: " + cycle + normal);
      return;
    }
    if (chain_.size() >= limits_.includeDepth) {
      SourceError(site, "includes nested more than " + std::to_string(limits_.includeDepth) + " deep");
      return;
    }
    const auto lines = Open(path, normal, reportAt);
    if (lines == nullptr) return;
    chain_.push_back(normal);
    std::string line;
    for (std::size_t number = 1; !gaveUp_; ++number) {
      const Place where{file, number};
      try {
        if (!lines->Next(line, limits_.lineBytes)) break;
      } catch (const std::system_error& failure) {
        SourceError(where, "cannot read " + Quoted(path) + ": " + failure.code().message());
        break;
      }
      if (!CountLine(where)) break;
      if (line.size() > limits_.lineBytes) {
        Stop(where, "a line longer than " + std::to_string(limits_.lineBytes) + " bytes");
        break;
      }
      const ParsedLine parsed = ParseLine(line);
      if (!parsed.ok) {
        SourceError(where, parsed.error);
      } else if (pass_ == Pass::kNames) {
        Handle(parsed.statement, where);
      } else if (parsed.statement.directive == Directive::kInclude) {
        Include(parsed.statement, where);
      } else if (ItemSize(parsed.statement.directive) > 0) {
        Emit(parsed.statement, where);
      }
    }
    chain_.pop_back();
  }

  // Counts a line read; false once the first pass has had too many, or the second as many as the first.
  bool CountLine(const Place& where) {
    if (pass_ == Pass::kData) {
      if (linesLeft_ == 0) gaveUp_ = true;
      return linesLeft_-- > 0;
    }
    if (++linesRead_ > limits_.sourceLines) {
      --linesRead_;
      Stop(where, "more than " + std::to_string(limits_.sourceLines) + " source lines in all (an include repeated?)");
      return false;
    }
    return true;
  }

  void Include(const Statement& statement, const Place& where) {
    // operator/ keeps an absolute name as it is, and a bare name lands beside the including file.
    const auto target = std::filesystem::path(*where.file).parent_path() / statement.operands.front();
    ReadSource(target.string(), where);
  }

  void Handle(const Statement& statement, const Place& where) {
    if (statement.directive == Directive::kInclude) {
      Include(statement, where);
      return;
    }
    Symbol symbol;
    symbol.defined = where;
    if (statement.directive == Directive::kEqu) {
      symbol.isConstant = true;
      symbol.offset = constants_.size();
      if (Define(statement.name, symbol)) {
        constants_.push_back({statement.operands.front(), Constant::State::kUnresolved, std::nullopt});
        constantOrder_.push_back(statement.name);
      }
      return;
    }
    if (!statement.name.empty()) {
      symbol.offset = offset_;
      (void)Define(statement.name, symbol);
    }
    if (statement.directive == Directive::kNone) return;

    offset_ += ItemSize(statement.directive) * statement.operands.size();
    if (offset_ > limits_.dataBytes) {
      Stop(where, "the model data grows beyond " + std::to_string(limits_.dataBytes) + " bytes");
    }
  }

  [[nodiscard]] bool Define(const std::string& name, const Symbol& symbol) {
    const auto [existing, inserted] = symbols_.try_emplace(name, symbol);
    if (!inserted) {
      const Location first = existing->second.defined.ToLocation();
      Error(symbol.defined,
            Quoted(name) + " is already defined at " + first.file + "(" + std::to_string(first.line) + ")");
    }
    return inserted;
  }

  std::optional<Value> ResolveConstant(const std::string& name, std::size_t depth) {
    const Symbol& symbol = symbols_.at(name);
    Constant& constant = constants_[symbol.offset];
    if (constant.state == Constant::State::kDone) return constant.value;
    if (constant.state == Constant::State::kResolving || depth > kMaxConstantDepth) {
      Error(symbol.defined, Quoted(name) + " is defined in terms of itself");
      constant.state = Constant::State::kDone;
      return std::nullopt;
    }
    constant.state = Constant::State::kResolving;
    const std::optional<Value> value = Evaluate(constant.valueText, symbol.defined, depth);
    // A cycle found below may have settled this constant already; its verdict stands.
    if (constant.state != Constant::State::kDone) {
      constant.value = value;
      constant.state = Constant::State::kDone;
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

  void Emit(const Statement& statement, const Place& where) {
    const std::string_view directive = DirectiveName(statement.directive);
    const std::size_t size = ItemSize(statement.directive);
    for (const auto& operand : statement.operands) {
      const std::optional<Value> value = Evaluate(operand, where, 0);
      if (!value) continue;
      const std::string shown = IsName(operand) ? operand + " (= " + ValueText(*value) + ")" : operand;
      if (statement.directive == Directive::kReal4 || statement.directive == Directive::kReal8) {
        const double real = value->isReal ? value->real : static_cast<double>(value->integer);
        if (statement.directive == Directive::kReal8) {
          AppendLittleEndian(result_.data, std::bit_cast<std::uint64_t>(real), size);
        } else if (std::abs(real) <= std::numeric_limits<float>::max()) {
          AppendLittleEndian(result_.data, std::bit_cast<std::uint32_t>(static_cast<float>(real)), size);
        } else {
          Error(where, shown + " is out of range for real4");
        }
        continue;
      }
      if (value->isReal) {
        Error(where, std::string(directive) + " needs a whole number, not " + shown);
        continue;
      }
      const IntegerRange range = RangeOf(statement.directive);
      if (value->integer < range.low || value->integer > range.high) {
        Error(where, shown + " is out of range for " + std::string(directive) + " (" + std::to_string(range.low) +
                              ".." + std::to_string(range.high) + ")");
        continue;
      }
      AppendLittleEndian(result_.data, static_cast<std::uint64_t>(value->integer), size);
    }
  }

  enum class Pass { kNames, kData };

  const SourceFiles& files_;
  const Limits limits_;
  Pass pass_ = Pass::kNames;
  std::set<std::string> paths_;     // every path spelling seen, for Place
  std::set<std::string> opened_;    // normal paths of the sources opened
  std::vector<std::string> chain_;  // normal paths of the files being read, outermost first
  std::map<std::string, Symbol> symbols_;
  std::vector<Constant> constants_;
  std::vector<std::string> constantOrder_;
  std::uint64_t offset_ = 0;
  std::size_t linesRead_ = 0;  // by the first pass
  std::size_t linesLeft_ = 0;  // for the second pass to read
  bool gaveUp_ = false;
  Assembly result_;
};

}  // namespace

Assembly Assemble(const std::string& mainPath, const SourceFiles& files, const Limits& limits) {
  return Assembler(files, limits).Run(mainPath);
}

}  // namespace bglc
