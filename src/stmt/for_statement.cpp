// FOR variable := start TO|DOWNTO end DO statement
//
// Two forms. The general form stores start - 1 (start + 1 counting down), pushes an end
// value that is not constant, and enters the loop at its test:
//       mov.s R1,var          initial value minus one step
//       mov.w V,@-sp          end value (when not constant)
//       bra X
//   B:  body
//   X:  mov.s var,R / inc.s #1,R / mov.s R,var / cmp.s end,R / ble B
//       adds #2,sp
// The constant-bounds form stores start and enters the body directly; its test follows
// the body in the same way. The passes of for_passes.cpp then rewrite the loop's lines.
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

  // The arithmetic type of start -/+ 1: the variable's own, or BYTE for an enumeration.
  TypeDescriptor* arithmeticType() {
    return header_.type->kind == TypeKind::Enumeration ? c_.symbols.types().byteType : header_.type;
  }

  // start - 1 (start + 1 counting down), folded.
  ExprPtr startBeforeFirstStep() {
    if (header_.start->isConstant()) {
      const std::int64_t value = constantValue(header_.start) + (header_.downTo ? 1 : -1);
      return makeConstantLeaf(ConstValue::integer(static_cast<std::int32_t>(value)),
                              arithmeticType());
    }
    ExprPtr node =
        makeOperatorNode(header_.downTo ? TokenCode::Plus : TokenCode::Minus,
                         std::move(header_.start), makeIntegerConstant(c_, 1), arithmeticType());
    foldConstants(c_, node);
    return node;
  }

  // Compiles the body statement; the current token is DO.
  void compileBody() {
    body_ = currentLabel(c_, true);
    c_.registers.releaseUnlockedRegisters();
    c_.nextToken();
    compileStatement(c_, owner_);
  }

  // The step and the test after the body: load, step, store, compare, branch back.
  void emitStepAndTest(const std::string& reg, const std::string& endOperand) {
    const std::string place = variable();
    emit(op("mov"), place, reg);
    emit(op(header_.downTo ? "dec" : "inc"), "#1", reg);
    emit(op("mov"), reg, variable());
    if (endOperand == "@sp") {
      const std::string end = c_.registers.allocateRegister();
      emit(header_.suffix == ".l" ? "mov.l" : "mov.w", "@sp", end);
      emit(op("cmp"), end, reg);
    } else if (const std::optional<std::int64_t> wrapped = wrappedValue(); wrapped) {
      // Past the largest value (the smallest, counting down) the step wraps round: the
      // loop goes on until the variable holds the wrapped value.
      emit(op("cmp"), boundText(*wrapped, header_.type->size), reg);
      emit("bne", body_, "");
      return;
    } else {
      emit(op("cmp"), endOperand, reg);
    }
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

  void compileGeneralForm() {
    const std::string firstMarker = placeMarker(c_, "@");
    expectEndAndDo();
    ExprPtr initial = startBeforeFirstStep();
    const std::string r1 = generateInRegister(c_, initial, header_.type);
    emit(op("mov"), r1, variable());
    c_.registers.releaseRegister(r1);
    const std::string head = placeMarker(c_, "@");

    std::string endOperand;
    bool pushed = false;
    if (header_.end->isConstant()) {
      endOperand = boundText(constantValue(header_.end), header_.type->size);
    } else {
      const std::string value = generateInRegister(c_, header_.end, header_.type);
      emit(header_.suffix == ".l" ? "mov.l" : "mov.w", value, "@-sp");
      c_.registers.releaseRegister(value);
      endOperand = "@sp";
      pushed = true;
    }
    const std::string test = newLocalLabel(c_);
    testLabel_ = test;
    emit("bra", test, "");
    const std::string bodyMarker = placeMarker(c_, "@");
    compileBody();
    const std::string bodyEndMarker = placeMarker(c_, "@");

    c_.emitter.defineLabel(true, test);
    const std::string reg = c_.registers.allocateRegister();
    emitStepAndTest(reg, endOperand);
    if (pushed) {
      emit("adds", header_.suffix == ".l" ? "#4" : "#2", "sp");
    }

    const auto markers = lookupMarkers(c_, {firstMarker, head, bodyMarker, bodyEndMarker});
    if (!markers) {
      return;
    }
    const MarkerPosition& first = (*markers)[0];
    const MarkerPosition& afterInit = (*markers)[1];
    const MarkerPosition& bodyStart = (*markers)[2];
    const MarkerPosition& bodyEnd = (*markers)[3];
    if (!callsBetween(c_, afterInit.markerLine, bodyEnd.markerLine)) {
      promoteLoopVariable(c_,
                          {first.markerLine, bodyStart.position, bodyEnd.markerLine, variableText_,
                           header_.suffix, header_.downTo, std::nullopt, std::nullopt});
    }
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
    if (markers && !callsBetween(c_, (*markers)[0].markerLine, (*markers)[2].markerLine)) {
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
      // Hoisted lines of the general form go in front of its branch to the test, which
      // stands before the body with at most marker lines between; in the constant form
      // they go right in front of the body, which is entered by falling into it.
      int loopStart = w.findLabel(body_);
      if (!testLabel_.empty()) {
        int jump = loopStart - 1;
        while (jump >= 0 && w[jump].mnemonic == "nop" && w[jump].label.empty()) {
          --jump;
        }
        const bool found = jump >= 0 && w[jump].mnemonic == "bra" && w[jump].source == testLabel_ &&
                           w[jump].label.empty();
        loopStart = found ? jump : -1;  // nowhere safe to put hoisted lines otherwise
      }
      if (loopStart >= 0) {
        hoistLoopInvariants(c_, loopStart);
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
  std::string testLabel_;     // the general form's test, which the loop is entered at
  std::string variableText_;  // the operand the variable was last generated as
  // The end value of the constant-bounds form.
  std::optional<std::int64_t> constantEnd_;
};

}  // namespace

// for = FOR variable ":=" expression ( TO | DOWNTO ) expression DO statement
void compileForStatement(Compilation& c, SymbolEntry& owner) { ForCompiler(c, owner).compile(); }

}  // namespace vorax
