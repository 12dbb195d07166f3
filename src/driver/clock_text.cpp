#include "driver/clock_text.h"

#include <cstdio>

namespace vorax {

std::string shortDateText(const LocalDateTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", time.year, time.month, time.day);
  return text;
}

std::string longTimeText(const LocalDateTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", time.hour, time.minute, time.second);
  return text;
}

std::string elapsedTimeText(std::int64_t milliseconds) {
  constexpr std::int64_t kDay = 24LL * 60 * 60 * 1000;
  // A compilation that runs past midnight still has a positive duration.
  if (milliseconds < 0) {
    milliseconds += kDay;
  }
  std::int64_t seconds = milliseconds / 1000;
  LocalDateTime duration;
  duration.hour = static_cast<int>(seconds / 3600);
  duration.minute = static_cast<int>(seconds / 60 % 60);
  duration.second = static_cast<int>(seconds % 60);
  return longTimeText(duration);
}

}  // namespace vorax
