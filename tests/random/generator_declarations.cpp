// Types and variables of a generated program.
#include "random/program_generator.h"

namespace vorax::randprog {

std::string ProgramGenerator::newName(const std::string& prefix) {
  return prefix + std::to_string(++nameCount_);
}

const Type* ProgramGenerator::addScalar(TypeKind kind, ValueRange range) {
  Type type;
  type.kind = kind;
  type.range = range;
  const Type* result = program_.typeStore->add(std::move(type));
  scalars_.push_back(result);
  return result;
}

const Type* ProgramGenerator::declare(Type type) {
  const Type* result = program_.typeStore->add(std::move(type));
  program_.declaredTypes.push_back(result);
  return result;
}

void ProgramGenerator::declareTypes() {
  // The scalar flavours: each kind with a few value ranges, wide ones so that values near
  // the ends of the types occur, narrow ones so that arithmetic on them stays in range.
  addScalar(TypeKind::Integer, {-1000, 1000});
  addScalar(TypeKind::Integer, {-32768, 32767});
  addScalar(TypeKind::Integer, {0, 100});
  addScalar(TypeKind::Integer, {-30000, 30000});
  addScalar(TypeKind::Boolean, {0, 1});
  if (options_.allows(Feature::Byte)) {
    addScalar(TypeKind::Byte, {0, 255});
    addScalar(TypeKind::Byte, {0, 30});
  }
  if (options_.allows(Feature::Word)) {
    addScalar(TypeKind::Word, {0, 65535});
    addScalar(TypeKind::Word, {0, 1000});
  }
  if (options_.allows(Feature::LongInt)) {
    addScalar(TypeKind::LongInt, {-100000, 100000});
    addScalar(TypeKind::LongInt, {-2000000000, 2000000000});
    addScalar(TypeKind::LongInt, {0, 70000});
  }
  if (options_.allows(Feature::Char)) {
    addScalar(TypeKind::Char, printableCharacters());
    addScalar(TypeKind::Char, {'a', 'z'});
    addScalar(TypeKind::Char, {'0', '9'});
  }
  if (options_.allows(Feature::Enums)) declareEnums();
  if (options_.allows(Feature::Subranges)) declareSubranges();
  if (options_.allows(Feature::Strings)) declareStrings();
  if (options_.allows(Feature::Arrays)) declareArrays(false);
  if (options_.allows(Feature::Records)) declareRecords();
  if (options_.allows(Feature::Arrays) && options_.allows(Feature::Records)) declareArrays(true);
  if (options_.allows(Feature::Pointers)) declarePointers();
}

void ProgramGenerator::declareEnums() {
  const int count = static_cast<int>(random_.between(1, 2));
  for (int i = 0; i < count; ++i) {
    Type type;
    type.kind = TypeKind::Enum;
    type.name = newName("TE");
    const int values = static_cast<int>(random_.between(2, 6));
    for (int v = 0; v < values; ++v) type.constants.push_back(newName("C"));
    type.range = {0, values - 1};
    enums_.push_back(declare(std::move(type)));
  }
}

void ProgramGenerator::declareSubranges() {
  static const std::vector<ValueRange> kShapes = {{1, 10}, {-5, 20}, {0, 200}, {-100, 100}, {10, 1000}};
  const int count = static_cast<int>(random_.between(1, 2));
  for (int i = 0; i < count; ++i) {
    Type type;
    type.kind = TypeKind::Subrange;
    type.name = newName("TS");
    type.range = random_.pick(kShapes);
    subranges_.push_back(declare(std::move(type)));
  }
}

void ProgramGenerator::declareStrings() {
  static const std::vector<int> kLengths = {4, 8, 12, 20, 30};
  const int count = static_cast<int>(random_.between(1, 3));
  for (int i = 0; i < count; ++i) {
    Type type;
    type.kind = TypeKind::String;
    type.name = newName("TT");
    if (random_.percent(20)) {
      // Plain STRING; its values are kept short so that concatenations stay in range.
      type.maxLength = 255;
      type.range = {0, 60};
    } else {
      type.maxLength = random_.pick(kLengths);
      const int64_t least = random_.percent(60) ? 0 : random_.between(1, std::min(3, type.maxLength));
      type.range = {least, type.maxLength};
    }
    strings_.push_back(declare(std::move(type)));
  }
}

const Type* ProgramGenerator::randomScalarType() {
  std::vector<const Type*> choices = scalars_;
  for (const Type* type : enums_) choices.push_back(type);
  for (const Type* type : subranges_) choices.push_back(type);
  return random_.pick(choices);
}

const Type* ProgramGenerator::randomStringType() {
  return strings_.empty() ? nullptr : random_.pick(strings_);
}

void ProgramGenerator::declareArrays(bool ofRecords) {
  const int count = ofRecords ? static_cast<int>(random_.between(0, 1)) : static_cast<int>(random_.between(1, 3));
  for (int i = 0; i < count; ++i) {
    Type type;
    type.kind = TypeKind::Array;
    type.name = newName("TA");
    const bool twoDimensions = !ofRecords && options_.allows(Feature::Arrays2D) && random_.percent(35);
    const int dimensions = twoDimensions ? 2 : 1;
    for (int d = 0; d < dimensions; ++d) {
      IndexSpec index;
      if (!enums_.empty() && random_.percent(20)) {
        index.enumType = random_.pick(enums_);
        index.bounds = index.enumType->range;
      } else {
        static const std::vector<int64_t> kLows = {0, 1, 1, -2, 3};
        const int64_t low = random_.pick(kLows);
        const int64_t size = twoDimensions ? random_.between(2, 4) : random_.between(2, 8);
        index.bounds = {low, low + size - 1};
      }
      type.indexes.push_back(index);
    }
    if (ofRecords) {
      type.element = random_.pick(records_);
    } else if (!strings_.empty() && random_.percent(15)) {
      type.element = randomStringType();
    } else {
      type.element = randomScalarType();
    }
    arrays_.push_back(declare(std::move(type)));
  }
}

void ProgramGenerator::declareRecords() {
  const int count = static_cast<int>(random_.between(1, 3));
  for (int i = 0; i < count; ++i) {
    Type type;
    type.kind = TypeKind::Record;
    type.name = newName("TR");
    const int fields = static_cast<int>(random_.between(2, 6));
    for (int f = 0; f < fields; ++f) {
      const Type* fieldType = randomScalarType();
      if (!strings_.empty() && random_.percent(15)) fieldType = randomStringType();
      if (!arrays_.empty() && random_.percent(15)) {
        const Type* array = random_.pick(arrays_);
        if (array->indexes.size() == 1 && array->element->kind != TypeKind::Record) fieldType = array;
      }
      type.fields.push_back({newName("f"), fieldType});
    }
    records_.push_back(declare(std::move(type)));
  }
}

void ProgramGenerator::declarePointers() {
  const int count = static_cast<int>(random_.between(1, 2));
  for (int i = 0; i < count; ++i) {
    Type type;
    type.kind = TypeKind::Pointer;
    type.name = newName("TP");
    if (!records_.empty() && random_.percent(65)) {
      type.target = random_.pick(records_);
    } else {
      // A pointer to a scalar: its target is written as the scalar's type name.
      const Type* target = random_.pick(scalars_);
      type.target = target;
    }
    pointers_.push_back(declare(std::move(type)));
  }
}

const Type* ProgramGenerator::randomVariableType(bool allowStructured) {
  std::vector<int> weights = {50, 10, 10, allowStructured ? 10 : 0, allowStructured ? 8 : 0,
                              allowStructured ? 6 : 0};
  if (strings_.empty()) weights[1] = 0;
  if (enums_.empty() && subranges_.empty()) weights[2] = 0;
  if (arrays_.empty()) weights[3] = 0;
  if (records_.empty()) weights[4] = 0;
  if (pointers_.empty()) weights[5] = 0;
  switch (random_.weighted(weights)) {
    case 0: return random_.pick(scalars_);
    case 1: return randomStringType();
    case 2: return randomScalarType();
    case 3: return random_.pick(arrays_);
    case 4: return random_.pick(records_);
    default: return random_.pick(pointers_);
  }
}

int ProgramGenerator::addVariable(const std::string& prefix, const Type* type, VariableRole role,
                                  int owner) {
  Variable variable;
  variable.name = newName(prefix);
  variable.type = type;
  variable.role = role;
  variable.owner = owner;
  program_.variables.push_back(variable);
  return static_cast<int>(program_.variables.size()) - 1;
}

}  // namespace vorax::randprog
