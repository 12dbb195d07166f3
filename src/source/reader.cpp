#include "source/reader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <optional>

#include "diag/error_table.h"
#include "diag/short_text.h"
#include "driver/compilation.h"
#include "source/file_names.h"

namespace vorax {
namespace {

constexpr std::size_t kLabelTextWidth = 28;

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return std::nullopt;  // a folder or a device is not a source file
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
    return std::nullopt;
  }
  return content;
}

// The name of the source held in memory that `name` refers to: as written, or ignoring
// letter case and the kind of separator.
std::optional<std::string> findInMemory(const InMemoryFiles& memory, const std::string& name) {
  if (memory.sources.contains(name)) {
    return name;
  }
  const auto folded = [](const std::string& text) {
    std::string result = upperCaseName(text);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
  };
  const std::string wanted = folded(name);
  for (const auto& [candidate, text] : memory.sources) {
    if (folded(candidate) == wanted) {
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace

struct Reader::SourceLevel {
  std::string content;  // the whole file; lines are taken from readOffset on
  std::size_t readOffset = 0;
  std::string path;           // the file as opened
  std::string directory;      // folder of the file, ending in a separator ("" for a bare name)
  std::string lineBuffer;     // the current line without indentation, plus a closing blank
  std::size_t delivered = 0;  // characters of lineBuffer already delivered
  // The byte delivered last began a two-byte character: the next one is its second byte.
  bool secondBytePending = false;
  std::string savedLine;
  std::string lineAsWritten;
  int indentation = 0;
  std::int32_t lineNumber = 0;
  // The number of the line savedLine holds. lineNumber is one more once the end of the
  // file has been read, since the end counts as a line.
  std::int32_t savedLineNumber = 0;

  [[nodiscard]] bool exhausted() const { return delivered >= lineBuffer.size(); }
  [[nodiscard]] bool atEnd() const { return readOffset >= content.size(); }

  // The next line of the file without its line end (LF or CR LF).
  std::string readLine() {
    const std::size_t end = content.find('\n', readOffset);
    const std::size_t stop = end == std::string::npos ? content.size() : end;
    std::string line = content.substr(readOffset, stop - readOffset);
    readOffset = end == std::string::npos ? content.size() : end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    return line;
  }

  void close() { *this = SourceLevel(); }
};

struct Reader::State {
  std::array<SourceLevel, kSourceSlots> slots;
  int fileDepth = -1;
  char currentChar = ' ';
  bool currentIsSecondByte = false;
  std::int32_t sourceLineCount = 0;
  bool insideString = false;
  const std::string empty;
};

Reader::Reader(Compilation& compilation)
    : compilation_(compilation), state_(std::make_unique<State>()) {}
Reader::~Reader() = default;

Reader::SourceLevel& Reader::innermost() {
  return state_->slots[static_cast<std::size_t>(state_->fileDepth)];
}
const Reader::SourceLevel& Reader::innermost() const {
  return state_->slots[static_cast<std::size_t>(state_->fileDepth)];
}

void Reader::openCompilationFiles(const std::string& fileName) {
  state_->fileDepth = -1;
  std::string name = fileName;
  if (extensionOf(name).empty()) {
    name += ".pas";
  }
  if (upperCaseName(extensionOf(name)) != ".PAS") {
    compilation_.reportError(err::kInvalidFileName);
  }
  if (!openSlot(0, name)) {
    compilation_.reportError(err::kFileNotFound);
  }
  state_->fileDepth = 0;
  const std::string& requested = compilation_.options.outputPath;
  const std::string output =
      requested.empty() ? withExtension(state_->slots[0].path, ".asm") : requested;
  if (InMemoryFiles* memory = compilation_.options.memoryFiles) {
    compilation_.output.createInMemory(memory->assembly, output);
    return;
  }
  // Creating the output would empty the source before anything of it is compiled.
  std::error_code ignored;
  if (std::filesystem::equivalent(output, state_->slots[0].path, ignored)) {
    state_->fileDepth = -1;
    compilation_.reportError(err::kInvalidFileName);
  }
  compilation_.output.create(output);
  compilation_.host.outputFileCreated(output);
}

bool Reader::openSlot(int depth, const std::string& name) {
  std::optional<std::string> path;
  std::optional<std::string> content;
  if (const InMemoryFiles* memory = compilation_.options.memoryFiles) {
    path = findInMemory(*memory, name);
    if (path) {
      content = memory->sources.at(*path);
    }
  } else if (const std::optional<std::filesystem::path> found = findFileIgnoringCase(name)) {
    path = found->string();
    content = readWholeFile(*found);
  }
  if (!path || !content) {
    return false;
  }
  SourceLevel& slot = state_->slots[static_cast<std::size_t>(depth)];
  slot = SourceLevel();
  slot.content = std::move(*content);
  slot.path = *path;
  slot.directory = directoryPart(slot.path);
  const int row = depth + 1;
  compilation_.host.showFileProgress(row,
                                     cutText(upperCaseName(fileNamePart(name)), kLabelTextWidth),
                                     static_cast<std::int64_t>(slot.content.size()));
  compilation_.host.repaint();
  compilation_.host.sourceFileOpened(slot.path);
  return true;
}

void Reader::nextChar() {
  if (state_->fileDepth < 0) {
    compilation_.reportError(err::kInternal);  // reading with no source open
  }
  readSourceLine();
  SourceLevel& slot = innermost();
  const char c = slot.lineBuffer[slot.delivered++];
  state_->currentChar = c;
  state_->currentIsSecondByte = slot.secondBytePending;
  slot.secondBytePending =
      !state_->currentIsSecondByte && isShiftJisLeadByte(static_cast<unsigned char>(c));
}

void Reader::readSourceLine() {
  for (;;) {
    SourceLevel& slot = innermost();
    if (!slot.exhausted()) {
      return;
    }
    if (state_->insideString) {
      compilation_.reportError(err::kStringPastLineEnd);
    }
    slot.lineBuffer.clear();
    slot.delivered = 0;
    // Both counts rise before the end test, so a file's end counts as a line.
    ++state_->sourceLineCount;
    ++slot.lineNumber;
    if (!slot.atEnd()) {
      takeLine(slot, slot.readLine());
      return;
    }
    if (state_->fileDepth == 0) {
      compilation_.reportError(err::kEndNotAtEndOfFile);
    }
    // The including file goes on with the rest of the line that held the directive.
    leaveIncludeFile();
  }
}

void Reader::takeLine(SourceLevel& slot, std::string line) {
  cutInPlace(line, kMaxLineLength);
  const int row = state_->fileDepth + 1;
  CompileHost& host = compilation_.host;
  host.stepFileProgress(row, static_cast<std::int64_t>(line.size()) + 2);
  host.setStatusText(std::to_string(slot.lineNumber) + ":  " + line);

  const std::size_t firstText = line.find_first_not_of(" \t");
  slot.indentation = static_cast<int>(firstText == std::string::npos ? line.size() : firstText);
  slot.lineAsWritten = line;
  slot.savedLine = line.substr(static_cast<std::size_t>(slot.indentation));
  slot.savedLineNumber = slot.lineNumber;
  if (compilation_.directives.settings().echoSourceSwitch) {
    compilation_.emitter.emitCommentLine("; " + slot.savedLine);
  }
  // The blank ends the line's last token.
  slot.lineBuffer = slot.savedLine + ' ';
  slot.delivered = 0;
  slot.secondBytePending = false;
}

void Reader::leaveIncludeFile() {
  innermost().close();
  compilation_.host.hideFileProgress(state_->fileDepth + 1);
  compilation_.host.repaint();
  --state_->fileDepth;
}

char Reader::currentChar() const { return state_->currentChar; }

bool Reader::currentIsSecondByte() const { return state_->currentIsSecondByte; }

char Reader::peekChar() const {
  if (state_->fileDepth < 0) {
    return '\0';
  }
  const SourceLevel& slot = innermost();
  return slot.exhausted() ? '\0' : slot.lineBuffer[slot.delivered];
}

bool Reader::lineExhausted() const { return state_->fileDepth < 0 || innermost().exhausted(); }

int Reader::currentColumn() const {
  if (state_->fileDepth < 0) {
    return 0;
  }
  const SourceLevel& slot = innermost();
  return slot.delivered == 0 ? 0 : static_cast<int>(slot.delivered - 1);
}

void Reader::putBackCurrentChar() {
  SourceLevel& slot = innermost();
  // Delivered again, the character is the same part of a character as it is now.
  slot.secondBytePending = state_->currentIsSecondByte;
  if (slot.delivered > 0) {
    slot.lineBuffer[--slot.delivered] = state_->currentChar;
  } else {
    slot.lineBuffer.insert(slot.lineBuffer.begin(), state_->currentChar);
  }
}

void Reader::performPendingInclude() {
  Directives& directives = compilation_.directives;
  const IncludeKind kind = directives.pendingInclude();
  const std::string name = directives.includeName();
  directives.clearPendingInclude();
  if (kind == IncludeKind::None || (!name.empty() && (name[0] == '+' || name[0] == '-'))) {
    return;  // no include, or a switch form such as {$L+}
  }
  if (kind == IncludeKind::Assembly) {
    includeAssemblyFile(name);
  } else {
    includeSourceFile(name);
  }
}

// The assembly file itself is not read: the output gets an include line for it. The
// scanner goes on with the character after the comment, which is read only once. Inside a
// routine body the statements around the include go on with their labels, so the window
// is written out without starting a new routine.
void Reader::includeAssemblyFile(const std::string& name) {
  if (compilation_.routine.bodyOpen) {
    compilation_.emitter.writeWindowOut();
  } else {
    compilation_.emitter.flushWindow();
  }
  compilation_.emitter.emitInstruction("include", withExtension(name, ".asm"), "");
}

// The included text is read where the directive stood. The character after the comment
// goes back in front of the line and the scanner is handed a blank instead, so the text
// after the directive is read once, when the included file is exhausted.
void Reader::includeSourceFile(const std::string& name) {
  if (state_->fileDepth + 1 >= kSourceSlots) {
    compilation_.reportError(err::kNestingTooDeep);
  }
  const std::string fileName = withExtension(name, ".pas");
  bool opened = openSlot(state_->fileDepth + 1,
                         isAbsoluteName(fileName) ? fileName : innermost().directory + fileName);
  // Then the include folders of the compilation, in their order.
  if (!isAbsoluteName(fileName)) {
    for (const std::string& folder : compilation_.options.includeFolders) {
      if (opened) break;
      const bool separated = !folder.empty() && isPathSeparator(folder.back());
      opened = openSlot(state_->fileDepth + 1, folder + (separated ? "" : "/") + fileName);
    }
  }
  if (!opened) {
    compilation_.reportError(err::kFileNotFound);
  }
  putBackCurrentChar();
  state_->currentChar = ' ';
  state_->currentIsSecondByte = false;
  ++state_->fileDepth;
}

void Reader::setInsideString(bool on) { state_->insideString = on; }

int Reader::fileDepth() const { return state_->fileDepth; }

const std::string& Reader::savedLine() const {
  return state_->fileDepth < 0 ? state_->empty : innermost().savedLine;
}

const std::string& Reader::lineAsWritten() const {
  return state_->fileDepth < 0 ? state_->empty : innermost().lineAsWritten;
}

int Reader::indentation() const { return state_->fileDepth < 0 ? 0 : innermost().indentation; }

const std::string& Reader::innermostFileName() const {
  return state_->fileDepth < 0 ? state_->empty : innermost().path;
}

std::int32_t Reader::innermostLineNumber() const {
  return state_->fileDepth < 0 ? 0 : innermost().savedLineNumber;
}

std::int32_t Reader::sourceLineCount() const { return state_->sourceLineCount; }

void Reader::closeAllSources() {
  for (; state_->fileDepth >= 0; --state_->fileDepth) {
    innermost().close();
  }
}

}  // namespace vorax
