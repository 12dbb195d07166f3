#include "shell/cli/cli.h"

#include <exception>

#include "asmout/peephole_statistics.h"
#include "driver/compile_file.h"
#include "driver/version.h"
#include "shell/cli/terminal_host.h"

namespace vorax {
namespace {

void printUsage(std::ostream& stream) {
  stream << "usage: vorax [--help] [--version] [--no-peephole] [--rule-stats] FILE.PAS...\n"
            "Compiles each Pascal source to an H8/300H assembly file beside it (FILE.asm).\n"
            "  --no-peephole  write the code without the peephole rules and block passes\n"
            "  --rule-stats   after each file, print \"ID count\" per optimizer rule to stderr\n"
            "Exit status: 0 all files compiled, 1 a file had an error, 2 usage error.\n";
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
  std::vector<std::string> files;
  CompileOptions options;
  bool printRuleStatistics = false;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument == "--help") {
      printUsage(out);
      return kExitSuccess;
    } else if (!optionsEnded && argument == "--version") {
      out << kProductName << ' ' << kVersionText << "  " << kProductDate << '\n';
      return kExitSuccess;
    } else if (!optionsEnded && argument == "--no-peephole") {
      options.localTier = false;
      options.blockTier = false;
    } else if (!optionsEnded && argument == "--rule-stats") {
      printRuleStatistics = true;
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      err << "vorax: unknown option " << argument << '\n';
      printUsage(err);
      return kExitUsage;
    } else {
      files.push_back(argument);
    }
  }
  if (files.empty()) {
    printUsage(err);
    return kExitUsage;
  }

  TerminalHost host(out, err);
  int status = kExitSuccess;
  for (const std::string& file : files) {
    host.beginFile(file);
    RuleStatistics statistics;
    options.ruleStatistics = printRuleStatistics ? &statistics : nullptr;
    bool failed = false;
    try {
      compileFile(file, host, options);
    } catch (const std::exception& failure) {
      err << "vorax: " << file << ": " << failure.what() << '\n';
      failed = true;
    }
    if (printRuleStatistics) {
      statistics.print(err);  // also after a failure: the counts up to it
    }
    if (failed || host.sourceErrorSeen()) {
      status = kExitCompileError;
    }
  }
  return status;
}

}  // namespace vorax
