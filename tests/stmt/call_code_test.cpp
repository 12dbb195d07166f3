// The instructions procedure calls become: user procedures, the standard procedures with
// code of their own, and the runtime routines called for the rest. Variables are named by
// their own equates ({$M}), so the operands read as the source does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assign_test_support.h"

namespace vorax::testing {
namespace {

const char* const kNamed = "{$M $8000,$FF00}\n";

const char* const kDeclarations =
    "TYPE R = RECORD A, B: CHAR; N: INTEGER END; PR = ^R;\n"
    "VAR F: TEXT; G: FILE OF INTEGER; H: FILE OF LONGINT; K: FILE OF BYTE;\n"
    "  C: CHAR; I, E: INTEGER; L: LONGINT; X: R; P: PR; S: STRING; T: STRING[9];\n"
    "  Z: REAL; B: BYTE; W: WORD; D: CHDEVP; CONDEV: CHDEVP; CONFILE: TEXT;\n"
    "PROCEDURE NONE; BEGIN END;\n"
    "PROCEDURE TWO(VAR V: INTEGER; N: BYTE); BEGIN END;\n"
    "PROCEDURE LATER(N: LONGINT); FORWARD;\n"
    "PROCEDURE OUTSIDE(N: INTEGER); EXTERNAL;\n"
    "PROCEDURE LATER(N: LONGINT); BEGIN END;\n";

std::string line(const std::string& mnemonic, const std::string& source = "",
                 const std::string& destination = "") {
  return asmLine(mnemonic, source, destination);
}

// The console's address pushed as the device argument.
std::vector<std::string> consolePush(const std::string& reg = "r0") {
  return {line("mov.l", "#\\con", reg), line("mov.l", reg, "@-sp")};
}

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

struct CodeCase {
  const char* name;
  const char* body;
  std::vector<std::string> expected;  // consecutive lines of the unoptimized output
};

void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.name; }

class CallCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CallCodeTest, EmitsTheSequence) {
  const CodeCase& c = GetParam();
  EXPECT_TRUE(hasSequence(assignLines({kNamed, kDeclarations, c.body}), c.expected));
}

const CodeCase kCalls[] = {
    // User procedures: arguments in order, a VAR argument by address, a byte as a word.
    {"UserProcedure",
     "TWO(I, 3);",
     {line("mov.l", "#I", "r0"), line("mov.l", "r0", "@-sp"), line("mov.w", "#3", "r0"),
      line("mov.w", "r0", "@-sp"), line("bsr", "TWO.8")}},
    {"NoArguments", "NONE;", {line("bsr", "NONE.7")}},
    // A FORWARD routine is called at its numbered label, an external one by its name.
    {"ForwardLabel", "LATER(1);", {line("bsr", "LATER.9")}},
    {"ExternalLabel", "OUTSIDE(1);", {line("bsr", "OUTSIDE")}},
    // Standard procedures without code of their own call "\" and their name.
    {"Delete",
     "DELETE(S, I, 2);",
     {line("mov.l", "#S", "r0"), line("mov.l", "r0", "@-sp"), line("mov.w", "I", "r0"),
      line("mov.w", "r0", "@-sp"), line("mov.w", "#2", "r0"), line("mov.w", "r0", "@-sp"),
      line("bsr", "\\delete")}},
    {"Close",
     "CLOSE(F);",
     {line("mov.l", "#F", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\close")}},
    {"Exit", "EXIT;", {line("bra", "$00")}},
    // ASSIGN tells the runtime whether the file is TEXT.
    {"AssignText",
     "ASSIGN(F, S);",
     {line("mov.l", "#F", "r0"), line("mov.l", "r0", "@-sp"), line("mov.l", "#S", "r0"),
      line("mov.l", "r0", "@-sp"), line("bsr", "\\lods"), line("mov.w", "#1", "r0"),
      line("mov.w", "r0", "@-sp"), line("bsr", "\\assign")}},
    {"AssignTyped",
     "ASSIGN(G, S);",
     {line("bsr", "\\lods"), line("xor.w", "r0", "r0"), line("mov.w", "r0", "@-sp"),
      line("bsr", "\\assign")}},
    // NEW and DISPOSE pass the size of the base type (the record R: 4 bytes).
    {"New",
     "NEW(P);",
     {line("mov.w", "#4", "r0"), line("mov.w", "r0", "@-sp"), line("bsr", "\\new"),
      line("mov.l", "r0", "P")}},
    {"Dispose",
     "DISPOSE(P);",
     {line("mov.l", "P", "r0"), line("mov.l", "r0", "@-sp"), line("mov.w", "#4", "r0"),
      line("mov.w", "r0", "@-sp"), line("bsr", "\\dispose")}},
    // STR: the number as a long, "\str", then stored with the target's size.
    {"StrInteger",
     "STR(I, S);",
     {line("mov.w", "I", "r0"), line("exts.l", "r0"), line("mov.l", "r0", "@-sp"),
      line("bsr", "\\str"), line("mov.w", "#256", "r0"), line("mov.w", "r0", "@-sp"),
      line("mov.l", "#S", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\saves")}},
    {"StrWidthShortString",
     "STR(L:7, T);",
     {line("mov.l", "L", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\str"),
      line("mov.w", "#7", "r0"), line("mov.w", "r0", "@-sp"), line("bsr", "\\adjlng"),
      line("mov.w", "#10", "r0"), line("mov.w", "r0", "@-sp"), line("mov.l", "#T", "r0"),
      line("mov.l", "r0", "@-sp"), line("bsr", "\\saves")}},
    // VAL: only the string is pushed; r0 and r1 carry number and error position.
    {"ValInteger",
     "VAL(S, L, E);",
     {line("mov.l", "#S", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\lods"),
      line("bsr", "\\val"), line("mov.l", "r0", "L"), line("mov.w", "r1", "E")}},
    {"ValByte",
     "VAL(S, B, E);",
     {line("bsr", "\\val"), line("mov.b", "r0", "B"), line("mov.w", "r1", "E")}},
    // (After a call, so that the reservation stays a line of its own.)
    {"ValReal",
     "NONE; VAL(S, Z, E);",
     {line("bsr", "NONE.7"), line("sub.l", "#6", "sp"), line("mov.l", "#S", "r0"),
      line("mov.l", "r0", "@-sp"), line("bsr", "\\lods"), line("bsr", "\\asc2r"),
      line("mov.l", "#Z", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\storer"),
      line("mov.w", "r1", "E")}},
};

INSTANTIATE_TEST_SUITE_P(Calls, CallCodeTest, ::testing::ValuesIn(kCalls),
                         [](const auto& info) { return std::string(info.param.name); });

const CodeCase kWrites[] = {
    {"WritelnAlone", "WRITELN;", join({consolePush(), {line("bsr", "\\crlf")}})},
    {"WritelnTextFile",
     "WRITELN(F);",
     {line("mov.l", "#F", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\crlf")}},
    {"Character", "WRITE(C);",
     join({{line("mov.b", "C", "r0"), line("extu.w", "r0"), line("mov.w", "r0", "@-sp")},
           consolePush(),
           {line("bsr", "\\tch")}})},
    // The last item of WRITELN ends the line itself.
    {"LastCharacter", "WRITELN(C, C);",
     join({{line("bsr", "\\tch"), line("mov.b", "C", "r0"), line("extu.w", "r0"),
            line("mov.w", "r0", "@-sp")},
           consolePush(),
           {line("bsr", "\\wrtlnc")}})},
    // A constant character in a width: the one-character string is the immediate itself.
    {"ConstantCharacterInWidth", "NONE; WRITE('A':5);",
     join({{line("bsr", "NONE.7"), line("sub.l", "#256", "sp"), line("mov.w", "#65+256", "r0"),
            line("mov.w", "r0", "@sp"), line("mov.w", "#5", "r0"), line("mov.w", "r0", "@-sp"),
            line("bsr", "\\adjlng")},
           consolePush(),
           {line("bsr", "\\writes")}})},
    {"CharacterInWidth", "WRITELN(C:I);",
     join({{line("mov.b", "C", "r0"), line("extu.w", "r0"), line("sub.l", "#256", "sp"),
            line("or.w", "#256", "r0"), line("mov.w", "r0", "@sp"), line("mov.w", "I", "r0"),
            line("mov.w", "r0", "@-sp"), line("bsr", "\\adjlng")},
           consolePush(),
           {line("bsr", "\\wrtlns")}})},
    // Integers become text through a long; a width pads it.
    {"IntegerInWidth", "WRITE(I:4);",
     join({{line("mov.w", "I", "r0"), line("exts.l", "r0"), line("mov.l", "r0", "@-sp"),
            line("bsr", "\\str"), line("mov.w", "#4", "r0"), line("mov.w", "r0", "@-sp"),
            line("bsr", "\\adjlng")},
           consolePush(),
           {line("bsr", "\\writes")}})},
    {"WordOnDevice",
     "WRITELN(D, W);",
     {line("mov.w", "W", "r0"), line("extu.l", "r0"), line("mov.l", "r0", "@-sp"),
      line("bsr", "\\str"), line("mov.l", "#D", "r0"), line("mov.l", "r0", "@-sp"),
      line("bsr", "\\wrtlns")}},
    // A shorter string type still goes to the runtime as a whole STRING.
    {"ShortString", "WRITE(T);",
     join({{line("mov.l", "#T", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\lods")},
           consolePush(),
           {line("bsr", "\\writes")}})},
    // Integers to a typed file: the element's bytes, most significant first, with the value
    // kept on the stack across the calls.
    {"IntegerToByteFile",
     "WRITE(K, I);",
     {line("mov.w", "I", "r0"), line("mov.w", "r0", "@-sp"), line("mov.l", "#K", "r1"),
      line("mov.l", "r1", "@-sp"), line("bsr", "\\tch")}},
    {"IntegerToIntegerFile",
     "WRITE(G, I);",
     {line("mov.w", "I", "r0"), line("mov.w", "r0", "@-sp"), line("mov.b", "@sp", "r0"),
      line("mov.w", "r0", "@-sp"), line("mov.l", "#G", "r1"), line("mov.l", "r1", "@-sp"),
      line("bsr", "\\tch"), line("mov.w", "@sp+", "r0"), line("mov.w", "r0", "@-sp"),
      line("mov.l", "#G", "r1"), line("mov.l", "r1", "@-sp"), line("bsr", "\\tch")}},
    // A LONGINT element takes the whole long: four bytes from a long on the stack.
    {"LongToLongFile",
     "WRITE(H, L);",
     {line("mov.l", "L", "r0"),    line("mov.l", "r0", "@-sp"), line("mov.b", "@sp", "r0"),
      line("mov.w", "r0", "@-sp"), line("mov.l", "#H", "r1"),   line("mov.l", "r1", "@-sp"),
      line("bsr", "\\tch"),        line("mov.w", "@sp+", "r0"), line("mov.w", "r0", "@-sp"),
      line("mov.l", "#H", "r1"),   line("mov.l", "r1", "@-sp"), line("bsr", "\\tch"),
      line("mov.b", "@sp", "r0"),  line("mov.w", "r0", "@-sp"), line("mov.l", "#H", "r1"),
      line("mov.l", "r1", "@-sp"), line("bsr", "\\tch"),        line("mov.w", "@sp+", "r0"),
      line("mov.w", "r0", "@-sp"), line("mov.l", "#H", "r1"),   line("mov.l", "r1", "@-sp"),
      line("bsr", "\\tch")}},
    // A record is written byte by byte; address and count wait on the stack.
    {"Record",
     "WRITE(X);",
     {line("mov.l", "#X", "r0"), line("mov.w", "#4", "r1"), "$2:\tmov.w\tr1,@-sp",
      line("mov.b", "@r0+", "r2"), line("mov.l", "r0", "@-sp"), line("mov.w", "r2", "@-sp"),
      line("mov.l", "#\\con", "r3"), line("mov.l", "r3", "@-sp"), line("bsr", "\\tch"),
      line("mov.l", "@sp+", "r0"), line("mov.w", "@sp+", "r1"), line("dec.w", "#1", "r1"),
      line("bne", "$2")}},
};

INSTANTIATE_TEST_SUITE_P(Write, CallCodeTest, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return std::string(info.param.name); });

const CodeCase kReads[] = {
    {"Character", "READ(C);",
     join({consolePush(), {line("bsr", "\\ich"), line("mov.b", "r0", "C")}})},
    {"Integer",
     "READ(F, I);",
     {line("mov.l", "#F", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\ich"),
      line("extu.w", "r0"), line("mov.w", "r0", "I")}},
    {"Long",
     "READ(L);",
     {line("bsr", "\\ich"), line("and.l", "#h'000000ff", "r0"), line("mov.l", "r0", "L")}},
    // The record's address and count must not live in r0, where the characters arrive.
    {"Record", "READ(X);",
     join({{line("mov.l", "#X", "r1"), line("mov.w", "#4", "r2"), "$2:\tmov.l\tr1,@-sp",
            line("mov.w", "r2", "@-sp")},
           consolePush(),
           {line("bsr", "\\ich"), line("mov.w", "@sp+", "r2"), line("mov.l", "@sp+", "r1"),
            line("mov.b", "r0", "@r1"), line("inc.l", "#1", "r1"), line("dec.w", "#1", "r2"),
            line("bne", "$2")}})},
    // One line per variable; the console has its own line routine.
    {"LineTwoNumbers", "READLN(I, B);",
     join({consolePush(),
           {line("bsr", "\\readln"), line("bsr", "\\val"), line("mov.w", "r0", "I")},
           consolePush(),
           {line("bsr", "\\readln"), line("bsr", "\\val"), line("mov.b", "r0", "B")}})},
    {"LineFromFile",
     "READLN(F, S);",
     {line("mov.l", "#F", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\rlnlst"),
      line("mov.w", "#256", "r0"), line("mov.w", "r0", "@-sp"), line("mov.l", "#S", "r0"),
      line("mov.l", "r0", "@-sp"), line("bsr", "\\saves")}},
    // Only the predefined console devices read through the console's routine; a device
    // variable or a file reads through the general one whatever its name.
    {"LineFromConsoleDevice",
     "READLN(CON0, S);",
     {line("mov.l", "#\\con0", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\readln")}},
    {"LineFromDeviceVariable",
     "READLN(CONDEV, S);",
     {line("mov.l", "r0", "@-sp"), line("bsr", "\\rlnlst"), line("mov.w", "#256", "r0")}},
    {"LineFromFileNamedLikeConsole",
     "READLN(CONFILE, S);",
     {line("mov.l", "#CONFILE", "r0"), line("mov.l", "r0", "@-sp"), line("bsr", "\\rlnlst")}},
    {"LineCharacter",
     "READLN(C);",
     {line("bsr", "\\readln"), line("mov.b", "@(1,sp)", "r0"), line("add.l", "#256", "sp"),
      line("mov.b", "r0", "C")}},
    {"LineReal", "NONE; READLN(Z);",
     join({{line("bsr", "NONE.7"), line("sub.l", "#6", "sp")},
           consolePush(),
           {line("bsr", "\\readln"), line("bsr", "\\asc2r"), line("mov.l", "#Z", "r0"),
            line("mov.l", "r0", "@-sp"), line("bsr", "\\storer")}})},
    // A REAL cannot come from one character: READ reads it from a line as READLN does.
    {"CharacterReal", "NONE; READ(Z);",
     join({{line("bsr", "NONE.7"), line("sub.l", "#6", "sp")},
           consolePush(),
           {line("bsr", "\\readln"), line("bsr", "\\asc2r"), line("mov.l", "#Z", "r0"),
            line("mov.l", "r0", "@-sp"), line("bsr", "\\storer")}})},
};

INSTANTIATE_TEST_SUITE_P(Read, CallCodeTest, ::testing::ValuesIn(kReads),
                         [](const auto& info) { return std::string(info.param.name); });

// The index of a READ target that calls a function is computed before the character is
// read, and its address waits on the stack: the call cannot destroy r0.
TEST(CallCode, TargetWithCallIsAddressedFirst) {
  const std::vector<std::string> lines =
      assignLines({kNamed, "VAR A: ARRAY[0..3] OF CHAR; FUNCTION N: INTEGER; BEGIN N := 1 END;",
                   "READ(A[N]);"});
  const int call = findSequence(lines, {line("bsr", "N.3")});
  const int read = findSequence(lines, {line("bsr", "\\ich")});
  ASSERT_GE(call, 0);
  ASSERT_GT(read, call);
  EXPECT_TRUE(hasSequence(
      lines, {line("bsr", "\\ich"), line("mov.l", "@sp+", "r1"), line("mov.b", "r0", "@r1")}));
}

// EXIT branches to the routine's exit, which then defines "$00" before its exit code.
TEST(CallCode, ExitLabelIsDefined) {
  const std::vector<std::string> lines =
      assignLines({kNamed, "PROCEDURE P; BEGIN EXIT END;", "P;"});
  EXPECT_TRUE(hasSequence(lines, {line("bra", "$00"), "$00:\tmov.l\tfp,sp"}));
}

// The I/O check follows the runtime call of an I/O routine only while {$I+} is on, and
// never follows routines that do no input or output.
struct IoCheckCase {
  const char* header;
  const char* body;
  const char* routine;
  bool checked;
};

void PrintTo(const IoCheckCase& c, std::ostream* os) { *os << c.header << c.body; }

class IoCheckTest : public ::testing::TestWithParam<IoCheckCase> {};

TEST_P(IoCheckTest, TrapFollowsOnlyCheckedCalls) {
  const IoCheckCase& c = GetParam();
  const std::vector<std::string> lines =
      assignLines({std::string(kNamed) + c.header, kDeclarations, c.body});
  const int call = findSequence(lines, {line("bsr", c.routine)});
  ASSERT_GE(call, 0);
  const bool trapped = call + 1 < static_cast<int>(lines.size()) &&
                       lines[static_cast<std::size_t>(call) + 1] == line("trapa", "#0");
  EXPECT_EQ(trapped, c.checked);
  if (!c.checked) {
    EXPECT_TRUE(lacksMnemonic(lines, "trapa"));
  }
}

INSTANTIATE_TEST_SUITE_P(Check, IoCheckTest,
                         ::testing::Values(IoCheckCase{"{$I+}", "CLOSE(F);", "\\close", true},
                                           IoCheckCase{"", "CLOSE(F);", "\\close", false},
                                           IoCheckCase{"{$I+}", "ASSIGN(F, S);", "\\assign", false},
                                           IoCheckCase{"{$I+}", "RENAME(F, S);", "\\rename", false},
                                           IoCheckCase{"{$I+}", "MKDIR(S);", "\\mkdir", true},
                                           IoCheckCase{"{$I+}", "WRITELN;", "\\crlf", true},
                                           IoCheckCase{"{$I+}", "WRITE(I);", "\\writes", true},
                                           IoCheckCase{"{$I+}", "READ(C);", "\\ich", true},
                                           IoCheckCase{"{$I+}", "READLN(I);", "\\readln", true},
                                           IoCheckCase{"{$I+}", "STR(I, S);", "\\str", false},
                                           IoCheckCase{"{$I+}", "NEW(P);", "\\new", false}));

// Inside WRITE only the writing routines are checked, not the conversions before them.
TEST(CallCode, ConversionsInsideWriteAreNotChecked) {
  const std::vector<std::string> lines =
      assignLines({std::string(kNamed) + "{$I+}", kDeclarations, "WRITE(I:3);"});
  EXPECT_TRUE(hasSequence(lines, {line("bsr", "\\str"), line("mov.w", "#3", "r0")}));
  EXPECT_TRUE(hasSequence(lines, {line("bsr", "\\adjlng"), line("mov.l", "#\\con", "r0")}));
  EXPECT_TRUE(hasSequence(lines, {line("bsr", "\\writes"), line("trapa", "#0")}));
}

}  // namespace
}  // namespace vorax::testing
