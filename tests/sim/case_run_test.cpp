// CASE statements compiled by the real compiler and run: every selector value must reach
// its arm, through compare chains and jump tables alike.
#include "loop_run_support.h"

namespace vorax::sim::testing {
namespace {

const char* const kVariables =
    "TYPE COLOUR = (RED, GREEN, BLUE, GREY);\r\n"
    "VAR I, K, N: INTEGER; B: BYTE; W: WORD; L: LONGINT; C: COLOUR; CH: CHAR;";

class CaseRunTest : public ::testing::TestWithParam<std::tuple<CheckedProgram, CpuModel>> {};

TEST_P(CaseRunTest, HaltsWithTheRightResults) {
  const auto& [program, cpu] = GetParam();
  std::string messages;
  EXPECT_EQ(compileAndRun(program, cpu, messages), ExitStatus::kHalted) << messages;
}

// Each program sums a code of the arm taken for a run of selector values; the codes are
// powers of ten so that any value sent to the wrong arm changes the sum.
const CheckedProgram kPrograms[] = {
    {"ChainWithRanges", kVariables,
     "L := 0; FOR I := -2 TO 14 DO\r\n"
     "  CASE I OF 1: L := L + 1; 2, 3: L := L + 10; 5..9: L := L + 100;\r\n"
     "    10..12: L := L + 1000 ELSE L := L + 10000 END;\r\n"
     "IF L <> 63521 THEN REPEAT UNTIL FALSE"},
    {"ChainWithoutElse", kVariables,
     "K := 0; FOR I := -2 TO 14 DO\r\n"
     "  CASE I OF 1: K := K + 1; 2, 3: K := K + 10; 5..9: K := K + 100 END;\r\n"
     "IF K <> 521 THEN REPEAT UNTIL FALSE"},
    {"JumpTable", kVariables,
     "K := 0; FOR I := -1 TO 9 DO\r\n"
     "  CASE I OF 1: K := K + 1; 2: K := K + 2; 3: K := K + 3; 4: K := K + 4;\r\n"
     "    5: K := K + 5; 6: K := K + 6; 7: K := K + 7 ELSE K := K + 100 END;\r\n"
     "IF K <> 428 THEN REPEAT UNTIL FALSE"},
    {"JumpTableWithGap", kVariables,
     "L := 0; K := 0; FOR I := 0 TO 9 DO BEGIN L := I;\r\n"
     "  CASE L OF 1: K := K + 1; 2: K := K + 2; 3: K := K + 3; 5: K := K + 5;\r\n"
     "    6: K := K + 6; 7: K := K + 7 ELSE K := K + 100 END END;\r\n"
     "IF K <> 424 THEN REPEAT UNTIL FALSE"},
    {"ByteRanges", kVariables,
     "K := 0; FOR B := 0 TO 255 DO\r\n"
     "  CASE B OF 0..3: K := K + 1; 4..127: K := K + 2; 128..200: K := K + 3 END;\r\n"
     "IF K <> 471 THEN REPEAT UNTIL FALSE"},
    {"WordAbove32767", kVariables,
     "K := 0; W := 30000;\r\n"
     "CASE W OF 40000..50000: K := 1 ELSE K := 2 END;\r\n"
     "W := 45000; CASE W OF 40000..50000: K := K + 10 ELSE K := K + 20 END;\r\n"
     "W := 60000; CASE W OF 40000..50000: K := K + 100 ELSE K := K + 200 END;\r\n"
     "IF K <> 212 THEN REPEAT UNTIL FALSE"},
    {"Enumeration", kVariables,
     "K := 0; FOR C := RED TO GREY DO\r\n"
     "  CASE C OF RED: K := K + 1; GREEN, BLUE: K := K + 10 ELSE K := K + 100 END;\r\n"
     "IF K <> 121 THEN REPEAT UNTIL FALSE"},
    {"Characters", kVariables,
     "K := 0; CH := 'Q'; CASE CH OF 'A'..'M': K := 1; 'N'..'Z': K := 2 END;\r\n"
     "IF K <> 2 THEN REPEAT UNTIL FALSE"},
    {"NestedCase", kVariables,
     "K := 0; FOR I := 1 TO 3 DO FOR N := 1 TO 2 DO\r\n"
     "  CASE I OF 1: K := K + 1; 2: CASE N OF 1: K := K + 10 ELSE K := K + 100 END\r\n"
     "    ELSE K := K + 1000 END;\r\n"
     "IF K <> 2112 THEN REPEAT UNTIL FALSE"},
    // Computed selectors, a byte table and large LONGINT tags.
    {"ComputedSelectors", kVariables,
     "K := 0; FOR B := 0 TO 9 DO\r\n"
     "  CASE B + 1 OF 1: K := K + 1; 2: K := K + 2; 3: K := K + 3; 4: K := K + 4;\r\n"
     "    5: K := K + 5; 6: K := K + 6; 7: K := K + 7; 8: K := K + 8 END;\r\n"
     "IF K <> 36 THEN REPEAT UNTIL FALSE;\r\n"
     "L := 100000; K := 0;\r\n"
     "CASE L OF -100000: K := 1; 100000: K := 2; 2000000000: K := 3 END;\r\n"
     "L := -L; CASE L OF -100000: K := K + 10; 100000: K := K + 20 END;\r\n"
     "IF K <> 12 THEN REPEAT UNTIL FALSE"},
    // Tags at the ends of what each selector type holds.
    {"TagsAtTheEndsOfTheSelectorTypes", kVariables,
     "K := 0; I := -32768; CASE I OF -32768: K := 1; 32767: K := 2 END;\r\n"
     "I := 32767; CASE I OF -32768: K := K + 10; 32767: K := K + 20 END;\r\n"
     "W := 65535; CASE W OF 0: K := K + 100; 65535: K := K + 200 END;\r\n"
     "B := 255; CASE B OF 0: K := 0; 255: K := K + 1000 END;\r\n"
     "IF K <> 1221 THEN REPEAT UNTIL FALSE"},
    // A jump table inside a loop whose arms hold loops of their own.
    {"TableInLoopWithLoopsInArms", kVariables,
     "K := 0; FOR I := 0 TO 8 DO\r\n"
     "  CASE I OF 1: FOR N := 1 TO 3 DO K := K + N; 2: K := K + 100; 3: K := K + 200;\r\n"
     "    4: FOR N := 4 DOWNTO 1 DO K := K + 1000; 5: K := K + 300; 6: K := K + 400;\r\n"
     "    7: K := K + 500 ELSE K := K + 7 END;\r\n"
     "IF K <> 5520 THEN REPEAT UNTIL FALSE"},
    // Arms that only call: the dispatch calls through a table of the routines.
    {"CallTable",
     "VAR I, K: INTEGER;\r\n"
     "PROCEDURE P1; BEGIN K := K + 1 END; PROCEDURE P2; BEGIN K := K + 10 END;\r\n"
     "PROCEDURE P3; BEGIN K := K + 100 END; PROCEDURE P4; BEGIN K := K + 1000 END;\r\n"
     "PROCEDURE P5; BEGIN K := K + 2 END; PROCEDURE P6; BEGIN K := K + 20 END;\r\n"
     "PROCEDURE P7; BEGIN K := K + 200 END; PROCEDURE PE; BEGIN K := K + 5000 END;",
     "K := 0; FOR I := -1 TO 8 DO\r\n"
     "  CASE I OF 1: P1; 2: P2; 3: P3; 4: P4; 5: P5; 6: P6; 7: P7 END;\r\n"
     "IF K <> 1333 THEN REPEAT UNTIL FALSE;\r\n"
     "K := 0; FOR I := -1 TO 8 DO\r\n"
     "  CASE I OF 1: P1; 2: P2; 3: P3; 4: P4; 5: P5; 6: P6; 7: P7 ELSE PE END;\r\n"
     "IF K <> 16333 THEN REPEAT UNTIL FALSE"},
    // What every arm starts with runs before the dispatch.
    {"CommonArmStart", kVariables,
     "K := 0; N := 0; FOR I := 0 TO 3 DO\r\n"
     "  CASE I OF 1: BEGIN N := N + 1; K := K + 1 END; 2: BEGIN N := N + 1; K := K + 10 END\r\n"
     "    ELSE BEGIN N := N + 1; K := K + 100 END END;\r\n"
     "IF K <> 211 THEN REPEAT UNTIL FALSE;\r\n"
     "IF N <> 4 THEN REPEAT UNTIL FALSE"},
};

INSTANTIATE_TEST_SUITE_P(Programs, CaseRunTest,
                         ::testing::Combine(::testing::ValuesIn(kPrograms),
                                            ::testing::Values(CpuModel::H300H, CpuModel::H2000)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  cpuModelName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace vorax::sim::testing
