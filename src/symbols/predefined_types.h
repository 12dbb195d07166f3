// The predefined type descriptors, made once per compilation at scope level 0 and
// reachable from every part of the compiler through SymbolTable::types().
#pragma once

namespace vorax {

struct TypeDescriptor;

struct PredefinedTypes {
  TypeDescriptor* charType = nullptr;
  TypeDescriptor* byteType = nullptr;
  TypeDescriptor* integerType = nullptr;
  // The two-byte type one-byte arguments are widened to when they are pushed.
  TypeDescriptor* widenedInteger = nullptr;
  TypeDescriptor* wordType = nullptr;
  TypeDescriptor* longIntType = nullptr;
  // Unnamed unsigned 32-bit type of addresses and index arithmetic.
  TypeDescriptor* addressType = nullptr;
  TypeDescriptor* realType = nullptr;
  TypeDescriptor* booleanType = nullptr;
  // The untyped POINTER (no target entry); also the type of forward placeholders.
  TypeDescriptor* pointerType = nullptr;
  TypeDescriptor* stringType = nullptr;  // STRING: 255 characters, 256 bytes
  // STRING[12]: the NAME field of SEARCHREC.
  TypeDescriptor* shortNameString = nullptr;
  TypeDescriptor* textType = nullptr;  // TEXT, also FILE and FILE OF CHAR
  TypeDescriptor* chdevpType = nullptr;
  TypeDescriptor* registersType = nullptr;
  TypeDescriptor* searchRecType = nullptr;
  // ARRAY[0..255] OF BYTE sized 512: the buffer parameter of BLOCKREAD and BLOCKWRITE.
  TypeDescriptor* blockBuffer = nullptr;
};

// Numbers of the standard routines (the entry's standardRoutine byte). 18 is unused.
enum class StandardRoutine : unsigned char {
  None = 0,
  Abs = 1,
  Chr = 2,
  Length = 3,
  Odd = 4,
  UpCase = 5,
  Str = 6,
  Val = 7,
  Ord = 8,
  Succ = 9,
  Pred = 10,
  Trunc = 11,
  New = 12,
  Dispose = 13,
  Delete = 14,
  Copy = 15,
  Pos = 16,
  Exit = 17,
  ReadKey = 19,
  Read = 20,
  ReadLn = 21,
  Assign = 22,
  Reset = 23,
  Rewrite = 24,
  Close = 25,
  Erase = 26,
  Append = 27,
  Eof = 28,
  Write = 29,
  WriteLn = 30,
  SizeOf = 31,
  FindFirst = 32,
  FindNext = 33,
  MkDir = 34,
  RmDir = 35,
  ChDir = 36,
  MaxAvail = 37,
  MemAvail = 38,
  Sin = 39,
  Cos = 40,
  Sqrt = 41,
  BlockRead = 42,
  BlockWrite = 43,
  FileSize = 44,
  Rename = 45,
  GetFTime = 46,
  SetFTime = 47,
};

}  // namespace vorax
