#include "asmout/peephole_window.h"

#include <algorithm>
#include <utility>

#include "asmout/output_file.h"

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

// A jump table's "dl" items are labels right-justified in a field: the blanks in front
// of an item are not part of the label.
static std::string_view withoutLeadingBlanks(std::string_view item) {
  const std::size_t first = item.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : item.substr(first);
}

template <typename Action>
static void forEachItem(std::string_view text, Action action) {
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    action(withoutLeadingBlanks(text.substr(0, comma)));
    if (comma == std::string_view::npos) {
      break;
    }
    text.remove_prefix(comma + 1);
  }
}

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

PeepholeWindow::PeepholeWindow(OutputFile& output) : output_(output) { lines_.reserve(kCapacity); }

void PeepholeWindow::append(WindowLine line) { lines_.push_back(std::move(line)); }

void PeepholeWindow::deleteLine(int i) {
  WindowLine& line = (*this)[i];
  labelUses_.dropUsesIn(line.source);
  line.mnemonic = "nop";
  line.source.clear();
  line.destination.clear();
}

void PeepholeWindow::removeLine(int i) {
  const WindowLine& line = (*this)[i];
  labelUses_.dropUsesIn(line.source);
  if (line.labelFiller) {
    ++removedLabelFillers_;
  }
  lines_.erase(lines_.begin() + i);
  ++removedLines_;
}

void PeepholeWindow::removeLineKeepingAttached(int i) {
  WindowLine& line = (*this)[i];
  if (!line.attached.empty()) {
    if (i > 0) {
      auto& previous = (*this)[i - 1].attached;
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
  WindowLine inserted;
  inserted.mnemonic = "neop";
  inserted.label = std::exchange((*this)[i].label, std::string());
  lines_.insert(lines_.begin() + i, std::move(inserted));
}

void PeepholeWindow::redirectBranch(int i, std::string_view newTarget) { setSource(i, newTarget); }

void PeepholeWindow::setSource(int i, std::string_view source) {
  WindowLine& line = (*this)[i];
  labelUses_.dropUsesIn(line.source);
  line.source.assign(source);
  labelUses_.countUsesIn(line.source);
}

void PeepholeWindow::redirectLabel(std::string_view from, std::string_view to) {
  if (from.empty() || from == to) {
    return;
  }
  std::string rewritten;
  for (int i = 0; i < count(); ++i) {
    const std::string& source = (*this)[i].source;
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
  auto begin = lines_.begin();
  if (before < first) {
    std::rotate(begin + before, begin + first, begin + first + length);
  } else {
    std::rotate(begin + first, begin + first + length, begin + before);
  }
}

int PeepholeWindow::findLabel(std::string_view label) const {
  if (label.empty()) {
    return -1;
  }
  for (int i = 0; i < count(); ++i) {
    if ((*this)[i].label == label) {
      return i;
    }
  }
  return -1;
}

void PeepholeWindow::writeLine(WindowLine& line) {
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
  if (lines_.empty()) {
    return;
  }
  writeLine(lines_.front());
  lines_.erase(lines_.begin());
}

void PeepholeWindow::writeAll() {
  for (WindowLine& line : lines_) {
    writeLine(line);
  }
  lines_.clear();
}

}  // namespace vorax
