#include "asmout/window_indexes.h"

#include <algorithm>

#include "asmout/peephole_text.h"
#include "asmout/peephole_window.h"

namespace vorax {

// --- PositionList ------------------------------------------------------------------

void PositionList::insert(std::int64_t position) {
  if (empty() || position > items_.back()) {
    items_.push_back(position);
    return;
  }
  const auto at = std::lower_bound(items_.begin() + static_cast<std::ptrdiff_t>(head_),
                                   items_.end(), position);
  if (*at != position) {
    items_.insert(at, position);
  }
}

void PositionList::erase(std::int64_t position) {
  if (empty()) {
    return;
  }
  if (items_[head_] == position) {
    ++head_;
    // Let go of the dead front once it outweighs the living part.
    if (head_ == items_.size()) {
      items_.clear();
      head_ = 0;
    } else if (head_ > 64 && head_ * 2 > items_.size()) {
      items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
      head_ = 0;
    }
    return;
  }
  const auto at = std::lower_bound(items_.begin() + static_cast<std::ptrdiff_t>(head_),
                                   items_.end(), position);
  if (at != items_.end() && *at == position) {
    items_.erase(at);
  }
}

bool PositionList::contains(std::int64_t position) const {
  return std::binary_search(begin(), end(), position);
}

std::int64_t PositionList::highestBelow(std::int64_t position) const {
  const std::int64_t* at = std::lower_bound(begin(), end(), position);
  return at == begin() ? -1 : *(at - 1);
}

void PositionList::shift(std::int64_t from, std::int64_t delta) {
  for (std::size_t i = head_; i < items_.size(); ++i) {
    if (items_[i] >= from) {
      items_[i] += delta;
    }
  }
}

// --- TextNumbers -------------------------------------------------------------------

std::uint32_t TextNumbers::numberOf(std::string_view text) {
  if (text.empty()) {
    return 0;
  }
  const auto found = numbers_.find(text);
  if (found != numbers_.end()) {
    return found->second;
  }
  const auto number = static_cast<std::uint32_t>(numbers_.size() + 1);
  numbers_.emplace(std::string(text), number);
  return number;
}

void TextNumbers::clear() { numbers_.clear(); }

// --- WindowIndexes -----------------------------------------------------------------

namespace {

bool allLabelCharacters(std::string_view text) {
  return std::all_of(text.begin(), text.end(), peephole::isLabelCharacter);
}

}  // namespace

bool WindowIndexes::isIndexedLabel(std::string_view label) {
  if (label.empty()) {
    return false;
  }
  if (label[0] == '$') {
    return allLabelCharacters(label);
  }
  return (label[0] == '@' || label[0] == '#') && label.size() >= 2 &&
         allLabelCharacters(label.substr(1));
}

void WindowIndexes::labelItems(std::string_view text, std::vector<std::string>& items) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i + 1;
    if (!peephole::isLabelCharacter(text[i])) {
      const bool marker = (text[i] == '@' || text[i] == '#') &&
                          (i == 0 || !peephole::isLabelCharacter(text[i - 1]));
      while (end < text.size() && peephole::isLabelCharacter(text[end])) {
        ++end;
      }
      if (marker && end > i + 1) {
        items.emplace_back(text.substr(i, end - i));
      }
      ++i;
      continue;
    }
    while (end < text.size() && peephole::isLabelCharacter(text[end])) {
      ++end;
    }
    if (text[i] == '$') {
      items.emplace_back(text.substr(i, end - i));
    }
    i = end;
  }
}

void WindowIndexes::enter(PositionList& list, std::int64_t position, bool adding) {
  if (adding) {
    list.insert(position);
  } else {
    list.erase(position);
  }
}

void WindowIndexes::update(const WindowLine& line, std::int64_t position, bool adding) {
  if (!line.label.empty()) {
    auto found = labels_.find(std::string_view(line.label));
    if (found == labels_.end() && adding) {
      found = labels_.emplace(line.label, PositionList()).first;
    }
    if (found != labels_.end()) {
      enter(found->second, position, adding);
      if (found->second.empty()) {
        labels_.erase(found);
      }
    }
  }
  items_.clear();
  labelItems(line.source, items_);
  labelItems(line.destination, items_);
  for (const std::string& item : items_) {
    auto found = names_.find(std::string_view(item));
    if (found == names_.end() && adding) {
      found = names_.emplace(item, PositionList()).first;
    }
    if (found != names_.end()) {
      enter(found->second, position, adding);
      if (found->second.empty()) {
        names_.erase(found);
      }
    }
  }
  auto instruction = instructions_.find(line.decoded.texts);
  if (instruction == instructions_.end() && adding) {
    instruction = instructions_.emplace(line.decoded.texts, PositionList()).first;
  }
  if (instruction != instructions_.end()) {
    enter(instruction->second, position, adding);
    if (instruction->second.empty()) {
      instructions_.erase(instruction);
    }
  }
  if (line.decoded.namedTarget >= 0) {
    enter(writers_[line.decoded.namedTarget], position, adding);
  }
  if (line.decoded.destination.kind == OperandForm::Register && line.decoded.destination.reg >= 0 &&
      line.decoded.destination.reg <= 5) {
    enter(destinations_[line.decoded.destination.reg], position, adding);
  }
  if (line.decoded.is(Mnemonic::Bsr) || line.decoded.is(Mnemonic::Jsr)) {
    enter(calls_, position, adding);
  }
  if (!line.label.empty()) {
    enter(labelled_, position, adding);
    if (line.label[0] != '@') {
      enter(joins_, position, adding);
    }
  }
}

void WindowIndexes::add(const WindowLine& line, std::int64_t position) {
  update(line, position, true);
}

void WindowIndexes::remove(const WindowLine& line, std::int64_t position) {
  update(line, position, false);
}

void WindowIndexes::shift(std::int64_t from, std::int64_t delta) {
  for (TextIndex* index : {&labels_, &names_}) {
    for (auto& entry : *index) {
      entry.second.shift(from, delta);
    }
  }
  for (auto& entry : instructions_) {
    entry.second.shift(from, delta);
  }
  for (PositionList* list : {&calls_, &joins_, &labelled_}) {
    list->shift(from, delta);
  }
  for (int reg = 0; reg < 6; ++reg) {
    writers_[reg].shift(from, delta);
    destinations_[reg].shift(from, delta);
  }
}

void WindowIndexes::clear() {
  labels_.clear();
  names_.clear();
  instructions_.clear();
  for (int reg = 0; reg < 6; ++reg) {
    writers_[reg] = PositionList();
    destinations_[reg] = PositionList();
  }
  calls_ = PositionList();
  joins_ = PositionList();
  labelled_ = PositionList();
}

const PositionList* WindowIndexes::carrying(std::string_view label) const {
  const auto found = labels_.find(label);
  return found == labels_.end() ? nullptr : &found->second;
}

const PositionList* WindowIndexes::naming(std::string_view label) const {
  const auto found = names_.find(label);
  return found == names_.end() ? nullptr : &found->second;
}

const PositionList* WindowIndexes::instructions(const InstructionKey& key) const {
  const auto found = instructions_.find(key);
  return found == instructions_.end() ? nullptr : &found->second;
}

const PositionList& WindowIndexes::writersOf(int reg) const {
  return writers_[static_cast<std::size_t>(reg)];
}

const PositionList& WindowIndexes::destinationsOf(int reg) const {
  return destinations_[static_cast<std::size_t>(reg)];
}

}  // namespace vorax
