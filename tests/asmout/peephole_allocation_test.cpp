// A scan of the local tier that finds nothing to change must not allocate: it runs after
// every emitted instruction over the whole window. Counted with a replacement of the
// global allocation functions in this test program.
#include <cstdlib>
#include <new>

#include "peephole_fixture.h"

// Once GoogleTest's "new TestClass" is inlined next to the replaced delete below, g++ takes
// the pair for a mismatch: it does not see that this program's operator new is malloc.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
// Allocations since the program started; only read as differences around a call.
std::size_t allocationCount = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++allocationCount;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace vorax::testing {
namespace {

class LocalTierAllocation : public ::testing::Test, public PeepholeFixture {};

TEST_F(LocalTierAllocation, ScanAtFixedPointAllocatesNothing) {
  // Code that touches most rules' first tests without letting any of them fire.
  const std::vector<std::string> routine = {"P.4: mov.b #1,r0",
                                            "bsr \\slset",
                                            "mov.w @(-2,fp),r0",
                                            "add.w #3,r0",
                                            "mov.w r0,Y.6",
                                            "cmp.w #10,r0",
                                            "ble $3",
                                            "mov.w #7,r1",
                                            "mov.w r1,Z.9",
                                            "bra $4",
                                            "$3: xor.w r1,r1",
                                            "mov.w r1,Z.9",
                                            "$4: mov.b P5DR,r2",
                                            "btst #2,r2",
                                            "bne $5",
                                            "mov.w r2,W.3",
                                            "$5: extu.w r2",
                                            "and.b #8,r2",
                                            "mov.w r2,@-sp",
                                            "bsr Q.20",
                                            "mov.l fp,sp",
                                            "mov.l @sp+,fp",
                                            "rts"};
  loadWindow(window(), routine);
  optimizer().runLocalTier(window());
  const auto settled = windowLineTexts(window());
  ASSERT_EQ(settled, routine) << "the routine should already be at its fixed point";

  const std::size_t before = allocationCount;
  for (int scan = 0; scan < 10; ++scan) {
    optimizer().runLocalTier(window());
    optimizer().runClearRegisterRule(window());
  }
  EXPECT_EQ(allocationCount - before, 0u);
}

}  // namespace
}  // namespace vorax::testing
