#include "asmout/register_pool.h"

#include <utility>

#include "asmout/operand_text.h"
#include "driver/compilation.h"

namespace vorax {

RegisterPool::RegisterPool(Compilation& compilation) : compilation_(compilation) {}

int RegisterPool::poolIndex(std::string_view text) {
  if (!text.empty() && text[0] == '@') {
    text.remove_prefix(1);
  }
  if (!text.empty() && text[0] == '(') {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
      return -1;
    }
    text.remove_prefix(comma + 1);
  }
  const int number = registerNumber(text);
  return number >= 0 && number < kWorkRegisterCount ? number : -1;
}

bool RegisterPool::namedByContents(int index) const {
  const std::string name = registerName(index);
  for (const RegisterContentsEntry& entry : contents_) {
    if (!entry.isFree() && entry.text.find(name) != std::string::npos) {
      return true;
    }
  }
  return false;
}

bool RegisterPool::isWithRegister(int index) const {
  for (int i = 0; i < withCount_; ++i) {
    if (poolIndex(with_[static_cast<std::size_t>(i)].registerText) == index) {
      return true;
    }
  }
  return false;
}

bool RegisterPool::canBeHandedOut(int index) const {
  const WorkRegisterFlags& flags = pool_.registers[static_cast<std::size_t>(index)];
  return !flags.inUse && !flags.locked && !isWithRegister(index);
}

std::string RegisterPool::allocateRegister() {
  for (;;) {
    for (int index = 0; index < kWorkRegisterCount; ++index) {
      if (canBeHandedOut(index) && !namedByContents(index)) {
        pool_.registers[static_cast<std::size_t>(index)].inUse = true;
        return registerName(index);
      }
    }
    // Every register is held or remembered. A register that only remembers a value is
    // free all the same: forget the oldest entry whose register nobody holds, and look
    // again. Entries on held registers stay, since forgetting them frees nothing.
    bool forgotten = false;
    for (int i = 0; i < kRegisterContentsSize && !forgotten; ++i) {
      const RegisterContentsEntry& entry = contents_[static_cast<std::size_t>(i)];
      const int index = entry.isFree() ? -1 : poolIndex(entry.text);
      if (index >= 0 && canBeHandedOut(index)) {
        forgetContentsEntry(i);
        forgotten = true;
      }
    }
    if (!forgotten) {
      // Every register holds a value still to be used. The generators that hold one
      // while they compute another spill it first when registers run low, so no source
      // reaches this point; handing out a register twice would compute something else.
      compilation_.reportError(kNoWorkRegisterLeft);
    }
  }
}

void RegisterPool::releaseRegister(std::string_view text) {
  const int index = poolIndex(text);
  if (index < 0) {
    return;
  }
  WorkRegisterFlags& flags = pool_.registers[static_cast<std::size_t>(index)];
  // A register the record still names keeps its lock: it is not handed out while the
  // record names it, and forgetting the entry frees it.
  flags.inUse = false;
  if (!namedByContents(index)) {
    flags.locked = false;
  }
}

void RegisterPool::lockRegister(std::string_view text) {
  const int index = poolIndex(text);
  if (index >= 0) {
    pool_.registers[static_cast<std::size_t>(index)].locked = true;
  }
}

void RegisterPool::unlockRegister(std::string_view text) {
  const int index = poolIndex(text);
  if (index >= 0) {
    pool_.registers[static_cast<std::size_t>(index)].locked = false;
  }
}

void RegisterPool::markRegisterInUse(std::string_view text) {
  const int index = poolIndex(text);
  if (index >= 0) {
    pool_.registers[static_cast<std::size_t>(index)].inUse = true;
  }
}

bool RegisterPool::isRegisterInUse(std::string_view text) const {
  const int index = poolIndex(text);
  return index >= 0 &&
         (pool_.registers[static_cast<std::size_t>(index)].inUse || namedByContents(index));
}

bool RegisterPool::isRegisterHeld(std::string_view text) const {
  const int index = poolIndex(text);
  return index >= 0 && pool_.registers[static_cast<std::size_t>(index)].inUse;
}

int RegisterPool::availableRegisterCount() const {
  int count = 0;
  for (int index = 0; index < kWorkRegisterCount; ++index) {
    count += canBeHandedOut(index) ? 1 : 0;
  }
  return count;
}

bool RegisterPool::isRegisterLocked(std::string_view text) const {
  const int index = poolIndex(text);
  return index >= 0 && pool_.registers[static_cast<std::size_t>(index)].locked;
}

void RegisterPool::releaseUnlockedRegisters() {
  for (int index = 0; index < kWorkRegisterCount; ++index) {
    if (!pool_.registers[static_cast<std::size_t>(index)].locked) {
      releaseRegister(registerName(index));
    }
  }
}

void RegisterPool::resetRegisterPool() { pool_ = WorkRegisterPool{}; }

const RegisterContentsEntry& RegisterPool::contentsEntry(int i) const {
  return contents_.at(static_cast<std::size_t>(i));
}

std::optional<int> RegisterPool::findContents(const RememberedDesignator& designator) const {
  for (int i = 0; i < kRegisterContentsSize; ++i) {
    const RegisterContentsEntry& entry = contents_[static_cast<std::size_t>(i)];
    if (!entry.isFree() && entry.designator->sameDesignator(designator)) {
      return i;
    }
  }
  return std::nullopt;
}

void RegisterPool::rememberContents(std::unique_ptr<RememberedDesignator> designator,
                                    std::string_view text) {
  if (designator == nullptr) {
    return;
  }
  if (!contents_.back().isFree()) {
    forgetContentsEntry(0);
  }
  for (RegisterContentsEntry& entry : contents_) {
    if (entry.isFree()) {
      entry.designator = std::move(designator);
      entry.text = std::string(text);
      return;
    }
  }
}

// A generator that still uses the register marked it in use when it took the text from
// the record, so forgetting the entry frees only a register nobody holds.
void RegisterPool::forgetContentsEntry(int i) {
  if (i < 0 || i >= kRegisterContentsSize || contents_[static_cast<std::size_t>(i)].isFree()) {
    return;
  }
  for (int j = i; j + 1 < kRegisterContentsSize; ++j) {
    contents_[static_cast<std::size_t>(j)] = std::move(contents_[static_cast<std::size_t>(j + 1)]);
  }
  contents_.back() = RegisterContentsEntry{};
}

void RegisterPool::forgetContentsOfRegister(int n) {
  const std::string name = registerName(n);
  for (int i = 0; i < kRegisterContentsSize; ++i) {
    const RegisterContentsEntry& entry = contents_[static_cast<std::size_t>(i)];
    if (!entry.isFree() && entry.text.find(name) != std::string::npos) {
      forgetContentsEntry(i);
      return;
    }
  }
}

void RegisterPool::forgetRegisterContents() {
  for (RegisterContentsEntry& entry : contents_) {
    entry = RegisterContentsEntry{};
  }
}

const WithRegisterEntry& RegisterPool::withRegister(int i) const {
  if (i < 0 || i >= withCount_) {
    compilation_.reportError(kWithRegistersOverflow);
  }
  return with_[static_cast<std::size_t>(i)];
}

void RegisterPool::pushWithRegister(std::string_view registerText, std::int32_t slotOffset) {
  if (withRegistersFull()) {
    compilation_.reportError(kWithRegistersOverflow);
  }
  with_[static_cast<std::size_t>(withCount_)] =
      WithRegisterEntry{std::string(registerText), slotOffset};
  ++withCount_;
}

WithRegisterEntry RegisterPool::popWithRegister() {
  if (withCount_ == 0) {
    compilation_.reportError(kWithRegistersOverflow);
  }
  --withCount_;
  return std::move(with_[static_cast<std::size_t>(withCount_)]);
}

}  // namespace vorax
