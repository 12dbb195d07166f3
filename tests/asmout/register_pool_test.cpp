#include "asmout/register_pool.h"

#include <gtest/gtest.h>

#include "diag/diagnostics.h"
#include "support/emit_fixture.h"

namespace vorax {
namespace {

// A designator that stands for a variable by name.
class NamedDesignator : public RememberedDesignator {
 public:
  explicit NamedDesignator(std::string name) : name_(std::move(name)) {}
  [[nodiscard]] bool sameDesignator(const RememberedDesignator& other) const override {
    const auto* named = dynamic_cast<const NamedDesignator*>(&other);
    return named != nullptr && named->name_ == name_;
  }

 private:
  std::string name_;
};

std::unique_ptr<RememberedDesignator> designator(const std::string& name) {
  return std::make_unique<NamedDesignator>(name);
}

class RegisterPoolTest : public ::testing::Test {
 protected:
  testing::EmitFixture fixture;
  RegisterPool& pool = fixture.compilation().registers;
};

TEST_F(RegisterPoolTest, AllocationSkipsLockedAndWithRegisters) {
  pool.lockRegister("r0");
  pool.pushWithRegister("r1", -8);
  EXPECT_EQ(pool.allocateRegister(), "r2");
  EXPECT_EQ(pool.allocateRegister(), "r3");
  EXPECT_EQ(pool.allocateRegister(), "r4");
  EXPECT_EQ(pool.allocateRegister(), "r5");
  pool.releaseRegister("r4");
  EXPECT_EQ(pool.allocateRegister(), "r4");
}

// Every register holding a value still to be used: a numbered internal error, never a
// register name that no assembler takes.
TEST_F(RegisterPoolTest, NoRegisterLeftIsAnInternalErrorNotAName) {
  pool.lockRegister("r0");
  pool.pushWithRegister("r1", -8);
  for (int i = 2; i < kWorkRegisterCount; ++i) {
    pool.rememberContents(designator("v" + std::to_string(i)), pool.allocateRegister());
  }
  EXPECT_EQ(pool.availableRegisterCount(), 0);
  EXPECT_THROW((void)pool.allocateRegister(), tokeninvalid);
  ASSERT_EQ(fixture.host().errors.size(), 1u);
  EXPECT_EQ(fixture.host().errors[0].number, kNoWorkRegisterLeft);
}

TEST_F(RegisterPoolTest, ReleaseFindsTheRegisterInsideAnOperand) {
  for (int i = 0; i < kWorkRegisterCount; ++i) {
    (void)pool.allocateRegister();
  }
  pool.releaseRegister("#5");
  pool.releaseRegister("@(6,fp)");
  pool.releaseRegister("counter");
  pool.releaseRegister("rx");
  for (const char* name : {"r0", "r1", "r2", "r3", "r4", "r5"}) {
    EXPECT_TRUE(pool.isRegisterInUse(name)) << name;
  }
  pool.releaseRegister("@(4,r3)");
  pool.releaseRegister("@r1+");
  pool.releaseRegister("@r5");
  EXPECT_FALSE(pool.isRegisterInUse("r3"));
  EXPECT_FALSE(pool.isRegisterInUse("r1"));
  EXPECT_FALSE(pool.isRegisterInUse("r5"));
  EXPECT_EQ(pool.allocateRegister(), "r1");
}

TEST_F(RegisterPoolTest, ReleaseClearsTheLockToo) {
  const std::string r = pool.allocateRegister();
  pool.lockRegister(r);
  pool.releaseRegister(r);
  EXPECT_FALSE(pool.isRegisterLocked(r));
  EXPECT_FALSE(pool.isRegisterInUse(r));
}

TEST_F(RegisterPoolTest, ReleaseUnlockedKeepsLockedRegisters) {
  const std::string a = pool.allocateRegister();
  const std::string b = pool.allocateRegister();
  pool.lockRegister(b);
  pool.releaseUnlockedRegisters();
  EXPECT_FALSE(pool.isRegisterInUse(a));
  EXPECT_TRUE(pool.isRegisterInUse(b));
  pool.unlockRegister(b);
  pool.releaseUnlockedRegisters();
  EXPECT_FALSE(pool.isRegisterInUse(b));
}

TEST_F(RegisterPoolTest, ResetClearsEveryFlag) {
  pool.lockRegister("r2");
  pool.markRegisterInUse("r4");
  pool.resetRegisterPool();
  EXPECT_FALSE(pool.isRegisterLocked("r2"));
  EXPECT_FALSE(pool.isRegisterInUse("r4"));
}

// A register the record names is in use for code that picks registers itself, and is
// not handed out while another is free; it is not held, so it counts as available.
TEST_F(RegisterPoolTest, RememberedRegisterIsInUseButNotHeld) {
  const std::string r = pool.allocateRegister();
  pool.rememberContents(designator("x"), "@" + r);
  EXPECT_TRUE(pool.isRegisterHeld(r));
  pool.releaseRegister(r);
  EXPECT_TRUE(pool.isRegisterInUse(r));
  EXPECT_FALSE(pool.isRegisterHeld(r));
  EXPECT_EQ(pool.availableRegisterCount(), kWorkRegisterCount);
  ASSERT_TRUE(pool.findContents(NamedDesignator("x")).has_value());
  EXPECT_FALSE(pool.findContents(NamedDesignator("y")).has_value());
  EXPECT_NE(pool.allocateRegister(), r);

  pool.forgetRegisterContents();
  EXPECT_FALSE(pool.findContents(NamedDesignator("x")).has_value());
  EXPECT_FALSE(pool.isRegisterInUse(r));
}

// A generator that took a remembered register keeps it when the record forgets it.
TEST_F(RegisterPoolTest, ForgettingKeepsARegisterAGeneratorHolds) {
  const std::string held = pool.allocateRegister();
  const std::string remembered = pool.allocateRegister();
  pool.rememberContents(designator("a"), held);
  pool.rememberContents(designator("b"), "@" + remembered);
  pool.releaseRegister(remembered);
  pool.forgetRegisterContents();
  EXPECT_TRUE(pool.isRegisterHeld(held));
  EXPECT_FALSE(pool.isRegisterInUse(remembered));
  EXPECT_EQ(pool.allocateRegister(), remembered);
}

TEST_F(RegisterPoolTest, ARegisterNamedByTheRecordIsNotHandedOut) {
  pool.rememberContents(designator("x"), "r0");
  EXPECT_EQ(pool.allocateRegister(), "r1");
}

TEST_F(RegisterPoolTest, SeventhContentPushesOutTheOldest) {
  for (int i = 0; i < kRegisterContentsSize; ++i) {
    pool.rememberContents(designator("v" + std::to_string(i)), "@(" + std::to_string(i) + ",fp)");
  }
  pool.rememberContents(designator("v6"), "@(6,fp)");
  EXPECT_FALSE(pool.findContents(NamedDesignator("v0")).has_value());
  EXPECT_EQ(pool.findContents(NamedDesignator("v1")), 0);
  EXPECT_EQ(pool.findContents(NamedDesignator("v6")), kRegisterContentsSize - 1);
  EXPECT_EQ(pool.contentsEntry(kRegisterContentsSize - 1).text, "@(6,fp)");
}

TEST_F(RegisterPoolTest, ForgetEntryMovesLaterEntriesForward) {
  pool.rememberContents(designator("a"), "r0");
  pool.rememberContents(designator("b"), "@r1");
  pool.rememberContents(designator("c"), "@(2,r2)");
  pool.forgetContentsOfRegister(1);
  EXPECT_EQ(pool.contentsEntry(0).text, "r0");
  EXPECT_EQ(pool.contentsEntry(1).text, "@(2,r2)");
  EXPECT_TRUE(pool.contentsEntry(2).isFree());
  pool.forgetContentsOfRegister(4);  // nobody holds r4: nothing changes
  EXPECT_FALSE(pool.contentsEntry(1).isFree());
}

// Six variables remembered in six registers that nobody holds any more (six VAR
// parameters read in a row): the registers are free, oldest remembered first, and the
// entries on them are forgotten.
TEST_F(RegisterPoolTest, RememberedRegistersAreHandedOutOldestFirst) {
  for (int i = 0; i < kWorkRegisterCount; ++i) {
    const std::string r = pool.allocateRegister();
    pool.rememberContents(designator("v" + std::to_string(i)), "@" + r);
    pool.releaseRegister(r);
  }
  EXPECT_EQ(pool.allocateRegister(), "r0");
  EXPECT_FALSE(pool.findContents(NamedDesignator("v0")).has_value());
  EXPECT_EQ(pool.findContents(NamedDesignator("v1")), 0);
  EXPECT_EQ(pool.allocateRegister(), "r1");
  EXPECT_EQ(pool.findContents(NamedDesignator("v2")), 0);
}

// Entries on held registers are skipped: the oldest entry whose register is free goes.
TEST_F(RegisterPoolTest, EntriesOnHeldRegistersStay) {
  for (int i = 0; i < kWorkRegisterCount; ++i) {
    pool.rememberContents(designator("v" + std::to_string(i)), pool.allocateRegister());
  }
  pool.releaseRegister("r3");
  pool.lockRegister("r4");
  pool.releaseRegister("r4");  // remembered and locked: stays out of reach
  EXPECT_EQ(pool.allocateRegister(), "r3");
  EXPECT_FALSE(pool.findContents(NamedDesignator("v3")).has_value());
  EXPECT_EQ(pool.findContents(NamedDesignator("v0")), 0);
  EXPECT_TRUE(pool.findContents(NamedDesignator("v4")).has_value());
}

TEST_F(RegisterPoolTest, WithRegistersHoldTwoEntries) {
  pool.pushWithRegister("r3", -28);
  pool.pushWithRegister("r4", -32);
  EXPECT_TRUE(pool.withRegistersFull());
  EXPECT_EQ(pool.withRegister(1).registerText, "r4");
  EXPECT_EQ(pool.withRegister(1).slotOffset, -32);
  EXPECT_THROW(pool.pushWithRegister("r5", -36), tokeninvalid);
  ASSERT_EQ(fixture.host().errors.size(), 1u);
  EXPECT_EQ(fixture.host().errors[0].number, kWithRegistersOverflow);
}

TEST_F(RegisterPoolTest, PoppedWithRegisterCanBeHandedOutAgain) {
  pool.pushWithRegister("r0", -8);
  EXPECT_EQ(pool.allocateRegister(), "r1");
  const WithRegisterEntry entry = pool.popWithRegister();
  EXPECT_EQ(entry.registerText, "r0");
  EXPECT_EQ(pool.allocateRegister(), "r0");
  EXPECT_THROW((void)pool.popWithRegister(), tokeninvalid);
}

}  // namespace
}  // namespace vorax
