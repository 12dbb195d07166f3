#include "shell/cli/cli.h"

#include <exception>
#include <fstream>

#include "asmout/peephole_statistics.h"
#include "driver/compile_file.h"
#include "driver/version.h"
#include "shell/cli/cli_arguments.h"
#include "shell/cli/make_rule.h"
#include "shell/cli/terminal_host.h"

namespace vorax {
namespace {

// Writes the make rules of the sources that compiled; false (with a message) when the file
// can't be written.
bool writeDependencyFile(const std::string& path, const std::string& rules, std::ostream& err) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << rules;
  file.close();
  if (!file) {
    err << "vorax: cannot write " << path << '\n';
    return false;
  }
  return true;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
  std::optional<CliArguments> command = parseCliArguments(arguments, err);
  if (!command) {
    return kExitUsage;
  }
  if (command->action == CliArguments::Action::Help) {
    printUsage(out);
    return kExitSuccess;
  }
  if (command->action == CliArguments::Action::Version) {
    out << kProductName << ' ' << kVersionText << "  " << kProductDate << '\n';
    return kExitSuccess;
  }

  TerminalHost host(out, err);
  host.setQuiet(command->quiet);
  CompileOptions options = command->options;
  int status = kExitSuccess;
  std::string rules;
  for (const std::string& file : command->files) {
    host.beginFile(file);
    RuleStatistics statistics;
    options.ruleStatistics = command->printRuleStatistics ? &statistics : nullptr;
    bool failed = false;
    try {
      compileFile(file, host, options);
    } catch (const std::exception& failure) {
      err << "vorax: " << file << ": " << failure.what() << '\n';
      failed = true;
    }
    if (command->printRuleStatistics) {
      statistics.print(err);  // also after a failure: the counts up to it
    }
    if (failed || host.sourceErrorSeen()) {
      status = kExitCompileError;
    } else {
      rules += makeRule(host.outputWritten(), host.sourcesRead());
    }
  }
  if (!command->dependencyFile.empty() &&
      !writeDependencyFile(command->dependencyFile, rules, err)) {
    status = kExitCompileError;
  }
  return status;
}

}  // namespace vorax
