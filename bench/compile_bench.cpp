// Times whole compilations of generated sources. The first is declarations of every kind
// and typed constants (reader, scanner, symbol table, constant folding, data emission);
// the second is routines full of statements (code generation, the statement passes and
// the peephole optimizer). Reports source lines per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "driver/compile_file.h"
#include "driver/compile_host.h"
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

void compileText(benchmark::State& state, const std::string& text) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vorax-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path source = folder / "BENCH.PAS";
  std::ofstream(source, std::ios::binary) << text;
  QuietHost host;
  for (auto _ : state) {
    compileFile(source.string(), host);
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

BENCHMARK(compileGeneratedSource)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(compileGeneratedRoutines)->Arg(40)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorax

BENCHMARK_MAIN();
