// The source reader: opens the main source and the output file, delivers the source one
// character at a time, keeps the current line for error messages, echoes lines into the
// output, carries out include directives and drives the per-file progress rows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vorax {

class Compilation;

class Reader {
 public:
  // Slot 0 is the main file, slots 1 to 7 hold nested include files.
  static constexpr int kSourceSlots = 8;
  // Characters of a source line beyond this are dropped.
  static constexpr std::size_t kMaxLineLength = 255;

  explicit Reader(Compilation& compilation);
  ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // Opens the main file in slot 0 and creates the output file (errors 101, 100).
  void openCompilationFiles(const std::string& fileName);

  void nextChar();
  [[nodiscard]] char currentChar() const;
  // True when currentChar is the second byte of a two-byte Shift-JIS character: the byte
  // before it on the line began one. Such a byte is never punctuation, whatever its value
  // ("}" or "\" included), so text is walked by characters, not by bytes.
  [[nodiscard]] bool currentIsSecondByte() const;
  // The character after currentChar in the innermost line buffer (NUL at its end).
  [[nodiscard]] char peekChar() const;
  // True when the innermost line buffer holds nothing but its end marker.
  [[nodiscard]] bool lineExhausted() const;
  // Where currentChar stands on its line: the number of characters before it, counted on
  // the line without its indentation.
  [[nodiscard]] int currentColumn() const;
  // Carries out an include directive read in the comment just closed.
  void performPendingInclude();

  // Set by the scanner while it reads a string constant.
  void setInsideString(bool on);

  // Position data for error reports.
  [[nodiscard]] int fileDepth() const;
  // The innermost file's current line as read, leading blanks and tabs removed.
  [[nodiscard]] const std::string& savedLine() const;
  // The innermost file's current line exactly as written (with its indentation).
  [[nodiscard]] const std::string& lineAsWritten() const;
  // How many characters of indentation savedLine() lost.
  [[nodiscard]] int indentation() const;
  [[nodiscard]] const std::string& innermostFileName() const;
  // The number of the line savedLine() holds (0 before the first line).
  [[nodiscard]] std::int32_t innermostLineNumber() const;

  // Lines read in this compilation over all files (each include file counts one more
  // than its number of lines: its end is read as a line too).
  [[nodiscard]] std::int32_t sourceLineCount() const;

  // Closes every open source file, innermost first (error path and end of compilation).
  void closeAllSources();

 private:
  struct SourceLevel;
  struct State;

  [[nodiscard]] SourceLevel& innermost();
  [[nodiscard]] const SourceLevel& innermost() const;
  // Refills the innermost line buffer when it is exhausted, leaving finished include
  // files (errors 55, 91).
  void readSourceLine();
  void takeLine(SourceLevel& slot, std::string line);
  void leaveIncludeFile();
  // Opens `name` in slot `depth` and shows its progress row; false when it can't be read.
  bool openSlot(int depth, const std::string& name);
  void includeSourceFile(const std::string& name);
  void includeAssemblyFile(const std::string& name);
  void putBackCurrentChar();

  Compilation& compilation_;
  std::unique_ptr<State> state_;
};

}  // namespace vorax
