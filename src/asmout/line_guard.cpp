#include "asmout/line_guard.h"

#include <cstdint>
#include <optional>

#include "asmout/peephole_window.h"

namespace vorax {
namespace {

// --- Operands ---------------------------------------------------------------------------

enum class Form {
  None,           // no operand
  Immediate,      // "#..."
  Register,       // r0..r6, fp, sp
  Indirect,       // "@r3", "@sp"
  Displacement,   // "@(d,r3)", "@(d,fp)"
  PostIncrement,  // "@r2+", "@sp+"
  PreDecrement,   // "@-sp"
  Absolute,       // a symbol or address: "X.5", "\ram+12", "@h'0000a000"
  RegisterList,   // "(r0-r3)"
  Malformed,      // looks like one of the above but names no register ("rx", "@(4,rx)")
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isRegisterName(std::string_view text) {
  if (text.size() != 2) {
    return false;
  }
  return (text[0] == 'r' && text[1] >= '0' && text[1] <= '6') || text == "fp" || text == "sp";
}

// "r" and one more letter or digit that is not a register: a register name that went wrong.
bool looksLikeRegister(std::string_view text) {
  return text.size() == 2 && text[0] == 'r' && !isRegisterName(text);
}

Form registerForm(std::string_view text, Form good) {
  return isRegisterName(text) ? good : Form::Malformed;
}

Form classify(std::string_view text) {
  if (text.empty()) {
    return Form::None;
  }
  switch (text[0]) {
    case '#':
      return text.size() > 1 ? Form::Immediate : Form::Malformed;
    case '(': {
      // (rA-rB): two to four consecutive registers.
      if (text.size() == 7 && text[1] == 'r' && text[3] == '-' && text[4] == 'r' &&
          text[6] == ')' && isDigit(text[2]) && isDigit(text[5]) && text[5] > text[2] &&
          text[5] - text[2] <= 3 && text[5] <= '6') {
        return Form::RegisterList;
      }
      return Form::Malformed;
    }
    case '@': {
      const std::string_view rest = text.substr(1);
      if (rest.empty()) {
        return Form::Malformed;
      }
      if (rest[0] == '-') {
        return registerForm(rest.substr(1), Form::PreDecrement);
      }
      if (rest[0] == '(') {
        const std::size_t comma = rest.rfind(',');
        if (rest.back() != ')' || comma == std::string_view::npos || comma < 2) {
          return Form::Malformed;
        }
        return registerForm(rest.substr(comma + 1, rest.size() - comma - 2), Form::Displacement);
      }
      if (rest.back() == '+' && rest.size() == 3) {
        return registerForm(rest.substr(0, 2), Form::PostIncrement);
      }
      if (isRegisterName(rest)) {
        return Form::Indirect;
      }
      return looksLikeRegister(rest) ? Form::Malformed : Form::Absolute;
    }
    default:
      break;
  }
  if (isRegisterName(text)) {
    return Form::Register;
  }
  return looksLikeRegister(text) ? Form::Malformed : Form::Absolute;
}

bool isMemory(Form form) {
  return form == Form::Indirect || form == Form::Displacement || form == Form::PostIncrement ||
         form == Form::PreDecrement || form == Form::Absolute;
}

// The value of an immediate written as a decimal number or as h' and hexadecimal digits;
// nothing for a symbol or an expression (the assembler computes those).
std::optional<std::int64_t> immediateValue(std::string_view text) {
  std::string_view digits = text.substr(1);
  bool negative = false;
  if (!digits.empty() && digits[0] == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  std::int64_t value = 0;
  if (digits.size() > 2 && digits[0] == 'h' && digits[1] == '\'') {
    digits.remove_prefix(2);
    if (digits.empty() || digits.size() > 8) {
      return std::nullopt;
    }
    for (const char c : digits) {
      int digit = 0;
      if (isDigit(c)) {
        digit = c - '0';
      } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else {
        return std::nullopt;
      }
      value = value * 16 + digit;
    }
  } else {
    if (digits.empty() || digits.size() > 12) {
      return std::nullopt;
    }
    for (const char c : digits) {
      if (!isDigit(c)) {
        return std::nullopt;
      }
      value = value * 10 + (c - '0');
    }
  }
  return negative ? -value : value;
}

// A value an immediate of `size` bytes can hold, read as signed or as unsigned.
bool fitsSize(std::int64_t value, int size) {
  switch (size) {
    case 1:
      return value >= -128 && value <= 255;
    case 2:
      return value >= -32768 && value <= 65535;
    default:
      return value >= -2147483648LL && value <= 4294967295LL;
  }
}

bool immediateIs(std::string_view text, std::initializer_list<std::int64_t> allowed) {
  const std::optional<std::int64_t> value = immediateValue(text);
  if (!value) {
    return false;
  }
  for (const std::int64_t v : allowed) {
    if (*value == v) {
      return true;
    }
  }
  return false;
}

// --- Mnemonics --------------------------------------------------------------------------

enum class Kind {
  Unknown,
  Data,           // db, dw, dl, org: written as given
  Move,           // mov
  LoadAddress,    // lea (provided by the target assembler)
  Add,            // add, cmp: immediate or register into a register
  Subtract,       // sub: no byte immediate
  Logic,          // and, or, xor
  Unary,          // not, neg
  Extend,         // extu, exts: word and long only
  Step,           // inc, dec
  AddressStep,    // adds, subs
  Shift,          // shal, shar, shll, shlr, rotl, rotr, rotxl, rotxr
  MultiplyDivide, // mulxu, mulxs, divxu, divxs: byte and word forms
  Bit,            // bset, bclr, bnot, btst
  Branch,         // bra, bsr and the conditional branches
  Jump,           // jmp, jsr
  Plain,          // rts, rte, nop, sleep
  Trap,           // trapa
  StoreMultiple,  // stm
  LoadMultiple,   // ldm
};

struct MnemonicEntry {
  std::string_view name;
  Kind kind;
};

constexpr MnemonicEntry kMnemonics[] = {
    {"mov", Kind::Move},         {"add", Kind::Add},
    {"sub", Kind::Subtract},     {"cmp", Kind::Add},
    {"and", Kind::Logic},        {"or", Kind::Logic},
    {"xor", Kind::Logic},        {"not", Kind::Unary},
    {"neg", Kind::Unary},        {"extu", Kind::Extend},
    {"exts", Kind::Extend},      {"inc", Kind::Step},
    {"dec", Kind::Step},         {"adds", Kind::AddressStep},
    {"subs", Kind::AddressStep}, {"shal", Kind::Shift},
    {"shar", Kind::Shift},       {"shll", Kind::Shift},
    {"shlr", Kind::Shift},       {"rotl", Kind::Shift},
    {"rotr", Kind::Shift},       {"rotxl", Kind::Shift},
    {"rotxr", Kind::Shift},      {"mulxu", Kind::MultiplyDivide},
    {"mulxs", Kind::MultiplyDivide}, {"divxu", Kind::MultiplyDivide},
    {"divxs", Kind::MultiplyDivide}, {"bset", Kind::Bit},
    {"bclr", Kind::Bit},         {"bnot", Kind::Bit},
    {"btst", Kind::Bit},         {"bra", Kind::Branch},
    {"bsr", Kind::Branch},       {"brn", Kind::Branch},
    {"bhi", Kind::Branch},       {"bls", Kind::Branch},
    {"bcc", Kind::Branch},       {"bhs", Kind::Branch},
    {"bcs", Kind::Branch},       {"blo", Kind::Branch},
    {"bne", Kind::Branch},       {"beq", Kind::Branch},
    {"bvc", Kind::Branch},       {"bvs", Kind::Branch},
    {"bpl", Kind::Branch},       {"bmi", Kind::Branch},
    {"bge", Kind::Branch},       {"blt", Kind::Branch},
    {"bgt", Kind::Branch},       {"ble", Kind::Branch},
    {"jmp", Kind::Jump},         {"jsr", Kind::Jump},
    {"rts", Kind::Plain},        {"rte", Kind::Plain},
    {"nop", Kind::Plain},        {"sleep", Kind::Plain},
    {"trapa", Kind::Trap},       {"stm", Kind::StoreMultiple},
    {"ldm", Kind::LoadMultiple}, {"lea", Kind::LoadAddress},
    {"db", Kind::Data},          {"dw", Kind::Data},
    {"dl", Kind::Data},          {"org", Kind::Data},
    {"include", Kind::Data},
};

Kind kindOf(std::string_view base) {
  for (const MnemonicEntry& entry : kMnemonics) {
    if (entry.name == base) {
      return entry.kind;
    }
  }
  return Kind::Unknown;
}

// 1, 2 or 4 for a ".b", ".w" or ".l" suffix, 0 for none, -1 for anything else.
int suffixSize(std::string_view suffix) {
  if (suffix.empty()) {
    return 0;
  }
  if (suffix.size() == 2 && suffix[0] == '.') {
    switch (suffix[1]) {
      case 'b':
        return 1;
      case 'w':
        return 2;
      case 'l':
        return 4;
      default:
        break;
    }
  }
  return -1;
}

// --- The forms of each kind -------------------------------------------------------------

constexpr std::string_view kAccepted;

std::string_view checkImmediateFits(std::string_view source, int size) {
  const std::optional<std::int64_t> value = immediateValue(source);
  if (value && !fitsSize(*value, size)) {
    return "immediate out of range for the size";
  }
  return kAccepted;
}

std::string_view checkMove(const WindowLine& line, Form source, Form destination, int size) {
  if (size <= 0) {
    return "mov needs a size";
  }
  if (destination == Form::Register) {
    if (source == Form::Immediate) {
      return checkImmediateFits(line.source, size);
    }
    if (source == Form::Register || source == Form::Indirect || source == Form::Displacement ||
        source == Form::PostIncrement || source == Form::Absolute) {
      return kAccepted;
    }
    return source == Form::PreDecrement ? "pre-decrement is no source" : "no such source";
  }
  if (source != Form::Register) {
    return "mov between two memory operands or into memory from an immediate";
  }
  if (destination == Form::PostIncrement) {
    return "post-increment is no destination";
  }
  return isMemory(destination) ? kAccepted : "no such destination";
}

// add, cmp, and, or, xor, sub: an immediate or a register into a register.
std::string_view checkArithmetic(const WindowLine& line, Form source, Form destination, int size,
                                 bool byteImmediate) {
  if (size <= 0) {
    return "needs a size";
  }
  if (destination != Form::Register) {
    return "destination must be a register";
  }
  if (source == Form::Register) {
    return kAccepted;
  }
  if (source != Form::Immediate) {
    return "source must be a register or an immediate";
  }
  if (size == 1 && !byteImmediate) {
    return "no byte form with an immediate";
  }
  return checkImmediateFits(line.source, size);
}

std::string_view checkOneRegister(Form source, Form destination, int size, bool byteForm) {
  if (size <= 0 || (size == 1 && !byteForm)) {
    return "size not available";
  }
  return source == Form::Register && destination == Form::None ? kAccepted
                                                               : "operand must be a register";
}

std::string_view checkStep(const WindowLine& line, Form destination, int size) {
  if (size <= 0 || destination != Form::Register) {
    return "needs a size and a register";
  }
  const bool step = size == 1 ? immediateIs(line.source, {1}) : immediateIs(line.source, {1, 2});
  return step ? kAccepted : "step must be #1 (or #2 for words and longs)";
}

std::string_view checkShift(const WindowLine& line, Form source, Form destination, int size,
                            TargetCpu cpu) {
  if (size <= 0) {
    return "needs a size";
  }
  if (destination == Form::None) {
    return source == Form::Register ? kAccepted : "operand must be a register";
  }
  if (destination != Form::Register) {
    return "operand must be a register";
  }
  if (immediateIs(line.source, {1})) {
    return kAccepted;
  }
  if (immediateIs(line.source, {2})) {
    return cpu == TargetCpu::H8_2000 ? kAccepted : "two-bit shifts need the 2000";
  }
  return "shift count must be #1 or #2";
}

// The short absolute area a bit instruction reaches on the 300H and 300L.
bool inShortArea(std::int64_t address, TargetCpu cpu) {
  if (cpu == TargetCpu::H8_300L) {
    return (address & 0xffff) >= 0xff00;
  }
  return (address & 0xffffff) >= 0xffff00;
}

std::string_view checkBit(const WindowLine& line, Form source, Form destination, int size,
                          TargetCpu cpu) {
  if (size != 0 && size != 1) {
    return "size not available";
  }
  if (source == Form::Immediate) {
    const std::optional<std::int64_t> bit = immediateValue(line.source);
    if (!bit || *bit < 0 || *bit > 7) {
      return "bit number must be #0 to #7";
    }
  } else if (source != Form::Register) {
    return "bit number must be an immediate or a register";
  }
  switch (destination) {
    case Form::Register:
    case Form::Indirect:
      return kAccepted;
    case Form::Absolute: {
      if (cpu == TargetCpu::H8_2000) {
        return kAccepted;
      }
      // A symbol's address is the assembler's business; a number must lie in the area.
      std::string_view address = line.destination;
      if (address[0] == '@') {
        address.remove_prefix(1);
      }
      if (address.size() > 2 && address[0] == 'h' && address[1] == '\'') {
        const std::optional<std::int64_t> value = immediateValue("#" + std::string(address));
        if (value && !inShortArea(*value, cpu)) {
          return "bit instruction outside the short absolute area";
        }
      }
      return kAccepted;
    }
    default:
      return "bit instructions reach a register, @ERn or a short absolute address";
  }
}

std::string_view checkLine(const WindowLine& line, TargetCpu cpu) {
  const std::string_view mnemonic = line.mnemonic;
  const std::size_t dot = mnemonic.find('.');
  const std::string_view base = mnemonic.substr(0, dot);
  const int size = dot == std::string_view::npos ? 0 : suffixSize(mnemonic.substr(dot));
  const Kind kind = kindOf(base);
  if (kind == Kind::Unknown) {
    return "unknown mnemonic";
  }
  if (kind == Kind::Data) {
    return kAccepted;
  }
  if (size < 0) {
    return "unknown size suffix";
  }
  const Form source = classify(line.source);
  const Form destination = classify(line.destination);
  if (source == Form::Malformed || destination == Form::Malformed) {
    return "operand names no register or has no form";
  }
  switch (kind) {
    case Kind::Move:
      return checkMove(line, source, destination, size);
    case Kind::LoadAddress:
      return size == 0 && destination == Form::Register &&
                     (source == Form::Indirect || source == Form::Displacement ||
                      source == Form::Absolute)
                 ? kAccepted
                 : "lea takes a memory operand and a register";
    case Kind::Add:
    case Kind::Logic:
      return checkArithmetic(line, source, destination, size, true);
    case Kind::Subtract:
      return checkArithmetic(line, source, destination, size, false);
    case Kind::Unary:
      return checkOneRegister(source, destination, size, true);
    case Kind::Extend:
      return checkOneRegister(source, destination, size, false);
    case Kind::Step:
      return checkStep(line, destination, size);
    case Kind::AddressStep:
      return size == 0 && destination == Form::Register && immediateIs(line.source, {1, 2, 4})
                 ? kAccepted
                 : "adds and subs take #1, #2 or #4 and a register";
    case Kind::Shift:
      return checkShift(line, source, destination, size, cpu);
    case Kind::MultiplyDivide:
      return (size == 1 || size == 2) && source == Form::Register &&
                     destination == Form::Register
                 ? kAccepted
                 : "multiply and divide take two registers, byte or word";
    case Kind::Bit:
      return checkBit(line, source, destination, size, cpu);
    case Kind::Branch:
      return size == 0 && source == Form::Absolute && line.source[0] != '@' &&
                     destination == Form::None
                 ? kAccepted
                 : "a branch takes one label";
    case Kind::Jump:
      return size == 0 && (source == Form::Indirect || source == Form::Absolute) &&
                     destination == Form::None
                 ? kAccepted
                 : "a jump takes a label or @ERn";
    case Kind::Plain:
      return size == 0 && source == Form::None ? kAccepted : "takes no operand";
    case Kind::Trap:
      return size == 0 && destination == Form::None && immediateIs(line.source, {0, 1, 2, 3})
                 ? kAccepted
                 : "trapa takes #0 to #3";
    case Kind::StoreMultiple:
      if (cpu != TargetCpu::H8_2000) {
        return "stm needs the 2000";
      }
      return source == Form::RegisterList && line.destination == "@-sp" ? kAccepted
                                                                          : "stm (list),@-sp";
    case Kind::LoadMultiple:
      if (cpu != TargetCpu::H8_2000) {
        return "ldm needs the 2000";
      }
      return line.source == "@sp+" && destination == Form::RegisterList ? kAccepted
                                                                         : "ldm @sp+,(list)";
    case Kind::Unknown:
    case Kind::Data:
      break;
  }
  return kAccepted;
}

}  // namespace

std::string_view refusedForm(const WindowLine& line, TargetCpu cpu) { return checkLine(line, cpu); }

}  // namespace vorax
