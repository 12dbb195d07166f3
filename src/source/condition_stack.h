// The state of conditional compilation: a stack of booleans whose top says whether the
// source text is active. The base entry is always true; each open IFDEF or IFNDEF adds
// two entries, its condition and its effective state (the condition and the state
// around it), so an ELSE can compute the other branch from the enclosing state.
#pragma once

#include <array>

namespace vorax {

class ConditionStack {
 public:
  static constexpr int kCapacity = 16;  // the base entry and 7 nested conditionals
  static constexpr int kMaxNesting = (kCapacity - 1) / 2;

  [[nodiscard]] bool active() const { return entries_[static_cast<std::size_t>(depth_ - 1)]; }
  [[nodiscard]] int depth() const { return depth_; }
  [[nodiscard]] int openConditionals() const { return (depth_ - 1) / 2; }

  // IFDEF / IFNDEF. False (and nothing changed) when kMaxNesting levels are open already.
  [[nodiscard]] bool open(bool condition);
  // ELSE. False when no conditional is open.
  [[nodiscard]] bool switchToElse();
  // ENDIF. False when no conditional is open.
  [[nodiscard]] bool close();

 private:
  void push(bool value) { entries_[static_cast<std::size_t>(depth_++)] = value; }
  bool pop() { return entries_[static_cast<std::size_t>(--depth_)]; }

  std::array<bool, kCapacity> entries_{true};
  int depth_ = 1;
};

}  // namespace vorax
