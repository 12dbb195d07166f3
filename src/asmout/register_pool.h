// The work registers r0..r5 with their in-use and locked flags, and the record of what
// each register currently holds, so a second access to a variable can reuse a register.
#pragma once

namespace vorax {

class Compilation;

class RegisterPool {
 public:
  explicit RegisterPool(Compilation& compilation);

  // Forgets every remembered register content (after a call, at a reachable label).
  void forgetRegisterContents();
  void releaseUnlockedRegisters();
  void resetRegisterPool();

 private:
  Compilation& compilation_;
};

}  // namespace vorax
