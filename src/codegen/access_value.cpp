// Values of expression trees: operator nodes go to their generators, leaves are loaded
// here by their type, and every result is converted to the type the caller wants.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/operand_text.h"
#include "asmout/peephole_window.h"
#include "codegen/access_internal.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

using namespace access_error;

bool isLongTarget(const Compilation& c, const TypeDescriptor* target) {
  const PredefinedTypes& t = c.symbols.types();
  return target == t.longIntType || target == t.addressType;
}

// The size of the string a value is built as: a shorter string type's own size, 256 else.
std::int32_t stringSizeFor(const TypeDescriptor* target) {
  return isStringType(target) ? target->size : 256;
}

// A type cast: its operand's value, now of the cast's type.
void generateTypeCast(Compilation& c, ExprPtr& leaf) {
  TypeDescriptor* castType = leaf->type;
  ExprPtr operand = std::move(leaf->attached);
  if (!operand) {
    c.reportError(kBadResultLeaf);
  }
  const std::uint8_t flags = leaf->unaryFlags;
  if (operand->isConstant()) {
    // The cast only retypes the constant.
    operand->type = castType;
    leaf = std::move(operand);
    leaf->unaryFlags = flags;
    return;
  }
  const std::string reg = generateInRegister(c, operand, castType);
  makeRegisterLeaf(*leaf, reg, castType);
  leaf->unaryFlags = flags;
  if (operand && operand->location == LocationKind::Register) {
    leaf->registerWidth = operand->registerWidth;
  }
}

// The address of a designator kept as the value (pointer values of "@", addresses wanted).
void keepAddress(Compilation& c, ExprPtr& leaf) {
  TypeDescriptor* type = leaf->type;
  const std::uint8_t flags = leaf->unaryFlags;
  const bool namedMemory = leaf->location == LocationKind::NamedMemory;
  const std::string text = generateVariable(c, leaf);
  if (!text.empty() && (text[0] == '#' || namedMemory)) {
    makeOperandLeaf(*leaf, text, type);
  } else {
    makeRegisterLeaf(*leaf, text, type);
  }
  leaf->unaryFlags = flags;
}

// A STRING leaf: its value on the stack.
void generateStringLeaf(Compilation& c, ExprPtr& leaf, TypeDescriptor* target) {
  if (leaf->location == LocationKind::TypeCast) {
    c.reportError(kTypeCastAsAddress);
  }
  if (leaf->location == LocationKind::RuntimeResult) {
    return;
  }
  pushStringValue(c, leaf, stringSizeFor(target));
}

void generateLeafValue(Compilation& c, ExprPtr& leaf, TypeDescriptor* target) {
  const TypeDescriptor* type = leaf->type;
  const LocationKind location = leaf->location;
  if (type != nullptr && static_cast<int>(type->kind) > static_cast<int>(TypeKind::Record)) {
    c.reportError(kUnsupportedValue);
  }
  if (location == LocationKind::Constant || location == LocationKind::Register ||
      location == LocationKind::RuntimeResult || location == LocationKind::Condition) {
    if (location == LocationKind::Constant && isStringType(type)) {
      pushStringValue(c, leaf, stringSizeFor(target));
    }
    return;
  }
  if (type != nullptr && isStringType(type)) {
    generateStringLeaf(c, leaf, target);
    return;
  }
  if (location == LocationKind::Call) {
    generateCall(c, leaf);
    return;
  }
  if (location == LocationKind::TypeCast) {
    if (type != nullptr && (type->kind == TypeKind::Array || type->kind == TypeKind::Record)) {
      // A structured value seen as another structured type: the operand's bytes.
      TypeDescriptor* castType = leaf->type;
      ExprPtr operand = std::move(leaf->attached);
      operand->type = castType;
      leaf = std::move(operand);
      pushStructuredValue(c, leaf);
      return;
    }
    generateTypeCast(c, leaf);
    return;
  }
  if (type != nullptr && (type->kind == TypeKind::Array || type->kind == TypeKind::Record)) {
    pushStructuredValue(c, leaf);
    return;
  }
  if (type != nullptr && type->kind == TypeKind::Real && !leaf->addressWanted) {
    generateRealValue(c, leaf);
    return;
  }
  if (leaf->addressWanted) {
    keepAddress(c, leaf);
    return;
  }
  if (type != nullptr && type->kind == TypeKind::Pointer) {
    loadVariable(c, leaf, c.symbols.types().longIntType);
    leaf->type = c.symbols.types().longIntType;
    return;
  }
  loadVariable(c, leaf, target);
}

// A register that a recent unlabelled line set to `text` with `mnemonic` ("xor" lines for
// zero), which nothing changed since and nobody holds now. Going back from the newest
// line, any label or call ends the search, and a register written since no longer holds
// the value: so only the newest write of each work register can serve, above the newest
// label or call; the newest of those serves.
std::optional<std::string> findConstantRegister(Compilation& c, std::string_view mnemonic,
                                                std::string_view text, std::int64_t size) {
  if (!c.emitter.pendingLabel().empty()) {
    return std::nullopt;
  }
  PeepholeWindow& window = c.emitter.window();
  const WindowIndexes& indexes = window.indexes();
  const bool zero = text == "#0";
  const std::int64_t barrier = std::max(indexes.labelled().newest(), indexes.calls().newest());
  std::int64_t best = -1;
  for (int reg = 0; reg < kWorkRegisterCount; ++reg) {
    const std::int64_t set = indexes.writersOf(reg).newest();
    if (set < 0 || set <= barrier || set <= best) {
      continue;
    }
    const WindowLine& line = window[window.positionOf(set)];
    const bool clears = zero && (line.mnemonic == "xor.w" || line.mnemonic == "xor.l") &&
                        line.source == line.destination && isWorkRegister(line.destination);
    const bool loads = !zero && line.mnemonic == mnemonic && line.source == text &&
                       isWorkRegister(line.destination);
    if ((clears || loads) && isFreeForReuse(c, line.destination)) {
      best = set;
    }
  }
  if (best < 0) {
    return std::nullopt;
  }
  const int at = window.positionOf(best);
  if (zero && size == 4 && window[at].mnemonic == "xor.w") {
    window.setMnemonic(at, "xor.l");  // the upper half must be cleared too
  }
  return window[at].destination;
}

}  // namespace

bool isStringType(const TypeDescriptor* type) {
  return type != nullptr && type->kind == TypeKind::String;
}

std::string loadVariable(Compilation& c, ExprPtr& leaf, TypeDescriptor* targetType) {
  if (leaf->oneByteResult) {
    c.reportError(kOneByteResultAsValue);
  }
  TypeDescriptor* type = leaf->type;
  const std::uint8_t flags = leaf->unaryFlags;
  const std::int64_t size = type != nullptr ? type->size : 2;
  const std::string mnemonic = "mov" + std::string(sizeSuffix(size));
  const bool widen = size == 1 && isLongTarget(c, targetType);
  const int linesBefore = c.emitter.window().count();
  const std::string x = generateVariable(c, leaf);
  const OperandKind kind = operandKind(x);
  std::string reg;
  const bool addedLines = c.emitter.window().count() != linesBefore;
  if (!widen && !addedLines &&
      (kind == OperandKind::RegisterIndirect || kind == OperandKind::FrameSlot)) {
    if (auto reused = findReusableLoad(c, mnemonic, x)) {
      reg = *reused;
      c.registers.markRegisterInUse(reg);
    }
  }
  if (reg.empty()) {
    reg = c.registers.allocateRegister();
    c.emitter.emitInstruction(mnemonic, x, reg);
  }
  c.registers.releaseRegister(x);
  if (widen) {
    c.emitter.emitInstruction("and.l", "#255", reg);
    type = c.symbols.types().longIntType;
  }
  makeRegisterLeaf(*leaf, reg, type);
  leaf->unaryFlags = flags;
  return reg;
}

std::string loadImmediate(Compilation& c, std::string text, std::int64_t size) {
  if (text.size() > 1 && std::isdigit(static_cast<unsigned char>(text[1])) != 0) {
    std::int64_t value = 0;
    if (parseDecimalImmediate(text, value)) {
      if (size == 1) {
        value &= 255;
      } else if (size == 2) {
        value &= 65535;
      }
      text = "#" + std::to_string(value);
    }
  }
  const std::string mnemonic = "mov" + std::string(sizeSuffix(size));
  std::optional<std::string> reg = findConstantRegister(c, mnemonic, text, size);
  if (!reg) {
    reg = c.registers.allocateRegister();
    c.emitter.emitInstruction(mnemonic, text, *reg);
  }
  c.registers.markRegisterInUse(*reg);
  return *reg;
}

std::string addressInRegister(Compilation& c, const std::string& text) {
  if (!text.empty() && text[0] == '#') {
    return loadImmediate(c, text, 4);
  }
  return text;
}

std::optional<std::string> findZeroRegister(Compilation& c, int size) {
  std::optional<std::string> reg = findConstantRegister(c, "", "#0", size);
  if (reg) {
    c.registers.markRegisterInUse(*reg);
  }
  return reg;
}

std::string generateValue(Compilation& c, ExprPtr& tree, TypeDescriptor* targetType) {
  if (!tree) {
    c.reportError(kBadResultLeaf);
  }
  if (!tree->isLeaf) {
    if (isStringType(tree->type)) {
      pushStringValue(c, tree, stringSizeFor(targetType));
    } else if (tree->type != nullptr && tree->type->kind == TypeKind::Real) {
      generateRealValue(c, tree);
    } else {
      generateOperator(c, tree, targetType);
    }
  } else {
    generateLeafValue(c, tree, targetType);
  }
  return convertResult(c, tree, targetType);
}

std::string generateInRegister(Compilation& c, ExprPtr& tree, TypeDescriptor* targetType) {
  std::string text = generateValue(c, tree, targetType);
  if (text.empty() || text[0] != '#') {
    return text;
  }
  const std::int64_t size = targetType != nullptr ? targetType->size : 2;
  if (size != 1 && size != 2 && size != 4) {
    c.reportError(kUnsupportedValue);
  }
  const std::string reg = loadImmediate(c, text, size);
  makeRegisterLeaf(*tree, reg, targetType);
  return reg;
}

}  // namespace vorax
