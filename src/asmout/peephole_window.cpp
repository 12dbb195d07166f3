#include "asmout/peephole_window.h"

#include <algorithm>
#include <utility>

#include "asmout/output_file.h"
#include "asmout/peephole_text.h"

namespace vorax {

int LocalLabelUses::labelNumber(std::string_view text) {
  if (text.size() < 2 || text[0] != '$') {
    return -1;
  }
  int number = 0;
  for (char c : text.substr(1)) {
    if (c < '0' || c > '9' || number > 100'000'000) {
      return -1;
    }
    number = number * 10 + (c - '0');
  }
  return number;
}

void LocalLabelUses::countUse(std::string_view text) {
  int number = labelNumber(text);
  if (number < 0) {
    return;
  }
  if (static_cast<std::size_t>(number) >= counts_.size()) {
    counts_.resize(static_cast<std::size_t>(number) + 1, 0);
  }
  ++counts_[static_cast<std::size_t>(number)];
}

void LocalLabelUses::dropUse(std::string_view text) {
  int number = labelNumber(text);
  if (number >= 0 && static_cast<std::size_t>(number) < counts_.size() &&
      counts_[static_cast<std::size_t>(number)] > 0) {
    --counts_[static_cast<std::size_t>(number)];
  }
}

int LocalLabelUses::uses(std::string_view text) const { return usesOf(labelNumber(text)); }

int LocalLabelUses::usesOf(int number) const {
  if (number < 0 || static_cast<std::size_t>(number) >= counts_.size()) {
    return 0;
  }
  return counts_[static_cast<std::size_t>(number)];
}

namespace {

// A jump table's "dl" items are labels right-justified in a field: the blanks in front
// of an item are not part of the label.
std::string_view withoutLeadingBlanks(std::string_view item) {
  const std::size_t first = item.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : item.substr(first);
}

template <typename Action>
void forEachItem(std::string_view text, Action action) {
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    action(withoutLeadingBlanks(text.substr(0, comma)));
    if (comma == std::string_view::npos) {
      break;
    }
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

void LocalLabelUses::countUsesIn(std::string_view text) {
  forEachItem(text, [this](std::string_view item) { countUse(item); });
}

void LocalLabelUses::dropUsesIn(std::string_view text) {
  forEachItem(text, [this](std::string_view item) { dropUse(item); });
}

void LocalLabelUses::countWrittenUsesIn(std::string_view text) {
  forEachItem(text, [this](std::string_view item) {
    const int number = labelNumber(item);
    if (number < 0) {
      return;
    }
    if (static_cast<std::size_t>(number) >= writtenCounts_.size()) {
      writtenCounts_.resize(static_cast<std::size_t>(number) + 1, 0);
    }
    ++writtenCounts_[static_cast<std::size_t>(number)];
  });
}

bool LocalLabelUses::usedOutsideWindow(std::string_view text) const {
  const int number = labelNumber(text);
  return number >= 0 && static_cast<std::size_t>(number) < writtenCounts_.size() &&
         writtenCounts_[static_cast<std::size_t>(number)] > 0;
}

void LocalLabelUses::clear() {
  counts_.assign(counts_.size(), 0);
  writtenCounts_.clear();
}

void formatWindowLine(const WindowLine& line, std::vector<std::string>& outLines) {
  std::string text;
  const std::size_t n = line.label.size();
  if (n == 0) {
    text = "\t";
  } else if (n <= 6) {
    text = line.label + ":\t";
  } else if (n == 7) {
    text = line.label + ":";
  } else {
    outLines.push_back(line.label + ":");
    text = "\t";
  }
  text += line.mnemonic;
  if (!line.source.empty()) {
    text += '\t';
    text += line.source;
    if (!line.destination.empty()) {
      text += ',';
      text += line.destination;
    }
  }
  outLines.push_back(std::move(text));
}


// --- tracking ----------------------------------------------------------------------

void ReadTracker::start(int position) {
  low_ = position;
  high_ = position;
  outside_ = false;
  labels_.clear();
  instructions_.clear();
}

void ReadTracker::lookedUpLabel(std::string_view label) {
  if (std::find(labels_.begin(), labels_.end(), label) == labels_.end()) {
    labels_.emplace_back(label);
  }
}

void ReadTracker::lookedUpInstruction(const InstructionKey& key, std::int64_t found) {
  instructions_.push_back({key, found});
}

// --- storage -----------------------------------------------------------------------

PeepholeWindow::PeepholeWindow(OutputFile& output) : output_(output) { ring_.resize(256); }

PeepholeWindow::~PeepholeWindow() {
  if (listener_ != nullptr) {
    listener_->windowDestroyed();
  }
}

void PeepholeWindow::grow() {
  std::vector<WindowLine> larger(ring_.size() * 2);
  for (int i = 0; i < count_; ++i) {
    larger[static_cast<std::size_t>(i)] = std::move(slot(i));
  }
  ring_ = std::move(larger);
  head_ = 0;
}

void PeepholeWindow::openGap(int i) {
  if (count_ == static_cast<int>(ring_.size())) {
    grow();
  }
  if (i < count_ / 2) {
    // Cheaper to move the older lines down one slot.
    head_ = (head_ - 1) & (static_cast<int>(ring_.size()) - 1);
    for (int k = 0; k < i; ++k) {
      slot(k) = std::move(slot(k + 1));
    }
  } else {
    for (int k = count_; k > i; --k) {
      slot(k) = std::move(slot(k - 1));
    }
  }
  ++count_;
  slot(i) = WindowLine();
}

void PeepholeWindow::closeGap(int i) {
  if (i < count_ / 2) {
    for (int k = i; k > 0; --k) {
      slot(k) = std::move(slot(k - 1));
    }
    slot(0) = WindowLine();
    head_ = (head_ + 1) & (static_cast<int>(ring_.size()) - 1);
  } else {
    for (int k = i; k + 1 < count_; ++k) {
      slot(k) = std::move(slot(k + 1));
    }
    slot(count_ - 1) = WindowLine();
  }
  --count_;
}

void PeepholeWindow::decode(int i) {
  WindowLine& line = slot(i);
  line.decoded = decodeLine(line.mnemonic, line.source, line.destination);
  line.decoded.texts = {texts_.numberOf(line.mnemonic), texts_.numberOf(line.source),
                        texts_.numberOf(line.destination)};
}

void PeepholeWindow::index(int i) { indexes_.add(slot(i), absolute(i)); }

void PeepholeWindow::unindex(int i) { indexes_.remove(slot(i), absolute(i)); }

void PeepholeWindow::announceKeys(const WindowLine& line, int i) {
  if (listener_ == nullptr) {
    return;
  }
  if (!line.label.empty()) {
    listener_->labelMoved(line.label);
  }
  listener_->instructionMoved(line.decoded.texts, i);
}

template <typename Edit>
void PeepholeWindow::edit(int i, Edit change) {
  unindex(i);
  announceKeys(slot(i), i);
  change(slot(i));
  decode(i);
  index(i);
  if (listener_ != nullptr) {
    announceKeys(slot(i), i);
    listener_->lineChanged(i);
  }
}

// --- lookups -----------------------------------------------------------------------

int PeepholeWindow::lineCarrying(std::string_view label, bool newest) const {
  if (label.empty()) {
    return -1;
  }
  if (tracker_ != nullptr) {
    tracker_->lookedUpLabel(label);
  }
  const PositionList* lines = indexes_.carrying(label);
  if (lines == nullptr || lines->empty()) {
    return -1;
  }
  return positionOf(newest ? lines->back() : lines->front());
}

int PeepholeWindow::findLabel(std::string_view label) const { return lineCarrying(label, false); }

int PeepholeWindow::findLabelFromNewest(std::string_view label) const {
  return lineCarrying(label, true);
}

int PeepholeWindow::findInstructionBefore(int before, const InstructionKey& key) const {
  const PositionList* lines = indexes_.instructions(key);
  std::int64_t found = lines == nullptr ? -1 : lines->highestBelow(absolute(before));
  if (found < base_) {
    found = -1;
  }
  if (tracker_ != nullptr) {
    tracker_->lookedUpInstruction(key, found);
  }
  return found < 0 ? -1 : positionOf(found);
}

std::vector<int> PeepholeWindow::linesNaming(std::string_view label) const {
  std::vector<int> lines;
  if (!WindowIndexes::isIndexedLabel(label)) {
    for (int i = 0; i < count_; ++i) {
      const WindowLine& line = slot(i);
      if (line.source.find(label) != std::string::npos ||
          line.destination.find(label) != std::string::npos) {
        lines.push_back(i);
      }
    }
    return lines;
  }
  if (const PositionList* naming = indexes_.naming(label)) {
    for (std::int64_t position : *naming) {
      lines.push_back(positionOf(position));
    }
  }
  return lines;
}

bool PeepholeWindow::labelNamedElsewhere(std::string_view label, int except) const {
  if (label.empty()) {
    return false;
  }
  if (!WindowIndexes::isIndexedLabel(label)) {
    for (int i = 0; i < count_; ++i) {
      const WindowLine& line = slot(i);
      if (i != except && (peephole::namesLabel(line.source, label) ||
                          peephole::namesLabel(line.destination, label))) {
        return true;
      }
    }
    return false;
  }
  const PositionList* naming = indexes_.naming(label);
  if (naming == nullptr) {
    return false;
  }
  const std::size_t own = except >= 0 && naming->contains(absolute(except)) ? 1 : 0;
  return naming->size() > own;
}

// --- line operations ---------------------------------------------------------------

void PeepholeWindow::append(WindowLine line) {
  if (count_ == static_cast<int>(ring_.size())) {
    grow();
  }
  slot(count_) = std::move(line);
  ++count_;
  decode(count_ - 1);
  index(count_ - 1);
  if (listener_ != nullptr) {
    listener_->lineAppended();
    announceKeys(slot(count_ - 1), count_ - 1);
  }
}

void PeepholeWindow::setLabel(int i, std::string_view label) {
  if (slot(i).label == label) {
    return;
  }
  std::string text(label);
  edit(i, [&text](WindowLine& line) { line.label = std::move(text); });
}

std::string PeepholeWindow::takeLabel(int i) {
  std::string label = slot(i).label;
  setLabel(i, "");
  return label;
}

void PeepholeWindow::setMnemonic(int i, std::string_view mnemonic) {
  if (slot(i).mnemonic == mnemonic) {
    return;
  }
  std::string text(mnemonic);
  edit(i, [&text](WindowLine& line) { line.mnemonic = std::move(text); });
}

void PeepholeWindow::setSource(int i, std::string_view source) {
  std::string text(source);
  edit(i, [this, &text](WindowLine& line) {
    labelUses_.dropUsesIn(line.source);
    line.source = std::move(text);
    labelUses_.countUsesIn(line.source);
  });
}

void PeepholeWindow::replaceSourceText(int i, std::string_view source) {
  std::string text(source);
  edit(i, [&text](WindowLine& line) { line.source = std::move(text); });
}

void PeepholeWindow::setDestination(int i, std::string_view destination) {
  if (slot(i).destination == destination) {
    return;
  }
  std::string text(destination);
  edit(i, [&text](WindowLine& line) { line.destination = std::move(text); });
}

void PeepholeWindow::deleteLine(int i) {
  edit(i, [this](WindowLine& line) {
    labelUses_.dropUsesIn(line.source);
    line.mnemonic = "nop";
    line.source.clear();
    line.destination.clear();
  });
}

void PeepholeWindow::removeLine(int i) {
  const WindowLine& line = slot(i);
  labelUses_.dropUsesIn(line.source);
  if (line.labelFiller) {
    ++removedLabelFillers_;
  }
  unindex(i);
  announceKeys(line, i);
  indexes_.shift(absolute(i) + 1, -1);
  closeGap(i);
  ++removedLines_;
  if (listener_ != nullptr) {
    listener_->lineRemoved(i);
  }
}

void PeepholeWindow::removeLineKeepingAttached(int i) {
  WindowLine& line = slot(i);
  if (!line.attached.empty()) {
    if (i > 0) {
      auto& previous = slot(i - 1).attached;
      previous.insert(previous.end(), std::make_move_iterator(line.attached.begin()),
                      std::make_move_iterator(line.attached.end()));
    } else {
      for (const std::string& text : line.attached) {
        output_.writeLine(text);
      }
    }
    line.attached.clear();
  }
  removeLine(i);
}

void PeepholeWindow::insertBefore(int i) {
  std::string label = takeLabel(i);
  indexes_.shift(absolute(i), 1);
  openGap(i);
  WindowLine& inserted = slot(i);
  inserted.mnemonic = "neop";
  inserted.label = std::move(label);
  decode(i);
  index(i);
  if (listener_ != nullptr) {
    listener_->lineInserted(i);
    announceKeys(slot(i), i);
  }
}

void PeepholeWindow::redirectBranch(int i, std::string_view newTarget) { setSource(i, newTarget); }

void PeepholeWindow::redirectLabel(std::string_view from, std::string_view to) {
  if (from.empty() || from == to) {
    return;
  }
  // The index names every line whose source may hold `from` as an item; the item test
  // below decides.
  const std::vector<int> candidates = linesNaming(from);
  std::string rewritten;
  for (int i : candidates) {
    const std::string& source = slot(i).source;
    if (source.find(from) == std::string::npos) {
      continue;
    }
    // Rebuild the operand item by item, so "$3" in "$3,$30" is replaced and "$30" is not.
    rewritten.clear();
    bool changed = false;
    std::string_view rest = source;
    while (true) {
      const std::size_t comma = rest.find(',');
      const std::string_view item = rest.substr(0, comma);
      if (withoutLeadingBlanks(item) == from) {
        // A padded item keeps its field width.
        const std::size_t width = item.size();
        if (width > from.size() && width > to.size()) {
          rewritten.append(width - to.size(), ' ');
        }
        rewritten += to;
        changed = true;
      } else {
        rewritten += item;
      }
      if (comma == std::string_view::npos) {
        break;
      }
      rewritten += ',';
      rest.remove_prefix(comma + 1);
    }
    if (changed) {
      setSource(i, rewritten);
    }
  }
}

void PeepholeWindow::moveLines(int first, int length, int before) {
  if (length <= 0) {
    return;
  }
  // The stretch [low, high) turns round: three reversals.
  const int low = std::min(first, before);
  const int high = before < first ? first + length : before;
  const int middle = before < first ? first : first + length;
  for (int i = low; i < high; ++i) {
    unindex(i);
  }
  const auto reverse = [this](int from, int to) {
    for (int a = from, b = to - 1; a < b; ++a, --b) {
      std::swap(slot(a), slot(b));
    }
  };
  reverse(low, middle);
  reverse(middle, high);
  reverse(low, high);
  for (int i = low; i < high; ++i) {
    index(i);
  }
  if (listener_ != nullptr) {
    listener_->linesMoved(first, length, before);
    for (int i = low; i < high; ++i) {
      announceKeys(slot(i), i);
    }
  }
}

void PeepholeWindow::writeLine(const WindowLine& line) {
  if (line.source.find('$') != std::string::npos) {
    labelUses_.countWrittenUsesIn(line.source);
  }
  formatted_.clear();
  formatWindowLine(line, formatted_);
  for (const std::string& text : formatted_) {
    output_.writeLine(text);
  }
  for (const std::string& text : line.attached) {
    output_.writeLine(text);
  }
}

void PeepholeWindow::writeOldest() {
  if (count_ == 0) {
    return;
  }
  writeLine(slot(0));
  unindex(0);
  slot(0) = WindowLine();
  head_ = (head_ + 1) & (static_cast<int>(ring_.size()) - 1);
  --count_;
  ++base_;
  if (listener_ != nullptr) {
    // Its keys need no announcement: a lookup that no longer finds the line only stops
    // a rule from firing (see IncrementalLocalTier).
    listener_->oldestWritten();
  }
}

void PeepholeWindow::writeAll() {
  for (int i = 0; i < count_; ++i) {
    writeLine(slot(i));
    slot(i) = WindowLine();
  }
  count_ = 0;
  head_ = 0;
  base_ = 0;
  indexes_.clear();
  texts_.clear();
  if (listener_ != nullptr) {
    listener_->windowEmptied();
  }
}

}  // namespace vorax
