// Times whole compilations of a generated source: declarations of every kind, typed
// constants and a long statement part, through reader, scanner, symbol table, constant
// folding, data emission and the emit pipeline. Reports source lines per second.
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

std::int64_t countLines(const std::string& text) {
  std::int64_t lines = 0;
  for (char c : text) {
    lines += c == '\n' ? 1 : 0;
  }
  return lines;
}

void compileGeneratedSource(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vorax-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path source = folder / "BENCH.PAS";
  const std::string text = generateSource(static_cast<int>(state.range(0)));
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

BENCHMARK(compileGeneratedSource)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorax

BENCHMARK_MAIN();
