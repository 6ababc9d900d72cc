#include "platform/window_messages_atoms.h"

#include "platform/window_messages.h"

namespace platform {
std::uint16_t AtomTable::Add(std::string_view text) {
  if (text.empty() || text.size() > kMaxAtomLength) return 0;
  std::string folded = FoldAsciiCase(text);
  if (const auto known = byFoldedText_.find(folded); known != byFoldedText_.end()) {
    ++entries_.at(known->second).references;
    return known->second;
  }
  std::uint16_t atom = 0;
  if (!freed_.empty()) {
    atom = *freed_.begin();
    freed_.erase(freed_.begin());
  } else if (next_ <= 0xFFFF) {
    atom = static_cast<std::uint16_t>(next_++);
  } else {
    return 0;
  }
  entries_.emplace(atom, Entry{std::string(text), 1});
  byFoldedText_.emplace(std::move(folded), atom);
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
  if (--it->second.references == 0) {
    byFoldedText_.erase(FoldAsciiCase(it->second.text));
    entries_.erase(it);
    freed_.insert(atom);
  }
  return true;
}

}  // namespace platform
