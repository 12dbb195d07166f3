// Long arithmetic and small integer functions: \mul, \div, \mod, \sqrtl, \upcase.
#include <cstdint>

#include "sim/runtime.h"

namespace vorax::sim {

namespace {

int32_t asSigned(uint32_t value) { return static_cast<int32_t>(value); }

[[noreturn]] void divisionByZero() {
  throw RuntimeFault(ExitStatus::kDivisionByZero, "runtime error: division by zero");
}

// \mul: left long, right long -> low 32 bits of the product in r0.
void multiplyLong(RuntimeCall& call) {
  uint32_t right = call.popLong();
  uint32_t left = call.popLong();
  call.setR0(left * right);
}

// \div: left long, right long -> quotient truncated towards zero in r0.
void divideLong(RuntimeCall& call) {
  int64_t right = asSigned(call.popLong());
  int64_t left = asSigned(call.popLong());
  if (right == 0) divisionByZero();
  call.setR0(static_cast<uint32_t>(left / right));  // 64-bit: -2^31 / -1 does not overflow
}

// \mod: long dividend, then an INTEGER divisor word -> remainder with the dividend's sign.
void moduloLong(RuntimeCall& call) {
  int64_t right = static_cast<int16_t>(call.popWord());
  int64_t left = asSigned(call.popLong());
  if (right == 0) divisionByZero();
  call.setR0(static_cast<uint32_t>(left % right));
}

// \sqrtl: integer square root (rounded down) of a non-negative long.
void squareRootLong(RuntimeCall& call) {
  int64_t value = asSigned(call.popLong());
  if (value < 0) {
    throw RuntimeFault(ExitStatus::kRuntimeError,
                       "runtime error: square root of a negative number");
  }
  uint64_t root = 0;
  uint64_t bit = uint64_t{1} << 30;
  uint64_t rest = static_cast<uint64_t>(value);
  while (bit > rest) bit >>= 2;
  while (bit != 0) {
    if (rest >= root + bit) {
      rest -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
    bit >>= 2;
  }
  call.setR0(static_cast<uint32_t>(root));
}

// \upcase: character word -> the upper-case letter for a..z, anything else unchanged.
void upperCase(RuntimeCall& call) {
  uint16_t character = call.popWord() & 0xFF;
  if (character >= 'a' && character <= 'z') character = static_cast<uint16_t>(character - 32);
  call.setR0(character);
}

}  // namespace

void addIntegerRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\mul", multiplyLong});
  table.push_back({"\\div", divideLong});
  table.push_back({"\\mod", moduloLong});
  table.push_back({"\\sqrtl", squareRootLong});
  table.push_back({"\\upcase", upperCase});
}

}  // namespace vorax::sim
