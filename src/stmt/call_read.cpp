// READ and READLN. READ takes one character from the device for each variable (a record
// takes one per byte, a REAL a line of text); READLN reads one whole line for each variable and converts it to
// the variable's type.
//
// read = READ "(" [ device "," ] variable { "," variable } ")"
// readln = READLN "(" [ device "," ] variable { "," variable } ")"
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "asmout/runtime_names.h"
#include "asmout/stack_adjust.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/call_device.h"
#include "stmt/call_standard.h"
#include "stmt/call_support.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr int kIntegerVariableExpected = 24;
constexpr int kNotAVariable = 27;
constexpr int kRecordNotAllowed = 41;
constexpr std::int32_t kStringArea = 256;
constexpr std::int32_t kRealSize = 6;

// The device, and the first item when the first argument names none. `lineWise`: READLN
// reads lines of text, which a typed file does not hold.
Device parseDevice(const ProcedureCall& call, ExprPtr& first, bool lineWise) {
  Compilation& c = call.c;
  expectToken(c, TokenCode::OpenParen, err::kOpenParenExpected);
  c.nextToken();
  first = parseExpression(c);
  if (!isDeviceOrFile(c, *first)) {
    return Device::console(c);
  }
  Device device(std::move(first));
  if (lineWise && device.isTypedFile(c)) {
    c.reportError(err::kTypeMismatch);
  }
  expectToken(c, TokenCode::Comma, err::kCommaExpected);
  c.nextToken();
  first = parseExpression(c);
  return device;
}

// item { "," item } ")": each item must be a variable.
template <typename ReadItem>
void readItems(Compilation& c, ExprPtr item, ReadItem readItem) {
  while (true) {
    if (!isVariable(*item)) {
      c.reportError(kNotAVariable);
    }
    readItem(std::move(item));
    c.registers.releaseUnlockedRegisters();
    if (c.token() != TokenCode::Comma) {
      break;
    }
    c.nextToken();
    item = parseExpression(c);
  }
  expectToken(c, TokenCode::CloseParen, err::kCloseParenExpected);
  c.nextToken();
}

class CharacterReader {
 public:
  CharacterReader(const ProcedureCall& call, const Device& device)
      : call_(call), c_(call.c), device_(device) {}

  void read(ExprPtr item) {
    const TypeDescriptor* type = item->type;
    switch (type->kind) {
      case TypeKind::Char:
      case TypeKind::Byte:
        store(std::move(item), {});
        return;
      case TypeKind::Integer:
      case TypeKind::Subrange:
        // A subrange of one byte is stored like BYTE.
        store(std::move(item), type->size == 1 ? "" : "extu.w");
        return;
      case TypeKind::LongInt:
      case TypeKind::Address:
        store(std::move(item), "and.l");
        return;
      case TypeKind::Real:
        readReal(std::move(item));
        return;
      case TypeKind::Record:
        readRecord(std::move(item));
        return;
      default:
        c_.reportError(kIntegerVariableExpected);
    }
  }

 private:
  // One character from the device into r0.
  void readCharacter() {
    device_.push(c_);
    emitIoCall(call_, rt::kReadChar);
    c_.registers.markRegisterInUse("r0");
  }

  // A REAL cannot come from one character: the number is read from a line of text, as
  // READLN reads it. A typed file holds no lines.
  void readReal(ExprPtr item) {
    if (device_.isTypedFile(c_)) {
      c_.reportError(kIntegerVariableExpected);
    }
    allocateStack(c_.emitter, kRealSize);
    device_.push(c_);
    emitIoCall(call_, device_.isConsole() ? rt::kReadLine : rt::kReadLineList);
    emitCall(c_, rt::kTextToReal);
    pushAddress(c_, item);
    emitCall(c_, rt::kStoreReal);
  }

  // The character widened (`widen`: "extu.w" or "and.l", or nothing) and stored.
  void store(ExprPtr item, std::string_view widen) {
    StoreTarget target(c_, std::move(item));
    readCharacter();
    Emitter& e = c_.emitter;
    if (widen == "extu.w") {
      e.emitInstruction("extu.w", "r0", "");
    } else if (widen == "and.l") {
      e.emitInstruction("and.l", "#h'000000ff", "r0");
    }
    const std::string operand = target.operand();
    e.emitInstruction(std::string("mov") + std::string(sizeSuffix(target.type()->size)), "r0",
                      operand);
    c_.registers.releaseRegister(operand);
  }

  // One character per byte of the record. Address and count wait on the stack across each
  // call and may not live in r0, where the character arrives.
  void readRecord(ExprPtr item) {
    const std::int32_t size = item->type->size;
    if (size == 0) {
      return;  // nothing to read; a zero count would run the loop 65536 times
    }
    RegisterPool& registers = c_.registers;
    Emitter& e = c_.emitter;
    const bool reserveR0 = !registers.isRegisterInUse("r0");
    if (reserveR0) {
      registers.markRegisterInUse("r0");
    }
    item->addressWanted = true;
    const std::string text = generateVariable(c_, item);
    std::string address = text;
    // The loop steps the address: a WITH base or locked register is copied first.
    if (!isScratchRegister(c_, text) || text == "r0") {
      address = registers.allocateRegister();
      e.emitInstruction("mov.l", text, address);
      if (text == "r0" && !reserveR0) {
        registers.releaseRegister(text);
      }
    }
    const std::string count = registers.allocateRegister();
    if (reserveR0) {
      registers.releaseRegister("r0");
    }
    e.emitInstruction("mov.w", "#" + std::to_string(size), count);
    const std::string loop = currentLabel(c_, true);
    e.emitInstruction("mov.l", address, "@-sp");
    e.emitInstruction("mov.w", count, "@-sp");
    readCharacter();
    e.emitInstruction("mov.w", "@sp+", count);
    e.emitInstruction("mov.l", "@sp+", address);
    e.emitInstruction("mov.b", "r0", "@" + address);
    e.emitInstruction("inc.l", "#1", address);
    e.emitInstruction("dec.w", "#1", count);
    e.emitInstruction("bne", loop, "");
    registers.releaseRegister(address);
    registers.releaseRegister(count);
  }

  const ProcedureCall& call_;
  Compilation& c_;
  const Device& device_;
};

class LineReader {
 public:
  LineReader(const ProcedureCall& call, const Device& device)
      : call_(call), c_(call.c), device_(device) {}

  void read(ExprPtr item) {
    const TypeDescriptor* type = item->type;
    if (type->kind == TypeKind::Char) {
      readCharacter(std::move(item));
    } else if (type->kind == TypeKind::Integer || type->kind == TypeKind::Byte ||
               type->kind == TypeKind::LongInt || type->kind == TypeKind::Address ||
               type->kind == TypeKind::Subrange) {
      readNumber(std::move(item));
    } else if (type->kind == TypeKind::Real) {
      readReal(std::move(item));
    } else if (type->kind == TypeKind::String) {
      readString(std::move(item));
    } else if (type->kind == TypeKind::Record) {
      c_.reportError(kRecordNotAllowed);
    } else {
      c_.reportError(err::kTypeMismatch);
    }
  }

 private:
  // One line from the device, as a string on the stack. The console has a routine of its
  // own.
  void readLine() {
    device_.push(c_);
    emitIoCall(call_, device_.isConsole() ? rt::kReadLine : rt::kReadLineList);
  }

  // The line's first character.
  void readCharacter(ExprPtr item) {
    StoreTarget target(c_, std::move(item));
    readLine();
    const std::string character = c_.registers.allocateRegister();
    c_.emitter.emitInstruction("mov.b", "@(1,sp)", character);
    c_.emitter.emitInstruction("add.l", "#" + std::to_string(kStringArea), "sp");
    const std::string operand = target.operand();
    c_.emitter.emitInstruction("mov.b", character, operand);
    c_.registers.releaseRegister(operand);
    c_.registers.releaseRegister(character);
  }

  void readNumber(ExprPtr item) {
    StoreTarget target(c_, std::move(item));
    readLine();
    emitCall(c_, rt::kTextToLong);
    c_.registers.markRegisterInUse("r0");
    const std::string operand = target.operand();
    c_.emitter.emitInstruction(std::string("mov") + std::string(sizeSuffix(target.type()->size)),
                               "r0", operand);
    c_.registers.releaseRegister(operand);
  }

  void readReal(ExprPtr item) {
    allocateStack(c_.emitter, kRealSize);
    readLine();
    emitCall(c_, rt::kTextToReal);
    pushAddress(c_, item);
    emitCall(c_, rt::kStoreReal);
  }

  void readString(ExprPtr item) {
    const std::int32_t size = item->type->size;
    readLine();
    pushWordConstant(c_, size);
    pushAddress(c_, item);
    emitCall(c_, rt::kSaveString);
  }

  const ProcedureCall& call_;
  Compilation& c_;
  const Device& device_;
};

}  // namespace

void compileRead(const ProcedureCall& call) {
  ExprPtr first;
  const Device device = parseDevice(call, first, false);
  CharacterReader reader(call, device);
  readItems(call.c, std::move(first), [&reader](ExprPtr item) { reader.read(std::move(item)); });
}

void compileReadLine(const ProcedureCall& call) {
  ExprPtr first;
  const Device device = parseDevice(call, first, true);
  LineReader reader(call, device);
  readItems(call.c, std::move(first), [&reader](ExprPtr item) { reader.read(std::move(item)); });
}

}  // namespace vorax
