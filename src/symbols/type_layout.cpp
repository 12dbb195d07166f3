#include "symbols/type_layout.h"

#include <algorithm>
#include <limits>

#include "diag/diagnostics.h"
#include "diag/error_table.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

std::int32_t checkedSize(Diagnostics& diagnostics, std::int64_t size) {
  if (size < 0 || size > std::numeric_limits<std::int32_t>::max()) {
    diagnostics.reportError(err::kConstantOutOfRange);
  }
  return static_cast<std::int32_t>(size);
}

}  // namespace

RecordLayout::RecordLayout(Diagnostics& diagnostics, std::int32_t start)
    : diagnostics_(diagnostics), start_(start), end_(start) {}

std::int32_t RecordLayout::placeField(const TypeDescriptor& type) {
  std::int64_t offset = end_;
  if (type.size != 1 && type.kind != TypeKind::String) {
    offset += offset & 1;
  }
  end_ = checkedSize(diagnostics_, offset + type.size);
  hasFields_ = true;
  return static_cast<std::int32_t>(offset);
}

std::int32_t RecordLayout::fixedPartSize() const {
  if (!hasFields_) {
    return 0;
  }
  return checkedSize(diagnostics_, (std::int64_t{end_} - start_ + 1) & ~std::int64_t{1});
}

std::int32_t RecordLayout::variantStart() const {
  return checkedSize(diagnostics_, std::int64_t{start_} + fixedPartSize());
}

void RecordLayout::addVariant(std::int32_t variantSize) {
  largestVariant_ = std::max(largestVariant_, variantSize);
}

std::int32_t RecordLayout::recordSize() const {
  const std::int64_t variantPart = (std::int64_t{largestVariant_} + 1) & ~std::int64_t{1};
  return checkedSize(diagnostics_, fixedPartSize() + variantPart);
}

std::int32_t arraySize(Diagnostics& diagnostics, const TypeDescriptor& index,
                       std::int32_t elementSize) {
  std::int32_t low = 0;
  std::int32_t high = 0;
  OrdinalBounds(&index, low, high);
  const std::int64_t count = std::int64_t{high} - low + 1;
  return checkedSize(diagnostics, count * elementSize);
}

}  // namespace vorax
