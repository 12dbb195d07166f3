// Names of the runtime library's routines and fixed cells, defined once for every
// generator. The library itself is outside the compiler; these are its entry points.
#pragma once

#include <string_view>

namespace vorax::rt {

// Start-up and stop.
inline constexpr std::string_view kLinkFree = "\\lnkfre";
inline constexpr std::string_view kHalt = "\\halt";
// Routine entry: builds the frame and display (r0 = level - 1).
inline constexpr std::string_view kSetLevel = "\\slset";

// Long arithmetic.
inline constexpr std::string_view kMul = "\\mul";
inline constexpr std::string_view kDiv = "\\div";
inline constexpr std::string_view kMod = "\\mod";
inline constexpr std::string_view kSqrtLong = "\\sqrtl";
inline constexpr std::string_view kUpcase = "\\upcase";

// REAL arithmetic on 6-byte values on the stack.
inline constexpr std::string_view kIntToReal = "\\int2r";
inline constexpr std::string_view kRealToInt = "\\r2int";
inline constexpr std::string_view kLoadReal = "\\loadr";
inline constexpr std::string_view kLoadRealInline = "\\lodri";
inline constexpr std::string_view kAddReal = "\\add40";
inline constexpr std::string_view kSubReal = "\\sub40";
inline constexpr std::string_view kMulReal = "\\mul40";
inline constexpr std::string_view kDivReal = "\\div40";
inline constexpr std::string_view kStoreReal = "\\storer";
inline constexpr std::string_view kRealToText = "\\r2asc";
inline constexpr std::string_view kTextToReal = "\\asc2r";

// Comparisons of two REALs ("\xeqy" ...) or two STRINGs (the same with "s"): Z is
// clear when the relation holds.
inline constexpr std::string_view kRealEqual = "\\xeqy";
inline constexpr std::string_view kRealNotEqual = "\\xney";
inline constexpr std::string_view kRealLess = "\\xlty";
inline constexpr std::string_view kRealLessEqual = "\\xley";
inline constexpr std::string_view kRealGreater = "\\xgty";
inline constexpr std::string_view kRealGreaterEqual = "\\xgey";
inline constexpr std::string_view kStringEqual = "\\xeqys";
inline constexpr std::string_view kStringNotEqual = "\\xneys";
inline constexpr std::string_view kStringLess = "\\xltys";
inline constexpr std::string_view kStringLessEqual = "\\xleys";
inline constexpr std::string_view kStringGreater = "\\xgtys";
inline constexpr std::string_view kStringGreaterEqual = "\\xgeys";

// Strings: 256-byte copies on the stack.
inline constexpr std::string_view kLoadString = "\\lods";
inline constexpr std::string_view kLoadStringLimited = "\\lodsl";
inline constexpr std::string_view kLoadStringInline = "\\lodsi";
inline constexpr std::string_view kLoadStringInlineLimited = "\\ldsil";
inline constexpr std::string_view kLoadChar = "\\lodc";
inline constexpr std::string_view kAppendStackString = "\\addss";
inline constexpr std::string_view kAppendInlineString = "\\addsi";
inline constexpr std::string_view kAppendAddressedString = "\\adds";
inline constexpr std::string_view kAppendChar = "\\addc";
inline constexpr std::string_view kSaveString = "\\saves";
inline constexpr std::string_view kMoveString = "\\movs";
inline constexpr std::string_view kMoveStringInline = "\\movsi";
inline constexpr std::string_view kAppendStringInline = "\\apdsi";
inline constexpr std::string_view kAppendCharInline = "\\apdc";
inline constexpr std::string_view kAdjustLength = "\\adjlng";

// Text input and output.
inline constexpr std::string_view kWriteChar = "\\tch";
inline constexpr std::string_view kWriteCharLine = "\\wrtlnc";
inline constexpr std::string_view kWriteString = "\\writes";
inline constexpr std::string_view kWriteStringLine = "\\wrtlns";
inline constexpr std::string_view kWriteLineEnd = "\\crlf";
inline constexpr std::string_view kReadChar = "\\ich";
inline constexpr std::string_view kReadLine = "\\readln";
inline constexpr std::string_view kReadLineList = "\\rlnlst";
inline constexpr std::string_view kLongToText = "\\str";
inline constexpr std::string_view kTextToLong = "\\val";

// Heap.
inline constexpr std::string_view kNew = "\\new";
inline constexpr std::string_view kDispose = "\\dispose";

// Files: "\assign" and "\" + the lower-case name of each file and directory procedure.
inline constexpr std::string_view kAssign = "\\assign";

// Fixed cells relative to the start of RAM.
inline constexpr std::string_view kMainFramePointerCell = "\\ram+12";
inline constexpr std::string_view kIoResultCell = "\\ram+16";
inline constexpr std::string_view kDosErrorCell = "\\ram+18";

}  // namespace vorax::rt
