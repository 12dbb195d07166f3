// Indexes of the window's lines, kept up to date by every line operation, so that a
// question such as "where is label L", "which lines name L", "where did this instruction
// stand before" or "which line last wrote r3" costs a lookup instead of a walk over the
// window. Positions are absolute: a line's window position plus the number of lines
// written out before it since the window was last empty, so the oldest line going out
// changes no entry but its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "asmout/decoded_line.h"

namespace vorax {

struct WindowLine;

// Ascending absolute positions. Lines leave mostly from the front and arrive mostly at
// the back, so both ends are cheap.
class PositionList {
 public:
  void insert(std::int64_t position);
  void erase(std::int64_t position);
  [[nodiscard]] bool empty() const { return head_ == items_.size(); }
  [[nodiscard]] std::size_t size() const { return items_.size() - head_; }
  [[nodiscard]] std::int64_t front() const { return items_[head_]; }
  [[nodiscard]] std::int64_t back() const { return items_.back(); }
  // The highest member, or -1.
  [[nodiscard]] std::int64_t newest() const { return empty() ? -1 : items_.back(); }
  [[nodiscard]] bool contains(std::int64_t position) const;
  // The highest member below `position`, or -1.
  [[nodiscard]] std::int64_t highestBelow(std::int64_t position) const;
  // Members from `from` on move by `delta` (their order stays).
  void shift(std::int64_t from, std::int64_t delta);
  [[nodiscard]] const std::int64_t* begin() const { return items_.data() + head_; }
  [[nodiscard]] const std::int64_t* end() const { return items_.data() + items_.size(); }

 private:
  std::vector<std::int64_t> items_;
  std::size_t head_ = 0;  // the items before it have left
};

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>()(text);
  }
};

// Numbers for texts: equal texts get equal numbers for as long as the window is not
// emptied, so rules compare operands and mnemonics as integers. Number 0 is the empty text.
class TextNumbers {
 public:
  std::uint32_t numberOf(std::string_view text);
  void clear();

 private:
  std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> numbers_;
};

class WindowIndexes {
 public:
  // Labels the name index answers for: local labels "$..." and markers "@n" / "#n".
  [[nodiscard]] static bool isIndexedLabel(std::string_view label);
  // The items of an operand text under which the name index files it: every whole run
  // of label characters that starts with "$", and every "@" or "#" not preceded by a
  // label character, together with the whole run after it. An operand names an indexed
  // label L (see peephole::namesLabel) exactly when one of its items equals L.
  static void labelItems(std::string_view text, std::vector<std::string>& items);

  // The indexes take in, or let go of, the line at absolute position `position` (its
  // decoded form must be up to date).
  void add(const WindowLine& line, std::int64_t position);
  void remove(const WindowLine& line, std::int64_t position);
  // Entries from `from` on move by `delta`.
  void shift(std::int64_t from, std::int64_t delta);
  void clear();

  // Lines carrying `label`; null when none does.
  [[nodiscard]] const PositionList* carrying(std::string_view label) const;
  // Lines whose source or destination holds `label` as an item; only for labels that
  // isIndexedLabel accepts.
  [[nodiscard]] const PositionList* naming(std::string_view label) const;
  // Lines with this mnemonic, source and destination.
  [[nodiscard]] const PositionList* instructions(const InstructionKey& key) const;
  // Lines whose destination is work register rN (0..5), or whose only operand it is.
  [[nodiscard]] const PositionList& writersOf(int reg) const;
  // Lines whose destination is exactly work register rN.
  [[nodiscard]] const PositionList& destinationsOf(int reg) const;
  // Lines that call a routine ("bsr", "jsr").
  [[nodiscard]] const PositionList& calls() const { return calls_; }
  // Lines carrying a label that other code may jump to: one not beginning with "@".
  [[nodiscard]] const PositionList& joins() const { return joins_; }
  // Lines carrying any label.
  [[nodiscard]] const PositionList& labelled() const { return labelled_; }

 private:
  struct KeyHash {
    std::size_t operator()(const InstructionKey& key) const {
      return (static_cast<std::size_t>(key.mnemonic) * 0x9E3779B97F4A7C15ull) ^
             (static_cast<std::size_t>(key.source) * 0xC2B2AE3D27D4EB4Full) ^
             (static_cast<std::size_t>(key.destination) * 0x165667B19E3779F9ull);
    }
  };
  using TextIndex = std::unordered_map<std::string, PositionList, TextHash, std::equal_to<>>;

  void update(const WindowLine& line, std::int64_t position, bool adding);
  static void enter(PositionList& list, std::int64_t position, bool adding);

  TextIndex labels_;
  TextIndex names_;
  std::unordered_map<InstructionKey, PositionList, KeyHash> instructions_;
  PositionList writers_[6];
  PositionList destinations_[6];
  PositionList calls_;
  PositionList joins_;
  PositionList labelled_;
  std::vector<std::string> items_;  // reused buffer
};

}  // namespace vorax
