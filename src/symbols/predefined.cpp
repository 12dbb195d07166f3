// The predefined environment: level 0 holds the types, constants, devices, variables and
// standard routines every program starts with. A program may hide any of them by
// declaring the same name.
#include <array>
#include <initializer_list>
#include <string_view>

#include "asmout/runtime_names.h"
#include "diag/short_text.h"
#include "driver/compilation.h"
#include "symbols/symbol_table.h"

namespace vorax {
namespace {

constexpr std::size_t kDeviceNameLength = 8;

// Which predefined descriptor a standard routine's result or parameter has.
enum class StdType : std::uint8_t {
  Untyped,  // any argument type is accepted; the call code checks it
  Char,
  Byte,
  Integer,
  Boolean,
  String,
  Real,
  LongInt,
  Pointer,
  Text,
  SearchRec,
  BlockBuffer,
};

struct StdParameter {
  bool present = false;  // the unused slots of a routine's parameter list stay false
  bool isVar = false;
  StdType type = StdType::Untyped;
};

constexpr std::size_t kMaxStdParameters = 3;

struct StdRoutine {
  StandardRoutine number;
  std::string_view name;
  IdentKind kind;
  StdType result;
  std::array<StdParameter, kMaxStdParameters> parameters;
  bool acceptsFile;
};

constexpr StdParameter value(StdType type) { return {true, false, type}; }
constexpr StdParameter byReference(StdType type) { return {true, true, type}; }

constexpr IdentKind kProc = IdentKind::Procedure;
constexpr IdentKind kFunc = IdentKind::Function;
using enum StdType;
using R = StandardRoutine;

// In the order they are entered.
const std::array<StdRoutine, 46> kStandardRoutines{{
    {R::Abs, "ABS", kFunc, Untyped, {value(Untyped)}, false},
    {R::Chr, "CHR", kFunc, Char, {value(Byte)}, false},
    {R::Length, "LENGTH", kFunc, Byte, {value(String)}, false},
    {R::Odd, "ODD", kFunc, Boolean, {value(Integer)}, false},
    {R::UpCase, "UPCASE", kFunc, Char, {value(Char)}, false},
    {R::Str, "STR", kProc, Untyped, {value(Untyped), byReference(String)}, false},
    {R::Val,
     "VAL",
     kProc,
     Untyped,
     {value(String), byReference(Untyped), byReference(Integer)},
     false},
    {R::Ord, "ORD", kFunc, Byte, {value(Char)}, false},
    {R::Succ, "SUCC", kFunc, Untyped, {value(Untyped)}, false},
    {R::Pred, "PRED", kFunc, Untyped, {value(Untyped)}, false},
    {R::Trunc, "TRUNC", kFunc, Integer, {value(Real)}, false},
    {R::New, "NEW", kProc, Untyped, {byReference(Pointer)}, false},
    {R::Dispose, "DISPOSE", kProc, Untyped, {byReference(Pointer)}, false},
    {R::Delete,
     "DELETE",
     kProc,
     Untyped,
     {byReference(String), value(Integer), value(Integer)},
     false},
    {R::Copy, "COPY", kFunc, String, {value(String), value(Integer), value(Integer)}, false},
    {R::Pos, "POS", kFunc, Integer, {value(String), value(String)}, false},
    {R::Exit, "EXIT", kProc, Untyped, {}, false},
    {R::ReadKey, "READKEY", kFunc, Char, {}, true},
    {R::Read, "READ", kProc, Untyped, {}, true},
    {R::ReadLn, "READLN", kProc, Untyped, {}, true},
    {R::Assign, "ASSIGN", kProc, Untyped, {byReference(Text), value(String)}, false},
    {R::Reset, "RESET", kProc, Untyped, {byReference(Text)}, true},
    {R::Rewrite, "REWRITE", kProc, Untyped, {byReference(Text)}, true},
    {R::Close, "CLOSE", kProc, Untyped, {byReference(Text)}, true},
    {R::Erase, "ERASE", kProc, Untyped, {byReference(Text)}, true},
    {R::Append, "APPEND", kProc, Untyped, {byReference(Text)}, true},
    {R::Eof, "EOF", kFunc, Boolean, {byReference(Text)}, true},
    {R::Write, "WRITE", kProc, Untyped, {}, true},
    {R::WriteLn, "WRITELN", kProc, Untyped, {}, true},
    {R::SizeOf, "SIZEOF", kFunc, Integer, {value(Untyped)}, false},
    {R::FindFirst,
     "FINDFIRST",
     kProc,
     Untyped,
     {value(String), value(Integer), byReference(SearchRec)},
     false},
    {R::FindNext, "FINDNEXT", kProc, Untyped, {byReference(SearchRec)}, false},
    {R::MkDir, "MKDIR", kProc, Untyped, {value(String)}, true},
    {R::RmDir, "RMDIR", kProc, Untyped, {value(String)}, true},
    {R::ChDir, "CHDIR", kProc, Untyped, {value(String)}, true},
    {R::MaxAvail, "MAXAVAIL", kFunc, Integer, {}, false},
    {R::MemAvail, "MEMAVAIL", kFunc, Integer, {}, false},
    {R::Sin, "SIN", kFunc, Real, {value(Untyped)}, false},
    {R::Cos, "COS", kFunc, Real, {value(Untyped)}, false},
    {R::Sqrt, "SQRT", kFunc, Untyped, {value(Untyped)}, false},
    {R::BlockRead,
     "BLOCKREAD",
     kProc,
     Untyped,
     {byReference(Text), byReference(BlockBuffer), byReference(LongInt)},
     true},
    {R::BlockWrite,
     "BLOCKWRITE",
     kProc,
     Untyped,
     {byReference(Text), byReference(BlockBuffer), byReference(LongInt)},
     true},
    {R::FileSize, "FILESIZE", kFunc, LongInt, {byReference(Text)}, true},
    {R::Rename, "RENAME", kProc, Untyped, {byReference(Text), value(String)}, false},
    {R::GetFTime, "GETFTIME", kProc, Untyped, {byReference(Text), byReference(LongInt)}, false},
    {R::SetFTime, "SETFTIME", kProc, Untyped, {byReference(Text), byReference(LongInt)}, false},
}};

TypeDescriptor* descriptorOf(const PredefinedTypes& types, StdType type) {
  switch (type) {
    case Untyped:
      return nullptr;
    case Char:
      return types.charType;
    case Byte:
      return types.byteType;
    case Integer:
      return types.integerType;
    case Boolean:
      return types.booleanType;
    case String:
      return types.stringType;
    case Real:
      return types.realType;
    case LongInt:
      return types.longIntType;
    case Pointer:
      return types.pointerType;
    case Text:
      return types.textType;
    case SearchRec:
      return types.searchRecType;
    case BlockBuffer:
      return types.blockBuffer;
  }
  return nullptr;
}

// π in the target's real format, in storage order.
constexpr RealBytes kPi{0x82, 0x21, 0xA2, 0xDA, 0x0F, 0x49};

struct PredefinedField {
  std::string_view name;
  std::int32_t offset;
  TypeDescriptor* type;
};

}  // namespace

void SymbolTable::enterPredefinedEnvironment() {
  enterPredefinedTypes();

  auto enter = [this](std::string_view name, IdentKind kind, TypeDescriptor* type) -> SymbolEntry& {
    SymbolEntry& entry = newEntry();
    entry.name = cutText(name, kSymbolNameLength);
    entry.kind = kind;
    entry.type = type;
    enterAtCurrentLevel(entry);
    return entry;
  };

  const PredefinedTypes& t = types_;
  for (const auto& [name, type] :
       std::initializer_list<std::pair<std::string_view, TypeDescriptor*>>{
           {"BYTE", t.byteType},
           {"CHAR", t.charType},
           {"INTEGER", t.integerType},
           {"WORD", t.wordType},
           {"LONGINT", t.longIntType},
           {"REAL", t.realType},
           {"TEXT", t.textType},
           {"FILE", t.textType},
           {"CHDEVP", t.chdevpType},
           {"BOOLEAN", t.booleanType},
           {"STRING", t.stringType},
           {"REGISTERS", t.registersType},
           {"SEARCHREC", t.searchRecType},
           {"POINTER", t.pointerType},
       }) {
    enter(name, IdentKind::Type, type);
  }

  enter("FALSE", IdentKind::Constant, t.booleanType).value = ConstValue::boolean(false);
  enter("TRUE", IdentKind::Constant, t.booleanType).value = ConstValue::boolean(true);
  enter("PI", IdentKind::Constant, t.realType).value = ConstValue::real(kPi);
  SymbolEntry& date = enter("DATE", IdentKind::FixedVariable, t.stringType);
  date.level = -1;
  // DATE has no storage of its own: it names the compile-date string of the program.
  date.assemblerLabel = "\\date";

  for (std::string_view device :
       {"CON",  "CON0", "CON1", "CON2", "CON3", "AUX",  "AUX0", "AUX1", "AUX2", "AUX3", "AUX4",
        "AUX5", "AUX6", "AUX7", "LST",  "LST0", "LST1", "LST2", "LST3", "KBD",  "DBG",  "ERRDV"}) {
    enter(cutText(device, kDeviceNameLength), IdentKind::Device, t.chdevpType);
  }

  // The two system variables live in fixed cells of the runtime's RAM area.
  enter("IORESULT", IdentKind::FixedVariable, t.integerType).assemblerLabel = rt::kIoResultCell;
  enter("DOSERROR", IdentKind::FixedVariable, t.integerType).assemblerLabel = rt::kDosErrorCell;

  enterPredefinedRoutines();
}

void SymbolTable::enterPredefinedRoutines() {
  for (const StdRoutine& routine : kStandardRoutines) {
    SymbolEntry& entry = newEntry();
    entry.name = std::string(routine.name);
    entry.kind = routine.kind;
    entry.type = descriptorOf(types_, routine.result);
    entry.standardRoutine = static_cast<std::uint8_t>(routine.number);
    entry.acceptsFile = routine.acceptsFile;
    SymbolEntry** tail = &entry.parameters;
    for (const StdParameter& parameter : routine.parameters) {
      if (!parameter.present) {
        break;
      }
      SymbolEntry& formal = newEntry();
      formal.kind = IdentKind::Parameter;
      formal.isVarParameter = parameter.isVar;
      formal.type = descriptorOf(types_, parameter.type);
      *tail = &formal;
      tail = &formal.next;
    }
    enterAtCurrentLevel(entry);
  }
}

void SymbolTable::enterPredefinedTypes() {
  PredefinedTypes& t = types_;
  t.charType = &newType(TypeKind::Char, 1);
  t.byteType = &newType(TypeKind::Byte, 1);
  t.integerType = &newType(TypeKind::Integer, 2);
  t.widenedInteger = &newType(TypeKind::Integer, 2);
  t.wordType = &newType(TypeKind::Word, 2);
  t.longIntType = &newType(TypeKind::LongInt, 4);
  t.addressType = &newType(TypeKind::Address, 4);
  t.realType = &newType(TypeKind::Real, 6);
  t.booleanType = &newType(TypeKind::Boolean, 1);
  t.pointerType = &newType(TypeKind::Pointer, kPointerSize);

  // 0..n as the one-byte index of a string or of the block buffer.
  auto byteIndex = [this, &t](std::int32_t high) {
    TypeDescriptor& index = newType(TypeKind::Subrange, 1);
    index.base = t.byteType;
    index.low = ConstValue::integer(0);
    index.high = ConstValue::integer(high);
    return &index;
  };
  auto stringOf = [this, &t, &byteIndex](std::int32_t maximum) {
    TypeDescriptor& string = newType(TypeKind::String, maximum + 1);
    string.base = t.charType;
    string.index = byteIndex(maximum);
    return &string;
  };
  t.stringType = stringOf(255);
  t.shortNameString = stringOf(12);

  t.textType = &newType(TypeKind::Text, kTextFileSize);
  t.textType->base = t.charType;

  // The predefined records' field trees are their field lists linked through the right
  // links; lookups in them search the whole tree.
  auto record = [this](std::int32_t size, std::initializer_list<PredefinedField> fields) {
    TypeDescriptor& type = newType(TypeKind::Record, size);
    SymbolEntry* previous = nullptr;
    for (const PredefinedField& given : fields) {
      SymbolEntry& field = newEntry();
      field.name = std::string(given.name);
      field.kind = IdentKind::Field;
      field.type = given.type;
      field.offset = given.offset;
      field.fieldSize = given.type->size;
      if (previous == nullptr) {
        type.firstField = &field;
        type.fieldTree = &field;
      } else {
        previous->next = &field;
        previous->right = &field;
      }
      previous = &field;
    }
    return &type;
  };
  t.chdevpType = record(8, {{"OUTROU", 0, t.longIntType}, {"INPROU", 4, t.longIntType}});
  t.registersType = record(28, {{"R5", 0, t.longIntType},
                                {"R4", 4, t.longIntType},
                                {"R3", 8, t.longIntType},
                                {"R2", 12, t.longIntType},
                                {"R1", 16, t.longIntType},
                                {"R0", 20, t.longIntType},
                                {"EXR", 24, t.integerType},
                                {"CCR", 26, t.byteType}});
  t.searchRecType = record(24, {{"ATTR", 0, t.integerType},
                                {"TIME", 2, t.integerType},
                                {"DATE", 4, t.integerType},
                                {"SIZE", 6, t.longIntType},
                                {"NAME", 10, t.shortNameString}});

  t.blockBuffer = &newType(TypeKind::Array, 512);
  t.blockBuffer->base = t.byteType;
  t.blockBuffer->index = byteIndex(255);
}

void SymbolTable::enterStackConstant(std::int32_t value) {
  SymbolEntry& stack = newEntry();
  stack.name = "STACK";
  stack.kind = IdentKind::Constant;
  stack.type = types_.longIntType;
  stack.value = ConstValue::integer(value);
  enterAtCurrentLevel(stack);
}

}  // namespace vorax
