#include <gtest/gtest.h>

#include "driver/clock_text.h"

namespace vorax {
namespace {

TEST(ClockText, DateHasLeadingZerosHourHasNone) {
  LocalDateTime time{2026, 3, 7, 9, 5, 3, 0};
  EXPECT_EQ(shortDateText(time), "2026/03/07");
  EXPECT_EQ(longTimeText(time), "9:05:03");
  time.hour = 23;
  EXPECT_EQ(longTimeText(time), "23:05:03");
}

TEST(ClockText, ElapsedTimeInLongTimeFormat) {
  EXPECT_EQ(elapsedTimeText(0), "0:00:00");
  EXPECT_EQ(elapsedTimeText(2'400), "0:00:02");
  EXPECT_EQ(elapsedTimeText(3'723'000), "1:02:03");
  // Started before midnight, ended after it: still the true duration.
  EXPECT_EQ(elapsedTimeText(-1'000), "23:59:59");
}

}  // namespace
}  // namespace vorax
