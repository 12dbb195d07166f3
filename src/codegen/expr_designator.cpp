// Variable designators: the base leaf chosen by the identifier's kind, then field, "^"
// and index selectors. Every pointer to follow starts a new leaf of the chain; field
// offsets and indexes are summed into the offset tree of the chain's last leaf.
#include <cctype>
#include <cstdint>
#include <utility>

#include "asmout/operand_text.h"
#include "codegen/expr_parser.h"
#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kUnexpectedIdentifierKind = 937;
constexpr int kInvalidFunctionCall = 66;
constexpr int kInvalidPointer = 81;
// The function result slot lies just above the saved frame pointer.
constexpr std::int32_t kResultSlotOffset = 4;

std::string lowerCased(std::string text) {
  for (char& ch : text) {
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  return text;
}

ExprNode& lastLeaf(ExprNode& base) {
  ExprNode* leaf = &base;
  while (leaf->nextSelector) {
    leaf = leaf->nextSelector.get();
  }
  return *leaf;
}

// Adds `term` to the offset tree of the chain's last leaf; constants combine at once.
void addOffset(Compilation& c, ExprNode& base, ExprPtr term) {
  ExprNode& leaf = lastLeaf(base);
  if (!leaf.offsetTree) {
    leaf.offsetTree = std::move(term);
  } else {
    leaf.offsetTree = makeOperatorNode(TokenCode::Plus, std::move(leaf.offsetTree), std::move(term),
                                       c.symbols.types().longIntType);
  }
  foldConstants(c, leaf.offsetTree);
}

void addConstantOffset(Compilation& c, ExprNode& base, std::int32_t offset) {
  if (offset != 0) {
    addOffset(c, base, makeIntegerConstant(c, offset));
  }
}

// A further leaf of the chain: the pointer read so far is followed.
void appendChainStep(ExprNode& base, LocationKind location) {
  ExprNode& leaf = lastLeaf(base);
  ExprPtr step = newExprNode();
  step->location = location;
  step->text = leaf.text;
  step->declarationLine = leaf.declarationLine;
  step->scopeLevel = leaf.scopeLevel;
  leaf.nextSelector = std::move(step);
}

ExprPtr namedLeaf(LocationKind location, SymbolEntry& entry) {
  ExprPtr leaf = newExprNode();
  leaf->symbol = &entry;
  leaf->location = location;
  leaf->text = entry.name;
  leaf->declarationLine = entry.declarationLine;
  leaf->scopeLevel = entry.level;
  leaf->type = entry.type;
  return leaf;
}

// The assembler symbol of a variable at a fixed address.
std::string fixedAddressText(const SymbolEntry& entry) {
  if (!entry.assemblerLabel.empty()) {
    return entry.assemblerLabel;
  }
  if (entry.level == -1) {
    return "\\" + entry.name;
  }
  return entry.name;
}

// A variable or parameter in a stack frame: its own frame, or through the display slot
// of the enclosing routine's level.
ExprPtr frameLeaf(Compilation& c, SymbolEntry& entry, LocationKind location) {
  const int currentLevel = c.symbols.scopeLevel();
  const bool hasEquate = entry.level == 1 && !c.directives.settings().stackSetting.empty() &&
                         entry.kind == IdentKind::FrameVariable;
  ExprPtr base = namedLeaf(location, entry);
  if (hasEquate) {
    return base;  // addressed by its own equate name
  }
  if (entry.level < currentLevel) {
    addConstantOffset(c, *base, -4 * entry.level);
    appendChainStep(*base, location);
  }
  addConstantOffset(c, *base, entry.offset);
  return base;
}

// Where the result of the function `entry` lives relative to its frame pointer: ordinal and
// pointer results in the slot just above the saved frame pointer, a BOOLEAN in the low byte
// of that word (the exit code returns the word zero-extended from its low byte); a REAL or
// STRING result in the area its caller reserved before pushing the arguments, above the
// return address and the parameters.
std::int32_t resultOffset(const Compilation& c, const SymbolEntry& entry) {
  const TypeKind kind = entry.type->kind;
  if (kind == TypeKind::Real || kind == TypeKind::String) {
    return kResultSlotOffset + addressSize(c) + entry.parameterAreaSize;
  }
  if (kind == TypeKind::Boolean) {
    return kResultSlotOffset + 1;
  }
  return kResultSlotOffset;
}

// The result slot of the function `entry` inside its own body (or, through the display,
// inside a routine nested in it).
ExprPtr resultSlotLeaf(Compilation& c, SymbolEntry& entry) {
  ExprPtr base = namedLeaf(LocationKind::FrameVariable, entry);
  if (entry.level < c.symbols.scopeLevel()) {
    addConstantOffset(c, *base, -4 * entry.level);
    appendChainStep(*base, LocationKind::FrameVariable);
  }
  addConstantOffset(c, *base, resultOffset(c, entry));
  return base;
}

ExprPtr baseLeaf(Compilation& c, SymbolEntry& entry) {
  const PredefinedTypes& t = c.symbols.types();
  switch (entry.kind) {
    case IdentKind::FrameVariable:
    case IdentKind::Parameter: {
      const bool isDevicePointer = entry.type == t.chdevpType;
      const LocationKind location = isDevicePointer ? LocationKind::DeviceFrameVariable
                                    : entry.kind == IdentKind::Parameter
                                        ? LocationKind::Parameter
                                        : LocationKind::FrameVariable;
      ExprPtr base = frameLeaf(c, entry, location);
      if (isDevicePointer) {
        base->text = lowerCased(entry.name);
      }
      if (entry.kind == IdentKind::Parameter && entry.isVarParameter) {
        appendChainStep(*base, LocationKind::FrameVariable);
      }
      return base;
    }
    case IdentKind::TypedConstant:
      return namedLeaf(LocationKind::NamedMemory, entry);
    case IdentKind::ExternalTypedConstant: {
      ExprPtr leaf = namedLeaf(LocationKind::NamedMemory, entry);
      leaf->declarationLine = 0;
      return leaf;
    }
    case IdentKind::FixedVariable: {
      ExprPtr leaf = namedLeaf(LocationKind::FixedAddress, entry);
      leaf->text = fixedAddressText(entry);
      return leaf;
    }
    case IdentKind::Field: {
      if (entry.baseText.empty()) {
        c.reportError(kUnexpectedIdentifierKind);
      }
      ExprPtr leaf = namedLeaf(LocationKind::FixedAddress, entry);
      leaf->text = entry.baseText[0] == '#' ? entry.baseText.substr(1) : entry.baseText;
      addConstantOffset(c, *leaf, entry.offset);
      return leaf;
    }
    case IdentKind::Device: {
      ExprPtr leaf = namedLeaf(LocationKind::Device, entry);
      leaf->text = lowerCased(entry.name);
      return leaf;
    }
    case IdentKind::Function: {
      // The function's own name inside its body: its result slot.
      if (entry.type == nullptr) {
        c.reportError(kInvalidFunctionCall);
      }
      ExprPtr leaf = resultSlotLeaf(c, entry);
      leaf->oneByteResult = entry.type->size == 1 && entry.type != t.booleanType;
      return leaf;
    }
    default:
      c.reportError(kUnexpectedIdentifierKind);
  }
}

// "." field-name
void selectField(Compilation& c, ExprNode& base, TypeDescriptor*& type) {
  if (type->kind != TypeKind::Record) {
    c.reportError(err::kTypeMismatch);
  }
  // Field names of the predefined register record are the register names. A WITH body
  // may have allowed them already; that stays as it was.
  const bool registerRecord = type == c.symbols.types().registersType;
  const bool allowedBefore = c.scanner.registerNamesAllowed();
  c.scanner.setRegisterNamesAllowed(allowedBefore || registerRecord);
  c.nextToken();
  c.scanner.setRegisterNamesAllowed(allowedBefore);
  SymbolEntry* field = c.token() == TokenCode::Identifier
                           ? c.symbols.searchWholeTree(type->fieldTree, IdentKind::Field)
                           : nullptr;
  if (field == nullptr) {
    c.reportError(err::kUndefinedIdentifier);
  }
  addConstantOffset(c, base, field->offset);
  type = field->type;
  c.nextToken();
}

// "^"
void followPointer(Compilation& c, ExprNode& base, TypeDescriptor*& type) {
  if (type->kind != TypeKind::Pointer) {
    c.reportError(err::kTypeMismatch);
  }
  if (type->target == nullptr || type->target->isPlaceholder || type->target->type == nullptr) {
    c.reportError(kInvalidPointer);
  }
  appendChainStep(base, LocationKind::FrameVariable);
  type = type->target->type;
  c.nextToken();
}

bool isIndexable(const TypeDescriptor* type) {
  return type->kind == TypeKind::Array || type->kind == TypeKind::String;
}

// The index value must suit the index type: the very enumeration, or an ordinal type
// the subrange's bounds accept.
void checkIndexType(Compilation& c, const TypeDescriptor& indexType, const ExprNode& index) {
  if (index.type == nullptr) {
    c.reportError(err::kTypeMismatch);
  }
  if (indexType.kind == TypeKind::Enumeration) {
    if (index.type != &indexType) {
      c.reportError(err::kTypeMismatch);
    }
  } else if (!IsAssignable(indexType.base, index.type)) {
    c.reportError(err::kTypeMismatch);
  }
}

// Splits a constant term off an index: the whole index when it is constant, one operand
// of a top-level "+" otherwise.
std::int32_t takeConstantTerm(ExprPtr& index) {
  if (index->isConstant()) {
    const std::int32_t value = ordinalValue(index->value);
    index.reset();
    return value;
  }
  if (!index->isLeaf && index->op == TokenCode::Plus && index->unaryFlags == 0) {
    for (ExprPtr* side : {&index->right, &index->left}) {
      if ((*side)->isConstantOf(ConstKind::Integer)) {
        const std::int32_t value = (*side)->value.intValue;
        ExprPtr rest = std::move(side == &index->right ? index->left : index->right);
        index = std::move(rest);
        return value;
      }
    }
  }
  return 0;
}

// One index of an array or string: the offset (index - low) * element size.
void applyIndex(Compilation& c, ExprNode& base, TypeDescriptor*& type) {
  ExprPtr index = parseExpression(c);
  const TypeDescriptor& indexType = *type->index;
  checkIndexType(c, indexType, *index);
  std::int32_t low = 0;
  std::int32_t high = 0;
  OrdinalBounds(&indexType, low, high);
  if (index->isConstant()) {
    const std::int32_t value = ordinalValue(index->value);
    if (value < low || value > high) {
      c.reportError(err::kConstantOutOfRange);
    }
  }
  // The element size the layout used: the array's size shared by its elements (the
  // element of an array declared with several indexes is not padded).
  const std::int64_t count = static_cast<std::int64_t>(high) - low + 1;
  const std::int32_t elementSize = type->kind == TypeKind::String || count <= 0
                                       ? 1
                                       : static_cast<std::int32_t>(type->size / count);
  const std::int32_t constantTerm = takeConstantTerm(index);
  TypeDescriptor* longInt = c.symbols.types().longIntType;
  if (index) {
    if (elementSize != 1) {
      index = makeOperatorNode(TokenCode::Star, std::move(index),
                               makeIntegerConstant(c, elementSize), longInt);
    }
    addOffset(c, base, std::move(index));
  }
  const auto constantOffset =
      static_cast<std::int32_t>((static_cast<std::int64_t>(constantTerm) - low) * elementSize);
  addConstantOffset(c, base, constantOffset);
  type = type->base;
}

// "[" index { "," index } "]"
void selectIndexes(Compilation& c, ExprNode& base, TypeDescriptor*& type) {
  if (!isIndexable(type)) {
    c.reportError(err::kTypeMismatch);
  }
  while (true) {
    c.nextToken();
    applyIndex(c, base, type);
    if (c.token() != TokenCode::Comma) {
      break;
    }
    if (type == nullptr || !isIndexable(type)) {
      c.reportError(err::kSemicolonExpected);  // more indexes than dimensions
    }
  }
  if (c.token() != TokenCode::CloseBracket) {
    c.reportError(err::kCloseBracketExpected);
  }
  c.nextToken();
}

}  // namespace

ExprPtr parseVariableDesignator(Compilation& c, SymbolEntry& symbol, bool addressWanted) {
  ExprPtr base = baseLeaf(c, symbol);
  TypeDescriptor* type = base->type;
  while (c.token() == TokenCode::Period || c.token() == TokenCode::Caret ||
         c.token() == TokenCode::OpenBracket) {
    if (type == nullptr) {
      c.reportError(err::kTypeMismatch);
    }
    switch (c.token()) {
      case TokenCode::Period:
        selectField(c, *base, type);
        break;
      case TokenCode::Caret:
        followPointer(c, *base, type);
        break;
      default:
        selectIndexes(c, *base, type);
        break;
    }
  }
  base->type = type;
  base->addressWanted = addressWanted;
  return base;
}

}  // namespace vorax
