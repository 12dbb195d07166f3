// Type denoter parser. Each parse function is named after the form it recognises, with
// the form in the comment above it.
#include "symbols/type_denoter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/constant_source.h"
#include "symbols/symbol_table.h"
#include "symbols/type_layout.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

// Error numbers only the type parser raises.
constexpr int kSimpleTypeExpected = 30;
constexpr int kNoTypeDenoted = 31;
constexpr int kBoundsReversed = 52;

constexpr int kMaxEnumerationValues = 256;
constexpr std::int32_t kMaxStringLength = 255;

class TypeDenoterParser {
 public:
  explicit TypeDenoterParser(Compilation& c) : c_(c), symbols_(c.symbols) {}

  TypeDescriptor* parseType();

 private:
  void expect(TokenCode token, int errorNumber) {
    if (c_.token() != token) {
      c_.reportError(errorNumber);
    }
  }
  void skip(TokenCode token, int errorNumber) {
    expect(token, errorNumber);
    c_.nextToken();
  }
  [[nodiscard]] const std::string& tokenText() const { return c_.scanner.currentIdentifier(); }

  TypeDescriptor* parseNamedType();
  TypeDescriptor* parseStringLength();
  TypeDescriptor* parseFileElement();
  TypeDescriptor* parseSubrange(const ConstantOperand& lower);
  TypeDescriptor* parsePointerType();
  TypeDescriptor* parseEnumeration();
  TypeDescriptor* parseArrayType();
  TypeDescriptor* parseIndexType();
  TypeDescriptor* parseRecordType();
  TypeDescriptor* parseFieldList(SymbolEntry*& fieldTree, std::int32_t start);
  SymbolEntry& newField(SymbolEntry*& fieldTree, SymbolEntry**& listTail);
  void parseVariantPart(TypeDescriptor& record, RecordLayout& layout, SymbolEntry*& fieldTree,
                        SymbolEntry**& listTail);

  Compilation& c_;
  SymbolTable& symbols_;
};

// type = identifier | integer ".." constant | "^" identifier | "(" enumeration ")"
//      | ARRAY ... | RECORD ...
TypeDescriptor* TypeDenoterParser::parseType() {
  const Compilation::NestingLevel level(c_);
  switch (c_.token()) {
    case TokenCode::Identifier:
      return parseNamedType();
    case TokenCode::IntegerConst:
      return parseSubrange(parseConstantValue(c_));
    case TokenCode::Caret:
      return parsePointerType();
    case TokenCode::OpenParen:
      return parseEnumeration();
    case TokenCode::Array:
      return parseArrayType();
    case TokenCode::Record:
      return parseRecordType();
    default:
      c_.reportError(kSimpleTypeExpected);
  }
}

// named type = type identifier [ string length | file element ] | constant ".." constant
TypeDescriptor* TypeDenoterParser::parseNamedType() {
  SymbolEntry* entry = symbols_.LookupIdentifier(kinds::kTypeOrConstant);
  if (entry == nullptr) {
    c_.reportError(err::kUndefinedIdentifier);
  }
  if (entry->kind == IdentKind::Constant) {
    return parseSubrange(parseConstantValue(c_));
  }
  // The two names with syntax of their own are recognised by their text, so a type that
  // a program calls STRING or FILE takes the same forms.
  const std::string name = tokenText();
  c_.nextToken();
  if (name == "STRING") {
    return parseStringLength();
  }
  if (name == "FILE") {
    return parseFileElement();
  }
  if (entry->type == nullptr) {
    c_.reportError(kNoTypeDenoted);
  }
  return entry->type;
}

// string length = [ "[" constant "]" ]   (none before ";" or EXTERNAL)
TypeDescriptor* TypeDenoterParser::parseStringLength() {
  if (c_.token() == TokenCode::Semicolon || c_.token() == TokenCode::External) {
    return symbols_.types().stringType;
  }
  skip(TokenCode::OpenBracket, err::kOpenBracketExpected);
  const ConstantOperand length = parseConstantValue(c_);
  if (!IsAssignable(length.type, symbols_.types().integerType) ||
      length.value.kind != ConstKind::Integer) {
    c_.reportError(err::kTypeMismatch);
  }
  // A length byte can count at most 255 characters.
  const std::int32_t maximum = length.value.intValue;
  if (maximum < 0 || maximum > kMaxStringLength) {
    c_.reportError(err::kConstantOutOfRange);
  }
  skip(TokenCode::CloseBracket, err::kCloseBracketExpected);

  TypeDescriptor& index = symbols_.newType(TypeKind::Subrange, 1);
  index.base = symbols_.types().byteType;
  index.low = ConstValue::integer(0);
  index.high = ConstValue::integer(maximum);
  TypeDescriptor& string = symbols_.newType(TypeKind::String, maximum + 1);
  string.base = symbols_.types().charType;
  string.index = &index;
  return &string;
}

// file element = ";" | OF type identifier | OF record type
TypeDescriptor* TypeDenoterParser::parseFileElement() {
  TypeDescriptor* element = nullptr;
  if (c_.token() == TokenCode::Semicolon) {
    element = symbols_.types().byteType;
  } else if (c_.token() == TokenCode::Of) {
    c_.nextToken();
    if (c_.token() == TokenCode::Record) {
      element = parseRecordType();
    } else if (c_.token() == TokenCode::Identifier) {
      SymbolEntry* entry = symbols_.LookupIdentifier(kinds::kType);
      if (entry == nullptr) {
        c_.reportError(err::kUndefinedIdentifier);
      }
      element = entry->type;
      if (element == nullptr) {
        c_.reportError(kSimpleTypeExpected);
      }
      switch (element->kind) {
        case TypeKind::Char:
          element = symbols_.types().textType;  // FILE OF CHAR is TEXT
          break;
        case TypeKind::Integer:
        case TypeKind::Byte:
        case TypeKind::Boolean:
        case TypeKind::LongInt:
        case TypeKind::Address:
        case TypeKind::Real:
        case TypeKind::Record:
          break;
        default:
          c_.reportError(kSimpleTypeExpected);
      }
      c_.nextToken();
    } else {
      c_.reportError(kSimpleTypeExpected);
    }
  } else {
    c_.reportError(err::kOfExpected);
  }
  if (element == symbols_.types().textType) {
    return element;
  }
  TypeDescriptor& file = symbols_.newType(TypeKind::TypedFile, kTextFileSize);
  file.base = element;
  return &file;
}

// subrange = lower ".." constant   (the lower bound already read)
TypeDescriptor* TypeDenoterParser::parseSubrange(const ConstantOperand& lower) {
  TypeDescriptor& subrange = symbols_.newType(TypeKind::Subrange, 2);
  subrange.base = lower.type;
  subrange.low = lower.value;
  skip(TokenCode::Range, err::kRangeExpected);
  const ConstantOperand upper = parseConstantValue(c_);
  if (!IsAssignable(subrange.base, upper.type)) {
    c_.reportError(err::kTypeMismatch);
  }
  if (ordinalValue(upper.value) < ordinalValue(subrange.low)) {
    c_.reportError(kBoundsReversed);
  }
  subrange.high = upper.value;
  return &subrange;
}

// pointer type = "^" type identifier   (a name not declared yet gets a placeholder)
TypeDescriptor* TypeDenoterParser::parsePointerType() {
  c_.nextToken();
  expect(TokenCode::Identifier, err::kUndefinedIdentifier);
  SymbolEntry* target = symbols_.LookupIdentifier(kinds::kType);
  if (target == nullptr) {
    // The TYPE section that declares the name later reuses this very entry, so every
    // pointer to it, before or after, ends up with the same target.
    SymbolEntry& placeholder = symbols_.newEntry();
    placeholder.name = tokenText();
    placeholder.declarationLine = symbols_.currentDeclarationLine();
    placeholder.kind = IdentKind::Type;
    placeholder.isPlaceholder = true;
    placeholder.type = symbols_.types().pointerType;
    symbols_.enterAtCurrentLevel(placeholder);
    target = &placeholder;
  }
  c_.nextToken();
  TypeDescriptor& pointer = symbols_.newType(TypeKind::Pointer, kPointerSize);
  pointer.target = target;
  return &pointer;
}

// enumeration = "(" identifier { "," identifier } ")"
TypeDescriptor* TypeDenoterParser::parseEnumeration() {
  TypeDescriptor& enumeration = symbols_.newType(TypeKind::Enumeration, 1);
  int count = 0;
  do {
    c_.nextToken();
    expect(TokenCode::Identifier, err::kIdentifierExpected);
    // A value must fit the one byte an enumeration variable takes.
    if (count == kMaxEnumerationValues) {
      c_.reportError(err::kConstantOutOfRange);
    }
    SymbolEntry& value = symbols_.newEntry();
    value.name = tokenText();
    value.declarationLine = symbols_.currentDeclarationLine();
    value.kind = IdentKind::Constant;
    value.type = &enumeration;
    value.value = ConstValue::integer(count);
    value.next = enumeration.lastValue;
    enumeration.lastValue = &value;
    symbols_.enterAtCurrentLevel(value);
    ++count;
    c_.nextToken();
  } while (c_.token() == TokenCode::Comma);
  skip(TokenCode::CloseParen, err::kCloseParenExpected);
  return &enumeration;
}

// array type = ARRAY "[" index { "," index } "]" OF type
TypeDescriptor* TypeDenoterParser::parseArrayType() {
  c_.nextToken();
  expect(TokenCode::OpenBracket, err::kOpenBracketExpected);
  std::vector<TypeDescriptor*> indexes;
  do {
    c_.nextToken();
    indexes.push_back(parseIndexType());
  } while (c_.token() == TokenCode::Comma);
  skip(TokenCode::CloseBracket, err::kCloseBracketExpected);
  skip(TokenCode::Of, err::kOfExpected);
  TypeDescriptor* element = parseType();

  // Built from the last index outwards; an inner array's size is the outer one's element
  // size as it stands.
  std::int32_t elementSize = arrayElementSize(*element);
  for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
    TypeDescriptor& array =
        symbols_.newType(TypeKind::Array, arraySize(c_.diagnostics, **index, elementSize));
    array.base = element;
    array.index = *index;
    element = &array;
    elementSize = array.size;
  }
  return element;
}

// index = [ "+" | "-" ] ( constant | integer ) ".." constant | enumeration or subrange
//         type identifier
TypeDescriptor* TypeDenoterParser::parseIndexType() {
  std::optional<TokenCode> sign;
  if (c_.token() == TokenCode::Plus || c_.token() == TokenCode::Minus) {
    sign = c_.token();
    c_.nextToken();
  }
  const bool hasSign = sign.has_value();
  if (c_.token() == TokenCode::Identifier) {
    SymbolEntry* entry = symbols_.LookupIdentifier(kinds::kTypeOrConstant);
    if (entry == nullptr) {
      c_.reportError(err::kUndefinedIdentifier);
    }
    if (entry->kind == IdentKind::Type) {
      if (hasSign || entry->type == nullptr ||
          (entry->type->kind != TypeKind::Enumeration && entry->type->kind != TypeKind::Subrange)) {
        c_.reportError(kSimpleTypeExpected);
      }
      c_.nextToken();
      return entry->type;
    }
  } else if (c_.token() != TokenCode::IntegerConst) {
    c_.reportError(kSimpleTypeExpected);
  }
  // The sign belongs to the first operand of the bound ("-N+1" is (-N)+1), and the bound
  // is a copy: negating it leaves the declared constant as it was.
  const ConstantOperand lower = parseConstantValueAfterSign(c_, sign);
  if (hasSign && lower.value.kind != ConstKind::Integer) {
    c_.reportError(kSimpleTypeExpected);
  }
  return parseSubrange(lower);
}

// record type = RECORD field list END
TypeDescriptor* TypeDenoterParser::parseRecordType() {
  c_.nextToken();
  SymbolEntry* fieldTree = nullptr;
  TypeDescriptor* record = parseFieldList(fieldTree, 0);
  skip(TokenCode::End, err::kEndExpected);
  return record;
}

SymbolEntry& TypeDenoterParser::newField(SymbolEntry*& fieldTree, SymbolEntry**& listTail) {
  SymbolEntry& field = symbols_.newEntry();
  field.name = tokenText();
  field.declarationLine = symbols_.currentDeclarationLine();
  field.kind = IdentKind::Field;
  *listTail = &field;
  listTail = &field.next;
  symbols_.EnterIdentifier(fieldTree, field);
  return field;
}

// field list = [ identifier { "," identifier } ":" type { ";" ... } ] [ variant part ]
// Fields are listed in the record descriptor this returns and entered into `fieldTree`,
// the one tree of the whole record.
TypeDescriptor* TypeDenoterParser::parseFieldList(SymbolEntry*& fieldTree, std::int32_t start) {
  TypeDescriptor& record = symbols_.newType(TypeKind::Record, 0);
  RecordLayout layout(c_.diagnostics, start);
  SymbolEntry** listTail = &record.firstField;
  if (c_.token() != TokenCode::Identifier && c_.token() != TokenCode::Case) {
    c_.reportError(err::kUndefinedIdentifier);
  }
  while (c_.token() == TokenCode::Identifier) {
    SymbolEntry* group = &newField(fieldTree, listTail);
    c_.nextToken();
    while (c_.token() == TokenCode::Comma) {
      c_.nextToken();
      expect(TokenCode::Identifier, err::kUndefinedIdentifier);
      newField(fieldTree, listTail);
      c_.nextToken();
    }
    skip(TokenCode::Colon, err::kColonExpected);
    TypeDescriptor* type = parseType();
    for (SymbolEntry* field = group; field != nullptr; field = field->next) {
      field->type = type;
      field->fieldSize = type->size;
      field->offset = layout.placeField(*type);
    }
    if (c_.token() == TokenCode::Semicolon) {
      c_.nextToken();
      const TokenCode next = c_.token();
      if (next != TokenCode::Identifier && next != TokenCode::CloseParen &&
          next != TokenCode::End && next != TokenCode::Case) {
        c_.reportError(err::kEndExpected);
      }
    } else if (c_.token() != TokenCode::CloseParen && c_.token() != TokenCode::End) {
      c_.reportError(err::kEndExpected);
    }
  }
  if (c_.token() == TokenCode::Case) {
    parseVariantPart(record, layout, fieldTree, listTail);
  }
  record.size = layout.recordSize();
  record.fieldTree = fieldTree;
  return &record;
}

// variant part = CASE [ identifier ":" ] type identifier OF variant { ";" variant }
// variant = label { "," label } ":" "(" [ field list ] ")"
void TypeDenoterParser::parseVariantPart(TypeDescriptor& record, RecordLayout& layout,
                                         SymbolEntry*& fieldTree, SymbolEntry**& listTail) {
  // Variants hold field lists that may have variant parts again.
  const Compilation::NestingLevel level(c_, Compilation::NestingKind::Construct);
  c_.nextToken();
  expect(TokenCode::Identifier, err::kUndefinedIdentifier);
  const std::string name = tokenText();
  SymbolEntry* tag = nullptr;
  c_.nextToken();
  if (c_.token() == TokenCode::Colon) {
    // The tag field is entered under the name that preceded the colon.
    tag = &symbols_.newEntry();
    tag->name = name;
    tag->declarationLine = symbols_.currentDeclarationLine();
    tag->kind = IdentKind::Field;
    *listTail = tag;
    listTail = &tag->next;
    symbols_.EnterIdentifier(fieldTree, *tag);
    c_.nextToken();
    SymbolEntry* tagType =
        c_.token() == TokenCode::Identifier ? symbols_.LookupIdentifier(kinds::kType) : nullptr;
    if (tagType == nullptr || tagType->type == nullptr) {
      c_.reportError(err::kUndefinedIdentifier);
    }
    tag->type = tagType->type;
    tag->fieldSize = tagType->type->size;
    // The tag belongs to the fixed part, so no variant overlays it.
    tag->offset = layout.placeField(*tagType->type);
    c_.nextToken();
  } else if (symbols_.lookupName(name, kinds::kType) == nullptr) {
    c_.reportError(err::kUndefinedIdentifier);
  }
  skip(TokenCode::Of, err::kEndExpected);

  const std::int32_t variantStart = layout.variantStart();
  TypeDescriptor** variantTail = &record.firstVariant;
  for (;;) {
    if (c_.token() != TokenCode::Identifier && c_.token() != TokenCode::IntegerConst) {
      c_.reportError(err::kUndefinedIdentifier);
    }
    // The labels only have to be constants; nothing keeps them.
    (void)parseConstantValue(c_);
    while (c_.token() == TokenCode::Comma) {
      c_.nextToken();
      (void)parseConstantValue(c_);
    }
    skip(TokenCode::Colon, err::kColonExpected);
    skip(TokenCode::OpenParen, err::kOpenParenExpected);
    TypeDescriptor* fields = nullptr;
    if (c_.token() == TokenCode::CloseParen) {
      fields = &symbols_.newType(TypeKind::Record, 0);
      fields->fieldTree = fieldTree;
    } else {
      fields = parseFieldList(fieldTree, variantStart);
    }
    skip(TokenCode::CloseParen, err::kCloseParenExpected);
    TypeDescriptor& variant = symbols_.newType(TypeKind::Variant, fields->size);
    variant.variantFields = fields;
    *variantTail = &variant;
    variantTail = &variant.nextVariant;
    layout.addVariant(fields->size);

    if (c_.token() == TokenCode::Semicolon) {
      c_.nextToken();
    } else if (c_.token() != TokenCode::CloseParen && c_.token() != TokenCode::End) {
      c_.reportError(err::kEndExpected);
    }
    if (c_.token() == TokenCode::CloseParen || c_.token() == TokenCode::End) {
      return;
    }
  }
}

}  // namespace

TypeDescriptor* parseTypeDenoter(Compilation& compilation) {
  return TypeDenoterParser(compilation).parseType();
}

}  // namespace vorax
