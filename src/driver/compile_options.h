// Options of one compilation that are not written in the source: where the output goes,
// where include files are looked for, what the compilation starts with, and switches for
// isolating a suspected optimizer fault. The defaults give the normal output beside the
// source.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorax {

class RuleStatistics;

// The target processors a compilation can start with, as {$CPU ...} names them.
enum class TargetCpu { H8_300H, H8_300L, H8_2000 };

// Sources and the assembly file of a compilation held in memory instead of on disk, for
// tools that compile generated text without touching the file system (the fuzz targets).
struct InMemoryFiles {
  // Source files by name; a name is found as written or ignoring letter case, with "\"
  // and "/" both separators.
  std::map<std::string, std::string> sources;
  // The assembly file as written: CP932 bytes, CR LF line ends.
  std::string assembly;
  // Set when the compilation ended without an error: the processor the assembly file was
  // written for (the last {$CPU ...} in force) and whether it holds a unit.
  struct Finished {
    TargetCpu cpu = TargetCpu::H8_300H;
    bool unit = false;
  };
  std::optional<Finished> finished;
};

struct CompileOptions {
  bool localTier = true;  // the peephole rules (and the clear-register rule) run after appends
  bool blockTier = true;  // the block passes run before the window is written
  // Every line leaving the window must be an instruction the target processor has. Only
  // tests that feed the window fragments of code (placeholders, symbolic operands) turn
  // the check off.
  bool guardLines = true;
  // When set, the optimizer adds here how often each rule fired (the caller owns it).
  RuleStatistics* ruleStatistics = nullptr;

  // The assembly file's path; empty: beside the source with the extension ".asm".
  std::string outputPath;
  // Folders searched, in order, for an include file that is not in the including file's
  // own folder. Names are used as given ("\" or "/" separated).
  std::vector<std::string> includeFolders;
  // Conditional symbols defined before the first line, as {$DEFINE NAME} would define them.
  std::vector<std::string> definedSymbols;
  // The processor before the first line, as {$CPU ...} would select it; a CPU directive in
  // the source still changes it. Without it the compilation starts with 300H.
  std::optional<TargetCpu> cpu;
  // When set, sources are read from here and the assembly file is written here.
  InMemoryFiles* memoryFiles = nullptr;

  // For tests: the local tier rescans the whole window after every change instead of
  // asking only the positions a change may concern. Both give the same output; the
  // rescan is the plain statement of the rules that the fast engine is checked against.
  bool fullRescanReference = false;
};

}  // namespace vorax
