// Date and time texts of the signature and the completion message.
#pragma once

#include <cstdint>
#include <string>

#include "driver/compile_host.h"

namespace vorax {

// yyyy/mm/dd
[[nodiscard]] std::string shortDateText(const LocalDateTime& time);
// h:mm:ss, no leading zero on the hour
[[nodiscard]] std::string longTimeText(const LocalDateTime& time);
// A duration in the long time format (0:00:02 for two seconds).
[[nodiscard]] std::string elapsedTimeText(std::int64_t milliseconds);

}  // namespace vorax
