// Stores into STRING variables. Constants travel inline behind the runtime call that stores
// or appends them; s := s + x appends in place; a single character is stored as the word
// 256 + code (length byte 1, then the character); everything else is built on the stack
// and stored by "\saves".
#include <cctype>
#include <string>

#include "asmout/operand_text.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "decls/typed_constants.h"
#include "driver/compilation.h"
#include "stmt/assign_kinds.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

// A one-character string as a word: the length byte 1 above the character.
constexpr std::int32_t kOneCharacterLength = 256;

bool isCharacter(const ExprNode& node) {
  return node.type != nullptr && node.type->kind == TypeKind::Char;
}

bool isString(const ExprNode& node) {
  return node.type != nullptr && node.type->kind == TypeKind::String;
}

// True when `text` names register `name` ("r1" in "@(2,r1)", but not in "r12").
bool mentionsRegister(std::string_view text, std::string_view name) {
  for (std::size_t at = text.find(name); at != std::string_view::npos;
       at = text.find(name, at + 1)) {
    const std::size_t end = at + name.size();
    const bool startsToken = at == 0 || std::isalnum(static_cast<unsigned char>(text[at - 1])) == 0;
    const bool endsToken =
        end == text.size() || std::isdigit(static_cast<unsigned char>(text[end])) == 0;
    if (startsToken && endsToken) {
      return true;
    }
  }
  return false;
}

// Pushes the size of a string variable as a word, through a register: there is no move
// of an immediate to memory.
void pushStringSize(Compilation& c, std::int32_t size) {
  const std::string held = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.w", "#" + std::to_string(size), held);
  c.emitter.emitInstruction("mov.w", held, "@-sp");
  c.registers.releaseRegister(held);
}

void callRuntime(Compilation& c, std::string_view routine) {
  c.emitter.emitInstruction("bsr", routine, "");
}

// Where the string target lives. A target whose address needs a routine call has its
// address pushed before the value is computed and popped afterwards, so the address
// survives the calls the value may make.
class StringTarget {
 public:
  StringTarget(Compilation& c, ExprPtr& designator) : c_(c), designator_(designator) {
    if (targetAddressMayCall(*designator_)) {
      pushAddress(c_, designator_);
      pushed_ = true;
    }
  }

  // The target's memory operand, with `held` kept safe while it is generated.
  std::string place(std::string_view held) {
    if (pushed_) {
      const std::string address = c_.registers.allocateRegister();
      c_.emitter.emitInstruction("mov.l", "@sp+", address);
      return "@" + address;
    }
    const bool lock = isWorkRegister(held) && !c_.registers.isRegisterLocked(held);
    if (lock) {
      c_.registers.lockRegister(held);
    }
    std::string text = generateVariable(c_, designator_);
    if (lock) {
      c_.registers.unlockRegister(held);
    }
    return text;
  }

 private:
  Compilation& c_;
  ExprPtr& designator_;
  bool pushed_ = false;
};

// S := '': the length byte becomes 0.
void storeEmpty(Compilation& c, ExprPtr& target) {
  // A target address that calls a routine is pushed first: no register survives it.
  StringTarget to(c, target);
  std::string zero;
  if (std::optional<std::string> known = findZeroRegister(c, 1)) {
    zero = *known;  // now marked in use
  } else {
    zero = c.registers.allocateRegister();
    c.emitter.emitInstruction("xor.w", zero, zero);
  }
  const std::string place = to.place(zero);
  c.emitter.emitInstruction("mov.b", zero, place);
  c.registers.releaseRegister(zero);
  c.registers.releaseRegister(place);
}

// The character value in register `value` becomes the word 256 + code in the same
// register, reusing the line that loaded it where possible.
void makeOneCharacterWord(Compilation& c, const std::string& value) {
  PeepholeWindow& window = c.emitter.window();
  if (!window.empty() && window.last().destination == value) {
    const WindowLine& newest = window.last();
    if (newest.mnemonic == "mov.b") {
      // mov.w #256,R / mov.b X,R: the byte load leaves the length byte above the character.
      const std::string loaded = newest.source;
      window.setMnemonic(window.count() - 1, "mov.w");
      window.setSource(window.count() - 1, "#" + std::to_string(kOneCharacterLength));
      c.emitter.emitInstruction("mov.b", loaded, value);
      return;
    }
    std::int64_t code = 0;
    if (newest.mnemonic == "mov.w" && parseDecimalImmediate(newest.source, code) && code >= 0 &&
        code < kOneCharacterLength) {
      window.setSource(window.count() - 1,
                       "#" + std::to_string(kOneCharacterLength) + "+" + std::to_string(code));
      return;
    }
  }
  c.emitter.emitInstruction("extu.w", value, "");
  c.emitter.emitInstruction("add.w", "#" + std::to_string(kOneCharacterLength), value);
}

// A word store needs an even address. A whole string variable has one, and so has a field
// or element at an even constant offset; a string reached through a pointer or a VAR
// parameter, or at a computed or odd offset (strings in records and arrays are not
// aligned), may start on an odd byte.
bool knownEvenAddress(const ExprNode& designator) {
  if (designator.nextSelector) {
    return false;
  }
  const ExprNode* offset = designator.offsetTree.get();
  return offset == nullptr ||
         (offset->isConstantOf(ConstKind::Integer) && (offset->value.intValue & 1) == 0);
}

// Length byte 1, then the character in `value`, one byte at a time.
void storeCharacterBytes(Compilation& c, StringTarget& to, const std::string& value) {
  const std::string length = c.registers.allocateRegister();
  c.emitter.emitInstruction("mov.b", "#1", length);
  const std::string place = to.place(value);
  c.emitter.emitInstruction("mov.b", length, place);
  c.emitter.emitInstruction("mov.b", value, offsetOperand(c, place, 1));
  c.registers.releaseRegister(length);
  c.registers.releaseRegister(value);
  c.registers.releaseRegister(place);
}

// S := character: length byte 1 and the character, stored together as one word where
// the address is known to be even.
void storeCharacter(Compilation& c, ExprPtr& target, ExprPtr& source) {
  if (target->type->size < 2) {
    // STRING[0] holds no character: the value is computed for its effects, the string
    // stays empty, and no byte beyond the variable is written.
    if (!source->isConstant()) {
      c.registers.releaseRegister(generateValue(c, source, c.symbols.types().charType));
    }
    storeEmpty(c, target);
    return;
  }
  const bool wordStore = knownEvenAddress(*target);
  StringTarget to(c, target);
  std::string word;
  if (source->isConstant()) {
    const std::string code = std::to_string(ordinalValue(source->value) & 0xFF);
    word = c.registers.allocateRegister();
    if (!wordStore) {
      c.emitter.emitInstruction("mov.b", "#" + code, word);
      storeCharacterBytes(c, to, word);
      return;
    }
    c.emitter.emitInstruction("mov.w", "#" + code + "+256", word);
  } else {
    std::string value = generateValue(c, source, c.symbols.types().charType);
    if (!isWorkRegister(value)) {
      const std::string loaded = c.registers.allocateRegister();
      c.emitter.emitInstruction("mov.b", value, loaded);
      c.registers.releaseRegister(value);
      value = loaded;
    }
    // A register the newest line still reads is left alone.
    PeepholeWindow& window = c.emitter.window();
    if (!wordStore || (!window.empty() && mentionsRegister(window.last().source, value))) {
      storeCharacterBytes(c, to, value);
      return;
    }
    makeOneCharacterWord(c, value);
    word = value;
  }
  const std::string place = to.place(word);
  c.emitter.emitInstruction("mov.w", word, place);
  c.registers.releaseRegister(word);
  c.registers.releaseRegister(place);
}

// The general store: the value is built on the stack and "\saves" cuts it to the target.
void storeFromStack(Compilation& c, ExprPtr& target, ExprPtr& source) {
  (void)generateValue(c, source, c.symbols.types().stringType);
  pushStringSize(c, target->type->size);
  pushAddress(c, target);
  callRuntime(c, "\\saves");
}

void storeLeaf(Compilation& c, ExprPtr& target, ExprPtr& source) {
  const std::int32_t size = target->type->size;
  if (isCharacter(*source)) {
    storeCharacter(c, target, source);
    return;
  }
  switch (source->location) {
    case LocationKind::Constant:
      if (!source->isConstantOf(ConstKind::String)) {
        c.reportError(kUnsupportedStringSource);
      }
      if (source->value.text.empty()) {
        storeEmpty(c, target);
        return;
      }
      pushAddress(c, target);
      callRuntime(c, "\\movsi");
      emitInlineStringConstant(c, source->value, size - 1, StringParity::Even);
      return;
    case LocationKind::Call:
      storeFromStack(c, target, source);
      return;
    case LocationKind::FrameVariable:
    case LocationKind::Parameter:
    case LocationKind::NamedMemory:
    case LocationKind::FixedAddress:
      pushStringSize(c, size);
      pushAddress(c, source);
      pushAddress(c, target);
      callRuntime(c, "\\movs");
      return;
    default:
      c.reportError(kUnsupportedStringSource);
  }
}

// S := S + x with x a constant or a character: appended in place.
bool appendInPlace(Compilation& c, ExprPtr& target, ExprPtr& source) {
  ExprNode& node = *source;
  if (node.op != TokenCode::Plus || node.unaryFlags != 0 || !node.left || !node.right ||
      node.left->unaryFlags != 0 || !sameLeaf(*target, *node.left)) {
    return false;
  }
  ExprPtr& appended = node.right;
  const std::int32_t maximumLength = target->type->size - 1;
  if (appended->isConstantOf(ConstKind::String) || appended->isConstantOf(ConstKind::Character)) {
    pushAddress(c, target);
    callRuntime(c, "\\apdsi");
    c.emitter.emitInstruction("db", byteField(maximumLength), "");
    emitInlineStringConstant(c, appended->value, maximumLength, StringParity::Odd);
    return true;
  }
  if (!isCharacter(*appended)) {
    return false;
  }
  pushAddress(c, target);
  const std::string character = generateInRegister(c, appended, c.symbols.types().charType);
  c.emitter.emitInstruction("mov.w", character, "@-sp");
  c.registers.releaseRegister(character);
  callRuntime(c, "\\apdc");
  c.emitter.emitInstruction("db", std::to_string(maximumLength) + ",0", "");
  return true;
}

}  // namespace

void assignString(Compilation& c, ExprPtr& target, ExprPtr& source) {
  if (source->isLeaf) {
    storeLeaf(c, target, source);
    return;
  }
  if (appendInPlace(c, target, source)) {
    return;
  }
  if (source->left && !isCharacter(*source->left) && !isString(*source->left)) {
    storeCharacter(c, target, source);
    return;
  }
  storeFromStack(c, target, source);
}

}  // namespace vorax
