// FOR variable := start TO|DOWNTO end DO statement
//
// Two forms. The general form evaluates both bounds before it first writes the variable,
// pushes an end value that is not constant, skips an empty range, and leaves the loop
// after the round for the end value, before a step could carry the variable past the
// last value of its type:
//       mov.s S,var           the start value
//       mov.w V,@-sp          end value (when not constant)
//       cmp.s V,S / bgt E     nothing to do (bhi for a one-byte variable)
//   B:  body
//       mov.s var,R / cmp.s end,R / beq E / inc.s #1,R / mov.s R,var / bra B
//   E:  adds #2,sp
// The constant-bounds form stores start and enters the body directly; its test follows
// the body: mov.s var,R / inc.s #1,R / mov.s R,var / cmp.s end,R / ble B. The passes of
// for_passes.cpp then rewrite the loop's lines.
#include "stmt/for_statement.h"

#include <cstdint>
#include <optional>
#include <string>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/control_flow.h"
#include "stmt/for_passes.h"
#include "stmt/rewrite_passes.h"
#include "stmt/statements.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

// Errors of the FOR statement.
constexpr int kNotCountable = 24;  // control variable or end value of another type
constexpr int kNotVariable = 27;

constexpr std::string_view kLocalVariableHint = ";#Using local var makes compact code!";

bool isCountableType(const TypeDescriptor* type) {
  return type != nullptr &&
         (type->kind == TypeKind::Integer || type->kind == TypeKind::Byte ||
          type->kind == TypeKind::LongInt || type->kind == TypeKind::Enumeration);
}

bool isVariableKind(IdentKind kind) {
  return kind == IdentKind::FrameVariable || kind == IdentKind::Parameter ||
         kind == IdentKind::FixedVariable || kind == IdentKind::Field;
}

// A private copy of a designator tree: the control variable's operand is generated
// afresh wherever it is needed, because a register its address was built in does not
// survive the body.
ExprPtr copyTree(const ExprNode* node) {
  if (node == nullptr) {
    return nullptr;
  }
  ExprPtr copy = newExprNode();
  copy->unaryFlags = node->unaryFlags;
  copy->type = node->type;
  copy->expectedType = node->expectedType;
  copy->next = copyTree(node->next.get());
  copy->text = node->text;
  copy->standardRoutine = node->standardRoutine;
  copy->firstOperand = node->firstOperand;
  copy->oneByteResult = node->oneByteResult;
  copy->isLeaf = node->isLeaf;
  copy->op = node->op;
  copy->left = copyTree(node->left.get());
  copy->right = copyTree(node->right.get());
  copy->declarationLine = node->declarationLine;
  copy->location = node->location;
  copy->value = node->value;
  copy->scopeLevel = node->scopeLevel;
  copy->registerNumber = node->registerNumber;
  copy->registerWidth = node->registerWidth;
  copy->attached = copyTree(node->attached.get());
  copy->nextSelector = copyTree(node->nextSelector.get());
  copy->offsetTree = copyTree(node->offsetTree.get());
  copy->addressWanted = node->addressWanted;
  copy->routine = node->routine;
  copy->symbol = node->symbol;
  return copy;
}

// An immediate of the variable's size for a constant bound.
std::string boundText(std::int64_t value, int size) {
  if (size == 1 && (value < -128 || value > 255)) {
    value &= 0xff;
  } else if (size == 2 && (value < -32768 || value > 65535)) {
    value &= 0xffff;
  }
  return "#" + std::to_string(value);
}

struct ForHeader {
  SymbolEntry* symbol = nullptr;
  ExprPtr designator;
  TypeDescriptor* type = nullptr;
  ExprPtr start;
  ExprPtr end;
  bool downTo = false;
  std::string suffix;
};

class ForCompiler {
 public:
  ForCompiler(Compilation& c, SymbolEntry& owner) : c_(c), owner_(owner) {}

  void compile() {
    c_.registers.forgetRegisterContents();
    parseHeader();
    // An empty constant range runs the body no time at all: the general form tests
    // before the first round, the constant form would run it once.
    const bool constantBounds = header_.start->isConstant() && header_.end->isConstant();
    if (constantBounds && !emptyRange()) {
      compileConstantForm();
    } else {
      compileGeneralForm();
    }
    finish();
  }

 private:
  // FOR variable := start TO|DOWNTO end; the current token is FOR. Ends on the first
  // token after end.
  void parseHeader() {
    c_.nextToken();
    if (c_.token() != TokenCode::Identifier) {
      c_.reportError(err::kUndefinedIdentifier);
    }
    SymbolEntry* symbol = c_.symbols.LookupIdentifier(kinds::kOperand);
    if (symbol == nullptr) {
      c_.reportError(err::kUndefinedIdentifier);
    }
    if (!isVariableKind(symbol->kind)) {
      c_.reportError(kNotVariable);
    }
    c_.nextToken();
    header_.symbol = symbol;
    header_.designator = parseVariableDesignator(c_, *symbol, false);
    header_.type = header_.designator->type;
    if (!isCountableType(header_.type)) {
      c_.reportError(kNotCountable);
    }
    if (c_.token() != TokenCode::Assign) {
      c_.reportError(err::kAssignExpected);
    }
    c_.nextToken();
    header_.start = parseExpression(c_);
    if (!IsAssignable(header_.type, header_.start->type)) {
      c_.reportError(err::kTypeMismatch);
    }
    if (c_.token() != TokenCode::To && c_.token() != TokenCode::Downto) {
      c_.reportError(err::kToOrDowntoExpected);
    }
    header_.downTo = c_.token() == TokenCode::Downto;
    header_.suffix = std::string(sizeSuffix(header_.type->size));
    c_.nextToken();
    header_.end = parseExpression(c_);
  }

  // The end value's type, then DO.
  void expectEndAndDo() {
    if (!isCountableType(header_.end->type)) {
      c_.reportError(kNotCountable);
    }
    if (c_.token() != TokenCode::Do) {
      c_.reportError(err::kDoExpected);
    }
  }

  [[nodiscard]] std::int64_t constantValue(const ExprPtr& bound) const {
    return ordinalValue(bound->value);
  }

  [[nodiscard]] bool emptyRange() const {
    const std::int64_t start = constantValue(header_.start);
    const std::int64_t end = constantValue(header_.end);
    return header_.downTo ? start < end : start > end;
  }

  // The control variable's operand, generated from a fresh copy of its designator.
  std::string variable() {
    ExprPtr copy = copyTree(header_.designator.get());
    variableText_ = generateVariable(c_, copy);
    return variableText_;
  }

  [[nodiscard]] std::string op(std::string_view mnemonic) const {
    return std::string(mnemonic) + header_.suffix;
  }

  void emit(std::string_view mnemonic, std::string_view source, std::string_view destination) {
    c_.emitter.emitInstruction(mnemonic, source, destination);
  }

  // Compiles the body statement; the current token is DO.
  void compileBody() {
    body_ = currentLabel(c_, true);
    c_.registers.releaseUnlockedRegisters();
    c_.nextToken();
    compileStatement(c_, owner_);
  }

  // The constant form's step and test after the body: load, step, store, compare, branch
  // back.
  void emitStepAndTest(const std::string& reg, const std::string& endOperand) {
    const std::string place = variable();
    emit(op("mov"), place, reg);
    emit(op(header_.downTo ? "dec" : "inc"), "#1", reg);
    emit(op("mov"), reg, variable());
    if (const std::optional<std::int64_t> wrapped = wrappedValue(); wrapped) {
      // Past the largest value (the smallest, counting down) the step wraps round: the
      // loop goes on until the variable holds the wrapped value.
      emit(op("cmp"), boundText(*wrapped, header_.type->size), reg);
      emit("bne", body_, "");
      return;
    }
    emit(op("cmp"), endOperand, reg);
    emit(branchBack(), body_, "");
  }

  // For a constant-bounds loop whose end is the last value of the variable's type in the
  // counting direction: the value the step leaves after it. No test "end >= variable" could
  // fail there.
  [[nodiscard]] std::optional<std::int64_t> wrappedValue() const {
    if (!constantEnd_) {
      return std::nullopt;
    }
    std::int64_t low = 0;
    std::int64_t high = 0;
    switch (header_.type->kind) {
      case TypeKind::Byte:
      case TypeKind::Enumeration:
        // An enumeration's byte wraps round like a BYTE's: below its first value lies 255.
        high = 255;
        break;
      case TypeKind::Integer:
        low = -32768;
        high = 32767;
        break;
      case TypeKind::LongInt:
        low = INT32_MIN;
        high = INT32_MAX;
        break;
      default:
        return std::nullopt;
    }
    if (header_.downTo) {
      return *constantEnd_ == low ? std::optional<std::int64_t>(high) : std::nullopt;
    }
    return *constantEnd_ == high ? std::optional<std::int64_t>(low) : std::nullopt;
  }

  // One-byte variables (BYTE, enumerations) count without sign, so that bounds above 127
  // do not end the loop early.
  [[nodiscard]] std::string branchBack() const {
    if (header_.type->size == 1) {
      return header_.downTo ? "bcc" : "bls";
    }
    return header_.downTo ? "bge" : "ble";
  }

  // A one-byte variable (BYTE, enumeration) counts without sign.
  [[nodiscard]] std::string emptyRangeBranch() const {
    if (header_.type->size == 1) {
      return header_.downTo ? "bcs" : "bhi";
    }
    return header_.downTo ? "blt" : "bgt";
  }

  void compileGeneralForm() {
    const std::string firstMarker = placeMarker(c_, "@");
    expectEndAndDo();
    // Both bounds are computed before the variable is first written: FOR i := i TO i + 2
    // ends at the old i + 2.
    std::string first = generateInRegister(c_, header_.start, header_.type);
    std::string endRegister;
    std::string endOperand;
    if (header_.end->isConstant()) {
      endOperand = boundText(constantValue(header_.end), header_.type->size);
    } else {
      // The start waits in a register; a call made for the end value (a function, MOD)
      // would destroy it, so the spill mark saves it on the stack when a call follows.
      const std::string mark = placeMarker(c_, "@");
      c_.registers.lockRegister(first);
      endRegister = generateInRegister(c_, header_.end, header_.type);
      c_.registers.unlockRegister(first);
      resolveSpillMark(c_, mark, first, header_.suffix == ".l");
      endOperand = "@sp";
    }
    emit(op("mov"), first, variable());
    if (!endRegister.empty()) {
      emit(header_.suffix == ".l" ? "mov.l" : "mov.w", endRegister, "@-sp");
    }
    const std::string head = placeMarker(c_, "@");
    const std::string exit = newLocalLabel(c_);
    emit(op("cmp"), endRegister.empty() ? endOperand : endRegister, first);
    emit(emptyRangeBranch(), exit, "");
    c_.registers.releaseRegister(first);
    if (!endRegister.empty()) {
      c_.registers.releaseRegister(endRegister);
    }
    const std::string bodyMarker = placeMarker(c_, "@");
    compileBody();
    const std::string bodyEndMarker = placeMarker(c_, "@");

    // The round for the end value is the last: leave before the step, which would wrap
    // round past the last value of the type.
    const std::string reg = c_.registers.allocateRegister();
    emit(op("mov"), variable(), reg);
    if (endRegister.empty()) {
      emit(op("cmp"), endOperand, reg);
    } else {
      const std::string end = c_.registers.allocateRegister();
      emit(header_.suffix == ".l" ? "mov.l" : "mov.w", "@sp", end);
      emit(op("cmp"), end, reg);
    }
    emit("beq", exit, "");
    emit(op(header_.downTo ? "dec" : "inc"), "#1", reg);
    emit(op("mov"), reg, variable());
    emit("bra", body_, "");
    c_.emitter.defineLabel(true, exit);
    if (!endRegister.empty()) {
      emit("adds", header_.suffix == ".l" ? "#4" : "#2", "sp");
    }

    const auto markers = lookupMarkers(c_, {firstMarker, head, bodyMarker, bodyEndMarker});
    if (!markers) {
      return;
    }
    const MarkerPosition& start = (*markers)[0];
    const MarkerPosition& afterInit = (*markers)[1];
    const MarkerPosition& bodyStart = (*markers)[2];
    const MarkerPosition& bodyEnd = (*markers)[3];
    if (mayLiveInRegister() && !callsBetween(c_, afterInit.markerLine, bodyEnd.markerLine)) {
      promoteLoopVariable(c_,
                          {start.markerLine, bodyStart.position, bodyEnd.markerLine, variableText_,
                           header_.suffix, header_.downTo, std::nullopt, std::nullopt});
    }
  }

  // A variable whose address was taken may be read or written through a pointer: it
  // stays in memory.
  [[nodiscard]] bool mayLiveInRegister() const {
    const SymbolEntry* base = header_.designator->symbol;
    return !header_.symbol->addressTaken && (base == nullptr || !base->addressTaken);
  }

  void compileConstantForm() {
    expectEndAndDo();
    const std::int64_t startValue = constantValue(header_.start);
    const std::int64_t endValue = constantValue(header_.end);
    const std::string first = generateInRegister(c_, header_.start, header_.type);
    const std::string initMarker = placeMarker(c_, "@");
    emit(op("mov"), first, variable());
    c_.registers.releaseRegister(first);
    const std::string endOperand = boundText(endValue, header_.type->size);
    constantEnd_ = endValue;

    const std::string bodyMarker = placeMarker(c_, "@");
    compileBody();
    const std::string bodyEndMarker = placeMarker(c_, "@");
    const int bodyMarkerLine = c_.emitter.window().findLabel(bodyMarker);
    std::string reg;
    if (bodyMarkerLine >= 0 && !callsBetween(c_, bodyMarkerLine, c_.emitter.window().count() - 1)) {
      reg = findUnusedRegister(c_, bodyMarkerLine);
    }
    if (reg.empty()) {
      reg = c_.registers.allocateRegister();
    } else {
      // Held, so that the variable's address (a VAR parameter's) goes to another one.
      c_.registers.markRegisterInUse(reg);
    }
    emitStepAndTest(reg, endOperand);

    const auto markers = lookupMarkers(c_, {initMarker, bodyMarker, bodyEndMarker});
    if (markers && mayLiveInRegister() &&
        !callsBetween(c_, (*markers)[0].markerLine, (*markers)[2].markerLine)) {
      promoteLoopVariable(c_, {(*markers)[0].markerLine, (*markers)[1].position,
                               (*markers)[2].markerLine, variableText_, header_.suffix,
                               header_.downTo, startValue, endValue});
    }
    c_.registers.forgetRegisterContents();
  }

  // The passes both forms share, and the hint for a variable that is not a local.
  void finish() {
    PeepholeWindow& w = c_.emitter.window();
    const int bodyLine = w.findLabel(body_);
    if (bodyLine >= 0) {
      c_.optimizer.runRegisterMoveFrom(w, bodyLine);
      keepEndValueInRegister(c_, bodyLine);
      // Hoisted lines go right in front of the body, which both forms enter by falling
      // into it.
      const int loopStart = w.findLabel(body_);
      if (loopStart >= 0) {
        hoistLoopInvariants(c_, loopStart);
        reduceIndexScaling(c_, body_);
      }
    }
    c_.registers.forgetRegisterContents();
    c_.registers.releaseUnlockedRegisters();
    if (header_.symbol->level != c_.routine.level || header_.symbol->isVarParameter) {
      c_.diagnostics.writeWarning(kLocalVariableHint);
    }
  }

  Compilation& c_;
  SymbolEntry& owner_;
  ForHeader header_;
  std::string body_;
  std::string variableText_;  // the operand the variable was last generated as
  // The end value of the constant-bounds form.
  std::optional<std::int64_t> constantEnd_;
};

}  // namespace

// for = FOR variable ":=" expression ( TO | DOWNTO ) expression DO statement
void compileForStatement(Compilation& c, SymbolEntry& owner) { ForCompiler(c, owner).compile(); }

}  // namespace vorax
