#include "sim/cpu_state.h"

namespace vorax::sim {

uint8_t ConditionFlags::toByte() const {
  return static_cast<uint8_t>((i ? 0x80 : 0) | (ui ? 0x40 : 0) | (h ? 0x20 : 0) | (u ? 0x10 : 0) |
                              (n ? 0x08 : 0) | (z ? 0x04 : 0) | (v ? 0x02 : 0) | (c ? 0x01 : 0));
}

void ConditionFlags::fromByte(uint8_t ccr) {
  i = (ccr & 0x80) != 0;
  ui = (ccr & 0x40) != 0;
  h = (ccr & 0x20) != 0;
  u = (ccr & 0x10) != 0;
  n = (ccr & 0x08) != 0;
  z = (ccr & 0x04) != 0;
  v = (ccr & 0x02) != 0;
  c = (ccr & 0x01) != 0;
}

}  // namespace vorax::sim
