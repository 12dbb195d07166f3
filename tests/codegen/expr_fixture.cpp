#include "expr_fixture.h"

#include <sstream>

#include "codegen/expr_parser.h"
#include "decls/declaration_sections.h"
#include "diag/diagnostics.h"
#include "source/real48.h"

namespace vorax::testing {
namespace {

struct Variable {
  const char* name;
  TypeDescriptor* PredefinedTypes::*type;
};

constexpr Variable kVariables[] = {
    {"I", &PredefinedTypes::integerType}, {"J", &PredefinedTypes::integerType},
    {"B", &PredefinedTypes::byteType},    {"W", &PredefinedTypes::wordType},
    {"L", &PredefinedTypes::longIntType}, {"R", &PredefinedTypes::realType},
    {"C", &PredefinedTypes::charType},    {"S", &PredefinedTypes::stringType},
    {"P", &PredefinedTypes::booleanType}, {"Q", &PredefinedTypes::booleanType},
};

std::string operatorText(TokenCode op) {
  switch (op) {
    case TokenCode::Plus:
      return "+";
    case TokenCode::Minus:
      return "-";
    case TokenCode::Star:
      return "*";
    case TokenCode::Slash:
      return "/";
    case TokenCode::Equal:
      return "=";
    case TokenCode::NotEqual:
      return "<>";
    case TokenCode::Less:
      return "<";
    case TokenCode::LessEqual:
      return "<=";
    case TokenCode::Greater:
      return ">";
    case TokenCode::GreaterEqual:
      return ">=";
    case TokenCode::In:
      return "IN";
    case TokenCode::Or:
      return "OR";
    case TokenCode::And:
      return "AND";
    case TokenCode::Div:
      return "DIV";
    case TokenCode::Mod:
      return "MOD";
    case TokenCode::Shl:
      return "SHL";
    case TokenCode::Shr:
      return "SHR";
    case TokenCode::Xor:
      return "XOR";
    default:
      return "?" + std::to_string(static_cast<int>(op));
  }
}

std::string setText(const SetBits& bits) {
  std::string text = "[";
  int v = 0;
  bool first = true;
  const auto has = [&](int n) { return n < 256 && (bits[n / 8] & (1U << (n % 8))) != 0; };
  while (v < 256) {
    if (!has(v)) {
      ++v;
      continue;
    }
    int end = v;
    while (has(end + 1)) {
      ++end;
    }
    text += (first ? "" : ",") + std::to_string(v) + (end > v ? ".." + std::to_string(end) : "");
    first = false;
    v = end + 1;
  }
  return text + "]";
}

}  // namespace

ExprFixture::ExprFixture() = default;

void ExprFixture::start(const std::string& text, const std::string& declarations) {
  compilation_ = std::make_unique<Compilation>(host_, CompileOptions{});
  Compilation& c = *compilation_;
  c.directives.settings().echoSourceSwitch = false;
  if (withStack) {
    c.directives.settings().stackSetting = "h'0000ff00";
  }
  // BEGIN ends the declarations, as in a block.
  tree_.write("T.PAS", declarations + "\nBEGIN " + text + " ;\nend.\n");
  c.reader.openCompilationFiles((tree_.root() / "T.PAS").string());
  c.scanner.buildReservedWordTable();
  SymbolTable& symbols = c.symbols;
  symbols.enterPredefinedEnvironment();
  symbols.openScope();
  std::int32_t offset = -4;
  for (const Variable& v : kVariables) {
    SymbolEntry& entry = symbols.newEntry();
    entry.name = v.name;
    entry.kind = IdentKind::FrameVariable;
    entry.type = symbols.types().*(v.type);
    entry.level = 1;
    offset -= 8;
    entry.offset = offset;
    entry.declarationLine = 1;
    symbols.enterAtCurrentLevel(entry);
  }
  TypeDescriptor& colour = symbols.newType(TypeKind::Enumeration, 1);
  enumType_ = &colour;
  SymbolEntry* previous = nullptr;
  std::int32_t value = 0;
  for (const char* name : {"RED", "GREEN", "BLUE"}) {
    SymbolEntry& entry = symbols.newEntry();
    entry.name = name;
    entry.kind = IdentKind::Constant;
    entry.type = &colour;
    entry.value = ConstValue::integer(value++);
    entry.next = previous;
    entry.declarationLine = 1;
    previous = &entry;
    symbols.enterAtCurrentLevel(entry);
  }
  colour.lastValue = previous;
  SymbolEntry& colourName = symbols.newEntry();
  colourName.name = "COLOUR";
  colourName.kind = IdentKind::Type;
  colourName.type = &colour;
  symbols.enterAtCurrentLevel(colourName);
  SymbolEntry& f = symbols.newEntry();
  f.name = "F";
  f.kind = IdentKind::FrameVariable;
  f.type = &colour;
  f.level = 1;
  f.offset = -100;
  f.declarationLine = 1;
  symbols.enterAtCurrentLevel(f);
  c.nextToken();
  parseDeclarationsAndBegin(c);
}

void parseDeclarationsAndBegin(Compilation& c) {
  std::int32_t counter = -4;
  while (c.token() == TokenCode::Var || c.token() == TokenCode::Type ||
         c.token() == TokenCode::Const) {
    const TokenCode keyword = c.token();
    c.nextToken();
    if (keyword == TokenCode::Var) {
      parseVarSection(c, AllocationMode::Stack, counter);
    } else if (keyword == TokenCode::Type) {
      parseTypeSection(c);
    } else {
      parseConstSection(c);
    }
  }
  c.nextToken();  // past BEGIN
}

ExprPtr ExprFixture::parseTree(const std::string& text, const std::string& declarations) {
  host_.errors.clear();
  try {
    start(text, declarations);
    return parseExpression(*compilation_);
  } catch (const tokeninvalid&) {
    return nullptr;
  }
}

std::string ExprFixture::parseDesignator(const std::string& text, const std::string& declarations) {
  ExprPtr tree = parseTree(text, declarations);
  if (!tree) {
    return "error " + std::to_string(lastError());
  }
  std::string result = tree->addressWanted ? "&" : "";
  for (const ExprNode* leaf = tree.get(); leaf != nullptr; leaf = leaf->nextSelector.get()) {
    if (leaf != tree.get()) {
      result += " > ";
    }
    result += std::to_string(static_cast<int>(leaf->location)) + ":" + leaf->text + "{" +
              (leaf->offsetTree ? describe(*leaf->offsetTree) : "") + "}";
  }
  const TypeDescriptor* type = tree->type;
  if (type != nullptr && type->kind == TypeKind::Pointer) {
    const TypeDescriptor* target = type->target != nullptr ? type->target->type : nullptr;
    return result + "=^" + typeName(target);
  }
  return result + "=" + typeName(type);
}

std::string ExprFixture::parse(const std::string& text, const std::string& declarations) {
  ExprPtr tree = parseTree(text, declarations);
  if (!tree) {
    return "error " + std::to_string(lastError());
  }
  return describe(*tree);
}

int ExprFixture::lastError() const { return host_.errors.empty() ? 0 : host_.errors.back().number; }

TokenCode ExprFixture::tokenAfter() const { return compilation_->token(); }

std::string ExprFixture::typeName(const TypeDescriptor* type) const {
  if (type == nullptr) {
    return "none";
  }
  const PredefinedTypes& t = compilation_->symbols.types();
  if (type == t.byteType) return "BYTE";
  if (type == t.integerType) return "INTEGER";
  if (type == t.wordType) return "WORD";
  if (type == t.longIntType) return "LONGINT";
  if (type == t.realType) return "REAL";
  if (type == t.charType) return "CHAR";
  if (type == t.stringType) return "STRING";
  if (type == t.booleanType) return "BOOLEAN";
  if (type == t.pointerType) return "POINTER";
  if (type == enumType_) return "COLOUR";
  if (type == t.chdevpType) return "CHDEVP";
  return "kind" + std::to_string(static_cast<int>(type->kind));
}

std::string ExprFixture::describe(const ExprNode& node) const {
  std::string flags;
  if ((node.unaryFlags & kNegateFlag) != 0) {
    flags += "-";
  }
  if ((node.unaryFlags & kComplementFlag) != 0) {
    flags += "~";
  }
  if (!node.isLeaf) {
    return flags + "(" + operatorText(node.op) + " " + describe(*node.left) + " " +
           describe(*node.right) + "):" + typeName(node.type);
  }
  if (node.location != LocationKind::Constant) {
    return flags + node.text;
  }
  const ConstValue& v = node.value;
  switch (v.kind) {
    case ConstKind::Integer:
      return flags + std::to_string(v.intValue) + ":" + typeName(node.type);
    case ConstKind::Boolean:
      return flags + (v.smallValue != 0 ? "TRUE" : "FALSE");
    case ConstKind::Character:
      return flags + "#" + std::to_string(v.smallValue);
    case ConstKind::String:
      return flags + "'" + v.text + "'";
    case ConstKind::Set:
      return flags + setText(v.setBits) + ":" + typeName(node.type);
    case ConstKind::Real: {
      Real48 real;
      real.bytes = v.realValue;
      return flags + real48ToDecimalText(real);
    }
    default:
      return flags + "?";
  }
}

}  // namespace vorax::testing
