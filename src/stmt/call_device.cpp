#include "stmt/call_device.h"

#include <utility>

#include "codegen/codegen.h"
#include "driver/compilation.h"
#include "stmt/call_support.h"
#include "symbols/type_descriptor.h"

namespace vorax {

bool isDeviceOrFile(const Compilation& c, const ExprNode& argument) {
  if (!argument.isLeaf) {
    return false;
  }
  if (argument.location == LocationKind::Device ||
      argument.location == LocationKind::DeviceFrameVariable) {
    return true;
  }
  const TypeDescriptor* type = argument.type;
  return type != nullptr && (type == c.symbols.types().chdevpType || type->kind == TypeKind::Text ||
                             type->kind == TypeKind::TypedFile);
}

Device Device::console(Compilation& c) {
  ExprPtr leaf = newExprNode();
  leaf->location = LocationKind::Device;
  leaf->text = "con";
  leaf->type = c.symbols.types().chdevpType;
  return Device(std::move(leaf));
}

Device::Device(ExprPtr argument) : tree_(std::move(argument)) {}

void Device::push(Compilation& c) const {
  ExprPtr copy = cloneTree(*tree_);
  pushAddress(c, copy);
}

bool Device::isText(const Compilation& c) const {
  const TypeDescriptor* type = tree_->type;
  if (tree_->location == LocationKind::Device || type == c.symbols.types().chdevpType) {
    return true;
  }
  return type != nullptr && type->base != nullptr && type->base->kind == TypeKind::Char;
}

bool Device::isTypedFile(const Compilation& c) const {
  return !isText(c) && tree_->type != nullptr && tree_->type->kind == TypeKind::TypedFile;
}

bool Device::isConsole() const {
  return tree_->location == LocationKind::Device && tree_->text.starts_with("con");
}

std::int32_t Device::elementSize() const {
  const TypeDescriptor* type = tree_->type;
  return type != nullptr && type->base != nullptr ? type->base->size : 0;
}

}  // namespace vorax
