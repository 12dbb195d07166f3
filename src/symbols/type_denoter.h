// The type denoter parser: turns the type written at the current token into a
// descriptor (TYPE, VAR, typed CONST and record field declarations use it).
#pragma once

namespace vorax {

class Compilation;
struct TypeDescriptor;

// Reads a type denoter at the current token and returns its descriptor; the scanner is
// left on the first token after it.
[[nodiscard]] TypeDescriptor* parseTypeDenoter(Compilation& compilation);

}  // namespace vorax
