#include "generated/routine_program.h"

#include <array>
#include <string_view>
#include <vector>

namespace vorax::generated {
namespace {

// A small generator of our own: the standard distributions may differ between libraries,
// and the same seed must give the same program everywhere.
class Dice {
 public:
  explicit Dice(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  int below(int n) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<int>(state_ % static_cast<std::uint32_t>(n));
  }
  bool chance(int percent) { return below(100) < percent; }
  template <typename T, std::size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
  }

 private:
  std::uint32_t state_;
};

constexpr std::array<std::string_view, 8> kIntegers = {"I", "J", "K", "X", "Y", "G1", "G2", "G3"};
constexpr std::array<std::string_view, 5> kLocals = {"I", "J", "K", "X", "Y"};
constexpr std::array<std::string_view, 5> kArithmetic = {"+", "-", "*", "AND", "OR"};
constexpr std::array<std::string_view, 6> kRelations = {"<", ">", "=", "<>", "<=", ">="};

class RoutineWriter {
 public:
  RoutineWriter(Dice& dice, bool allStatements, int routine)
      : dice_(dice), all_(allStatements), routine_(routine) {}

  void statement(std::vector<std::string>& out, const std::string& indent, int depth) {
    const int kind = dice_.below(all_ ? 16 : 10);
    if (depth < 2 && kind == 0) {
      ifElse(out, indent, depth);
    } else if (depth < 2 && kind == 1) {
      whileLoop(out, indent, depth);
    } else if (depth < 2 && kind == 2) {
      out.push_back(indent + "IF " + condition() + " THEN");
      out.push_back(indent + "BEGIN");
      statement(out, indent + "  ", depth + 1);
      out.push_back(indent + "  " + assignment());
      out.push_back(indent + "END;");
    } else if (all_ && depth < 2 && kind == 10) {
      out.push_back(indent + "REPEAT");
      statement(out, indent + "  ", depth + 1);
      out.push_back(indent + "  X := X + 1");
      out.push_back(indent + "UNTIL X > " + std::to_string(dice_.below(20) + 1) + ";");
    } else if (all_ && depth < 2 && kind == 11) {
      out.push_back(indent + "FOR K := " + std::to_string(dice_.below(3)) + " TO " +
                    std::to_string(dice_.below(10) + 3) + " DO");
      out.push_back(indent + "  GA[K AND 15] := " + expression(1) + ";");
    } else if (all_ && depth < 2 && kind == 12) {
      caseStatement(out, indent);
    } else if (all_ && kind == 13) {
      out.push_back(indent + "WITH GP DO X := X + Y * " + std::to_string(dice_.below(9)) + ";");
    } else if (all_ && kind == 14) {
      otherTypes(out, indent);
    } else if (all_ && kind == 15 && routine_ > 0) {
      out.push_back(indent + "P" + std::to_string(dice_.below(routine_)) + "(" + expression(1) +
                    ", " + expression(1) + ");");
    } else {
      out.push_back(indent + assignment() + ";");
    }
  }

 private:
  std::string number(int limit) { return std::to_string(dice_.below(limit)); }

  std::string operand() {
    if (all_) {
      switch (dice_.below(12)) {
        case 0:
          return "GA[" + std::string(dice_.pick(kLocals)) + " AND 15]";
        case 1:
          return "GP.X";
        case 2:
          return "F0(" + std::string(dice_.pick(kLocals)) + ")";
        default:
          break;
      }
    }
    return dice_.chance(25) ? number(100) : std::string(dice_.pick(kIntegers));
  }

  // An expression; `constant` tells whether it is made of numbers only, so that two
  // constants are never multiplied (their product could leave the INTEGER range, which
  // is an error when the compiler folds it).
  std::string expression(int depth, bool* constant = nullptr) {
    bool leftConstant = false;
    std::string text;
    if (depth > 1 || dice_.below(6) < 2) {
      text = operand();
      leftConstant = text[0] >= '0' && text[0] <= '9';
    } else if (all_ && dice_.chance(10)) {
      text = "(" + expression(depth + 1, &leftConstant) + ") DIV " +
             std::to_string(dice_.below(7) + 1);
    } else {
      bool rightConstant = false;
      const std::string left = expression(depth + 1, &leftConstant);
      const std::string_view op = dice_.pick(kArithmetic);
      std::string right = expression(depth + 1, &rightConstant);
      if (leftConstant && rightConstant) {
        right = std::string(dice_.pick(kLocals));
        rightConstant = false;
      }
      // Compound operands stand in parentheses: the operators' precedence could otherwise
      // bring three constants together.
      const auto wrapped = [depth](const std::string& part) {
        return depth == 0 && part.find(' ') != std::string::npos ? "(" + part + ")" : part;
      };
      text = wrapped(left) + " " + std::string(op) + " " + wrapped(right);
      leftConstant = leftConstant && rightConstant;
    }
    if (constant != nullptr) {
      *constant = leftConstant;
    }
    return text;
  }

  std::string condition() {
    std::string text = std::string(dice_.pick(kIntegers)) + " " +
                       std::string(dice_.pick(kRelations)) + " " + expression(1);
    if (all_ && dice_.chance(20)) {
      text = "(" + text + ") AND (" + std::string(dice_.pick(kLocals)) + " <> " + number(9) + ")";
    }
    return text;
  }

  std::string assignment() {
    if (all_ && dice_.chance(10)) {
      return "GA[" + std::string(dice_.pick(kLocals)) + " AND 15] := " + expression(0);
    }
    return std::string(dice_.pick(kIntegers)) + " := " + expression(0);
  }

  void ifElse(std::vector<std::string>& out, const std::string& indent, int depth) {
    out.push_back(indent + "IF " + condition() + " THEN");
    out.push_back(indent + "  " + assignment());
    out.push_back(indent + "ELSE");
    if (depth < 1 && dice_.chance(30)) {
      out.push_back(indent + "BEGIN");
      statement(out, indent + "  ", depth + 1);
      out.push_back(indent + "  " + assignment());
      out.push_back(indent + "END;");
    } else {
      out.push_back(indent + "  " + assignment() + ";");
    }
  }

  void whileLoop(std::vector<std::string>& out, const std::string& indent, int depth) {
    const std::string v(dice_.pick(kLocals));
    out.push_back(indent + v + " := 0;");
    out.push_back(indent + "WHILE " + v + " < " + std::to_string(dice_.below(17) + 3) + " DO");
    out.push_back(indent + "BEGIN");
    out.push_back(indent + "  " + v + " := " + v + " + 1;");
    statement(out, indent + "  ", depth + 1);
    out.push_back(indent + "  G1 := G1 + " + v);
    out.push_back(indent + "END;");
  }

  void caseStatement(std::vector<std::string>& out, const std::string& indent) {
    out.push_back(indent + "CASE " + std::string(dice_.pick(kLocals)) + " AND 7 OF");
    const int arms = dice_.below(4) + 2;
    for (int arm = 0; arm < arms; ++arm) {
      out.push_back(indent + "  " + std::to_string(arm * 2) + ": " + assignment() + ";");
    }
    if (dice_.chance(50)) {
      out.push_back(indent + "ELSE");
      out.push_back(indent + "  " + assignment());
    }
    out.push_back(indent + "END;");
  }

  void otherTypes(std::vector<std::string>& out, const std::string& indent) {
    switch (dice_.below(4)) {
      case 0:
        out.push_back(indent + "L := L + " + expression(1) + ";");
        break;
      case 1:
        out.push_back(indent + "C := C OR " + std::to_string(1 << dice_.below(8)) + ";");
        break;
      case 2:
        out.push_back(indent + "IF LENGTH(GS) > 12 THEN GS := 'x' ELSE GS := GS + 'ab';");
        break;
      default:
        out.push_back(indent + "IF (C AND 4) <> 0 THEN L := L - 1;");
        break;
    }
  }

  Dice& dice_;
  bool all_;
  int routine_;
};

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

}  // namespace

std::string routineProgram(const RoutineProgramOptions& options) {
  Dice dice(options.seed);
  std::vector<std::string> out = {
      "PROGRAM GEN;",
      "TYPE POINT = RECORD X, Y: INTEGER END;",
      "VAR G1, G2, G3: INTEGER; GA: ARRAY[0..15] OF INTEGER; GP: POINT; GS: STRING[20];",
      "FUNCTION F0(N: INTEGER): INTEGER;",
      "BEGIN",
      "  F0 := N * 2 + 1",
      "END;"};
  int routines = 0;
  // The main program's calls take one line each, and its frame three.
  while (static_cast<int>(out.size()) + routines + 3 < options.lines) {
    const std::string n = std::to_string(routines);
    out.push_back("PROCEDURE P" + n + "(A, B: INTEGER);");
    out.push_back("VAR I, J, K, X, Y: INTEGER; L: LONGINT; C: BYTE;");
    out.push_back("BEGIN");
    out.push_back("  I := A; J := B; K := 0; X := 1; Y := 2; L := 0; C := 0;");
    RoutineWriter writer(dice, options.allStatements, routines);
    const std::size_t start = out.size();
    while (out.size() - start < 54) {
      writer.statement(out, "  ", 0);
    }
    out.push_back("  G2 := I + J + K + X + Y");
    out.push_back("END;");
    ++routines;
  }
  out.push_back("BEGIN");
  for (int r = 0; r < routines; ++r) {
    out.push_back("  P" + std::to_string(r) + "(" + std::to_string(r) + ", " +
                  std::to_string(r + 1) + ");");
  }
  out.push_back("  G1 := 0");
  out.push_back("END.");
  return joinLines(out);
}

std::string longRoutineProgram(LongRoutine shape, int count) {
  std::vector<std::string> out = {"PROGRAM LONG;", "VAR I, J, K, X, Y: INTEGER;", "BEGIN",
                                  "  I := 3; J := 0; K := 0; X := 0; Y := 0;"};
  constexpr std::array<std::string_view, 4> kTargets = {"J", "K", "X", "Y"};
  const auto target = [&](int s) { return std::string(kTargets[static_cast<std::size_t>(s % 4)]); };
  const auto step = [&](int s, const std::string& indent) {
    return indent + target(s) + " := " + target(s + 1) + " + " + std::to_string(s % 97) + ";";
  };
  switch (shape) {
    case LongRoutine::Assignments:
      for (int s = 0; s < count; ++s) out.push_back(step(s, "  "));
      break;
    case LongRoutine::WhileBody:
      out.push_back("  WHILE I < 6 DO");
      out.push_back("  BEGIN");
      for (int s = 0; s < count; ++s) out.push_back(step(s, "    "));
      out.push_back("    I := I + 1");
      out.push_back("  END;");
      break;
    case LongRoutine::RepeatBody:
      out.push_back("  REPEAT");
      for (int s = 0; s < count; ++s) out.push_back(step(s, "    "));
      out.push_back("    I := I + 1");
      out.push_back("  UNTIL I >= 6;");
      break;
    case LongRoutine::IfStatements:
      for (int s = 0; s < count; ++s) {
        out.push_back("  IF I > " + std::to_string(s % 50) + " THEN " + target(s) + " := " +
                      target(s + 1) + " + " + std::to_string(s % 7) + ";");
      }
      break;
    case LongRoutine::ElseIfChain:
      out.push_back("  IF I = 0 THEN J := 1");
      for (int s = 1; s < count; ++s) {
        out.push_back("  ELSE IF I = " + std::to_string(s) + " THEN J := " +
                      std::to_string(s % 100));
      }
      out.push_back("  ELSE J := 0;");
      break;
    case LongRoutine::DenseCase:
    case LongRoutine::SparseCase:
      out.push_back("  CASE I OF");
      for (int s = 0; s < count; ++s) {
        const int tag = shape == LongRoutine::SparseCase ? s * 7 : s;
        out.push_back("    " + std::to_string(tag) + ": J := " + std::to_string(s % 100) + ";");
      }
      out.push_back("  ELSE J := 0");
      out.push_back("  END;");
      break;
  }
  out.push_back("  K := J");
  out.push_back("END.");
  return joinLines(out);
}

const char* longRoutineName(LongRoutine shape) {
  switch (shape) {
    case LongRoutine::Assignments:
      return "assignments";
    case LongRoutine::WhileBody:
      return "while_body";
    case LongRoutine::RepeatBody:
      return "repeat_body";
    case LongRoutine::IfStatements:
      return "if_statements";
    case LongRoutine::ElseIfChain:
      return "else_if_chain";
    case LongRoutine::DenseCase:
      return "dense_case";
    case LongRoutine::SparseCase:
      return "sparse_case";
  }
  return "";
}

}  // namespace vorax::generated
