// Times whole compilations of generated sources and reports source lines per second:
//   - declarations of every kind and typed constants (reader, scanner, symbol table,
//     constant folding, data emission);
//   - routines full of statements (code generation, the statement passes, the optimizer);
//   - programs of routine code of 1,000, 10,000, 25,000 and 100,000 lines, with the
//     optimizer and without it, followed by a table of how the time grows with the size
//     (a compiler that stays linear takes twice the time for twice the lines);
//   - single long routines of each shape (one block of assignments, long loop bodies, many
//     IF statements in a row, a long ELSE IF chain, CASE statements with many arms).
//
//   compile_bench [benchmark options]
//   compile_bench --write-source LINES FILE   writes the routine-code program of about
//                                             LINES lines to FILE (to time other tools on it)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "driver/compile_file.h"
#include "driver/compile_host.h"
#include "driver/compile_options.h"
#include "generated/routine_program.h"
#include "quiet_host.h"

namespace vorax {
namespace {

// A program of about `groups` * 12 lines.
std::string generateSource(int groups) {
  std::string text = "{$M $8000,$FF00,$100}\nPROGRAM BENCH;\n";
  for (int g = 0; g < groups; ++g) {
    const std::string n = std::to_string(g);
    text += "CONST\n  K" + n + " = (" + n + " * 7 + 3) DIV 2;\n";
    text += "  S" + n + " = 'x';\n";
    text +=
        "TYPE\n  REC" + n + " = RECORD A: INTEGER; B: STRING[12]; C: ARRAY[0..3] OF BYTE END;\n";
    text += "VAR\n  V" + n + ": REC" + n + ";\n  W" + n + ": LONGINT;\n";
    text += "CONST\n  T" + n + ": ARRAY[1..4] OF INTEGER = (1, 2, K" + n + ", -4);\n";
    text += "  U" + n + ": STRING[20] = 'typed constant " + n + "';\n";
  }
  text += "BEGIN\n";
  for (int g = 0; g < groups; ++g) {
    text += "  ;\n";
  }
  text += "END.\n";
  return text;
}

// A program of about `groups` * 30 lines: one routine per group with locals, loops,
// conditions, a CASE, a WITH, string and integer assignments and calls.
std::string generateRoutineSource(int groups) {
  std::string text =
      "PROGRAM BENCH;\n"
      "TYPE POINT = RECORD X, Y: INTEGER; NAME: STRING[8] END;\n"
      "VAR TOTAL: LONGINT; P: POINT;\n"
      "FUNCTION TWICE(N: INTEGER): INTEGER;\nBEGIN\n  TWICE := N * 2\nEND;\n";
  for (int g = 0; g < groups; ++g) {
    const std::string n = std::to_string(g);
    text += "PROCEDURE WORK" + n + "(LIMIT: INTEGER; VAR Q: POINT);\n";
    text += "VAR I, J: INTEGER; B: BYTE; S: STRING[20]; A: ARRAY[0..15] OF INTEGER;\n";
    text += "BEGIN\n";
    text += "  J := 0; S := 'work" + n + "';\n";
    text += "  FOR I := 0 TO 15 DO\n    A[I] := I * " + n + " + LIMIT;\n";
    text += "  WHILE J < LIMIT DO\n  BEGIN\n";
    text += "    IF A[J AND 15] > 100 THEN J := J + 2 ELSE J := J + TWICE(1);\n";
    text += "    B := B OR 4\n  END;\n";
    text += "  CASE J OF\n    0: S := S + 'zero';\n    1, 2: S := 'small';\n";
    text += "    3..9: Q.X := J\n  ELSE\n    Q.Y := J\n  END;\n";
    text += "  WITH Q DO\n  BEGIN\n    X := X + Y;\n    NAME := COPY(S, 1, 8)\n  END;\n";
    text += "  REPEAT\n    J := J - 1\n  UNTIL J <= 0;\n";
    text += "  TOTAL := TOTAL + Q.X\n";
    text += "END;\n";
  }
  text += "BEGIN\n  TOTAL := 0;\n";
  for (int g = 0; g < groups; ++g) {
    text += "  WORK" + std::to_string(g) + "(10, P);\n";
  }
  text += "END.\n";
  return text;
}

std::int64_t countLines(const std::string& text) {
  std::int64_t lines = 0;
  for (char c : text) {
    lines += c == '\n' ? 1 : 0;
  }
  return lines;
}

void compileText(benchmark::State& state, const std::string& text, CompileOptions options = {}) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vorax-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path source = folder / "BENCH.PAS";
  std::ofstream(source, std::ios::binary) << text;
  QuietHost host;
  for (auto _ : state) {
    compileFile(source.string(), host, options);
  }
  if (host.failed) {
    state.SkipWithError(("the generated source did not compile: " + host.message).c_str());
  }
  const std::int64_t lines = countLines(text);
  state.counters["source_lines"] = static_cast<double>(lines);
  state.counters["lines_per_second"] = benchmark::Counter(
      static_cast<double>(lines * state.iterations()), benchmark::Counter::kIsRate);
  std::filesystem::remove_all(folder);
}

void compileGeneratedSource(benchmark::State& state) {
  compileText(state, generateSource(static_cast<int>(state.range(0))));
}

void compileGeneratedRoutines(benchmark::State& state) {
  compileText(state, generateRoutineSource(static_cast<int>(state.range(0))));
}

// range(0): source lines; range(1): 1 with the optimizer, 0 without.
void compileRoutineCode(benchmark::State& state) {
  CompileOptions options;
  options.localTier = options.blockTier = state.range(1) != 0;
  compileText(state, generated::routineProgram({.lines = static_cast<int>(state.range(0))}),
              options);
}

// range(0): the shape; range(1): how many statements or arms.
void compileLongRoutine(benchmark::State& state) {
  const auto shape = static_cast<generated::LongRoutine>(state.range(0));
  state.SetLabel(generated::longRoutineName(shape));
  compileText(state, generated::longRoutineProgram(shape, static_cast<int>(state.range(1))));
}

BENCHMARK(compileGeneratedSource)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(compileGeneratedRoutines)->Arg(40)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(compileRoutineCode)
    ->ArgsProduct({{1000, 10000, 25000, 50000, 100000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(compileLongRoutine)
    ->Args({static_cast<int>(generated::LongRoutine::Assignments), 20000})
    ->Args({static_cast<int>(generated::LongRoutine::WhileBody), 100000})
    ->Args({static_cast<int>(generated::LongRoutine::RepeatBody), 100000})
    ->Args({static_cast<int>(generated::LongRoutine::IfStatements), 5000})
    ->Args({static_cast<int>(generated::LongRoutine::ElseIfChain), 1000})
    ->Args({static_cast<int>(generated::LongRoutine::DenseCase), 5000})
    ->Args({static_cast<int>(generated::LongRoutine::SparseCase), 5000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime();

// Passes every run to the console and keeps the routine-code runs for the growth table.
class GrowthReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_name.function_name != "compileRoutineCode" || run.error_occurred ||
          run.run_type != Run::RT_Iteration || run.iterations == 0) {
        continue;
      }
      const auto lines = run.counters.find("source_lines");
      if (lines == run.counters.end()) {
        continue;
      }
      const bool optimized = run.run_name.args.ends_with("/1");
      series_[optimized][static_cast<std::int64_t>(lines->second.value)] =
          run.GetAdjustedCPUTime() / 1e3;  // milliseconds to seconds
    }
  }

  // For each size: seconds, lines per second, and the time against the next smaller
  // size scaled by the size ratio (1.00 is perfectly linear growth).
  void printGrowth(std::ostream& out) const {
    for (const auto& [optimized, sizes] : series_) {
      out << "\nroutine code, " << (optimized ? "with" : "without") << " the optimizer\n";
      out << "      lines    seconds    lines/s   growth\n";
      std::int64_t previousLines = 0;
      double previousSeconds = 0;
      for (const auto& [lines, seconds] : sizes) {
        char row[128];
        if (previousLines > 0 && previousSeconds > 0) {
          const double growth = (seconds / previousSeconds) /
                                (static_cast<double>(lines) / static_cast<double>(previousLines));
          std::snprintf(row, sizeof row, "%11lld %10.3f %10.0f %8.2f\n",
                        static_cast<long long>(lines), seconds, static_cast<double>(lines) / seconds,
                        growth);
        } else {
          std::snprintf(row, sizeof row, "%11lld %10.3f %10.0f %8s\n",
                        static_cast<long long>(lines), seconds, static_cast<double>(lines) / seconds,
                        "");
        }
        out << row;
        previousLines = lines;
        previousSeconds = seconds;
      }
    }
  }

 private:
  std::map<bool, std::map<std::int64_t, double>> series_;
};

}  // namespace
}  // namespace vorax

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--write-source") {
    std::ofstream(argv[3], std::ios::binary)
        << vorax::generated::routineProgram({.lines = std::stoi(argv[2])});
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  vorax::GrowthReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printGrowth(std::cout);
  benchmark::Shutdown();
  return 0;
}
