// Stores of REAL, pointer and structured (array and record) values.
#include <string>
#include <vector>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/assign_kinds.h"
#include "stmt/call_support.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

// The most words a 16-bit loop counter counts down from.
constexpr std::int32_t kLargestWordCount = 0xFFFF;

// One move of `width` bytes at `offset` of the copy.
struct CopyStep {
  int width;
  std::int32_t offset;
};

// Short structures are copied by unrolled moves through one register.
bool unrolledSteps(std::int32_t size, std::vector<CopyStep>& steps) {
  switch (size) {
    case 4:
      steps = {{4, 0}};
      return true;
    case 6:
      steps = {{4, 0}, {2, 4}};
      return true;
    case 8:
      steps = {{4, 0}, {4, 4}};
      return true;
    case 10:
      steps = {{4, 0}, {4, 4}, {2, 8}};
      return true;
    default:
      return false;
  }
}

// Locks the registers the two operands are built on for as long as it lives, leaving the
// locks others hold as they are.
class OperandLocks {
 public:
  OperandLocks(RegisterPool& pool, std::string_view first, std::string_view second) : pool_(pool) {
    lock(first);
    lock(second);
  }
  ~OperandLocks() {
    for (const std::string& text : locked_) {
      pool_.unlockRegister(text);
    }
  }
  OperandLocks(const OperandLocks&) = delete;
  OperandLocks& operator=(const OperandLocks&) = delete;

 private:
  void lock(std::string_view text) {
    if (pool_.isRegisterLocked(text)) {
      return;
    }
    pool_.lockRegister(text);
    if (pool_.isRegisterLocked(text)) {
      locked_.emplace_back(text);
    }
  }

  RegisterPool& pool_;
  std::vector<std::string> locked_;
};

// The designator's address in a register the copy loop may advance. An immediate address,
// a WITH base or a locked register (a FOR control variable, an address held for a caller)
// is copied first: stepping it would move every later access through it.
std::string addressInRegister(Compilation& c, ExprPtr& designator) {
  designator->addressWanted = true;
  std::string address = generateVariable(c, designator);
  if (isScratchRegister(c, address)) {
    return address;
  }
  const std::string loaded = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.l", address, loaded);
  if (!isWithBase(c, address) && !c.registers.isRegisterLocked(address)) {
    c.registers.releaseRegister(address);
  }
  return loaded;
}

// A target whose address needs a routine call has that address pushed before the source
// is reached, and popped into a register afterwards: no register survives a call.
class CopyTarget {
 public:
  CopyTarget(Compilation& c, ExprPtr& designator)
      : c_(c), designator_(designator), pushed_(targetAddressMayCall(*designator)) {
    if (pushed_) {
      pushAddress(c_, designator_);
    }
  }
  [[nodiscard]] bool pushed() const { return pushed_; }
  // The register holding the pushed address.
  std::string popAddress() {
    const std::string address = c_.registers.allocateRegister();
    c_.emitter.emitInstruction("mov.l", "@sp+", address);
    return address;
  }

 private:
  Compilation& c_;
  ExprPtr& designator_;
  bool pushed_;
};

void copyUnrolled(Compilation& c, ExprPtr& target, ExprPtr& source,
                  const std::vector<CopyStep>& steps) {
  CopyTarget copyTarget(c, target);
  const std::string from = generateVariable(c, source);
  std::string to;
  if (copyTarget.pushed()) {
    const OperandLocks locks(c.registers, from, from);
    to = "@" + copyTarget.popAddress();
  } else {
    to = generateVariable(c, target);
  }
  {
    // Only the two operands' registers stay held; everything else is free for the copy.
    const OperandLocks locks(c.registers, from, to);
    c.registers.releaseUnlockedRegisters();
  }
  const std::string value = c.registers.allocateRegister();
  for (const CopyStep& step : steps) {
    const std::string mnemonic = "mov" + std::string(sizeSuffix(step.width));
    const std::string stepFrom = step.offset == 0 ? from : offsetOperand(c, from, step.offset);
    const std::string stepTo = step.offset == 0 ? to : offsetOperand(c, to, step.offset);
    c.emitter.emitInstruction(mnemonic, stepFrom, value);
    c.emitter.emitInstruction(mnemonic, value, stepTo);
  }
  c.registers.releaseRegister(value);
  c.registers.releaseRegister(from);
  c.registers.releaseRegister(to);
}

// Any other size: a counted loop of word moves, then the odd last byte.
void copyLooped(Compilation& c, ExprPtr& target, ExprPtr& source, std::int32_t size) {
  Emitter& emitter = c.emitter;
  RegisterPool& registers = c.registers;
  CopyTarget copyTarget(c, target);
  const std::string from = addressInRegister(c, source);
  std::string to;
  {
    const OperandLocks locks(registers, from, from);
    to = copyTarget.pushed() ? copyTarget.popAddress() : addressInRegister(c, target);
  }
  if (to == from) {
    // Both addresses came from one remembered register; the loop advances both.
    const std::string copy = registers.allocateRegister();
    emitter.emitInstruction("mov.l", from, copy);
    to = copy;
  }
  const std::int32_t words = size / 2;
  std::string value;
  if (words > 0) {
    // A word counter reaches 65535 words; larger copies count in the whole register.
    const char* countSuffix = words > kLargestWordCount ? ".l" : ".w";
    const std::string counter = registers.allocateRegister();
    emitter.emitInstruction(std::string("mov") + countSuffix, "#" + std::to_string(words), counter);
    const std::string loop = currentLabel(c, false);
    value = registers.allocateRegister();
    emitter.emitInstruction("mov.w", "@" + from + "+", value);
    emitter.emitInstruction("mov.w", value, "@" + to);
    emitter.emitInstruction("inc.l", "#2", to);
    emitter.emitInstruction(std::string("dec") + countSuffix, "#1", counter);
    emitter.emitInstruction("bne", loop, "");
    registers.releaseRegister(counter);
  }
  if (size % 2 != 0) {
    if (value.empty()) {
      value = registers.allocateRegister();
    }
    emitter.emitInstruction("mov.b", "@" + from, value);
    emitter.emitInstruction("mov.b", value, "@" + to);
  }
  // The address registers have moved on: what they were remembered to hold is stale.
  registers.forgetContentsOfRegister(registerNumber(from));
  registers.forgetContentsOfRegister(registerNumber(to));
  registers.releaseRegister(value);
  registers.releaseRegister(from);
  registers.releaseRegister(to);
}

}  // namespace

void assignStructured(Compilation& c, ExprPtr& target, ExprPtr& source) {
  if (!source->isLeaf) {
    c.reportError(err::kTypeMismatch);
  }
  const std::int32_t size = target->type->size;
  std::vector<CopyStep> steps;
  if (unrolledSteps(size, steps)) {
    copyUnrolled(c, target, source, steps);
  } else if (size > 0) {
    copyLooped(c, target, source, size);
  }
}

void assignPointer(Compilation& c, ExprPtr& target, ExprPtr& source) {
  if (!source->isLeaf) {
    c.reportError(err::kTypeMismatch);
  }
  if (targetAddressMayCall(*target)) {
    // The address waits in a register while the target's index calls a routine: the
    // ordinal store saves it across the call.
    assignPlainOrdinal(c, target, source, c.symbols.types().longIntType);
    return;
  }
  const std::string value = generateInRegister(c, source, c.symbols.types().longIntType);
  c.registers.forgetRegisterContents();
  const std::string place = generateVariable(c, target);
  c.emitter.emitInstruction("mov.l", value, place);
  c.registers.releaseRegister(value);
  c.registers.releaseRegister(place);
}

void assignReal(Compilation& c, ExprPtr& target, ExprPtr& source) {
  foldConstants(c, source);
  (void)generateValue(c, source, c.symbols.types().realType);
  pushAddress(c, target);
  c.emitter.emitInstruction("bsr", "\\storer", "");
}

}  // namespace vorax
