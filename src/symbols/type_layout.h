// Size and offset arithmetic of structured types, kept apart from the parser so that the
// layout rules can be checked on their own.
#pragma once

#include <cstdint>

#include "symbols/type_descriptor.h"

namespace vorax {

class Diagnostics;

// Places the fields of one field list (a record's fixed part or one variant) one after the
// other. Fields of one byte and strings are packed; every other field starts at an even
// offset. Sizes beyond the 32-bit range are error 45.
class RecordLayout {
 public:
  RecordLayout(Diagnostics& diagnostics, std::int32_t start);

  // The offset of the next field, of type `type`.
  std::int32_t placeField(const TypeDescriptor& type);
  // Span of the fields placed so far, rounded up to even; 0 without fields.
  [[nodiscard]] std::int32_t fixedPartSize() const;
  // Where the variants of this field list begin: after its fixed part. For a variant part
  // nested in a variant that is past the fields of the enclosing levels too.
  [[nodiscard]] std::int32_t variantStart() const;
  // Remembers a variant's record size; the largest one counts.
  void addVariant(std::int32_t variantSize);
  // Fixed part plus the largest variant rounded up to even.
  [[nodiscard]] std::int32_t recordSize() const;

 private:
  Diagnostics& diagnostics_;
  std::int32_t start_;
  std::int32_t end_;
  bool hasFields_ = false;
  std::int32_t largestVariant_ = 0;
};

// Size of an array over `index` (an enumeration or subrange) whose elements take
// `elementSize` bytes each; error 45 when it exceeds the 32-bit range.
[[nodiscard]] std::int32_t arraySize(Diagnostics& diagnostics, const TypeDescriptor& index,
                                     std::int32_t elementSize);

}  // namespace vorax
