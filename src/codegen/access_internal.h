// Pieces shared by the variable-access generators: leaf loading, result conversion,
// values built on the machine stack, and the window searches that let a load reuse a
// register that already holds the wanted value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;
struct WindowLine;

namespace access_error {
inline constexpr int kConstantWhereVariableRequired = 32;
inline constexpr int kUnsupportedValue = 99;  // a size or type kind no load handles
inline constexpr int kBadConstantKind = 199;
inline constexpr int kRegisterLeafAsVariable = 900;
inline constexpr int kOneByteResultAsValue = 901;
inline constexpr int kBadBooleanResult = 926;
inline constexpr int kBadConversion = 929;
inline constexpr int kBadResultLeaf = 932;
inline constexpr int kNoOffsetForm = 933;
inline constexpr int kTypeCastAsAddress = 997;
}  // namespace access_error

// --- Window searches ----------------------------------------------------------------

// True when executing `line` may leave another value in register `reg` ("r0".."r6").
[[nodiscard]] bool lineChangesRegister(const WindowLine& line, std::string_view reg);
// True when `line` writes memory other than the stack (a store may change any variable,
// through a pointer too).
[[nodiscard]] bool lineStoresToMemory(const WindowLine& line);
// True for a label control can arrive at from elsewhere; spill marks ("@n") are not.
[[nodiscard]] bool isJoinLabel(std::string_view label);
// True when `reg` may be handed out again: nobody holds or locks it and no WITH keeps its
// record address in it.
[[nodiscard]] bool isFreeForReuse(const Compilation& c, std::string_view reg);
// The work register that a window line loaded with `mnemonic` from `source` when nothing
// since then (no call, join label, store, nor change of that register or of a register
// the source is built on) can have made it stale, and that nobody holds now.
[[nodiscard]] std::optional<std::string> findReusableLoad(Compilation& c, std::string_view mnemonic,
                                                          std::string_view source);

// --- Leaves and results ---------------------------------------------------------------

// Loads a designator leaf's value into a register with "mov" + the size suffix; a one-byte
// value wanted as LONGINT or address is widened on the way. The leaf becomes that register.
std::string loadVariable(Compilation& c, ExprPtr& leaf, TypeDescriptor* targetType);
// The last step of every value: the result leaf converted to `targetType`, as an operand
// text (empty when the value stays on the stack). The leaf describes the converted value.
std::string convertResult(Compilation& c, ExprPtr& leaf, TypeDescriptor* targetType);
// An immediate "#..." in a register of `size` bytes: a register known to hold the value is
// reused, otherwise one is loaded.
std::string loadImmediate(Compilation& c, std::string text, std::int64_t size);
// The address `text` (an immediate "#..." or a register) in a register.
std::string addressInRegister(Compilation& c, const std::string& text);

// --- Values on the stack --------------------------------------------------------------

// Leaves a STRING value of `size` bytes (256 for STRING) on the stack: a string constant,
// a CHAR value, a STRING variable, a STRING function result or a concatenation. The tree
// becomes a runtime-result leaf.
void pushStringValue(Compilation& c, ExprPtr& tree, std::int32_t size);
// A STRING operator tree evaluated on the stack, left to right.
void generateConcatenation(Compilation& c, ExprPtr& tree);
// Copies an array or record value onto the stack; the leaf becomes a runtime result.
void pushStructuredValue(Compilation& c, ExprPtr& leaf);

// True when the type's kind is STRING.
[[nodiscard]] bool isStringType(const TypeDescriptor* type);
// A finished operand text as a named-memory leaf of `type`.
void makeOperandLeaf(ExprNode& node, std::string_view text, TypeDescriptor* type);

}  // namespace vorax
