// docs/RUNTIME.md against the compiler and the simulator: every runtime routine or data
// label the compiler can write into its output is described in the document and defined
// by the simulator's runtime. The names are taken from the compiler itself: the runtime
// names header, every "\name" literal of its sources, and the output of a program that
// uses every standard routine and device (checked to name them all).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "driver/compilation.h"
#include "driver/compile_file.h"
#include "sim/runtime.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax {
namespace {

namespace fs = std::filesystem;
using testing::RecordingHost;
using testing::SourceTree;

// Labels the compiler defines in its own output: they are not the library's.
bool definedByTheCompiler(const std::string& name) {
  static const std::set<std::string> labels{"\\ram", "\\stack", "\\rom", "\\eoc", "\\date"};
  return labels.count(name) != 0 || name.rfind("\\exit", 0) == 0;
}

// A program that calls every standard routine and writes to every device.
constexpr const char* kEverything = R"(PROGRAM EVERYTHING;
{$I+}
TYPE
  NODE = RECORD A, B: INTEGER END;
  LINK = ^NODE;
  BLOCK = ARRAY[0..511] OF BYTE;
  SHORT = STRING[4];
VAR
  S: STRING; T: STRING[10]; I, CODE: INTEGER; L, COUNT: LONGINT; X: REAL; C: CHAR;
  B: BOOLEAN; P: LINK; F: TEXT; G: FILE OF INTEGER; FOUND: SEARCHREC; BUFFER: BLOCK;
  REC: NODE;
PROCEDURE NESTED;
  PROCEDURE INNER;
  BEGIN END;
BEGIN INNER END;
PROCEDURE SIZED(A: SHORT);
BEGIN END;
BEGIN
  L := L * L; L := L DIV I; L := L MOD I; L := SQRT(L);
  X := I; X := X + X; X := X - X; X := X * X; X := X / X; I := TRUNC(X); X := 2.5;
  X := SIN(X) + COS(X) + SQRT(X); X := ABS(X);
  B := X = X; B := X <> X; B := X < X; B := X <= X; B := X > X; B := X >= X;
  B := S = T; B := S <> T; B := S < T; B := S <= T; B := S > T; B := S >= T;
  C := UPCASE(C); C := CHR(I); I := ORD(C); B := ODD(I); I := SUCC(I); I := PRED(I);
  I := ABS(I); I := SIZEOF(NODE); I := LENGTH(S);
  S := T; S := 'abc'; S := S + 'x'; S := S + C; S := T + S; S := T + 'x' + S + C;
  S := C + S; T := 'xy' + C; T := S; S := COPY(S, 1, 2) + T; T := COPY(S, 1, 2);
  S := T + (S + T); SIZED(T); SIZED('ab');
  I := POS('a', S); DELETE(S, 1, 2);
  WRITE(C); WRITELN(C); WRITE(S); WRITELN(S); WRITELN; WRITE(I:4); WRITE(X:5:2); WRITE(C:3);
  WRITELN(I, X); WRITE(REC); WRITE(G, I);
  READ(C); READLN(S); READLN(I); READLN(X); C := READKEY; READLN(F, S);
  STR(I, S); STR(X:4:1, S); VAL(S, I, CODE); VAL(S, X, CODE);
  NEW(P); DISPOSE(P); I := MAXAVAIL; I := MEMAVAIL;
  ASSIGN(F, 'x'); RESET(F); REWRITE(F); APPEND(F); CLOSE(F); ERASE(F); RENAME(F, 'y');
  B := EOF(F); L := FILESIZE(F); BLOCKREAD(F, BUFFER, COUNT); BLOCKWRITE(F, BUFFER, COUNT);
  GETFTIME(F, L); SETFTIME(F, L); FINDFIRST('*', 0, FOUND); FINDNEXT(FOUND);
  MKDIR('d'); RMDIR('d'); CHDIR('d');
  NESTED;
  IF I = 0 THEN EXIT;
  WRITELN(CON, 1); WRITELN(CON0, 1); WRITELN(CON1, 1); WRITELN(CON2, 1); WRITELN(CON3, 1);
  WRITELN(AUX, 1); WRITELN(AUX0, 1); WRITELN(AUX1, 1); WRITELN(AUX2, 1); WRITELN(AUX3, 1);
  WRITELN(AUX4, 1); WRITELN(AUX5, 1); WRITELN(AUX6, 1); WRITELN(AUX7, 1);
  WRITELN(LST, 1); WRITELN(LST0, 1); WRITELN(LST1, 1); WRITELN(LST2, 1); WRITELN(LST3, 1);
  WRITELN(KBD, 1); WRITELN(DBG, 1); WRITELN(ERRDV, 1);
  I := IORESULT + DOSERROR
END.
)";

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void collectNames(const std::string& text, const std::regex& pattern, std::set<std::string>& names) {
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    names.insert((*it)[1]);
  }
}

// The "\name" literals of the compiler's sources, the header of runtime names first among
// them.
std::set<std::string> namesInCompilerSources() {
  const std::regex literal(R"re("\\\\([a-z][a-z0-9]*)")re");
  std::set<std::string> bare;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(VORAX_SOURCE_DIR) / "src")) {
    const std::string path = entry.path().string();
    const bool compiler = path.find("/src/sim/") == std::string::npos &&
                          path.find("/src/shell/") == std::string::npos;
    const std::string extension = entry.path().extension().string();
    if (compiler && (extension == ".cpp" || extension == ".h")) {
      collectNames(readFile(entry.path()), literal, bare);
    }
  }
  std::set<std::string> names;
  for (const std::string& name : bare) names.insert("\\" + name);
  return names;
}

// The symbols an assembly file uses but does not define.
std::set<std::string> externalSymbols(const std::string& assembly) {
  std::set<std::string> used;
  std::set<std::string> defined;
  std::istringstream lines(assembly);
  const std::regex symbol(R"((\\[a-z][a-z0-9]*))");
  const std::regex label(R"(^(\\?[A-Za-z0-9_.]+)(:|\s+equ\s))");
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(";", 0) == 0) continue;  // echoed source and comments
    std::smatch match;
    if (std::regex_search(line, match, label)) defined.insert(match[1]);
    collectNames(line, symbol, used);
  }
  std::set<std::string> external;
  for (const std::string& name : used) {
    if (defined.count(name) == 0) external.insert(name);
  }
  return external;
}

// Every standard routine and device of the predefined environment, by name.
std::vector<std::string> predefinedCallables() {
  RecordingHost host;
  Compilation c(host, CompileOptions{});
  c.symbols.enterPredefinedEnvironment();
  std::vector<std::string> names;
  std::vector<const SymbolEntry*> pending{c.symbols.rootSlot(0)};
  while (!pending.empty()) {
    const SymbolEntry* entry = pending.back();
    pending.pop_back();
    if (entry == nullptr) continue;
    const bool routine = (entry->kind == IdentKind::Procedure ||
                          entry->kind == IdentKind::Function) && entry->standardRoutine != 0;
    if (routine || entry->kind == IdentKind::Device) names.push_back(entry->name);
    pending.push_back(entry->left);
    pending.push_back(entry->right);
  }
  return names;
}

TEST(RuntimeDocument, TheProgramOfEveryRoutineNamesEveryStandardRoutineAndDevice) {
  const std::vector<std::string> names = predefinedCallables();
  ASSERT_GT(names.size(), 60U);
  for (const std::string& name : names) {
    const std::regex word("\\b" + name + "\\b");
    EXPECT_TRUE(std::regex_search(kEverything, word)) << name << " is not used by the program";
  }
}

TEST(RuntimeDocument, EveryNameTheCompilerCanEmitIsDocumentedAndSimulated) {
  std::set<std::string> names;
  for (const std::string& name : namesInCompilerSources()) {
    if (!definedByTheCompiler(name)) names.insert(name);
  }
  SourceTree tree;
  const fs::path source = tree.write("EVERYTHING.PAS", kEverything);
  for (const bool optimize : {true, false}) {
    RecordingHost host;
    CompileOptions options;
    options.localTier = optimize;
    options.blockTier = optimize;
    compileFile(source.string(), host, options);
    ASSERT_TRUE(host.errors.empty()) << host.errors.front().number << " at line "
                                     << host.errors.front().lineNumber;
    for (const std::string& name : externalSymbols(readFile(tree.root() / "EVERYTHING.asm"))) {
      names.insert(name);
    }
  }
  ASSERT_GT(names.size(), 100U);

  const std::string document = readFile(fs::path(VORAX_SOURCE_DIR) / "docs/RUNTIME.md");
  for (const std::string& name : names) {
    EXPECT_NE(document.find("`" + name + "`"), std::string::npos)
        << name << " is not described in docs/RUNTIME.md";
    for (const sim::CpuModel cpu : {sim::CpuModel::H300H, sim::CpuModel::H300L, sim::CpuModel::H2000}) {
      EXPECT_TRUE(sim::Runtime::symbolAddress(cpu, name).has_value())
          << name << " is not defined by the simulator's runtime";
    }
  }
}

}  // namespace
}  // namespace vorax
