// REAL routines: conversions, loads and stores, the four operations, comparisons and the
// standard functions. REAL values travel on the stack as 6 bytes.
#include <cmath>

#include "sim/real48.h"
#include "sim/runtime.h"

namespace vorax::sim {

namespace {

// \int2r: long -> REAL on the stack.
void integerToReal(RuntimeCall& call) {
  int32_t value = static_cast<int32_t>(call.popLong());
  call.pushReal(real48::fromInteger(value));
}

// \r2int: REAL -> long in r0, truncated towards zero.
void realToInteger(RuntimeCall& call) {
  call.setR0(static_cast<uint32_t>(real48::truncateToLong(call.popReal())));
}

// \loadr: address -> the REAL stored there, on the stack.
void loadReal(RuntimeCall& call) {
  uint32_t address = call.popLong();
  call.pushReal(call.readReal(address));
}

// \lodri: the 6 bytes after the call -> on the stack.
void loadInlineReal(RuntimeCall& call) { call.pushReal(call.inlineReal()); }

// \storer: REAL, then address -> stored; r1 (the error position of \asc2r) is kept.
void storeReal(RuntimeCall& call) {
  uint32_t address = call.popLong();
  call.writeReal(address, call.popReal());
}

template <real48::Bytes (*Operation)(const real48::Bytes&, const real48::Bytes&)>
void binaryOperation(RuntimeCall& call) {
  real48::Bytes right = call.popReal();
  real48::Bytes left = call.popReal();
  call.pushReal(Operation(left, right));
}

// Comparisons: left pushed first, right on top; Z clear when the relation holds.
template <bool (*Holds)(int)>
void compareReals(RuntimeCall& call) {
  real48::Bytes right = call.popReal();
  real48::Bytes left = call.popReal();
  call.setRelation(Holds(real48::compare(left, right)));
}

bool equal(int order) { return order == 0; }
bool notEqual(int order) { return order != 0; }
bool less(int order) { return order < 0; }
bool lessOrEqual(int order) { return order <= 0; }
bool greater(int order) { return order > 0; }
bool greaterOrEqual(int order) { return order >= 0; }

template <long double (*Function)(long double)>
void realFunction(RuntimeCall& call) {
  long double value = real48::toLongDouble(call.popReal());
  call.pushReal(real48::fromLongDouble(Function(value)));
}

long double sine(long double x) { return std::sin(x); }
long double cosine(long double x) { return std::cos(x); }
long double squareRoot(long double x) {
  if (x < 0) {
    throw RuntimeFault(ExitStatus::kRuntimeError,
                       "runtime error: square root of a negative number");
  }
  return std::sqrt(x);
}

}  // namespace

void addRealRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\int2r", integerToReal});
  table.push_back({"\\r2int", realToInteger});
  table.push_back({"\\loadr", loadReal});
  table.push_back({"\\lodri", loadInlineReal});
  table.push_back({"\\storer", storeReal});
  table.push_back({"\\add40", binaryOperation<real48::add>});
  table.push_back({"\\sub40", binaryOperation<real48::subtract>});
  table.push_back({"\\mul40", binaryOperation<real48::multiply>});
  table.push_back({"\\div40", binaryOperation<real48::divide>});
  table.push_back({"\\xeqy", compareReals<equal>});
  table.push_back({"\\xney", compareReals<notEqual>});
  table.push_back({"\\xlty", compareReals<less>});
  table.push_back({"\\xley", compareReals<lessOrEqual>});
  table.push_back({"\\xgty", compareReals<greater>});
  table.push_back({"\\xgey", compareReals<greaterOrEqual>});
  table.push_back({"\\sin", realFunction<sine>});
  table.push_back({"\\cos", realFunction<cosine>});
  table.push_back({"\\sqrt", realFunction<squareRoot>});
}

}  // namespace vorax::sim
