// The numbered error texts. Numbers without a text (and every number outside 1..102,
// including the internal-failure numbers 99 and 900..999) read "Need more debug".
#pragma once

#include <string_view>

namespace vorax {

// Named error numbers for the places that raise them.
namespace err {
inline constexpr int kSemicolonExpected = 1;
inline constexpr int kColonExpected = 2;
inline constexpr int kCommaExpected = 3;
inline constexpr int kOpenParenExpected = 4;
inline constexpr int kCloseParenExpected = 5;
inline constexpr int kEqualsExpected = 6;
inline constexpr int kAssignExpected = 7;
inline constexpr int kOpenBracketExpected = 8;
inline constexpr int kCloseBracketExpected = 9;
inline constexpr int kPeriodExpected = 10;
inline constexpr int kRangeExpected = 11;
inline constexpr int kBeginExpected = 12;
inline constexpr int kDoExpected = 13;
inline constexpr int kEndExpected = 14;
inline constexpr int kOfExpected = 15;
inline constexpr int kUntilExpected = 16;
inline constexpr int kThenExpected = 17;
inline constexpr int kToOrDowntoExpected = 18;
inline constexpr int kConstantExpected = 25;
inline constexpr int kStringConstantNotAllowed = 32;
inline constexpr int kUndefinedIdentifier = 41;
inline constexpr int kDuplicateIdentifier = 43;
inline constexpr int kTypeMismatch = 44;
inline constexpr int kConstantOutOfRange = 45;
inline constexpr int kStringPastLineEnd = 55;
inline constexpr int kIdentifierExpected = 58;  // "invalid character" where a name must stand
inline constexpr int kForwardWithoutBody = 59;
inline constexpr int kInvalidDirective = 64;
inline constexpr int kUnsupportedCpu = 65;
inline constexpr int kRegisterName = 68;
inline constexpr int kUsesNotAllowed = 70;
inline constexpr int kImplementationExpected = 71;
inline constexpr int kInterfaceExpected = 73;
inline constexpr int kProgramExpected = 77;
inline constexpr int kEndNotAtEndOfFile = 91;
inline constexpr int kNestingTooDeep = 98;
inline constexpr int kInternal = 99;
inline constexpr int kFileNotFound = 100;
inline constexpr int kInvalidFileName = 101;
inline constexpr int kInvalidCharacter = 102;
}  // namespace err

// The text of error `number`, UTF-8.
[[nodiscard]] std::string_view errorText(int number);

}  // namespace vorax
