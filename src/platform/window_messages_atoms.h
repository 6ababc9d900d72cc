#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace platform {

// The global atom table a window-message server owns: texts numbered 0xC000..0xFFFF with a reference
// count each. Texts that differ only in the case of ASCII letters share one atom, which keeps the
// spelling it was first added with.
class AtomTable {
 public:
  inline static constexpr std::uint16_t kFirstAtom = 0xC000;

  // The atom for text with one more reference: the existing one, or the lowest free number. 0 when
  // text is empty or longer than kMaxAtomLength, or every number is taken.
  [[nodiscard]] std::uint16_t Add(std::string_view text);

  // The atom's text; nullopt for a number that names no atom.
  [[nodiscard]] std::optional<std::string> Text(std::uint16_t atom) const;

  // Drops one reference; the atom goes with its last one. False when no such atom exists.
  bool Delete(std::uint16_t atom);

  // How many atoms exist now.
  [[nodiscard]] std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string text;
    std::uint32_t references = 0;
  };
  std::map<std::uint16_t, Entry> entries_;
  std::map<std::string, std::uint16_t> byFoldedText_;  // text with ASCII letters in lower case
  std::set<std::uint16_t> freed_;                      // numbers below next_ that are free again
  std::uint32_t next_ = kFirstAtom;                    // never used so far from here on
};

}  // namespace platform
