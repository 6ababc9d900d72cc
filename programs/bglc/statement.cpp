#include "bglc/statement.h"

#include <array>
#include <utility>

namespace bglc {
namespace {

struct Keyword {
  std::string_view word;
  Directive directive;
  std::size_t size;
};

constexpr std::array kKeywords{
    Keyword{"db", Directive::kDb, 1},           Keyword{"dw", Directive::kDw, 2},
    Keyword{"dd", Directive::kDd, 4},           Keyword{"real4", Directive::kReal4, 4},
    Keyword{"real8", Directive::kReal8, 8},     Keyword{"equ", Directive::kEqu, 0},
    Keyword{"include", Directive::kInclude, 0},
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

Directive KeywordOf(std::string_view word) {
  for (const auto& keyword : kKeywords) {
    if (keyword.word.size() != word.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < word.size(); ++i) same = same && Lower(word[i]) == keyword.word[i];
    if (same) return keyword.directive;
  }
  return Directive::kNone;
}

// Splits off the leading run of non-blank characters.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return {text.substr(0, end), Trim(text.substr(end))};
}

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9');
}

ParsedLine Failure(std::string error) {
  return {false, {}, std::move(error)};
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// Fills the operands of a statement whose directive is known.
ParsedLine WithOperands(Statement statement, std::string_view rest) {
  const std::string_view name = DirectiveName(statement.directive);
  if (statement.directive == Directive::kInclude) {
    if (!statement.name.empty()) return Failure("include cannot carry a label");
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
    if (rest.empty()) return Failure("include needs a file name");
    statement.operands.emplace_back(rest);
    return {true, std::move(statement), {}};
  }
  if (statement.directive == Directive::kEqu && statement.name.empty()) return Failure("equ needs a name before it");
  if (rest.empty()) return Failure(std::string(name) + " needs a value");
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = rest.find(',', start);
    const std::string_view item = Trim(rest.substr(start, comma == std::string_view::npos ? rest.npos : comma - start));
    if (item.empty()) return Failure("empty value in the list of " + std::string(name));
    statement.operands.emplace_back(item);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  // One real per line: a decimal comma ("-0,744") must not pass as two values.
  const bool single = statement.directive == Directive::kEqu || statement.directive == Directive::kReal4 ||
                      statement.directive == Directive::kReal8;
  if (single && statement.operands.size() > 1) {
    return Failure(std::string(name) + " takes one value, not the list " + Quoted(rest) +
                   " (a decimal comma instead of a point?)");
  }
  return {true, std::move(statement), {}};
}

}  // namespace

std::size_t ItemSize(Directive directive) {
  for (const auto& keyword : kKeywords) {
    if (keyword.directive == directive) return keyword.size;
  }
  return 0;
}

std::string_view DirectiveName(Directive directive) {
  for (const auto& keyword : kKeywords) {
    if (keyword.directive == directive) return keyword.word;
  }
  return "";
}

bool IsName(std::string_view text) {
  if (text.empty() || !IsNameStart(text.front())) return false;
  for (const char c : text) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

ParsedLine ParseLine(std::string_view line) {
  std::string_view rest = Trim(line.substr(0, line.find(';')));
  Statement statement;

  std::size_t nameEnd = 0;
  while (nameEnd < rest.size() && IsNameChar(rest[nameEnd])) ++nameEnd;
  if (nameEnd < rest.size() && rest[nameEnd] == ':') {
    const std::string_view label = rest.substr(0, nameEnd);
    if (!IsName(label)) return Failure(Quoted(label) + " is not a valid label name");
    if (KeywordOf(label) != Directive::kNone) return Failure(Quoted(label) + " is a directive, not a label name");
    statement.name = label;
    rest = Trim(rest.substr(nameEnd + 1));
  }

  auto [word, afterWord] = FirstWord(rest);
  if (word.empty()) return {true, std::move(statement), {}};
  statement.directive = KeywordOf(word);
  if (statement.directive != Directive::kNone) return WithOperands(std::move(statement), afterWord);

  const auto [second, afterSecond] = FirstWord(afterWord);
  const Directive directive = KeywordOf(second);
  if (statement.name.empty() && IsName(word) && directive != Directive::kNone && directive != Directive::kInclude) {
    statement.name = word;
    statement.directive = directive;
    return WithOperands(std::move(statement), afterSecond);
  }
  if (IsName(word) && afterWord.empty() && statement.name.empty()) {
    return Failure("unknown directive " + Quoted(word) + " (a label needs a colon: " + std::string(word) + ":)");
  }
  return Failure("unknown directive " + Quoted(word));
}

}  // namespace bglc
