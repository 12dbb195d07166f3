#include "random/fixed_set.h"

namespace vorax::randprog {

std::set<Feature> fixedSetDisabledFeatures() {
  return {
      // Subranges go wrong in many conversions (internal error 929, values widened with
      // garbage in their upper half) until those are repaired.
      Feature::Subranges,
      // A WITH body in a routine loses its record's address when anything in it calls
      // (a runtime routine included): the routine's reservation forgets the WITH slots.
      Feature::With,
      Feature::NotInValue,
      Feature::ForTypeEdges,
      Feature::WordIntegerCompare,
      Feature::SubrangeToLong,
      Feature::WideModDivisor,
      Feature::LongCase,
      Feature::EnumCast,
      Feature::NegatedBitwise,
      Feature::ByteForBounds,
      Feature::ToSubrange,
      Feature::SubrangeResult,
      Feature::SubrangeByteOperand,
  };
}

}  // namespace vorax::randprog
