#include "sim/alu.h"

#include "sim/instruction.h"

namespace vorax::sim::alu {

namespace {

void setNZ(uint32_t value, int size, ConditionFlags& f) {
  f.n = (value & signBit(size)) != 0;
  f.z = (value & sizeMask(size)) == 0;
}

}  // namespace

uint32_t add(uint32_t a, uint32_t b, int size, ConditionFlags& f) {
  uint32_t mask = sizeMask(size);
  a &= mask;
  b &= mask;
  uint64_t wide = uint64_t{a} + b;
  uint32_t r = static_cast<uint32_t>(wide) & mask;
  f.c = (wide >> (size * 8)) != 0;
  f.v = ((a ^ r) & (b ^ r) & signBit(size)) != 0;
  setNZ(r, size, f);
  return r;
}

uint32_t sub(uint32_t a, uint32_t b, int size, ConditionFlags& f) {
  uint32_t mask = sizeMask(size);
  a &= mask;
  b &= mask;
  uint32_t r = (a - b) & mask;
  f.c = a < b;
  f.v = ((a ^ b) & (a ^ r) & signBit(size)) != 0;
  setNZ(r, size, f);
  return r;
}

void logicFlags(uint32_t result, int size, ConditionFlags& f) {
  setNZ(result, size, f);
  f.v = false;
}

uint32_t neg(uint32_t a, int size, ConditionFlags& f) {
  uint32_t mask = sizeMask(size);
  a &= mask;
  uint32_t r = (0u - a) & mask;
  f.v = a == signBit(size);
  f.c = a != 0;
  setNZ(r, size, f);
  return r;
}

uint32_t inc(uint32_t a, uint32_t step, int size, ConditionFlags& f) {
  bool carry = f.c;
  uint32_t r = add(a, step, size, f);
  f.c = carry;
  return r;
}

uint32_t dec(uint32_t a, uint32_t step, int size, ConditionFlags& f) {
  bool carry = f.c;
  uint32_t r = sub(a, step, size, f);
  f.c = carry;
  return r;
}

uint32_t extu(uint32_t a, int size, ConditionFlags& f) {
  uint32_t r = a & sizeMask(size / 2);
  setNZ(r, size, f);
  f.v = false;
  return r;
}

uint32_t exts(uint32_t a, int size, ConditionFlags& f) {
  uint32_t half = sizeMask(size / 2);
  uint32_t r = a & half;
  if ((r & signBit(size / 2)) != 0) r |= sizeMask(size) & ~half;
  setNZ(r, size, f);
  f.v = false;
  return r;
}

uint32_t shal(uint32_t a, int count, int size, ConditionFlags& f) {
  uint32_t mask = sizeMask(size);
  a &= mask;
  int bits = size * 8;
  f.c = ((a >> (bits - count)) & 1) != 0;
  // The sign changes at some step when the top count+1 bits are not all equal.
  uint32_t top = a >> (bits - count - 1);
  uint32_t all = (1u << (count + 1)) - 1;
  f.v = top != 0 && top != all;
  uint32_t r = (a << count) & mask;
  setNZ(r, size, f);
  return r;
}

uint32_t shll(uint32_t a, int count, int size, ConditionFlags& f) {
  uint32_t r = shal(a, count, size, f);
  f.v = false;
  return r;
}

uint32_t shar(uint32_t a, int count, int size, ConditionFlags& f) {
  uint32_t mask = sizeMask(size);
  a &= mask;
  f.c = ((a >> (count - 1)) & 1) != 0;
  uint32_t r = a >> count;
  if ((a & signBit(size)) != 0) r |= mask & ~(mask >> count);
  setNZ(r, size, f);
  f.v = false;
  return r;
}

uint32_t shlr(uint32_t a, int count, int size, ConditionFlags& f) {
  uint32_t mask = sizeMask(size);
  a &= mask;
  f.c = ((a >> (count - 1)) & 1) != 0;
  uint32_t r = a >> count;
  setNZ(r, size, f);
  f.n = false;
  f.v = false;
  return r;
}

bool branchTaken(int cond, const ConditionFlags& f) {
  switch (static_cast<Cond>(cond)) {
    case Cond::Always:
      return true;
    case Cond::Never:
      return false;
    case Cond::Hi:
      return !(f.c || f.z);
    case Cond::Ls:
      return f.c || f.z;
    case Cond::Cc:
      return !f.c;
    case Cond::Cs:
      return f.c;
    case Cond::Ne:
      return !f.z;
    case Cond::Eq:
      return f.z;
    case Cond::Vc:
      return !f.v;
    case Cond::Vs:
      return f.v;
    case Cond::Pl:
      return !f.n;
    case Cond::Mi:
      return f.n;
    case Cond::Ge:
      return f.n == f.v;
    case Cond::Lt:
      return f.n != f.v;
    case Cond::Gt:
      return !(f.z || (f.n != f.v));
    case Cond::Le:
      return f.z || (f.n != f.v);
  }
  return false;
}

}  // namespace vorax::sim::alu
