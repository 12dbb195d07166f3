// vorax-randprog: generates random programs and checks them against Free Pascal.
//
//   vorax-randprog [options] print SEED            the program of a seed
//   vorax-randprog [options] check SEED            its verdict (exit 0 agree, 1 fault, 3 invalid)
//   vorax-randprog [options] check-file FILE.pas   the verdict of a program on file
//   vorax-randprog [options] hunt FIRST LAST       one line per seed; failing programs saved
//   vorax-randprog [options] reduce SEED           a smaller program with the same failure
//
// Options: --disable=FEATURE,...  --enable=FEATURE,...  --fixed-set (the test suite's
// features)  --build=FOLDER (vorax and vorax-sim)  --keep=FOLDER (keep the work files)
// --out=FOLDER (hunt: where failing programs go)  --compile-only (no run, no Free Pascal)
// --max-statements=N  --routines=N
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "random/fixed_set.h"
#include "random/oracle.h"
#include "random/program_checker.h"
#include "random/program_generator.h"
#include "random/program_printer.h"
#include "random/program_reducer.h"

namespace {

using namespace vorax::randprog;
namespace fs = std::filesystem;

struct CommandLine {
  GeneratorOptions generator;
  OracleOptions oracle;
  std::string out = "hunt-failures";
  std::vector<std::string> words;
};

void usage() {
  std::cerr << "usage: vorax-randprog [options] print|check|hunt|reduce SEED [LAST]\n"
               "       vorax-randprog [options] check-file FILE.pas\n"
               "features: ";
  for (Feature feature : allFeatures()) std::cerr << featureName(feature) << ' ';
  std::cerr << '\n';
}

bool number(const std::string& text, uint64_t& value) {
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
  return code == std::errc() && end == text.data() + text.size();
}

bool parse(int argc, char** argv, CommandLine& line) {
  line.oracle.tools = toolsBesideExecutable();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](const std::string& option) -> std::string {
      return arg.size() > option.size() ? arg.substr(option.size()) : "";
    };
    std::string error;
    uint64_t count = 0;
    if (arg.rfind("--disable=", 0) == 0) {
      if (!parseFeatureList(value("--disable="), line.generator.disabled, error)) {
        std::cerr << error << '\n';
        return false;
      }
    } else if (arg.rfind("--enable=", 0) == 0) {
      std::set<Feature> enabled;
      if (!parseFeatureList(value("--enable="), enabled, error)) {
        std::cerr << error << '\n';
        return false;
      }
      for (Feature feature : enabled) line.generator.disabled.erase(feature);
    } else if (arg == "--fixed-set") {
      line.generator.disabled = fixedSetDisabledFeatures();
    } else if (arg.rfind("--build=", 0) == 0) {
      const std::string fpc = line.oracle.tools.fpc;
      line.oracle.tools = toolsIn(value("--build="));
      line.oracle.tools.fpc = fpc;
    } else if (arg.rfind("--keep=", 0) == 0) {
      line.oracle.keepFolder = value("--keep=");
    } else if (arg.rfind("--out=", 0) == 0) {
      line.out = value("--out=");
    } else if (arg == "--compile-only") {
      line.oracle.runPrograms = false;
    } else if (arg.rfind("--max-statements=", 0) == 0 && number(value("--max-statements="), count)) {
      line.generator.maxStatements = static_cast<int>(count);
    } else if (arg.rfind("--routines=", 0) == 0 && number(value("--routines="), count)) {
      line.generator.routineCount = static_cast<int>(count);
    } else if (arg.rfind("--", 0) == 0) {
      std::cerr << "unknown option " << arg << '\n';
      return false;
    } else {
      line.words.push_back(arg);
    }
  }
  return !line.words.empty();
}

std::string programText(CommandLine& line, uint64_t seed) {
  line.generator.seed = seed;
  const Program program = generateProgram(line.generator);
  ProgramChecker checker(program, line.generator);
  std::string problem;
  Cost cost;
  if (!checker.checkProgram(problem, cost)) {
    std::cerr << "seed " << seed << ": the generator made a program its checker refuses: " << problem << '\n';
  }
  return printProgram(program);
}

int exitFor(const OracleReport& report) {
  if (report.verdict == Verdict::Agree) return 0;
  return report.verdict == Verdict::InvalidProgram ? 3 : 1;
}

int hunt(CommandLine& line, uint64_t first, uint64_t last) {
  int failures = 0;
  for (uint64_t seed = first; seed <= last; ++seed) {
    const std::string source = programText(line, seed);
    const OracleReport report = checkProgram(source, line.oracle);
    std::string signature;
    for (const std::string& entry : report.signature()) signature += (signature.empty() ? "" : " ") + entry;
    std::cout << "seed " << seed << ": " << (signature.empty() ? "agree" : signature) << std::endl;
    if (report.verdict == Verdict::Agree) continue;
    ++failures;
    fs::create_directories(line.out);
    std::ofstream(fs::path(line.out) / ("seed-" + std::to_string(seed) + ".pas")) << source;
    std::ofstream(fs::path(line.out) / ("seed-" + std::to_string(seed) + ".txt")) << report.summary();
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int run(int argc, char** argv) {
  CommandLine line;
  if (!parse(argc, argv, line)) {
    usage();
    return 2;
  }
  const std::string& command = line.words[0];
  uint64_t seed = 0;
  uint64_t last = 0;
  if (command == "check-file" && line.words.size() == 2) {
    std::ifstream in(line.words[1], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const OracleReport report = checkProgram(text.str(), line.oracle);
    std::cout << report.summary();
    return exitFor(report);
  }
  if (line.words.size() < 2 || !number(line.words[1], seed)) {
    usage();
    return 2;
  }
  if (command == "print") {
    std::cout << programText(line, seed);
    return 0;
  }
  if (command == "check") {
    const OracleReport report = checkProgram(programText(line, seed), line.oracle);
    std::cout << report.summary();
    return exitFor(report);
  }
  if (command == "hunt" && line.words.size() == 3 && number(line.words[2], last)) {
    return hunt(line, seed, last);
  }
  if (command == "reduce") {
    line.generator.seed = seed;
    const Program program = generateProgram(line.generator);
    const ReduceResult result = reduceProgram(program, line.generator, line.oracle, std::cerr);
    std::cout << result.text;
    std::cerr << result.report.summary();
    return exitFor(result.report);
  }
  usage();
  return 2;
}

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "vorax-randprog: " << error.what() << '\n';
    return 2;
  }
}
