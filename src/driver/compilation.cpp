#include "driver/compilation.h"

namespace vorax {

Compilation::Compilation(CompileHost& host, CompileOptions options)
    : host(host),
      options(options),
      diagnostics(*this),
      directives(*this),
      symbols(*this),
      reader(*this),
      scanner(*this),
      registers(*this),
      optimizer(*this),
      emitter(*this) {}

}  // namespace vorax
