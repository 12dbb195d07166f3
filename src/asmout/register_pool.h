// The work registers r0..r5 with their in-use and locked flags, the record of what each
// register currently holds (so a second access to a variable can reuse a register), and
// the registers that nested WITH statements keep their record addresses in.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vorax {

class Compilation;

// Internal consistency failures of the register bookkeeping.
inline constexpr int kWithRegistersOverflow = 962;
inline constexpr int kNoWorkRegisterLeft = 971;

inline constexpr int kWorkRegisterCount = 6;  // r0..r5; r6, fp and sp are never handed out

struct WorkRegisterFlags {
  bool inUse = false;
  bool locked = false;  // survives releaseUnlockedRegisters
};

struct WorkRegisterPool {
  std::array<WorkRegisterFlags, kWorkRegisterCount> registers{};
};

// A private copy of a designator whose address or value some register holds. The
// expression generators derive their designator tree from this; the register bookkeeping
// only needs to compare two of them and to own them.
class RememberedDesignator {
 public:
  virtual ~RememberedDesignator() = default;
  // True when `other` denotes the same variable access (same leaves, texts, offsets, chain).
  [[nodiscard]] virtual bool sameDesignator(const RememberedDesignator& other) const = 0;
};

inline constexpr int kRegisterContentsSize = 6;

// One entry of the register-contents record; free when it holds no designator.
struct RegisterContentsEntry {
  std::unique_ptr<RememberedDesignator> designator;
  std::string text;  // "@r2", "r3": where the designator's address or value is now

  [[nodiscard]] bool isFree() const { return designator == nullptr; }
};

// The record itself: used entries first, oldest first.
using RegisterContents = std::array<RegisterContentsEntry, kRegisterContentsSize>;

// A register that holds the record address of an open WITH, and the frame slot where a
// copy of that address is saved.
struct WithRegisterEntry {
  std::string registerText;
  std::int32_t slotOffset = 0;
};
inline constexpr int kMaxWithRegisters = 2;

class RegisterPool {
 public:
  explicit RegisterPool(Compilation& compilation);

  // The lowest free register of r0..r5 (not in use, not locked, not a WITH register, not
  // named by the contents record), now marked in use. A register that only remembers a
  // value counts as free: when no other is left, the oldest entry on a register nobody
  // holds is forgotten and the search repeats. When every register holds a value still
  // to be used the compilation ends with internal error 971 (the generators spill before
  // that can happen).
  [[nodiscard]] std::string allocateRegister();
  // Frees the register an operand text is built on ("r2", "@r2", "@(4,r3)", "@r1+"). A
  // register the contents record still names is not handed out before its entry is
  // forgotten, and keeps its lock. Other texts are ignored.
  void releaseRegister(std::string_view text);
  void lockRegister(std::string_view text);
  void unlockRegister(std::string_view text);
  void markRegisterInUse(std::string_view text);
  // Held by a generator or named by the contents record: code that writes a register of
  // its own choosing leaves such a register alone.
  [[nodiscard]] bool isRegisterInUse(std::string_view text) const;
  // Held by a generator for a value still to be used (remembered contents do not count).
  [[nodiscard]] bool isRegisterHeld(std::string_view text) const;
  // How many registers allocateRegister could still hand out, remembered ones included.
  [[nodiscard]] int availableRegisterCount() const;
  [[nodiscard]] bool isRegisterLocked(std::string_view text) const;
  // releaseRegister for every register that is not locked: after a routine call nothing
  // but the locked registers is still held.
  void releaseUnlockedRegisters();
  // Clears every flag: a routine body starts with all registers free.
  void resetRegisterPool();
  [[nodiscard]] const WorkRegisterPool& pool() const { return pool_; }

  // Register contents, oldest entry first.
  [[nodiscard]] const RegisterContentsEntry& contentsEntry(int i) const;
  // Index of the entry holding a designator equal to `designator`, if any.
  [[nodiscard]] std::optional<int> findContents(const RememberedDesignator& designator) const;
  // Records that `text` gives the designator's address or value: the first free entry
  // takes it; with all entries used, the oldest is forgotten and the newest slot takes it.
  void rememberContents(std::unique_ptr<RememberedDesignator> designator, std::string_view text);
  // Forgets entry i and moves the later entries one place towards the front. Its register
  // becomes free unless a generator holds it.
  void forgetContentsEntry(int i);
  // Forgets the entry whose text names register n, if any.
  void forgetContentsOfRegister(int n);
  // Forgets every entry; registers that generators hold stay held.
  void forgetRegisterContents();

  // Registers holding the record addresses of open WITH statements (at most two).
  [[nodiscard]] int withRegisterCount() const { return withCount_; }
  [[nodiscard]] bool withRegistersFull() const { return withCount_ == kMaxWithRegisters; }
  [[nodiscard]] const WithRegisterEntry& withRegister(int i) const;
  // Adds an entry; a third one is an internal failure (the WITH parser refuses it first).
  void pushWithRegister(std::string_view registerText, std::int32_t slotOffset);
  // Removes and returns the newest entry.
  WithRegisterEntry popWithRegister();
  void clearWithRegisters() { withCount_ = 0; }

 private:
  // Index 0..5 of the work register an operand text is built on, or -1.
  [[nodiscard]] static int poolIndex(std::string_view text);
  [[nodiscard]] bool namedByContents(int index) const;
  // Neither held, nor locked, nor a WITH register (it may be remembered).
  [[nodiscard]] bool canBeHandedOut(int index) const;
  [[nodiscard]] bool isWithRegister(int index) const;

  Compilation& compilation_;
  WorkRegisterPool pool_;
  RegisterContents contents_;
  std::array<WithRegisterEntry, kMaxWithRegisters> with_;
  int withCount_ = 0;
};

}  // namespace vorax
