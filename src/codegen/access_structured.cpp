// Array and record values copied onto the machine stack, from their highest part down so
// that the copy has the same layout as the original. Up to 16 bytes the copy is unrolled
// into long-word (and one word) pushes; larger values are copied a word per round by a
// counted loop.
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "codegen/access_internal.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr std::int64_t kLargestUnrolledCopy = 16;
constexpr std::int64_t kLargestWordCount = 65535;

std::string at(std::int64_t offset, const std::string& reg) {
  return offset == 0 ? "@" + reg : "@(" + std::to_string(offset) + "," + reg + ")";
}

void pushPart(Compilation& c, std::string_view mnemonic, const std::string& source,
              const std::string& scratch) {
  c.emitter.emitInstruction(mnemonic, source, scratch);
  c.emitter.emitInstruction(mnemonic, scratch, "@-sp");
}

ExprNode& lastLeafOf(ExprNode& designator) {
  ExprNode* leaf = &designator;
  while (leaf->nextSelector) {
    leaf = leaf->nextSelector.get();
  }
  return *leaf;
}

// True when the register is one the loop may not step: it holds a remembered address or
// the record of an open WITH.
bool registerIsShared(const Compilation& c, const std::string& reg) {
  for (int i = 0; i < kRegisterContentsSize; ++i) {
    const RegisterContentsEntry& entry = c.registers.contentsEntry(i);
    if (!entry.isFree() && entry.text.find(reg) != std::string::npos) {
      return true;
    }
  }
  for (int i = 0; i < c.registers.withRegisterCount(); ++i) {
    if (c.registers.withRegister(i).registerText == reg) {
      return true;
    }
  }
  return false;
}

}  // namespace

void pushStructuredValue(Compilation& c, ExprPtr& leaf) {
  TypeDescriptor* type = leaf->type;
  if (leaf->location == LocationKind::RuntimeResult) {
    return;
  }
  if (leaf->location == LocationKind::Call) {
    generateCall(c, leaf);
    return;
  }
  const std::int64_t size = roundToEven(type != nullptr ? type->size : 0);
  const bool unrolled = size <= kLargestUnrolledCopy;
  if (!unrolled) {
    // The loop walks down from the end of the value.
    ExprNode& last = lastLeafOf(*leaf);
    ExprPtr end = makeIntegerConstant(c, static_cast<std::int32_t>(size));
    last.offsetTree = last.offsetTree
                          ? makeOperatorNode(TokenCode::Plus, std::move(last.offsetTree),
                                             std::move(end), c.symbols.types().longIntType)
                          : std::move(end);
  }
  leaf->addressWanted = true;
  std::string address = addressInRegister(c, generateVariable(c, leaf));
  if (!unrolled && registerIsShared(c, address)) {
    const std::string own = c.registers.allocateRegister();
    c.emitter.emitInstruction("mov.l", address, own);
    c.registers.releaseRegister(address);
    address = own;
  }
  const std::string scratch = c.registers.allocateRegister();
  if (unrolled) {
    std::int64_t top = size;
    if (size % 4 == 2) {
      top -= 2;
      pushPart(c, "mov.w", at(top, address), scratch);
    }
    for (std::int64_t offset = top - 4; offset >= 0; offset -= 4) {
      pushPart(c, "mov.l", at(offset, address), scratch);
    }
  } else {
    // A word counter holds up to 65535 rounds; a larger value counts in a long register.
    const std::int64_t words = size / 2;
    const std::string_view suffix = words > kLargestWordCount ? ".l" : ".w";
    const std::string counter = c.registers.allocateRegister();
    c.emitter.emitInstruction("mov" + std::string(suffix), "#" + std::to_string(words), counter);
    const std::string loop = currentLabel(c, false);
    c.emitter.emitInstruction("dec.l", "#2", address);
    pushPart(c, "mov.w", "@" + address, scratch);
    c.emitter.emitInstruction("dec" + std::string(suffix), "#1", counter);
    c.emitter.emitInstruction("bne", loop, "");
    c.registers.releaseRegister(counter);
  }
  c.registers.releaseRegister(scratch);
  c.registers.releaseRegister(address);
  makeRuntimeResultLeaf(*leaf, type);
}

}  // namespace vorax
