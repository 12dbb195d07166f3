// Parameter offsets, parameter area sizes and result slots of routine headings, read from
// the entries the heading parser makes (the code that uses them is not generated yet).
#include "decls/routine_heading.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

struct Layout {
  std::vector<std::int32_t> offsets;  // in declaration order
  std::int32_t areaSize = 0;
  int error = 0;
};

// Parses `heading` (what follows a routine's name) as the heading of a level-2 routine.
Layout layoutOf(const std::string& heading, bool isFunction, const std::string& cpu = "") {
  const SourceTree tree;
  RecordingHost host;
  Compilation c(host, CompileOptions{});
  c.directives.settings().echoSourceSwitch = false;
  tree.write("T.PAS", cpu + "\n" + heading + "\nBEGIN END.\n");
  Layout layout;
  try {
    c.reader.openCompilationFiles((tree.root() / "T.PAS").string());
    c.scanner.buildReservedWordTable();
    c.symbols.enterPredefinedEnvironment();
    c.symbols.openScope();
    c.symbols.openScope();
    c.nextToken();
    SymbolEntry& routine = c.symbols.newEntryAt(1);
    routine.name = "R";
    routine.kind = isFunction ? IdentKind::Function : IdentKind::Procedure;
    routine.level = 2;
    parseRoutineHeading(c, routine, isFunction,
                        [&c]() -> SymbolEntry& { return c.symbols.newEntryAt(1); });
    for (const SymbolEntry* p = routine.parameters; p != nullptr; p = p->next) {
      layout.offsets.push_back(p->offset);
    }
    layout.areaSize = routine.parameterAreaSize;
  } catch (const tokeninvalid&) {
    layout.error = host.errors.back().number;
  }
  return layout;
}

struct LayoutCase {
  const char* heading;
  bool isFunction;
  const char* cpu;
  std::vector<std::int32_t> offsets;
  std::int32_t areaSize;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.heading << " " << c.cpu; }

class HeadingLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(HeadingLayoutTest, OffsetsAndAreaSize) {
  const LayoutCase& expected = GetParam();
  const Layout layout = layoutOf(expected.heading, expected.isFunction, expected.cpu);
  ASSERT_EQ(layout.error, 0);
  EXPECT_EQ(layout.offsets, expected.offsets);
  EXPECT_EQ(layout.areaSize, expected.areaSize);
}

INSTANTIATE_TEST_SUITE_P(
    Headings, HeadingLayoutTest,
    ::testing::Values(
        // The last parameter lies lowest, right above the return address at fp+4; a byte
        // value sits in the low half of its word; a VAR parameter is a 4-byte address.
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE);", false, "", {14, 10, 9}, 8},
        // A result slot of 2 bytes lies between the saved fp and the return address.
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE): INTEGER;", true, "", {16, 12, 11}, 8},
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE): BOOLEAN;", true, "", {16, 12, 11}, 8},
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE): CHAR;", true, "", {16, 12, 11}, 8},
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE): LONGINT;", true, "", {18, 14, 13}, 8},
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE): POINTER;", true, "", {18, 14, 13}, 8},
        // REAL and STRING results do not use the frame.
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE): REAL;", true, "", {14, 10, 9}, 8},
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE): STRING;", true, "", {14, 10, 9}, 8},
        // A 2-byte return address on 300L.
        LayoutCase{"(A: INTEGER; VAR B: BYTE; C: BYTE);", false, "{$CPU 300L}", {12, 8, 7}, 8},
        LayoutCase{
            "(A: INTEGER; VAR B: BYTE; C: BYTE): WORD;", true, "{$CPU 300L}", {14, 10, 9}, 8},
        LayoutCase{"(X, Y: CHAR; VAR S: STRING; R: REAL);", false, "", {21, 19, 14, 8}, 14},
        // A value string takes its whole 256 bytes.
        LayoutCase{"(S: STRING; L: LONGINT);", false, "", {12, 8}, 260},
        LayoutCase{";", false, "", {}, 0}, LayoutCase{": BYTE;", true, "", {}, 0}));

struct HeadingError {
  const char* heading;
  bool isFunction;
  int error;
};

class HeadingErrorTest : public ::testing::TestWithParam<HeadingError> {};

TEST_P(HeadingErrorTest, Stops) {
  EXPECT_EQ(layoutOf(GetParam().heading, GetParam().isFunction).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Headings, HeadingErrorTest,
    ::testing::Values(HeadingError{"(A: INTEGER BEGIN", false, 5},
                      HeadingError{"(A INTEGER);", false, 2}, HeadingError{";", true, 2},
                      HeadingError{"(A: FOO);", false, 41},
                      HeadingError{"(A, 5: BYTE);", false, 41},
                      HeadingError{"(5: BYTE);", false, 58},
                      HeadingError{"(END: BYTE);", false, 53},
                      // Only type names: no type denoters in a heading.
                      HeadingError{"(S: STRING[5]);", false, 5},
                      HeadingError{"(VAR : BYTE);", false, 41}, HeadingError{": TEXT;", true, 917},
                      HeadingError{": REGISTERS;", true, 48}, HeadingError{": FOO;", true, 41}));

}  // namespace
}  // namespace vorax::testing
