#include "random/program_printer.h"

#include <sstream>

namespace vorax::randprog {
namespace {

// Source lines are kept well below the 255 characters the compiler reads per line.
constexpr size_t kWrapColumn = 100;

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    result += c;
    if (c == '\'') result += '\'';
  }
  return result + "'";
}

std::string integerText(int64_t value) {
  return value < 0 ? "(" + std::to_string(value) + ")" : std::to_string(value);
}

const char* operatorText(Op op) {
  switch (op) {
    case Op::Add: return "+";
    case Op::Sub: return "-";
    case Op::Mul: return "*";
    case Op::Div: return "DIV";
    case Op::Mod: return "MOD";
    case Op::And: return "AND";
    case Op::Or: return "OR";
    case Op::Xor: return "XOR";
    case Op::Shl: return "SHL";
    case Op::Shr: return "SHR";
    case Op::Eq: return "=";
    case Op::Ne: return "<>";
    case Op::Lt: return "<";
    case Op::Le: return "<=";
    case Op::Gt: return ">";
    case Op::Ge: return ">=";
    case Op::Neg: return "-";
    case Op::Not: return "NOT";
  }
  return "?";
}

const char* standardName(StandardFunction function) {
  switch (function) {
    case StandardFunction::Abs: return "ABS";
    case StandardFunction::Odd: return "ODD";
    case StandardFunction::Chr: return "CHR";
    case StandardFunction::Ord: return "ORD";
    case StandardFunction::Upcase: return "UPCASE";
    case StandardFunction::Succ: return "SUCC";
    case StandardFunction::Pred: return "PRED";
    case StandardFunction::Length: return "LENGTH";
    case StandardFunction::Pos: return "POS";
    case StandardFunction::Copy: return "COPY";
  }
  return "?";
}

class Printer {
 public:
  explicit Printer(const Program& program) : program_(program) {}

  std::string run() {
    line(0, "PROGRAM " + program_.name + ";");
    // A type denoter here takes no sign: a subrange from a negative number starts at a
    // constant.
    bool constants = false;
    for (const Type* type : program_.declaredTypes) {
      if (type->kind != TypeKind::Subrange || type->range.low >= 0) continue;
      if (!constants) line(0, "CONST");
      constants = true;
      line(1, type->name + "LO = " + std::to_string(type->range.low) + ";");
    }
    if (!program_.declaredTypes.empty()) {
      line(0, "TYPE");
      for (const Type* type : program_.declaredTypes) declareType(*type);
    }
    routine(0, 0);
    return out_.str();
  }

 private:
  void line(int indent, const std::string& text) {
    // Long lines break at blanks outside string literals.
    const std::string prefix(static_cast<size_t>(indent) * 2, ' ');
    std::string current = prefix;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\'') inString = !inString;
      if (c == ' ' && !inString && current.size() >= kWrapColumn) {
        out_ << current << '\n';
        current = prefix + "    ";
        continue;
      }
      current += c;
    }
    out_ << current << '\n';
  }

  void declareType(const Type& type) {
    switch (type.kind) {
      case TypeKind::Enum: {
        std::string text;
        for (const std::string& constant : type.constants) text += (text.empty() ? "" : ", ") + constant;
        line(1, type.name + " = (" + text + ");");
        break;
      }
      case TypeKind::Subrange:
        line(1, type.name + " = " + (type.range.low < 0 ? type.name + "LO" : std::to_string(type.range.low)) + ".." +
                    std::to_string(type.range.high) + ";");
        break;
      case TypeKind::String:
        line(1, type.name + " = " + (type.maxLength == 255 ? std::string("STRING") : "STRING[" + std::to_string(type.maxLength) + "]") + ";");
        break;
      case TypeKind::Array: {
        std::string indexes;
        for (const IndexSpec& index : type.indexes) {
          if (!indexes.empty()) indexes += ", ";
          indexes += index.enumType != nullptr ? index.enumType->name
                                               : std::to_string(index.bounds.low) + ".." + std::to_string(index.bounds.high);
        }
        line(1, type.name + " = ARRAY[" + indexes + "] OF " + typeName(*type.element) + ";");
        break;
      }
      case TypeKind::Record:
        line(1, type.name + " = RECORD");
        for (const Field& field : type.fields) line(2, field.name + ": " + typeName(*field.type) + ";");
        line(1, "END;");
        break;
      case TypeKind::Pointer: line(1, type.name + " = ^" + typeName(*type.target) + ";"); break;
      default: break;
    }
  }

  void routine(int index, int indent) {
    const Routine& entry = program_.routines[index];
    if (index != 0) {
      std::string heading = (entry.isFunction ? "FUNCTION " : "PROCEDURE ") + entry.name;
      std::string params;
      for (int param : entry.params) {
        const Variable& variable = program_.variables[param];
        if (variable.removed) continue;
        if (!params.empty()) params += "; ";
        if (variable.role == VariableRole::VarParam) params += "VAR ";
        params += variable.name + ": " + typeName(*variable.type);
      }
      if (!params.empty()) heading += "(" + params + ")";
      if (entry.isFunction) heading += ": " + typeName(*entry.result);
      line(indent, heading + ";");
    }
    bool first = true;
    for (int local : entry.locals) {
      const Variable& variable = program_.variables[local];
      if (variable.removed) continue;
      if (first) line(indent, "VAR");
      first = false;
      line(indent + 1, variable.name + ": " + typeName(*variable.type) + ";");
    }
    for (int nested : entry.nested) {
      if (!program_.routines[nested].removed) routine(nested, indent + 1);
    }
    line(indent, "BEGIN");
    block(entry.body, indent + 1);
    line(indent, index == 0 ? "END." : "END;");
  }

  void block(const Block& statements, int indent) {
    for (const StmtPtr& stmt : statements) statement(*stmt, indent);
  }

  void compound(const std::string& head, const Block& body, const std::string& tail, int indent) {
    line(indent, head + "BEGIN");
    block(body, indent + 1);
    line(indent, "END" + tail);
  }

  void statement(const Stmt& stmt, int indent) {
    switch (stmt.kind) {
      case StmtKind::Assign: line(indent, designator(stmt.target) + " := " + expr(*stmt.value) + ";"); break;
      case StmtKind::Call: {
        const Routine& callee = program_.routines[stmt.routine];
        line(indent, callee.name + argumentList(stmt.arguments) + ";");
        break;
      }
      case StmtKind::If:
        if (!stmt.hasElse) {
          compound("IF " + expr(*stmt.value) + " THEN ", stmt.body, ";", indent);
        } else {
          compound("IF " + expr(*stmt.value) + " THEN ", stmt.body, "", indent);
          compound("ELSE ", stmt.elseBody, ";", indent);
        }
        break;
      case StmtKind::While: {
        const std::string guard = program_.variables[stmt.guard].name;
        line(indent, guard + " := 0;");
        line(indent, "WHILE (" + guard + " < " + std::to_string(stmt.limit) + ") AND " + expr(*stmt.value) + " DO BEGIN");
        line(indent + 1, guard + " := " + guard + " + 1;");
        block(stmt.body, indent + 1);
        line(indent, "END;");
        break;
      }
      case StmtKind::Repeat: {
        const std::string guard = program_.variables[stmt.guard].name;
        line(indent, guard + " := 0;");
        line(indent, "REPEAT");
        line(indent + 1, guard + " := " + guard + " + 1;");
        block(stmt.body, indent + 1);
        line(indent, "UNTIL (" + guard + " >= " + std::to_string(stmt.limit) + ") OR " + expr(*stmt.value) + ";");
        break;
      }
      case StmtKind::For:
        compound("FOR " + designator(stmt.target) + " := " + expr(*stmt.from) +
                     (stmt.downward ? " DOWNTO " : " TO ") + expr(*stmt.to) + " DO ",
                 stmt.body, ";", indent);
        break;
      case StmtKind::Case: {
        line(indent, "CASE " + expr(*stmt.value) + " OF");
        for (size_t i = 0; i < stmt.arms.size(); ++i) {
          std::string labels;
          for (const ValueRange& label : stmt.arms[i].labels) {
            if (!labels.empty()) labels += ", ";
            labels += caseLabel(stmt, label.low);
            if (label.high != label.low) labels += ".." + caseLabel(stmt, label.high);
          }
          const bool last = i + 1 == stmt.arms.size() && !stmt.hasElse;
          compound(labels + ": ", stmt.arms[i].body, last ? "" : ";", indent + 1);
        }
        if (stmt.hasElse) compound("ELSE ", stmt.body, "", indent + 1);
        line(indent, "END;");
        break;
      }
      case StmtKind::With: {
        std::string items;
        for (const Designator& item : stmt.withItems) items += (items.empty() ? "" : ", ") + designator(item);
        compound("WITH " + items + " DO ", stmt.body, ";", indent);
        break;
      }
      case StmtKind::Write: {
        std::string items;
        for (const WriteItem& item : stmt.items) {
          if (!items.empty()) items += ", ";
          items += expr(*item.value);
          if (item.width > 0) items += ":" + std::to_string(item.width);
        }
        std::string text = stmt.newline ? "WRITELN" : "WRITE";
        if (!items.empty()) text += "(" + items + ")";
        line(indent, text + ";");
        break;
      }
      case StmtKind::WriteBool:
        line(indent, "IF " + expr(*stmt.value) + " THEN WRITE('T') ELSE WRITE('F');");
        break;
      case StmtKind::New: line(indent, "NEW(" + designator(stmt.target) + ");"); break;
      case StmtKind::Delete:
        line(indent, "DELETE(" + designator(stmt.target) + ", " + expr(*stmt.from) + ", " + expr(*stmt.to) + ");");
        break;
      case StmtKind::Str: line(indent, "STR(" + expr(*stmt.value) + ", " + designator(stmt.target) + ");"); break;
    }
  }

  std::string caseLabel(const Stmt& stmt, int64_t value) {
    switch (stmt.labelKind) {
      case TypeKind::Char: return quoted(std::string(1, static_cast<char>(value)));
      case TypeKind::Enum: return stmt.labelEnum->constants[static_cast<size_t>(value)];
      default: return std::to_string(value);
    }
  }

  std::string argumentList(const std::vector<ExprPtr>& arguments) {
    if (arguments.empty()) return "";
    std::string text;
    for (const ExprPtr& argument : arguments) text += (text.empty() ? "" : ", ") + expr(*argument);
    return "(" + text + ")";
  }

  std::string designator(const Designator& d) {
    std::string text;
    size_t first = 0;
    if (d.variable >= 0) {
      text = program_.variables[d.variable].name;
    } else {
      text = d.selectors.empty() ? "?" : d.selectors[0].field;
      first = 1;
    }
    for (size_t i = first; i < d.selectors.size(); ++i) {
      const Selector& selector = d.selectors[i];
      switch (selector.kind) {
        case Selector::Kind::Field: text += "." + selector.field; break;
        case Selector::Kind::Deref: text += "^"; break;
        case Selector::Kind::Index: text += "[" + list(selector.indexes) + "]"; break;
      }
    }
    return text;
  }

  std::string list(const std::vector<ExprPtr>& items) {
    std::string text;
    for (const ExprPtr& item : items) text += (text.empty() ? "" : ", ") + expr(*item);
    return text;
  }

  std::string expr(const Expr& e) {
    switch (e.kind) {
      case ExprKind::IntConst: return integerText(e.value);
      case ExprKind::CharConst: return quoted(std::string(1, static_cast<char>(e.value)));
      case ExprKind::BoolConst: return e.value != 0 ? "TRUE" : "FALSE";
      case ExprKind::EnumConst: return e.type->constants[static_cast<size_t>(e.value)];
      case ExprKind::StringConst: return quoted(e.text);
      case ExprKind::Designator: return designator(e.designator);
      case ExprKind::Unary:
        return e.op == Op::Neg ? "(-" + expr(*e.operands[0]) + ")" : "(NOT " + expr(*e.operands[0]) + ")";
      case ExprKind::Binary:
        return "(" + expr(*e.operands[0]) + " " + operatorText(e.op) + " " + expr(*e.operands[1]) + ")";
      case ExprKind::SetTest: {
        const bool characters = e.characterSet;
        std::string elements;
        for (const ValueRange& part : e.setElements) {
          if (!elements.empty()) elements += ", ";
          auto element = [&](int64_t value) {
            return characters ? quoted(std::string(1, static_cast<char>(value))) : std::to_string(value);
          };
          elements += element(part.low);
          if (part.high != part.low) elements += ".." + element(part.high);
        }
        const std::string test = "(" + expr(*e.operands[0]) + " IN [" + elements + "])";
        return e.negated ? "(NOT " + test + ")" : test;
      }
      case ExprKind::Call: return program_.routines[e.routine].name + argumentList(e.operands);
      case ExprKind::Standard: return std::string(standardName(e.standard)) + argumentList(e.operands);
      case ExprKind::Cast: return typeName(*e.type) + "(" + expr(*e.operands[0]) + ")";
    }
    return "?";
  }

  const Program& program_;
  std::ostringstream out_;
};

}  // namespace

std::string typeName(const Type& type) {
  if (!type.name.empty()) return type.name;
  switch (type.kind) {
    case TypeKind::Byte: return "BYTE";
    case TypeKind::Integer: return "INTEGER";
    case TypeKind::Word: return "WORD";
    case TypeKind::LongInt: return "LONGINT";
    case TypeKind::Char: return "CHAR";
    case TypeKind::Boolean: return "BOOLEAN";
    default: return "?";
  }
}

std::string printProgram(const Program& program) { return Printer(program).run(); }

}  // namespace vorax::randprog
