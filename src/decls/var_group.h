// The variables of one VAR group (names sharing one type), for the allocation steps.
#pragma once

#include <string>
#include <vector>

namespace vorax {

class Compilation;
struct SymbolEntry;
struct TypeDescriptor;

struct VarGroup {
  std::vector<SymbolEntry*> variables;  // in declaration order
  TypeDescriptor* type = nullptr;
  // The equate line written for each variable (empty when none was written).
  std::vector<std::string> equateLines;
};

// name { "," name } ":" type ABSOLUTE [ NEXTOF ] address ";" — every variable of the
// group is placed at the address. The scanner stands on ABSOLUTE and is left after ";".
void placeAbsolute(Compilation& c, VarGroup& group);

}  // namespace vorax
