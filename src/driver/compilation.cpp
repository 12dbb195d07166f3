#include "driver/compilation.h"

namespace vorax {

Compilation::Compilation(CompileHost& host)
    : host(host),
      diagnostics(*this),
      directives(*this),
      reader(*this),
      scanner(*this),
      registers(*this),
      emitter(*this) {}

}  // namespace vorax
