// The device or file that READ, READLN, WRITE and WRITELN work on: named by their first
// argument, or the console when that argument is no device.
#pragma once

#include <cstdint>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;

// True when the first argument of a READ or WRITE names where to read or write: a
// device, a variable of the device type CHDEVP, or a file.
[[nodiscard]] bool isDeviceOrFile(const Compilation& c, const ExprNode& argument);

class Device {
 public:
  // The console "con".
  static Device console(Compilation& c);
  // The device or file `argument` names (isDeviceOrFile holds).
  explicit Device(ExprPtr argument);

  // Pushes the device's address as a long: the runtime routine's last argument. Each push
  // generates the address afresh, since every runtime call forgets the registers.
  void push(Compilation& c) const;

  // A device of type CHDEVP, or a file of characters: numbers are written as text.
  [[nodiscard]] bool isText(const Compilation& c) const;
  // A FILE OF something other than CHAR.
  [[nodiscard]] bool isTypedFile(const Compilation& c) const;
  // Bytes of one element of a typed file.
  [[nodiscard]] std::int32_t elementSize() const;
  // One of the predefined console devices ("con", "con0" ...), which read lines through
  // the console's own routine. A CHDEVP variable is never one, whatever its name: it may
  // point at any device.
  [[nodiscard]] bool isConsole() const;

 private:
  ExprPtr tree_;
};

}  // namespace vorax
