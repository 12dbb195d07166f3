// One whole compilation: a source file (with its includes) in, an assembly file out.
#pragma once

#include <string>

#include "driver/compile_host.h"
#include "driver/compile_options.h"

namespace vorax {

// Compiles `fileName` (a path as the user gave it, "\" or "/" separated). A source error
// is written into the assembly file and shown through `host`; it does not escape. Any
// other failure (the output file can't be written, say) passes through as an exception.
void compileFile(const std::string& fileName, CompileHost& host,
                 const CompileOptions& options = {});

}  // namespace vorax
