// WRITE and WRITELN: each item becomes text (a character, or a string built on the stack)
// that one runtime routine writes to the device; the last item of WRITELN goes through
// the routine that ends the line as well. Integers written to a typed file are written
// as their bytes, most significant first.
//
// write = WRITE "(" [ device "," ] item { "," item } ")"
// writeln = WRITELN [ "(" device ")" | "(" [ device "," ] item { "," item } ")" ]
// item = expression [ ":" width [ ":" decimals ] ]
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "asmout/runtime_names.h"
#include "asmout/stack_adjust.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/call_device.h"
#include "stmt/call_standard.h"
#include "stmt/call_support.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr int kRecordNotAllowed = 41;
constexpr int kUnsupportedElementSize = 999;
// A string on the stack: the length byte and 255 characters.
constexpr std::int32_t kStringArea = 256;
// Added to a character code, the word holds a one-character string: length byte 1 first.
constexpr std::int32_t kOneCharacterLength = 256;
constexpr std::int32_t kDefaultRealWidth = 3;
constexpr std::int32_t kDefaultRealDecimals = 1;

class ItemWriter {
 public:
  ItemWriter(const ProcedureCall& call, bool lineEnd, const Device& device)
      : call_(call), c_(call.c), lineEnd_(lineEnd), device_(device) {}

  void write(ExprPtr item) {
    const TypeDescriptor* type = item->type;
    if (type == nullptr) {
      c_.reportError(err::kTypeMismatch);
    }
    if (type->kind == TypeKind::Char) {
      if (c_.token() == TokenCode::Colon) {
        writeCharacterInWidth(std::move(item));
      } else {
        writeCharacter(std::move(item));
      }
    } else if (type->kind == TypeKind::String) {
      writeString(std::move(item));
    } else if (type->kind == TypeKind::Real) {
      writeReal(std::move(item));
    } else if (isIntegerKind(type)) {
      if (device_.isText(c_)) {
        writeNumberAsText(std::move(item));
      } else {
        writeNumberAsBytes(std::move(item));
      }
    } else if (type->kind == TypeKind::Record) {
      if (lineEnd_) {
        c_.reportError(kRecordNotAllowed);
      }
      writeRecord(std::move(item));
    } else {
      c_.reportError(err::kTypeMismatch);
    }
  }

 private:
  // The last item of WRITELN: the one the closing parenthesis follows.
  [[nodiscard]] bool endsLine() const { return lineEnd_ && c_.token() == TokenCode::CloseParen; }

  // The string on the stack goes to the device.
  void writeStackString() {
    device_.push(c_);
    emitIoCall(call_, endsLine() ? rt::kWriteStringLine : rt::kWriteString);
  }

  // ":" width after a string on the stack: the string is padded on the left to the width.
  void adjustToWidth() {
    if (c_.token() != TokenCode::Colon) {
      return;
    }
    c_.nextToken();
    pushWordValue(c_, parseWidth(c_));
    emitCall(c_, rt::kAdjustLength);
  }

  void writeCharacter(ExprPtr item) {
    const std::string code = generateInRegister(c_, item, c_.symbols.types().integerType);
    c_.emitter.emitInstruction("mov.w", code, "@-sp");
    c_.registers.releaseRegister(code);
    device_.push(c_);
    emitIoCall(call_, endsLine() ? rt::kWriteCharLine : rt::kWriteChar);
  }

  // A character in a width is written as a one-character string, padded like strings.
  void writeCharacterInWidth(ExprPtr item) {
    std::string code = generateValue(c_, item, c_.symbols.types().integerType);
    allocateStack(c_.emitter, kStringArea);
    std::string word;
    if (!code.empty() && code[0] == '#') {
      // A constant character needs no "or.w": the sum is the immediate. There is no
      // immediate-to-memory move, so it goes through a register.
      word = c_.registers.allocateRegister();
      c_.emitter.emitInstruction("mov.w", code + "+" + std::to_string(kOneCharacterLength), word);
    } else {
      // The length goes into the register's high byte: a register that still holds a
      // variable (a FOR counter, a WITH base) is copied first, or the variable changes.
      word = code;
      if (!isScratchRegister(c_, word)) {
        word = c_.registers.allocateRegister();
        c_.emitter.emitInstruction("mov.w", code, word);
        if (!isWithBase(c_, code) && !c_.registers.isRegisterLocked(code)) {
          c_.registers.releaseRegister(code);
        }
      }
      c_.emitter.emitInstruction("or.w", "#" + std::to_string(kOneCharacterLength), word);
    }
    c_.emitter.emitInstruction("mov.w", word, "@sp");
    c_.registers.releaseRegister(word);
    adjustToWidth();
    writeStackString();
  }

  void writeString(ExprPtr item) {
    // The runtime takes a whole STRING: a shorter string type is widened on the way.
    static_cast<void>(generateValue(c_, item, c_.symbols.types().stringType));
    adjustToWidth();
    writeStackString();
  }

  void writeReal(ExprPtr item) {
    ExprPtr width;
    ExprPtr decimals;
    if (c_.token() == TokenCode::Colon) {
      c_.nextToken();
      width = parseWidth(c_);
      if (c_.token() == TokenCode::Colon) {
        c_.nextToken();
        decimals = parseWidth(c_);
      }
    }
    if (!width) {
      width = makeIntegerConstant(c_, kDefaultRealWidth);
    }
    if (!decimals) {
      decimals = makeIntegerConstant(c_, kDefaultRealDecimals);
    }
    allocateStack(c_.emitter, kStringArea);
    static_cast<void>(generateValue(c_, item, c_.symbols.types().realType));
    pushWordValue(c_, std::move(width));
    pushWordValue(c_, std::move(decimals));
    emitCall(c_, rt::kRealToText);
    writeStackString();
  }

  void writeNumberAsText(ExprPtr item) {
    pushLongValue(c_, std::move(item));
    emitCall(c_, rt::kLongToText);
    adjustToWidth();
    writeStackString();
  }

  // One byte, the low byte of `byteRegister`, to the device. The register stays held: the
  // next byte is loaded into it.
  void writeByte(const std::string& byteRegister) {
    c_.emitter.emitInstruction("mov.w", byteRegister, "@-sp");
    device_.push(c_);
    emitIoCall(call_, rt::kWriteChar);
    c_.registers.markRegisterInUse(byteRegister);
  }

  // The value as the file's element, most significant byte first. The value waits on the
  // stack while each byte is written, since the runtime calls destroy every register.
  void writeNumberAsBytes(ExprPtr item) {
    const std::int32_t size = device_.elementSize();
    if (size != 1 && size != 2 && size != 4) {
      c_.reportError(kUnsupportedElementSize);
    }
    const PredefinedTypes& t = c_.symbols.types();
    // A four-byte element takes the whole LONGINT: as an INTEGER its high word is lost.
    const std::string value =
        generateInRegister(c_, item, size == 4 ? t.longIntType : t.integerType);
    Emitter& e = c_.emitter;
    if (size == 1) {
      writeByte(value);
    } else {
      e.emitInstruction(size == 4 ? "mov.l" : "mov.w", value, "@-sp");
      for (int word = 0; word < size / 2; ++word) {
        e.emitInstruction("mov.b", "@sp", value);
        writeByte(value);
        e.emitInstruction("mov.w", "@sp+", value);
        writeByte(value);
      }
    }
    c_.registers.releaseRegister(value);
  }

  // A register holding the record's address, which the loop steps: an immediate address,
  // a WITH base or a locked register is copied into a register of its own first.
  std::string addressRegister(ExprPtr& item) {
    item->addressWanted = true;
    std::string address = generateVariable(c_, item);
    if (!isScratchRegister(c_, address)) {
      const std::string loaded = c_.registers.allocateRegister();
      c_.emitter.emitInstruction("mov.l", address, loaded);
      if (!isWithBase(c_, address) && !c_.registers.isRegisterLocked(address)) {
        c_.registers.releaseRegister(address);
      }
      address = loaded;
    }
    return address;
  }

  // The record's bytes one by one; address and count wait on the stack across each call.
  void writeRecord(ExprPtr item) {
    const std::int32_t size = item->type->size;
    if (size == 0) {
      return;  // nothing to write; a zero count would run the loop 65536 times
    }
    Emitter& e = c_.emitter;
    const std::string address = addressRegister(item);
    const std::string count = c_.registers.allocateRegister();
    e.emitInstruction("mov.w", "#" + std::to_string(size), count);
    const std::string byte = c_.registers.allocateRegister();
    const std::string loop = currentLabel(c_, true);
    e.emitInstruction("mov.w", count, "@-sp");
    e.emitInstruction("mov.b", "@" + address + "+", byte);
    e.emitInstruction("mov.l", address, "@-sp");
    e.emitInstruction("mov.w", byte, "@-sp");
    device_.push(c_);
    emitIoCall(call_, rt::kWriteChar);
    e.emitInstruction("mov.l", "@sp+", address);
    e.emitInstruction("mov.w", "@sp+", count);
    e.emitInstruction("dec.w", "#1", count);
    e.emitInstruction("bne", loop, "");
    for (const std::string* reg : {&address, &count, &byte}) {
      c_.registers.releaseRegister(*reg);
    }
  }

  const ProcedureCall& call_;
  Compilation& c_;
  const bool lineEnd_;
  const Device& device_;
};

// WRITELN alone, or WRITELN of a device only: the line end.
void writeLineEnd(const ProcedureCall& call, const Device& device) {
  device.push(call.c);
  emitIoCall(call, rt::kWriteLineEnd);
}

}  // namespace

void compileWrite(const ProcedureCall& call, bool lineEnd) {
  Compilation& c = call.c;
  if (lineEnd && c.token() != TokenCode::OpenParen) {
    writeLineEnd(call, Device::console(c));
    return;
  }
  expectToken(c, TokenCode::OpenParen, err::kOpenParenExpected);
  c.nextToken();
  ExprPtr item = parseExpression(c);
  Device device = Device::console(c);
  if (isDeviceOrFile(c, *item)) {
    device = Device(std::move(item));
    if (lineEnd && device.isTypedFile(c)) {
      c.reportError(err::kTypeMismatch);
    }
    if (lineEnd && c.token() == TokenCode::CloseParen) {
      writeLineEnd(call, device);
      c.nextToken();
      return;
    }
    expectToken(c, TokenCode::Comma, err::kCommaExpected);
    c.nextToken();
    item = parseExpression(c);
  }
  ItemWriter writer(call, lineEnd, device);
  while (true) {
    writer.write(std::move(item));
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

}  // namespace vorax
