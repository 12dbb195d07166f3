// The operand text of a variable: its designator chain turned into an addressing mode.
// The base comes from the first leaf (a symbol, the frame pointer, a WITH register), each
// further leaf of the chain follows the pointer read so far, and every leaf's offset tree
// is folded into a displacement or computed into an index register. Register results are
// remembered, so a second access to the same designator reuses the address computation.
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "asmout/register_pool.h"
#include "codegen/access_internal.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "codegen/symbol_operand.h"
#include "driver/compilation.h"
#include "symbols/symbol_entry.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

using namespace access_error;

// --- Remembered designators ---------------------------------------------------------

bool sameTree(const ExprPtr& a, const ExprPtr& b);

bool sameNode(const ExprNode& a, const ExprNode& b) {
  if (a.isLeaf != b.isLeaf || a.unaryFlags != b.unaryFlags || a.attached || b.attached) {
    return false;  // calls and type casts are evaluated each time, never assumed equal
  }
  if (!a.isLeaf) {
    return a.op == b.op && sameTree(a.left, b.left) && sameTree(a.right, b.right);
  }
  if (a.location != b.location || a.text != b.text || a.declarationLine != b.declarationLine ||
      a.scopeLevel != b.scopeLevel || a.registerNumber != b.registerNumber ||
      a.standardRoutine != b.standardRoutine) {
    return false;
  }
  if (a.location == LocationKind::Constant) {
    const ConstValue& x = a.value;
    const ConstValue& y = b.value;
    if (x.kind != y.kind || x.smallValue != y.smallValue || x.intValue != y.intValue ||
        x.realValue != y.realValue || x.setBits != y.setBits || x.text != y.text) {
      return false;
    }
  }
  return sameTree(a.offsetTree, b.offsetTree) && sameTree(a.nextSelector, b.nextSelector);
}

bool sameTree(const ExprPtr& a, const ExprPtr& b) {
  if (!a || !b) {
    return !a && !b;
  }
  return sameNode(*a, *b);
}

bool containsCallOrCast(const ExprPtr& node) {
  if (!node) {
    return false;
  }
  return node->attached != nullptr || containsCallOrCast(node->left) ||
         containsCallOrCast(node->right) || containsCallOrCast(node->offsetTree) ||
         containsCallOrCast(node->nextSelector);
}

// A private copy of the parts of a tree that decide which memory a designator names.
ExprPtr copyTree(const ExprPtr& node) {
  if (!node) {
    return nullptr;
  }
  ExprPtr copy = newExprNode();
  copy->unaryFlags = node->unaryFlags;
  copy->type = node->type;
  copy->text = node->text;
  copy->standardRoutine = node->standardRoutine;
  copy->isLeaf = node->isLeaf;
  copy->op = node->op;
  copy->left = copyTree(node->left);
  copy->right = copyTree(node->right);
  copy->declarationLine = node->declarationLine;
  copy->location = node->location;
  copy->value = node->value;
  copy->scopeLevel = node->scopeLevel;
  copy->registerNumber = node->registerNumber;
  copy->registerWidth = node->registerWidth;
  copy->offsetTree = copyTree(node->offsetTree);
  copy->nextSelector = copyTree(node->nextSelector);
  return copy;
}

class DesignatorCopy final : public RememberedDesignator {
 public:
  explicit DesignatorCopy(const ExprPtr& designator) : tree_(copyTree(designator)) {}

  [[nodiscard]] bool sameDesignator(const RememberedDesignator& other) const override {
    const auto* copy = dynamic_cast<const DesignatorCopy*>(&other);
    return copy != nullptr && sameTree(tree_, copy->tree_);
  }
  [[nodiscard]] std::int64_t emittedAtCopy() const { return emittedAtCopy_; }
  // Lines emitted from now on may make the remembered text stale.
  void startWatchingAt(std::int64_t emitted) { emittedAtCopy_ = emitted; }

 private:
  ExprPtr tree_;
  std::int64_t emittedAtCopy_ = 0;
};

// The registers an operand text is built on.
bool textNamesRegister(std::string_view text, std::string_view reg) {
  return text.find(reg) != std::string_view::npos;
}

// True when the window may show the remembered text to be stale: a call, a join label, a
// store (that may have changed a variable the address was computed from) or a write to a
// register the text names, among the lines added since it was remembered.
bool rememberedTextStale(Compilation& c, const DesignatorCopy& copy, std::string_view text) {
  const PeepholeWindow& window = c.emitter.window();
  const std::int64_t added = c.emitter.emittedLines() - copy.emittedAtCopy();
  const int first = added >= window.count() ? 0 : window.count() - static_cast<int>(added);
  for (int i = first; i < window.count(); ++i) {
    const WindowLine& line = window[i];
    if (line.mnemonic == "bsr" || isJoinLabel(line.label) || lineStoresToMemory(line)) {
      return true;
    }
    for (int r = 0; r < kWorkRegisterCount; ++r) {
      const std::string reg = registerName(r);
      if (textNamesRegister(text, reg) && lineChangesRegister(line, reg)) {
        return true;
      }
    }
  }
  return !c.emitter.pendingLabel().empty() && isJoinLabel(c.emitter.pendingLabel());
}

// --- Building the operand -------------------------------------------------------------

enum class BaseKind { Symbol, Register, Memory };

struct Base {
  BaseKind kind = BaseKind::Symbol;
  std::string text;               // symbol, register name or memory operand
  std::int64_t displacement = 0;  // added to a symbol
};

std::string lowerCased(std::string_view text) {
  std::string result;
  for (char ch : text) {
    result += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  return result;
}

// S, S+d, S-d; a bare number when the symbol is the address 0.
std::string symbolWithDisplacement(const std::string& symbol, std::int64_t d) {
  if (symbol == "0") {
    return std::to_string(d);
  }
  if (d == 0) {
    return symbol;
  }
  return symbol + (d > 0 ? "+" : "") + std::to_string(d);
}

bool isWithRegister(const Compilation& c, std::string_view reg) {
  for (int i = 0; i < c.registers.withRegisterCount(); ++i) {
    if (c.registers.withRegister(i).registerText == reg) {
      return true;
    }
  }
  return false;
}

// A WITH register may have been destroyed by a call since it was loaded (or a loop may
// bring control back from after such a call): reload it from its frame slot unless the
// window shows it loaded with nothing of the kind in between. `reg` is a work register.
void refreshWithRegister(Compilation& c, const std::string& reg) {
  for (int i = 0; i < c.registers.withRegisterCount(); ++i) {
    const WithRegisterEntry& entry = c.registers.withRegister(i);
    if (entry.registerText != reg) {
      continue;
    }
    const PeepholeWindow& window = c.emitter.window();
    bool fresh = false;
    const bool lostSince =
        !c.emitter.pendingLabel().empty() && isJoinLabel(c.emitter.pendingLabel());
    if (!lostSince) {
      // Fresh when the newest load of the register stands above the newest call and no
      // lower than the newest join label.
      const WindowIndexes& indexes = window.indexes();
      const std::int64_t load = indexes.destinationsOf(registerNumber(reg)).newest();
      fresh = load >= 0 && load > indexes.calls().newest() && load >= indexes.joins().newest();
    }
    if (!fresh) {
      c.emitter.emitInstruction("mov.l", "@(" + std::to_string(entry.slotOffset) + ",fp)", reg);
    }
    return;
  }
}

Base baseOf(Compilation& c, const ExprNode& leaf) {
  switch (leaf.location) {
    case LocationKind::Constant:
      c.reportError(kConstantWhereVariableRequired);
    case LocationKind::Register:
    case LocationKind::RuntimeResult:
    case LocationKind::Condition:
    case LocationKind::Call:
      c.reportError(kRegisterLeafAsVariable);
    case LocationKind::TypeCast:
      c.reportError(kTypeCastAsAddress);
    case LocationKind::NamedMemory:
      return Base{BaseKind::Symbol, symbolOperand(leaf), 0};
    case LocationKind::FixedAddress: {
      if (isWorkRegister(leaf.text)) {
        refreshWithRegister(c, leaf.text);
        return Base{BaseKind::Register, leaf.text, 0};
      }
      if (leaf.text == "fp" || leaf.text == "r6") {
        return Base{BaseKind::Register, leaf.text, 0};
      }
      if (!leaf.text.empty() && leaf.text[0] == '@') {
        return Base{BaseKind::Memory, leaf.text, 0};
      }
      return Base{BaseKind::Symbol, leaf.text, 0};
    }
    case LocationKind::Device:
      return Base{BaseKind::Symbol, "\\" + lowerCased(leaf.text), 0};
    default:
      break;
  }
  // Frame variables and parameters.
  if (leaf.scopeLevel == 0) {
    return Base{BaseKind::Symbol, "0", 0};
  }
  // Main program variables have an equate of their own name while the stack address is
  // known. (A function's result slot is never one of them: it lies in the function's frame.)
  const bool frameVariable =
      leaf.symbol == nullptr || leaf.symbol->kind == IdentKind::FrameVariable;
  if (leaf.scopeLevel == 1 && frameVariable && !c.directives.settings().stackSetting.empty()) {
    return Base{BaseKind::Symbol, leaf.symbol != nullptr ? leaf.symbol->name : leaf.text, 0};
  }
  return Base{BaseKind::Register, "fp", 0};
}

// Removes a constant term from the top of an offset tree ("+" with a constant operand,
// "-" with a constant right operand) and returns it.
std::optional<std::int64_t> takeConstantTerm(ExprPtr& tree) {
  if (tree->isLeaf || tree->unaryFlags != 0) {
    return std::nullopt;
  }
  if (tree->op == TokenCode::Plus) {
    for (ExprPtr* side : {&tree->right, &tree->left}) {
      if ((*side)->isConstantOf(ConstKind::Integer)) {
        const std::int64_t value = (*side)->value.intValue;
        ExprPtr rest = std::move(side == &tree->right ? tree->left : tree->right);
        tree = std::move(rest);
        return value;
      }
    }
  }
  if (tree->op == TokenCode::Minus && tree->right->isConstantOf(ConstKind::Integer)) {
    const std::int64_t value = -static_cast<std::int64_t>(tree->right->value.intValue);
    ExprPtr rest = std::move(tree->left);
    tree = std::move(rest);
    return value;
  }
  return std::nullopt;
}

// An offset computed at run time, in a register of 32 bits. A signed 16-bit index is
// sign-extended (an index below the array's low bound, or an array with negative bounds,
// must move the address down).
std::string offsetInRegister(Compilation& c, ExprPtr& tree) {
  const PredefinedTypes& t = c.symbols.types();
  TypeDescriptor* width = tree->type == t.integerType ? t.longIntType : t.addressType;
  return generateInRegister(c, tree, width);
}

void releaseBase(Compilation& c, const std::string& reg) {
  if (!isWithRegister(c, reg)) {
    c.registers.releaseRegister(reg);
  }
}

// A pointer held in memory operand M, in a register (one that a recent line loaded from
// M and that still holds it, or a new one).
std::string pointerInRegister(Compilation& c, const std::string& memory) {
  if (auto reused = findReusableLoad(c, "mov.l", memory)) {
    c.registers.markRegisterInUse(*reused);
    return *reused;
  }
  const std::string reg = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.l", memory, reg);
  return reg;
}

// Base and a constant displacement.
std::string combineConstant(Compilation& c, Base& base, std::int64_t d) {
  switch (base.kind) {
    case BaseKind::Symbol:
      return symbolWithDisplacement(base.text, base.displacement + d);
    case BaseKind::Register:
      return d == 0 ? "@" + base.text : "@(" + std::to_string(d) + "," + base.text + ")";
    case BaseKind::Memory: {
      const std::string reg = pointerInRegister(c, base.text);
      if (reg != base.text) {
        c.registers.releaseRegister(base.text);
      }
      return d == 0 ? "@" + reg : "@(" + std::to_string(d) + "," + reg + ")";
    }
  }
  return {};
}

// Base and an index register rX.
std::string combineRegister(Compilation& c, Base& base, const std::string& index) {
  switch (base.kind) {
    case BaseKind::Symbol:
      if (base.text == "0" && base.displacement == 0) {
        return "@" + index;
      }
      return "@(" + symbolWithDisplacement(base.text, base.displacement) + "," + index + ")";
    case BaseKind::Register:
      c.emitter.emitInstruction("add.l", base.text, index);
      releaseBase(c, base.text);
      return "@" + index;
    case BaseKind::Memory: {
      // add has no memory source form: the pointer is loaded first.
      const std::string reg = pointerInRegister(c, base.text);
      c.registers.releaseRegister(base.text);
      c.emitter.emitInstruction("add.l", reg, index);
      c.registers.releaseRegister(reg);
      return "@" + index;
    }
  }
  return {};
}

// The work register a base is built on ("r0" of "@(-8,r0)"), or nothing. A WITH register
// does not count: it is reloaded from its frame slot whenever a call may have destroyed it.
std::string baseWorkRegister(const Compilation& c, const Base& base) {
  if (base.kind == BaseKind::Symbol) {
    return {};
  }
  for (int r = 0; r < kWorkRegisterCount; ++r) {
    const std::string reg = registerName(r);
    if (textNamesRegister(base.text, reg)) {
      return isWithRegister(c, reg) ? std::string{} : reg;
    }
  }
  return {};
}

// The index of a leaf, computed while the base waits. An index that calls a runtime
// routine (MOD, a function) destroys every work register: a base built on one is saved at
// a spill mark and comes back in a fresh register, a WITH register is reloaded.
std::string indexBesideBase(Compilation& c, Base& base, ExprPtr& tree) {
  const std::string waiting = baseWorkRegister(c, base);
  if (!mayCall(*tree)) {
    return offsetInRegister(c, tree);
  }
  if (waiting.empty()) {
    std::string index = offsetInRegister(c, tree);
    if (base.kind == BaseKind::Register && isWorkRegister(base.text)) {
      refreshWithRegister(c, base.text);
    } else if (base.kind == BaseKind::Memory) {
      for (int i = 0; i < c.registers.withRegisterCount(); ++i) {
        const std::string& reg = c.registers.withRegister(i).registerText;
        if (textNamesRegister(base.text, reg)) {
          refreshWithRegister(c, reg);
        }
      }
    }
    return index;
  }
  const std::string mark = placeSpillMark(c, waiting);
  std::string index = offsetInRegister(c, tree);
  std::string moved = waiting;
  resolveSpillMark(c, mark, moved, true);  // the index is held: the base gets another
  if (moved != waiting) {
    base.text.replace(base.text.find(waiting), waiting.size(), moved);
  }
  return index;
}

// One leaf of the chain: its offset applied to the base.
std::string applyOffset(Compilation& c, Base& base, ExprNode& leaf) {
  if (!leaf.offsetTree) {
    return combineConstant(c, base, 0);
  }
  foldConstants(c, leaf.offsetTree);
  ExprPtr& tree = leaf.offsetTree;
  if (tree->isConstantOf(ConstKind::Integer) && tree->unaryFlags == 0) {
    return combineConstant(c, base, tree->value.intValue);
  }
  const std::optional<std::int64_t> constant = takeConstantTerm(tree);
  if (base.kind == BaseKind::Symbol) {
    base.displacement += constant.value_or(0);
    return combineRegister(c, base, offsetInRegister(c, tree));
  }
  std::string index = indexBesideBase(c, base, tree);
  if (!constant) {
    return combineRegister(c, base, index);
  }
  // The variable part joins the base; the constant stays a displacement.
  const std::string sum = combineRegister(c, base, index);
  Base merged{BaseKind::Register, sum.substr(1), 0};
  return combineConstant(c, merged, *constant);
}

// The memory operand of a designator (never its address).
std::string buildOperand(Compilation& c, ExprNode& designator) {
  Base base = baseOf(c, designator);
  std::string text;
  for (ExprNode* leaf = &designator; leaf != nullptr; leaf = leaf->nextSelector.get()) {
    if (leaf != &designator) {
      // Follow the pointer read so far.
      if (!text.empty() && text[0] == '@') {
        base = Base{BaseKind::Memory, text, 0};
      } else {
        const std::string reg = c.registers.allocateRegister();
        c.emitter.emitInstruction("mov.l", text, reg);
        base = Base{BaseKind::Register, reg, 0};
      }
    }
    text = applyOffset(c, base, *leaf);
  }
  return text;
}

// The address of memory operand `text`.
std::string addressOf(Compilation& c, const std::string& text) {
  if (text.empty() || text[0] != '@') {
    return "#" + text;
  }
  if (operandKind(text) == OperandKind::RegisterIndirect) {
    return text.substr(1);
  }
  const std::string reg = c.registers.allocateRegister();
  c.emitter.emitInstruction("lea", text, reg);
  c.registers.releaseRegister(text);
  return reg;
}

bool namesWorkRegister(std::string_view text) {
  for (int r = 0; r < kWorkRegisterCount; ++r) {
    if (textNamesRegister(text, registerName(r))) {
      return true;
    }
  }
  return false;
}

bool hasDereference(const ExprNode& designator) { return designator.nextSelector != nullptr; }

bool constantOffset(const ExprNode& designator) {
  return !designator.offsetTree || designator.offsetTree->isConstantOf(ConstKind::Integer);
}

}  // namespace

void makeOperandLeaf(ExprNode& node, std::string_view text, TypeDescriptor* type) {
  node = ExprNode{};
  node.location = LocationKind::NamedMemory;
  node.text = std::string(text);
  node.declarationLine = 0;  // the text is final: no line number is added to it
  node.type = type;
}

std::string generateVariable(Compilation& c, ExprPtr& designator) {
  ExprNode& d = *designator;
  const bool addressWanted = d.addressWanted;
  TypeDescriptor* type = d.type;
  std::string text;
  const bool ownFrameAddress =
      addressWanted && !hasDereference(d) && constantOffset(d) &&
      (d.location == LocationKind::FrameVariable || d.location == LocationKind::Parameter) &&
      d.scopeLevel == c.symbols.scopeLevel();
  if (ownFrameAddress || containsCallOrCast(designator)) {
    text = buildOperand(c, d);
  } else {
    auto copy = std::make_unique<DesignatorCopy>(designator);
    RegisterPool& pool = c.registers;
    if (auto found = pool.findContents(*copy)) {
      const RegisterContentsEntry& entry = pool.contentsEntry(*found);
      const auto& remembered = dynamic_cast<const DesignatorCopy&>(*entry.designator);
      if (rememberedTextStale(c, remembered, entry.text)) {
        pool.forgetContentsEntry(*found);
      } else {
        text = entry.text;
        pool.markRegisterInUse(text);
      }
    }
    if (text.empty()) {
      text = buildOperand(c, d);
      if (namesWorkRegister(text)) {
        // An older entry naming the same register cannot describe it any more.
        for (int r = 0; r < kWorkRegisterCount; ++r) {
          if (textNamesRegister(text, registerName(r))) {
            pool.forgetContentsOfRegister(r);
          }
        }
        copy->startWatchingAt(c.emitter.emittedLines());
        pool.rememberContents(std::move(copy), text);
        pool.markRegisterInUse(text);
      }
    }
  }
  if (addressWanted) {
    text = addressOf(c, text);
  }
  makeOperandLeaf(d, text, type);
  return text;
}

std::string offsetOperand(Compilation& c, std::string_view text, std::int32_t n) {
  const std::string number = std::to_string(n);
  // A negative distance carries its own sign.
  const std::string plus = number[0] == '-' ? number : "+" + number;
  switch (operandKind(text)) {
    case OperandKind::Plain:
      return std::string(text) + plus;
    case OperandKind::RegisterIndirect:
      return "@(" + number + "," + std::string(text.substr(1)) + ")";
    case OperandKind::FrameSlot:
    case OperandKind::Indexed: {
      const std::size_t comma = text.find(',');
      return std::string(text.substr(0, comma)) + plus + std::string(text.substr(comma));
    }
    default:
      break;
  }
  c.reportError(kNoOffsetForm);
}

}  // namespace vorax
