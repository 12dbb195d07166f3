// Writes a generated program as Pascal source text that both this compiler and Free
// Pascal in Turbo mode accept.
#pragma once

#include <string>

#include "random/program_model.h"

namespace vorax::randprog {

std::string printProgram(const Program& program);

// The Pascal name of a type: the declared name, or the predefined scalar's name.
std::string typeName(const Type& type);

}  // namespace vorax::randprog
