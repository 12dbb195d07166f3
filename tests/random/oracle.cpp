#include "random/oracle.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <fstream>
#include <regex>
#include <sstream>

namespace vorax::randprog {
namespace {

namespace fs = std::filesystem;

// A folder of its own for one check, removed afterwards unless it is to be kept.
class WorkFolder {
 public:
  explicit WorkFolder(const std::string& keep) : keep_(!keep.empty()) {
    if (keep_) {
      path_ = keep;
      fs::create_directories(path_);
      return;
    }
    std::string pattern = (fs::temp_directory_path() / "vorax-randprog.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~WorkFolder() {
    if (!keep_) {
      std::error_code ignored;
      fs::remove_all(path_, ignored);
    }
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  bool keep_;
};

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string shellQuoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    if (c == '\'') {
      result += "'\\''";
    } else {
      result += c;
    }
  }
  return result + "'";
}

std::string firstLine(const std::string& text);

struct Completed {
  int status = -1;  // exit status, or 128 + signal, or 124 after the time limit
  std::string out;
  std::string err;
};

// Runs a command in `folder` with a time limit; its output goes to files there.
Completed run(const fs::path& folder, const std::string& command, int timeoutSeconds,
              const std::string& name) {
  const fs::path out = folder / (name + ".out");
  const fs::path err = folder / (name + ".err");
  const std::string line = "cd " + shellQuoted(folder.string()) + " && timeout -s KILL " +
                           std::to_string(timeoutSeconds) + " " + command + " > " +
                           shellQuoted(out.string()) + " 2> " + shellQuoted(err.string());
  const int raw = std::system(line.c_str());
  Completed result;
  if (raw == -1) {
    result.status = -1;
  } else if (WIFEXITED(raw)) {
    result.status = WEXITSTATUS(raw);
  } else if (WIFSIGNALED(raw)) {
    result.status = 128 + WTERMSIG(raw);
  }
  result.out = readFile(out);
  result.err = readFile(err);
  // 126 and 127: the shell could not run the command at all. That is no verdict about a
  // program, and every further check would fail the same way.
  if (result.status == 126 || result.status == 127) {
    throw std::runtime_error("cannot run " + command + ": " + firstLine(result.err));
  }
  return result;
}

std::string lastLine(const std::string& text) {
  size_t end = text.find_last_not_of("\r\n");
  if (end == std::string::npos) return "";
  const size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1, end + 1 - (start == std::string::npos ? 0 : start + 1));
}

// "Runtime error N at ..." and the routine and line of Free Pascal's backtrace.
std::string runtimeErrorPlace(const std::string& text) {
  const size_t at = text.find("Runtime error");
  if (at == std::string::npos) return lastLine(text);
  std::istringstream lines(text.substr(at));
  std::string error;
  std::string place;
  std::getline(lines, error);
  std::getline(lines, place);
  const size_t start = place.find_first_not_of(' ');
  return error + (start == std::string::npos ? "" : " (" + place.substr(start) + ")");
}

// Free Pascal's first "Error:" or "Fatal:" line, or its last line.
std::string firstErrorLine(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.find("Error:") != std::string::npos || line.find("Fatal:") != std::string::npos) return line;
  }
  return lastLine(text);
}

std::string firstLine(const std::string& text) {
  const size_t end = text.find('\n');
  std::string line = text.substr(0, end);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Where two outputs first differ, as "line N: expected ... got ...".
std::string firstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected);
  std::istringstream b(actual);
  std::string left;
  std::string right;
  for (int number = 1;; ++number) {
    const bool moreLeft = static_cast<bool>(std::getline(a, left));
    const bool moreRight = static_cast<bool>(std::getline(b, right));
    if (!moreLeft && !moreRight) return "outputs differ in line ends";
    if (!moreLeft) return "line " + std::to_string(number) + ": expected the end, got \"" + right + "\"";
    if (!moreRight) return "line " + std::to_string(number) + ": expected \"" + left + "\", got the end";
    if (left != right) {
      return "line " + std::to_string(number) + ": expected \"" + left + "\", got \"" + right + "\"";
    }
  }
}

// The numbered error of a compiler message ("T.PAS:3:5: error 44: ..."), or 0.
int errorNumber(const std::string& message) {
  static const std::regex kError("error ([0-9]+)");
  std::smatch match;
  if (std::regex_search(message, match, kError)) return std::stoi(match[1]);
  return 0;
}

bool isInternalError(int number) { return number == 99 || (number >= 900 && number <= 999); }

}  // namespace

std::string executableFolder() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

ToolPaths toolsIn(const std::string& buildFolder) {
  // The tools run in the work folder, so their paths must not be relative.
  const fs::path folder = fs::absolute(buildFolder);
  ToolPaths tools;
  tools.vorax = (folder / "vorax").string();
  tools.simulator = (folder / "vorax-sim").string();
  return tools;
}

ToolPaths toolsBesideExecutable() { return toolsIn(executableFolder()); }

bool freePascalAvailable(const ToolPaths& tools) {
  const std::string command = "command -v " + shellQuoted(tools.fpc) + " > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

std::string verdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Agree: return "agree";
    case Verdict::InvalidProgram: return "invalid program";
    case Verdict::CompileError: return "compile error";
    case Verdict::InternalError: return "internal error";
    case Verdict::AssemblyError: return "assembly error";
    case Verdict::RunError: return "run error";
    case Verdict::StepLimit: return "step limit";
    case Verdict::Mismatch: return "mismatch";
  }
  return "?";
}

std::string OracleReport::summary() const {
  if (verdict == Verdict::InvalidProgram) return "invalid program: " + oracleProblem;
  std::string text;
  for (const RunResult& run : runs) {
    if (run.verdict == Verdict::Agree) continue;
    text += run.cpu + (run.peephole ? " " : " --no-peephole ") + verdictName(run.verdict) + ": " +
            run.detail + "\n";
  }
  return text.empty() ? "agree\n" : text;
}

std::vector<std::string> OracleReport::signature() const {
  std::vector<std::string> result;
  if (verdict == Verdict::InvalidProgram) return {"invalid"};
  for (const RunResult& run : runs) {
    if (run.verdict == Verdict::Agree) continue;
    std::string name = verdictName(run.verdict);
    std::replace(name.begin(), name.end(), ' ', '-');
    std::string entry = run.cpu + (run.peephole ? "" : "-np") + ":" + name;
    if (run.verdict == Verdict::CompileError || run.verdict == Verdict::InternalError) {
      const int number = errorNumber(run.detail);
      entry += ":" + (number != 0 ? std::to_string(number)
                      : run.detail.rfind("timed out", 0) == 0 ? std::string("timeout")
                                                               : std::string("crash"));
    }
    result.push_back(entry);
  }
  return result;
}

OracleReport checkProgram(const std::string& source, const OracleOptions& options) {
  WorkFolder folder(options.keepFolder);
  OracleReport report;

  if (options.expectedOutput) {
    report.expected = *options.expectedOutput;
  } else if (options.runPrograms) {
    writeFile(folder.path() / "expect.pas", source);
    const Completed compiled =
        run(folder.path(),
            shellQuoted(options.tools.fpc) + " -Mtp -Cr -Co -g -gl -v0 -ve -oexpect expect.pas",
            options.timeoutSeconds, "fpc");
    if (compiled.status != 0) {
      report.verdict = Verdict::InvalidProgram;
      report.oracleProblem = "fpc: " + firstErrorLine(compiled.out + compiled.err);
      return report;
    }
    const Completed ran = run(folder.path(), "./expect", options.timeoutSeconds, "expect");
    if (ran.status != 0) {
      report.verdict = Verdict::InvalidProgram;
      report.oracleProblem = "the Free Pascal program stopped with status " + std::to_string(ran.status) +
                             ": " + runtimeErrorPlace(ran.out + ran.err);
      return report;
    }
    report.expected = ran.out;
  }

  for (const std::string& cpu : options.cpus) {
    for (int pass = 0; pass < (options.bothOptimizerSettings ? 2 : 1); ++pass) {
      RunResult result;
      result.cpu = cpu;
      result.peephole = options.bothOptimizerSettings ? pass == 0 : options.peepholeOnly;
      const std::string base = "V" + cpu + (result.peephole ? "" : "N");
      writeFile(folder.path() / (base + ".PAS"), "{$CPU " + cpu + "}\n" + source);
      const Completed compiled =
          run(folder.path(),
              shellQuoted(options.tools.vorax) + (result.peephole ? "" : " --no-peephole") + " " + base + ".PAS",
              options.timeoutSeconds, base + "-compile");
      if (compiled.status != 0) {
        const int number = errorNumber(compiled.err);
        result.verdict = compiled.status == 1 && number != 0 && !isInternalError(number)
                             ? Verdict::CompileError
                             : Verdict::InternalError;
        result.detail = compiled.status == 1     ? firstLine(compiled.err)
                        : compiled.status == 137 ? "timed out after " + std::to_string(options.timeoutSeconds) + " s"
                                                 : "compiler exit status " + std::to_string(compiled.status) +
                                                       " " + firstLine(compiled.err);
      } else {
        const long steps = options.runPrograms ? options.maxSteps : 1;
        const Completed ran = run(folder.path(),
                                  shellQuoted(options.tools.simulator) + " --cpu " + cpu +
                                      " --max-steps " + std::to_string(steps) + " " + base + ".asm",
                                  options.timeoutSeconds, base + "-run");
        result.output = ran.out;
        if (ran.status == 2) {
          result.verdict = Verdict::AssemblyError;
          result.detail = firstLine(ran.err);
        } else if (!options.runPrograms) {
          result.verdict = ran.status == 0 || ran.status == 6 ? Verdict::Agree : Verdict::RunError;
          result.detail = firstLine(ran.err);
        } else if (ran.status == 6 || ran.status == 128 + 9) {
          result.verdict = Verdict::StepLimit;
          result.detail = firstLine(ran.err);
        } else if (ran.status != 0) {
          result.verdict = Verdict::RunError;
          result.detail = firstLine(ran.err);
        } else if (ran.out != report.expected) {
          result.verdict = Verdict::Mismatch;
          result.detail = firstDifference(report.expected, ran.out);
        }
      }
      if (result.verdict != Verdict::Agree && report.verdict == Verdict::Agree) {
        report.verdict = result.verdict;
      }
      report.runs.push_back(std::move(result));
    }
  }
  return report;
}

}  // namespace vorax::randprog
