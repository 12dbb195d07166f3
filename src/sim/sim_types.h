// Basic vocabulary of the simulator: CPU variants, operand sizes, faults and exit statuses.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vorax::sim {

// The three members of the family that the compiler can target.
enum class CpuModel { H300H, H300L, H2000 };

// Parses "300H", "300L" or "2000" (any letter case); returns false for anything else.
bool parseCpuModel(const std::string& text, CpuModel& model);
const char* cpuModelName(CpuModel model);

// 300L runs with 16-bit addresses and 2-byte return addresses; the others with 24-bit
// addresses and 4-byte return addresses.
inline uint32_t addressMask(CpuModel model) {
  return model == CpuModel::H300L ? 0xFFFFu : 0xFFFFFFu;
}
inline int returnAddressSize(CpuModel model) { return model == CpuModel::H300L ? 2 : 4; }

// Exit statuses of vorax-sim, one per way a run can end.
enum class ExitStatus : int {
  kHalted = 0,           // the program reached \halt
  kUsage = 1,            // bad command line
  kAssemblyError = 2,    // the assembly files could not be assembled or linked
  kDivisionByZero = 3,   // \div or \mod with a zero divisor
  kIoError = 4,          // trapa #0 found IORESULT not 0
  kBadMemoryAccess = 5,  // misaligned access, execution outside the code, bad pointer
  kStepLimit = 6,        // --max-steps reached
  kRuntimeError = 7,     // any other runtime error (heap full, REAL overflow, bad trap ...)
};

// A fault raised while the program runs; the simulator turns it into a message and an exit
// status.
class RuntimeFault : public std::runtime_error {
 public:
  RuntimeFault(ExitStatus status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  ExitStatus status() const { return status_; }

 private:
  ExitStatus status_;
};

// Where an assembly line came from, for messages and the trace.
struct SourcePosition {
  std::string file;
  int line = 0;
};

std::string formatPosition(const SourcePosition& position);

// Hexadecimal text with a fixed number of digits, lower case ("h'00ff" style without the h').
std::string hexDigits(uint64_t value, int digits);

}  // namespace vorax::sim
