// The labels of a routine in every declaration state: the body label must be the one the
// stub jumps to, and every call or address must name a label that exists in that state.
// (Stub and equate lines are checked in whole sources.)
#include "decls/routine_labels.h"

#include <gtest/gtest.h>

#include <string>

#include "symbols/symbol_entry.h"

namespace vorax::testing {
namespace {

struct LabelCase {
  IdentKind kind;
  RoutineState state;
  const char* body;
  const char* call;
  const char* functionCall;
  const char* address;
};

void PrintTo(const LabelCase& c, std::ostream* os) {
  *os << static_cast<int>(c.kind) << "/" << static_cast<int>(c.state);
}

class RoutineLabelsTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(RoutineLabelsTest, EachStateNamesItsLabels) {
  const LabelCase& c = GetParam();
  SymbolEntry routine;
  routine.name = "MOVE";
  routine.declarationLine = 17;
  routine.kind = c.kind;
  routine.routineState = c.state;
  EXPECT_EQ(routineBodyLabel(routine), c.body);
  EXPECT_EQ(routineCallLabel(routine), c.call);
  EXPECT_EQ(functionCallLabel(routine), c.functionCall);
  EXPECT_EQ(routineAddressLabel(routine), c.address);
}

INSTANTIATE_TEST_SUITE_P(
    States, RoutineLabelsTest,
    ::testing::Values(
        LabelCase{IdentKind::Procedure, RoutineState::Ordinary, "MOVE.17", "MOVE.17", "MOVE.17",
                  "MOVE.17"},
        LabelCase{IdentKind::Function, RoutineState::Forward, "MOVE.17", "MOVE.17", "MOVE.17",
                  "MOVE.17"},
        // Declared in a unit's interface: the stub MOVE exists at once, the body later.
        LabelCase{IdentKind::Function, RoutineState::Interface, "MOVE.17", "MOVE.17", "MOVE",
                  "MOVE.17"},
        LabelCase{IdentKind::Procedure, RoutineState::BodyUnderWay, "MOVE.17", "MOVE", "MOVE.17",
                  "MOVE.17"},
        // Only the bare name exists elsewhere.
        LabelCase{IdentKind::Function, RoutineState::External, "MOVE.17", "MOVE", "MOVE", "MOVE"},
        // An interrupt handler's body is its bare name unless a stub took that name.
        LabelCase{IdentKind::InterruptProcedure, RoutineState::Ordinary, "MOVE", "MOVE", "MOVE.17",
                  "MOVE"},
        LabelCase{IdentKind::InterruptProcedure, RoutineState::Forward, "MOVE.17", "MOVE.17",
                  "MOVE.17", "MOVE"}));

}  // namespace
}  // namespace vorax::testing
