#include "source/directives.h"

namespace vorax {

Directives::Directives(Compilation& compilation) : compilation_(compilation) {}

}  // namespace vorax
