// Placeholder until the reader is built: every entry fails loudly.
#include "source/reader.h"

#include <stdexcept>

namespace vorax {

struct Reader::State {
  std::string empty;
};

Reader::Reader(Compilation& compilation)
    : compilation_(compilation), state_(std::make_unique<State>()) {}
Reader::~Reader() = default;

void Reader::openCompilationFiles(const std::string&) {
  throw std::logic_error("source reader not built yet");
}
void Reader::nextChar() { throw std::logic_error("source reader not built yet"); }
char Reader::currentChar() const { return ' '; }
char Reader::peekChar() const { return '\0'; }
bool Reader::lineExhausted() const { return true; }
void Reader::performPendingInclude() {}
void Reader::setInsideString(bool) {}
int Reader::fileDepth() const { return -1; }
const std::string& Reader::savedLine() const { return state_->empty; }
const std::string& Reader::lineAsWritten() const { return state_->empty; }
int Reader::indentation() const { return 0; }
const std::string& Reader::innermostFileName() const { return state_->empty; }
std::int32_t Reader::innermostLineNumber() const { return 0; }
std::int32_t Reader::sourceLineCount() const { return 0; }
void Reader::closeAllSources() {}

}  // namespace vorax
