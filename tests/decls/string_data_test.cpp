// String data placed after the instruction that reads it: the length byte, the text and
// the pad blank that keeps the code after it on an even address.
#include <gtest/gtest.h>

#include "decls/typed_constants.h"
#include "support/emit_fixture.h"
#include "symbols/const_value.h"

namespace vorax::testing {
namespace {

ConstValue text(const std::string& value) {
  ConstValue constant;
  constant.kind = ConstKind::String;
  constant.text = value;
  return constant;
}

struct InlineCase {
  ConstValue value;
  std::int32_t maximum;
  StringParity parity;
  const char* data;
};

TEST(StringDataTest, InlineConstantsArePaddedToTheParity) {
  const InlineCase cases[] = {
      {text("AB"), 10, StringParity::Even, "\tdb\t  2,'AB '"},
      {text("ABC"), 10, StringParity::Even, "\tdb\t  3,'ABC'"},
      {text("AB"), 10, StringParity::Odd, "\tdb\t  2,'AB'"},
      {text("ABC"), 10, StringParity::Odd, "\tdb\t  3,'ABC '"},
      {text("ABCDEF"), 4, StringParity::Even, "\tdb\t  4,'ABCD '"},
      {ConstValue::character('X'), 10, StringParity::Even, "\tdb\t  1,'X'"},
      {text(""), 10, StringParity::Even, "\tdb\t  0,' '"},
  };
  for (const InlineCase& c : cases) {
    EmitFixture fixture(pipelineOnly());
    fixture.emit("nop");
    emitInlineStringConstant(fixture.compilation(), c.value, c.maximum, c.parity);
    const std::vector<std::string> lines = fixture.flushAndReadLines();
    ASSERT_EQ(lines.size(), 2U) << c.data;
    EXPECT_EQ(lines[1], c.data);
  }
}

TEST(StringDataTest, ChunksAreQuotedByTheirContents) {
  EmitFixture fixture(pipelineOnly());
  fixture.emit("nop");
  emitStringData(fixture.compilation(), 12, "a'b\"c\x01z\"q'r");
  // Not printable as a whole: one byte per character.
  const std::vector<std::string> lines = fixture.flushAndReadLines();
  ASSERT_GE(lines.size(), 2U);
  EXPECT_EQ(lines[1], "\tdb\t 12, 97, 39, 98, 34, 99,  1,122");

  EmitFixture quoted(pipelineOnly());
  quoted.emit("nop");
  emitStringData(quoted.compilation(), 7, "x\"y'z'w");
  EXPECT_EQ(quoted.flushAndReadLines(),
            (std::vector<std::string>{"\tnop", "\tdb\t  7,'x\"y'", "\tdb\t\"'z'w\""}));
}

}  // namespace
}  // namespace vorax::testing
