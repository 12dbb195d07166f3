// Arithmetic of the CPU with its condition flags, one function per instruction class.
#pragma once

#include <cstdint>

#include "sim/cpu_state.h"

namespace vorax::sim::alu {

// add: N, Z, V (signed overflow), C (carry).
uint32_t add(uint32_t a, uint32_t b, int size, ConditionFlags& f);
// sub and cmp: N, Z, V, C (borrow).
uint32_t sub(uint32_t a, uint32_t b, int size, ConditionFlags& f);
// and, or, xor, not and mov: N, Z, V = 0, C unchanged.
void logicFlags(uint32_t result, int size, ConditionFlags& f);
// neg: N, Z, V (operand was the minimum), C (operand was not 0).
uint32_t neg(uint32_t a, int size, ConditionFlags& f);
// inc and dec: N, Z, V; C unchanged.
uint32_t inc(uint32_t a, uint32_t step, int size, ConditionFlags& f);
uint32_t dec(uint32_t a, uint32_t step, int size, ConditionFlags& f);
// extu (N = 0) and exts: from half the size to `size`; Z, V = 0; C unchanged.
uint32_t extu(uint32_t a, int size, ConditionFlags& f);
uint32_t exts(uint32_t a, int size, ConditionFlags& f);
// Shifts by `count` (1 or 2): C is the last bit shifted out; shal sets V when the sign
// changed, the others clear it; shlr clears N.
uint32_t shal(uint32_t a, int count, int size, ConditionFlags& f);
uint32_t shar(uint32_t a, int count, int size, ConditionFlags& f);
uint32_t shll(uint32_t a, int count, int size, ConditionFlags& f);
uint32_t shlr(uint32_t a, int count, int size, ConditionFlags& f);

bool branchTaken(int cond, const ConditionFlags& f);

}  // namespace vorax::sim::alu
