// Typed constants: initialised read-only data placed in the code stream under a label,
// as "db", "dw" and "dl" lines. The string-data routines also serve string literals that
// statements place right after the instruction that reads them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorax {

class Compilation;
struct ConstValue;
struct TypeDescriptor;

// CONST name ":" type ( "=" value | ";" EXTERNAL ). The scanner stands on the ":".
void parseTypedConstant(Compilation& c, const std::string& name, std::int32_t declarationLine);

// Reads the value of a constant of `type` at the current token and emits its data.
void emitConstantData(Compilation& c, TypeDescriptor& type);

// A length byte, then the characters: quoted in chunks of 32 where they are printable,
// one code per line where they are not.
void emitStringData(Compilation& c, std::int32_t length, std::string_view text);

// A pad byte when the data written so far ends on an odd address.
void alignData(Compilation& c);

// A byte value as data: decimal, right-aligned in three characters ("  5", "255").
[[nodiscard]] std::string byteField(std::int32_t value);

// A string constant (or a character) cut to `maximumLength`, as string data right after
// the instruction that reads it. The data is padded with a blank so that the code after
// it starts on an even address: with even parity the string data itself must have even
// size, with odd parity (one data byte already precedes it) odd size.
enum class StringParity { Even, Odd };
void emitInlineStringConstant(Compilation& c, const ConstValue& value, std::int32_t maximumLength,
                              StringParity parity);

}  // namespace vorax
