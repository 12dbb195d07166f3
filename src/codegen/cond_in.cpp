// Set membership: the set constant is cut into runs of consecutive elements and the
// element is compared with each run in ascending order.
#include <string>
#include <utility>
#include <vector>

#include "codegen/arith_internal.h"
#include "codegen/codegen.h"
#include "codegen/cond_internal.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using namespace arith;

namespace {

struct Run {
  int low = 0;
  int high = 0;
};

std::vector<Run> runsOf(const SetBits& bits) {
  std::vector<Run> runs;
  int element = 0;
  while (element < 256) {
    auto member = [&](int e) {
      return e < 256 && (bits[static_cast<std::size_t>(e / 8)] >> (e % 8) & 1) != 0;
    };
    if (!member(element)) {
      ++element;
      continue;
    }
    Run run{element, element};
    while (member(run.high + 1)) {
      ++run.high;
    }
    runs.push_back(run);
    element = run.high + 1;
  }
  return runs;
}

}  // namespace

ConditionResult generateSetTest(Compilation& c, ExprPtr& node, std::string_view falseLabel,
                                std::string_view trueLabel) {
  std::string_view inSet = trueLabel;
  std::string_view notInSet = falseLabel;
  // NOT (x IN s): the labels change places, and falling through after the last run
  // then means "not in the set".
  const bool fallThroughIsMember = (node->unaryFlags & kComplementFlag) == 0;
  if (!fallThroughIsMember) {
    std::swap(inSet, notInSet);
  }
  TypeDescriptor* elementType = node->left->type;
  const int size = sizeOf(elementType);
  const bool isUnsigned = size == 1;
  const std::vector<Run> runs = runsOf(node->right->value.setBits);
  const std::string reg = generateInRegister(c, node->left, elementType);
  const std::string cmp = sized("cmp", size);
  // A comparison with 0 is dropped by the emitter when loading the element set the flags.
  auto compare = [&](int value) { emit(c, cmp, "#" + std::to_string(value), reg); };

  if (runs.empty() && fallThroughIsMember) {
    emit(c, "bra", notInSet);
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const Run& run = runs[i];
    const bool reverseLast = fallThroughIsMember && i + 1 == runs.size();
    if (run.low == run.high || run.low + 1 == run.high) {
      compare(run.low);
      if (run.low == run.high) {
        emit(c, reverseLast ? "bne" : "beq", reverseLast ? notInSet : inSet);
        continue;
      }
      emit(c, "beq", inSet);
      compare(run.high);
      emit(c, reverseLast ? "bne" : "beq", reverseLast ? notInSet : inSet);
      continue;
    }
    if (!(isUnsigned && run.low == 0)) {
      compare(run.low);
      emit(c, isUnsigned ? "bcs" : "blt", notInSet);
    }
    compare(run.high);
    if (reverseLast) {
      emit(c, isUnsigned ? "bhi" : "bgt", notInSet);
    } else {
      emit(c, isUnsigned ? "bls" : "ble", inSet);
    }
  }
  c.registers.releaseRegister(reg);
  return ConditionResult{};
}

}  // namespace vorax
