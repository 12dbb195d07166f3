// Placeholder until the emit pipeline is built.
#include "asmout/emitter.h"

#include <stdexcept>

#include "driver/compilation.h"

namespace vorax {

Emitter::Emitter(Compilation& compilation)
    : compilation_(compilation), window_(compilation.output) {}

void Emitter::emitInstruction(std::string_view, std::string_view, std::string_view) {
  throw std::logic_error("emit pipeline not built yet");
}
void Emitter::defineLabel(bool, std::string_view) {
  throw std::logic_error("emit pipeline not built yet");
}
void Emitter::emitRawLine(std::string_view) {
  throw std::logic_error("emit pipeline not built yet");
}
void Emitter::flushWindow() { window_.writeAll(); }
void Emitter::writeWindowUnchanged() { window_.writeAll(); }

}  // namespace vorax
