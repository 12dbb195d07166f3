#include "sim/asm_operand.h"

#include "sim/asm_lexer.h"

namespace vorax::sim {

int registerNumber(const std::string& rawText) {
  std::string text = toLower(trimBlanks(rawText));
  if (text == "fp") return 6;
  if (text == "sp") return 7;
  if (text.size() == 2 && text[0] == 'r' && text[1] >= '0' && text[1] <= '7') {
    return text[1] - '0';
  }
  return -1;
}

namespace {

// An address or displacement may name the width of its field ("@h'ff10:8", "@(4:16,r0)");
// the suffix is taken off the expression text.
std::string takeWidth(const std::string& text, Operand& operand) {
  for (int width : {8, 16, 24, 32}) {
    const std::string suffix = ":" + std::to_string(width);
    if (text.size() > suffix.size() && text.ends_with(suffix)) {
      operand.width = width;
      return trimBlanks(text.substr(0, text.size() - suffix.size()));
    }
  }
  return text;
}

// "(r0-r3)" -> first register and count.
bool parseRegisterList(const std::string& text, Operand& operand) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  std::string inner = text.substr(1, text.size() - 2);
  size_t dash = inner.find('-');
  if (dash == std::string::npos) return false;
  int first = registerNumber(inner.substr(0, dash));
  int last = registerNumber(inner.substr(dash + 1));
  if (first < 0 || last < 0 || last < first) return false;
  operand.kind = OperandKind::RegisterList;
  operand.reg = first;
  operand.regCount = last - first + 1;
  return true;
}

}  // namespace

Operand parseOperand(const std::string& rawText) {
  std::string text = trimBlanks(rawText);
  Operand operand;
  if (text.empty()) throw AsmError("missing operand");
  int reg = registerNumber(text);
  if (reg >= 0) {
    operand.kind = OperandKind::Register;
    operand.reg = reg;
    return operand;
  }
  if (text[0] == '#') {
    operand.kind = OperandKind::Immediate;
    operand.expr = parseExpression(text.substr(1));
    return operand;
  }
  if (text[0] == '(') {
    if (parseRegisterList(text, operand)) return operand;
  }
  if (text[0] == '@') {
    std::string rest = text.substr(1);
    if (!rest.empty() && rest[0] == '-') {
      reg = registerNumber(rest.substr(1));
      if (reg < 0) throw AsmError("bad pre-decrement operand \"" + text + "\"");
      operand.kind = OperandKind::PreDecrement;
      operand.reg = reg;
      return operand;
    }
    if (!rest.empty() && rest.back() == '+') {
      reg = registerNumber(rest.substr(0, rest.size() - 1));
      if (reg >= 0) {
        operand.kind = OperandKind::PostIncrement;
        operand.reg = reg;
        return operand;
      }
    }
    reg = registerNumber(rest);
    if (reg >= 0) {
      operand.kind = OperandKind::Indirect;
      operand.reg = reg;
      return operand;
    }
    if (!rest.empty() && rest[0] == '(' && rest.back() == ')') {
      std::string inner = rest.substr(1, rest.size() - 2);
      size_t comma = inner.rfind(',');
      if (comma == std::string::npos) throw AsmError("bad memory operand \"" + text + "\"");
      reg = registerNumber(inner.substr(comma + 1));
      if (reg < 0) throw AsmError("bad base register in \"" + text + "\"");
      operand.kind = OperandKind::Displacement;
      operand.reg = reg;
      operand.expr = parseExpression(takeWidth(trimBlanks(inner.substr(0, comma)), operand));
      return operand;
    }
    operand.kind = OperandKind::Absolute;
    operand.expr = parseExpression(takeWidth(rest, operand));
    return operand;
  }
  operand.kind = OperandKind::Absolute;
  operand.expr = parseExpression(text);
  return operand;
}

}  // namespace vorax::sim
