#include "platform/window_messages_atoms.h"

#include <algorithm>

#include "platform/window_messages.h"

namespace platform {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAtomText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace

std::uint16_t AtomTable::Add(std::string_view text) {
  if (text.empty() || text.size() > kMaxAtomLength) return 0;
  for (auto& [atom, entry] : entries_) {
    if (SameAtomText(entry.text, text)) {
      ++entry.references;
      return atom;
    }
  }
  // The map is ordered, so the first gap in the numbering is the lowest free atom.
  std::uint32_t candidate = kFirstAtom;
  for (const auto& [atom, entry] : entries_) {
    if (atom != candidate) break;
    ++candidate;
  }
  if (candidate > 0xFFFF) return 0;
  const auto atom = static_cast<std::uint16_t>(candidate);
  entries_.emplace(atom, Entry{std::string(text), 1});
  return atom;
}

std::optional<std::string> AtomTable::Text(std::uint16_t atom) const {
  const auto it = entries_.find(atom);
  if (it == entries_.end()) return std::nullopt;
  return it->second.text;
}

bool AtomTable::Delete(std::uint16_t atom) {
  const auto it = entries_.find(atom);
  if (it == entries_.end()) return false;
  if (--it->second.references == 0) entries_.erase(it);
  return true;
}

}  // namespace platform
