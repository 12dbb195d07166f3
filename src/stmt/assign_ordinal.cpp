// Stores of ordinal values (INTEGER, BYTE, WORD, CHAR, LONGINT, subranges, enumerations,
// BOOLEAN): a register move into the target, or a single bit instruction when the source
// only sets, clears or toggles one bit of the target itself.
#include <string>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "stmt/assign_bits.h"
#include "stmt/assign_kinds.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

// Holds a register (or the register an operand is built on, "@(-6,r0)") locked while the
// other side of the store is generated, unless somebody else locked it already (then the
// lock stays theirs).
class TemporaryLock {
 public:
  TemporaryLock(RegisterPool& pool, std::string_view text) : pool_(pool), text_(text) {
    owned_ = !pool_.isRegisterLocked(text_);
    if (owned_) {
      pool_.lockRegister(text_);
      owned_ = pool_.isRegisterLocked(text_);
    }
  }
  ~TemporaryLock() {
    if (owned_) {
      pool_.unlockRegister(text_);
    }
  }
  TemporaryLock(const TemporaryLock&) = delete;
  TemporaryLock& operator=(const TemporaryLock&) = delete;

 private:
  RegisterPool& pool_;
  std::string text_;
  bool owned_ = false;
};

// A byte store needs no zero extension of the value it stores.
void dropZeroExtension(Compilation& c, const std::string& valueRegister, int size) {
  PeepholeWindow& window = c.emitter.window();
  if (size != 1 || window.empty()) {
    return;
  }
  const WindowLine& newest = window.last();
  if (newest.mnemonic.starts_with("extu.") && newest.source == valueRegister) {
    window.deleteLine(window.count() - 1);
  }
}

std::string sourceInRegister(Compilation& c, ExprPtr& source, TypeDescriptor* type) {
  std::string value = generateInRegister(c, source, type);
  dropZeroExtension(c, value, type->size);
  return value;
}

}  // namespace

void assignPlainOrdinal(Compilation& c, ExprPtr& target, ExprPtr& source, TypeDescriptor* type) {
  const bool targetCalls = targetAddressMayCall(*target);
  const bool sourceCalls = mayCall(*source);
  // A one-byte function result lives in a word slot: the value is stored zero-extended.
  const bool wordSlot = target->oneByteResult && type->size == 1;
  const std::int32_t storedSize = wordSlot ? 2 : type->size;
  const auto inRegister = [&] {
    std::string held = sourceInRegister(c, source, type);
    if (wordSlot) {
      c.emitter.emitInstruction("extu.w", held, "");
    }
    return held;
  };
  std::string value;
  std::string place;
  if (!targetCalls) {
    value = inRegister();
    const TemporaryLock lock(c.registers, value);
    place = generateVariable(c, target);
  } else if (!sourceCalls) {
    place = generateVariable(c, target);
    // A condition made into a value releases every unlocked register first.
    const TemporaryLock lock(c.registers, place);
    value = inRegister();
  } else {
    // The target's address computation may call a routine while the value waits in a
    // register: the spill mark saves it on the stack only if a call really follows.
    value = inRegister();
    const std::string mark = placeSpillMark(c, value);
    place = generateVariable(c, target);
    resolveSpillMark(c, mark, value, storedSize == 4);
  }
  c.emitter.emitInstruction("mov" + std::string(sizeSuffix(storedSize)), value, place);
  c.registers.releaseRegister(value);
  c.registers.releaseRegister(place);
}

void assignOrdinal(Compilation& c, ExprPtr& target, ExprPtr& source) {
  TypeDescriptor* type = target->type;
  // A one-byte function result lives in the low byte of a word slot.
  const int size = target->oneByteResult && type->size == 1 ? 2 : type->size;
  // A target whose address needs a call would be evaluated once instead of twice.
  const std::optional<BitUpdate> update =
      targetAddressMayCall(*target) ? std::nullopt : findBitUpdate(*target, *source, size);
  if (!update) {
    assignPlainOrdinal(c, target, source, type);
    return;
  }
  const std::string_view mnemonic = bitMnemonic(c, update->op);
  source.reset();
  std::string place = generateVariable(c, target);
  // Memory is big-endian: the low byte of a word is its second byte.
  if (size == 2 && update->bit < 8) {
    place = offsetOperand(c, place, 1);
  }
  emitBitInstruction(c, mnemonic, update->bit % 8, place);
  c.registers.releaseRegister(place);
}

void assignBoolean(Compilation& c, ExprPtr& target, ExprPtr& source) {
  // F := NOT F toggles bit 0 in place, when F's address needs no computed index.
  const auto constantOffsets = [](const ExprNode& designator) {
    for (const ExprNode* leaf = &designator; leaf != nullptr; leaf = leaf->nextSelector.get()) {
      if (leaf->offsetTree && !leaf->offsetTree->isConstant()) {
        return false;
      }
    }
    return true;
  };
  if (source->isLeaf && source->unaryFlags == kComplementFlag && sameLeaf(*target, *source) &&
      constantOffsets(*target)) {
    source.reset();
    const std::string place = generateVariable(c, target);
    emitBitInstruction(c, "bnot", 0, place);
    c.registers.releaseRegister(place);
    return;
  }
  assignPlainOrdinal(c, target, source, target->type);
}

}  // namespace vorax
