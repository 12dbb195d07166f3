// Converting an evaluated result to the type the caller wants: constants are rewritten,
// registers widened, narrowed or sign-fixed in place, and the pending negation or
// complement of a leaf is applied at the width it must act on.
#include <cstdint>
#include <string>

#include "asmout/operand_text.h"
#include "asmout/runtime_names.h"
#include "asmout/stack_adjust.h"
#include "codegen/access_internal.h"
#include "codegen/expr_real.h"
#include "codegen/expr_tree.h"
#include "decls/typed_constants.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

using namespace access_error;

// The conversion classes of the table below.
enum class ConversionClass { Byte, Integer, Word, LongInt, Address, Pointer, Real, Other };

ConversionClass classOf(const Compilation& c, const TypeDescriptor* type) {
  const PredefinedTypes& t = c.symbols.types();
  if (type == nullptr) {
    return ConversionClass::Other;
  }
  if (type == t.addressType) {
    return ConversionClass::Address;
  }
  switch (type->kind) {
    case TypeKind::Char:
    case TypeKind::Byte:
      return ConversionClass::Byte;
    case TypeKind::Integer:
      return ConversionClass::Integer;
    case TypeKind::Word:
      return ConversionClass::Word;
    case TypeKind::LongInt:
      return ConversionClass::LongInt;
    case TypeKind::Address:
      return ConversionClass::Address;
    case TypeKind::Pointer:
      return ConversionClass::Pointer;
    case TypeKind::Real:
      return ConversionClass::Real;
    case TypeKind::Enumeration:
      // One byte without sign, like a BYTE.
      return ConversionClass::Byte;
    case TypeKind::Subrange:
      // A subrange is held in a signed word (a STRING's index in a byte): its values lie
      // in its base type, which a word holds whatever that type is.
      return type->size == 1 ? ConversionClass::Byte : ConversionClass::Integer;
    default:
      return ConversionClass::Other;
  }
}

// The REAL constant pushed by the inline-data load: exponent, then the mantissa from its
// most significant byte (which carries the sign) down.
void pushRealConstant(Compilation& c, const RealBytes& bytes) {
  c.emitter.emitInstruction("bsr", rt::kLoadRealInline, "");
  std::string data = byteField(bytes[0]);
  for (int i = 5; i >= 1; --i) {
    data += "," + byteField(bytes[static_cast<std::size_t>(i)]);
  }
  c.emitter.emitInstruction("db", data, "");
}

std::string convertConstant(Compilation& c, ExprNode& leaf, TypeDescriptor* target) {
  const PredefinedTypes& t = c.symbols.types();
  if (leaf.value.kind == ConstKind::Integer && target != nullptr) {
    if (target->kind == TypeKind::Real) {
      ExprPtr real = makeRealConstantOf(c, static_cast<double>(leaf.value.intValue));
      leaf.value = real->value;
    } else if (target->kind == TypeKind::Byte) {
      leaf.value.intValue &= 255;
    }
  }
  if (target != nullptr) {
    leaf.type = target;
  }
  const ConstValue& v = leaf.value;
  switch (v.kind) {
    case ConstKind::Integer: {
      const std::int64_t value = v.intValue;
      if (target == t.longIntType || target == t.addressType ||
          (target != nullptr && target->kind == TypeKind::LongInt)) {
        return "#" + std::to_string(value);
      }
      if (value > 65535) {
        c.reportError(err::kConstantOutOfRange);
      }
      if (target != nullptr && target->kind == TypeKind::Word) {
        return "#" + std::to_string(value & 65535);
      }
      if (value < 0 && value >= -32768) {
        return "#" + std::to_string(value);  // negative values keep their sign
      }
      return "#" + std::to_string(static_cast<std::uint16_t>(value));
    }
    case ConstKind::Real:
      pushRealConstant(c, v.realValue);
      makeRuntimeResultLeaf(leaf, t.realType);
      return {};
    case ConstKind::Boolean:
      return v.smallValue != 0 ? "#1" : "#0";
    case ConstKind::Character:
      return "#" + std::to_string(v.smallValue);
    case ConstKind::StackReservation:
      allocateStack(c.emitter, v.intValue);
      makeRuntimeResultLeaf(leaf, target);
      return {};
    case ConstKind::Set:
      // A set constructor is an operand of IN and nothing else: it has no value of a type
      // that could be stored, written or compared.
      c.reportError(err::kTypeMismatch);
    default:
      c.reportError(kBadConstantKind);
  }
}

// The pending negation or complement of a register value, at the width it acts on.
void applyFlags(Compilation& c, const ExprNode& leaf, const std::string& reg,
                std::string_view suffix) {
  if ((leaf.unaryFlags & kNegateFlag) != 0) {
    c.emitter.emitInstruction("neg" + std::string(suffix), reg, "");
  }
  if ((leaf.unaryFlags & kComplementFlag) != 0) {
    c.emitter.emitInstruction("not" + std::string(suffix), reg, "");
  }
}

void pushForReal(Compilation& c, const std::string& reg) {
  c.emitter.emitInstruction("mov.l", reg, "@-sp");
  c.emitter.emitInstruction("bsr", rt::kIntToReal, "");
}

// A register value of class `a` as class `b`; true when the value is now on the stack.
bool convertRegister(Compilation& c, ExprNode& leaf, const std::string& reg, ConversionClass a,
                     ConversionClass b) {
  using K = ConversionClass;
  Emitter& e = c.emitter;
  const bool wordWide = leaf.registerWidth == 2;
  switch (a) {
    case K::Byte:
      switch (b) {
        case K::Byte:
          applyFlags(c, leaf, reg, ".b");
          return false;
        case K::Integer:
          if ((leaf.unaryFlags & kNegateFlag) != 0 && (leaf.unaryFlags & kComplementFlag) == 0) {
            // Widened first: -B of a BYTE is negative in a word. (NOT B stays a byte.)
            if (!wordWide) {
              e.emitInstruction("extu.w", reg, "");
            }
            applyFlags(c, leaf, reg, ".w");
            return false;
          }
          applyFlags(c, leaf, reg, ".b");
          if (!wordWide) {
            e.emitInstruction("extu.w", reg, "");
          }
          return false;
        case K::Word:
          e.emitInstruction("extu.w", reg, "");
          applyFlags(c, leaf, reg, ".w");
          return false;
        case K::LongInt:
        case K::Address:
          e.emitInstruction("and.l", "#255", reg);
          applyFlags(c, leaf, reg, ".l");
          return false;
        case K::Real:
          // Widened as for LONGINT, the pending minus included: -B is a negative REAL.
          e.emitInstruction("and.l", "#255", reg);
          applyFlags(c, leaf, reg, ".l");
          pushForReal(c, reg);
          return true;
        default:
          break;
      }
      break;
    case K::Integer:
      switch (b) {
        case K::Byte:
        case K::Integer:
          applyFlags(c, leaf, reg, ".w");
          return false;
        case K::LongInt:
          applyFlags(c, leaf, reg, ".w");
          e.emitInstruction("exts.l", reg, "");
          return false;
        case K::Address:
          applyFlags(c, leaf, reg, ".w");
          e.emitInstruction("extu.l", reg, "");
          return false;
        case K::Real:
          applyFlags(c, leaf, reg, ".w");
          e.emitInstruction("exts.l", reg, "");
          pushForReal(c, reg);
          return true;
        case K::Word:
        case K::Pointer:
        case K::Other:
          applyFlags(c, leaf, reg, ".w");
          return false;
        default:
          break;
      }
      break;
    case K::Word:
      switch (b) {
        case K::Integer:
        case K::Word:
          applyFlags(c, leaf, reg, ".w");
          return false;
        case K::LongInt:
        case K::Address:
          e.emitInstruction("extu.l", reg, "");
          applyFlags(c, leaf, reg, ".l");
          return false;
        case K::Real:
          e.emitInstruction("extu.l", reg, "");
          applyFlags(c, leaf, reg, ".l");
          pushForReal(c, reg);
          return true;
        case K::Byte:
        case K::Pointer:
        case K::Other:
          applyFlags(c, leaf, reg, ".w");
          return false;
        default:
          break;
      }
      break;
    case K::LongInt:
      switch (b) {
        case K::Byte:
        case K::Integer:
        case K::LongInt:
        case K::Address:
          applyFlags(c, leaf, reg, ".l");
          return false;
        case K::Real:
          applyFlags(c, leaf, reg, ".l");
          pushForReal(c, reg);
          return true;
        case K::Word:
        case K::Pointer:
          applyFlags(c, leaf, reg, ".l");
          return false;
        default:
          break;
      }
      break;
    case K::Address:
      if (b != K::Real && b != K::Other) {
        return false;
      }
      break;
    case K::Pointer:
      if (b == K::Integer || b == K::Word || b == K::LongInt || b == K::Pointer) {
        return false;
      }
      break;
    case K::Real:
      if (b == K::Real) {
        return false;
      }
      break;
    case K::Other:
      if (b == K::Integer) {
        if (!wordWide) {
          e.emitInstruction("extu.w", reg, "");
        }
        return false;
      }
      if (b == K::Byte || b == K::Word || b == K::LongInt || b == K::Address || b == K::Other) {
        return false;
      }
      break;
  }
  c.reportError(kBadConversion);
}

// A BOOLEAN result as an operand: "#0"/"#1", or a register holding 0 or 1.
std::string convertBoolean(Compilation& c, ExprPtr& leaf, TypeDescriptor* target) {
  ExprNode& node = *leaf;
  const bool complemented = (node.unaryFlags & kComplementFlag) != 0;
  TypeDescriptor* boolean = c.symbols.types().booleanType;
  std::string reg;
  int width = 1;
  switch (node.location) {
    case LocationKind::Constant:
      return node.value.smallValue != 0 ? "#1" : "#0";
    case LocationKind::Register:
      reg = node.text;
      width = node.registerWidth;
      break;
    case LocationKind::RuntimeResult:
      reg = c.registers.allocateRegister();
      c.emitter.emitInstruction("mov.w", "@sp+", reg);
      width = 2;
      break;
    case LocationKind::Condition:
      // The register the truth value was computed in (r0 unless the leaf names another).
      reg = isWorkRegister(node.text) ? node.text : "r0";
      c.registers.markRegisterInUse(reg);
      break;
    default:
      c.reportError(kBadBooleanResult);
  }
  if (complemented) {
    c.emitter.emitInstruction("bnot", "#0", reg);
  }
  if (width == 1 && target != nullptr && target->size == 2) {
    c.emitter.emitInstruction("extu.w", reg, "");
    width = 2;
  }
  makeRegisterLeaf(node, reg, boolean);
  node.unaryFlags = 0;
  node.registerWidth = width;
  return reg;
}

}  // namespace

std::string convertResult(Compilation& c, ExprPtr& leaf, TypeDescriptor* targetType) {
  ExprNode& node = *leaf;
  const PredefinedTypes& t = c.symbols.types();
  TypeDescriptor* target = targetType != nullptr ? targetType : node.type;
  if (node.type != nullptr && node.type->kind == TypeKind::Boolean) {
    return convertBoolean(c, leaf, targetType);
  }
  switch (node.location) {
    case LocationKind::Constant:
      return convertConstant(c, node, target);
    case LocationKind::Register: {
      const std::string reg = node.text;
      const ConversionClass from = classOf(c, node.type);
      const ConversionClass to = classOf(c, target);
      const bool onStack = convertRegister(c, node, reg, from, to);
      if (onStack) {
        makeRuntimeResultLeaf(node, t.realType);
        return {};
      }
      // A byte result keeps its recorded width only when it was a byte already: a word
      // narrowed to a byte must be widened again before it is used as a word.
      int width = target->size;
      if (to == ConversionClass::Byte) {
        width = from == ConversionClass::Byte ? node.registerWidth : 1;
      }
      makeRegisterLeaf(node, reg, target);
      node.unaryFlags = 0;
      node.registerWidth = width;
      return reg;
    }
    case LocationKind::RuntimeResult: {
      const bool integerTarget = target == t.integerType || target == t.byteType ||
                                 target == t.longIntType || target == t.addressType;
      if (integerTarget && node.type != nullptr && node.type->kind == TypeKind::Real) {
        c.emitter.emitInstruction("bsr", rt::kRealToInt, "");
        c.registers.markRegisterInUse("r0");
        makeRegisterLeaf(node, "r0", target);
        return "r0";
      }
      return {};
    }
    case LocationKind::NamedMemory:
      return node.text;
    default:
      c.reportError(kBadResultLeaf);
  }
}

}  // namespace vorax
