#include "shell/cli/cli_arguments.h"

#include <string_view>

namespace vorax {
namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upperCase(std::string_view text) {
  std::string result;
  for (const char c : text) result += asciiUpper(c);
  return result;
}

std::optional<TargetCpu> cpuNamed(std::string_view name) {
  const std::string upper = upperCase(name);
  if (upper == "300H") return TargetCpu::H8_300H;
  if (upper == "300L") return TargetCpu::H8_300L;
  if (upper == "2000") return TargetCpu::H8_2000;
  return std::nullopt;
}

// A conditional symbol is written in the source as an identifier: a letter, then letters,
// digits and "_".
bool isIdentifier(std::string_view name) {
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (name.empty() || !isLetter(name.front())) return false;
  for (const char c : name) {
    if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
  }
  return true;
}

// Walks the arguments; an option's value is the rest of its own argument ("-IDIR",
// "--cpu=2000") or the next argument.
class ArgumentReader {
 public:
  ArgumentReader(const std::vector<std::string>& arguments, std::ostream& err)
      : arguments_(arguments), err_(err) {}

  std::optional<CliArguments> read() {
    CliArguments result;
    bool optionsEnded = false;
    for (index_ = 0; index_ < arguments_.size(); ++index_) {
      const std::string& argument = arguments_[index_];
      if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
        result.files.push_back(argument);
      } else if (argument == "--") {
        optionsEnded = true;
      } else if (!readOption(argument, result)) {
        return std::nullopt;
      }
    }
    if (result.action != CliArguments::Action::Compile) {
      return result;
    }
    if (result.files.empty()) {
      return usageError("no source file given");
    }
    if (!result.options.outputPath.empty() && result.files.size() != 1) {
      return usageError("-o names the output of one source file, " +
                        std::to_string(result.files.size()) + " were given");
    }
    return result;
  }

 private:
  // False after a usage error.
  bool readOption(const std::string& argument, CliArguments& result) {
    if (argument == "--help") {
      result.action = CliArguments::Action::Help;
    } else if (argument == "--version") {
      if (result.action != CliArguments::Action::Help) result.action = CliArguments::Action::Version;
    } else if (argument == "--no-peephole") {
      result.options.localTier = false;
      result.options.blockTier = false;
    } else if (argument == "--rule-stats") {
      result.printRuleStatistics = true;
    } else if (argument == "-q") {
      result.quiet = true;
    } else if (argument == "--cpu" || argument.rfind("--cpu=", 0) == 0) {
      const std::optional<std::string> name = value(argument, "--cpu");
      if (!name) return false;
      result.options.cpu = cpuNamed(*name);
      if (!result.options.cpu) return fail("--cpu takes 300H, 300L or 2000, not " + *name);
    } else if (argument.rfind("--", 0) == 0) {
      return fail("unknown option " + argument);
    } else if (argument[1] == 'o') {
      const std::optional<std::string> path = value(argument, "-o");
      if (!path) return false;
      result.options.outputPath = *path;
    } else if (argument[1] == 'I') {
      const std::optional<std::string> folder = value(argument, "-I");
      if (!folder) return false;
      result.options.includeFolders.push_back(*folder);
    } else if (argument[1] == 'D') {
      const std::optional<std::string> name = value(argument, "-D");
      if (!name) return false;
      if (!isIdentifier(*name)) return fail("-D takes a name like an identifier, not " + *name);
      result.options.definedSymbols.push_back(*name);
    } else if (argument[1] == 'M') {
      const std::optional<std::string> path = value(argument, "-M");
      if (!path) return false;
      result.dependencyFile = *path;
    } else {
      return fail("unknown option " + argument);
    }
    return true;
  }

  // The value of option `name` given as `argument`: attached to it or the next argument.
  std::optional<std::string> value(const std::string& argument, std::string_view name) {
    if (argument.size() > name.size()) {
      const std::size_t start = argument[name.size()] == '=' ? name.size() + 1 : name.size();
      if (start < argument.size()) return argument.substr(start);
    } else if (index_ + 1 < arguments_.size()) {
      return arguments_[++index_];
    }
    fail(std::string(name) + " needs a value");
    return std::nullopt;
  }

  bool fail(const std::string& message) {
    err_ << "vorax: " << message << '\n';
    printUsage(err_);
    return false;
  }

  std::optional<CliArguments> usageError(const std::string& message) {
    fail(message);
    return std::nullopt;
  }

  const std::vector<std::string>& arguments_;
  std::ostream& err_;
  std::size_t index_ = 0;
};

}  // namespace

std::optional<CliArguments> parseCliArguments(const std::vector<std::string>& arguments,
                                              std::ostream& err) {
  return ArgumentReader(arguments, err).read();
}

void printUsage(std::ostream& stream) {
  stream << "usage: vorax [OPTION]... FILE.PAS...\n"
            "Compiles each Pascal source to an H8/300H assembly file, by default beside it\n"
            "(FILE.asm).\n"
            "  -o FILE        write the assembly file to FILE (one source file only)\n"
            "  -I DIR         look for include files in DIR after the including file's own\n"
            "                 folder (may be repeated; searched in the order given)\n"
            "  -D NAME        define NAME as {$DEFINE NAME} would before the first line\n"
            "                 (may be repeated)\n"
            "  --cpu NAME     start with the processor 300H, 300L or 2000, as {$CPU NAME}\n"
            "                 would before the first line; a CPU directive still wins\n"
            "  -M FILE        write a make rule \"OUT.asm: SOURCE INCLUDES...\" for each\n"
            "                 compiled source, naming the files it read, to FILE\n"
            "  -q             quiet: no completion line (errors are still printed)\n"
            "  --no-peephole  write the code without the peephole rules and block passes\n"
            "  --rule-stats   after each file, print \"ID count\" per optimizer rule to stderr\n"
            "  --help         print this text;  --version  print the version\n"
            "Exit status: 0 all files compiled, 1 a file had an error, 2 usage error.\n";
}

}  // namespace vorax
