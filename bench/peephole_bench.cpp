// Feeds windows of generated routine code, line by line, through the peephole optimizer
// as the emit pipeline does (local tier and clear-register rule after each append, the
// block tier at the end) and reports lines per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "asmout/peephole_optimizer.h"
#include "asmout/peephole_window.h"
#include "driver/compilation.h"
#include "driver/compile_host.h"
#include "quiet_host.h"

namespace vorax {
namespace {

WindowLine makeLine(std::string label, std::string mnemonic, std::string source = {},
                    std::string destination = {}) {
  WindowLine line;
  line.label = std::move(label);
  line.mnemonic = std::move(mnemonic);
  line.source = std::move(source);
  line.destination = std::move(destination);
  return line;
}

// Statement-shaped code as the generators emit it: assignments, IF/ELSE, calls with
// pushed parameters, WHILE loops, port bit tests and byte extensions, with the redundancy
// the rules are there to remove.
std::vector<WindowLine> generateRoutine(int lineCount) {
  std::vector<WindowLine> lines;
  lines.push_back(makeLine("P.12", "mov.b", "#1", "r0"));
  lines.push_back(makeLine("", "bsr", "\\slset"));
  lines.push_back(makeLine("", "sub.l", "#32", "sp"));
  int label = 2;
  auto local = [&label] {
    std::string text(1, '$');
    text += std::to_string(label++);
    return text;
  };
  for (int statement = 0; static_cast<int>(lines.size()) < lineCount - 3; ++statement) {
    std::string slot = "@(";
    slot += std::to_string(-2 - 2 * (statement % 4));
    slot += ",fp)";
    switch (statement % 6) {
      case 0:
        lines.push_back(makeLine("", "mov.w", "X.5", "r0"));
        lines.push_back(makeLine("", "add.w", "#3", "r0"));
        lines.push_back(makeLine("", "mov.w", "r0", slot));
        lines.push_back(makeLine("", "mov.w", slot, "r1"));
        lines.push_back(makeLine("", "mov.w", "r1", "Y.6"));
        break;
      case 1: {
        const std::string elseLabel = local();
        const std::string endLabel = local();
        lines.push_back(makeLine("", "mov.w", slot, "r0"));
        lines.push_back(makeLine("", "cmp.w", "#10", "r0"));
        lines.push_back(makeLine("", "ble", elseLabel));
        lines.push_back(makeLine("", "mov.w", "#7", "r1"));
        lines.push_back(makeLine("", "mov.w", "r1", "Z.9"));
        lines.push_back(makeLine("", "bra", endLabel));
        lines.push_back(makeLine(elseLabel, "nop"));
        lines.push_back(makeLine("", "xor.w", "r1", "r1"));
        lines.push_back(makeLine("", "mov.w", "r1", "Z.9"));
        lines.push_back(makeLine(endLabel, "nop"));
        break;
      }
      case 2:
        lines.push_back(makeLine("", "mov.w", slot, "r0"));
        lines.push_back(makeLine("", "mov.w", "r0", "@-sp"));
        lines.push_back(makeLine("", "mov.w", "r3", "r2"));
        lines.push_back(makeLine("", "mov.w", "r2", "@-sp"));
        lines.push_back(makeLine("", "bsr", "Q.20"));
        break;
      case 3: {
        const std::string head = local();
        const std::string exit = local();
        lines.push_back(makeLine(head, "mov.w", "@(-8,fp)", "r2"));
        lines.push_back(makeLine("", "and.w", "r2", "r2"));
        lines.push_back(makeLine("", "beq", exit));
        lines.push_back(makeLine("", "dec.w", "#1", "r2"));
        lines.push_back(makeLine("", "mov.w", "r2", "@(-8,fp)"));
        lines.push_back(makeLine("", "bra", head));
        lines.push_back(makeLine(exit, "nop"));
        break;
      }
      case 4: {
        const std::string skip = local();
        lines.push_back(makeLine("", "mov.b", "P5DR", "r0"));
        lines.push_back(makeLine("", "btst", "#2", "r0"));
        lines.push_back(makeLine("", "bne", skip));
        lines.push_back(makeLine("", "xor.w", "r0", "r0"));
        lines.push_back(makeLine("", "mov.w", "r0", "W.3"));
        lines.push_back(makeLine(skip, "nop"));
        break;
      }
      default:
        lines.push_back(makeLine("", "mov.b", "B.4", "r0"));
        lines.push_back(makeLine("", "extu.w", "r0"));
        lines.push_back(makeLine("", "mov.w", "r0", slot));
        lines.push_back(makeLine("", "extu.w", "r0"));
        lines.push_back(makeLine("", "and.b", "#255", "r0"));
        lines.push_back(makeLine("", "mov.w", "r0", "V.8"));
        break;
    }
  }
  lines.push_back(makeLine("", "mov.l", "fp", "sp"));
  lines.push_back(makeLine("", "mov.l", "@sp+", "fp"));
  lines.push_back(makeLine("", "rts"));
  return lines;
}

void feedWindow(benchmark::State& state) {
  const int lineCount = static_cast<int>(state.range(0));
  const std::vector<WindowLine> routine = generateRoutine(lineCount);
  QuietHost host;
  std::int64_t lines = 0;
  std::int64_t remaining = 0;
  for (auto _ : state) {
    Compilation compilation(host, CompileOptions{});
    PeepholeWindow window(compilation.output);
    for (const WindowLine& line : routine) {
      window.labelUses().countUsesIn(line.source);
      window.append(line);
      compilation.optimizer.runLocalTier(window);
      compilation.optimizer.runClearRegisterRule(window);
    }
    compilation.optimizer.runBlockTier(window);
    lines += static_cast<std::int64_t>(routine.size());
    remaining = window.count();
    benchmark::DoNotOptimize(window.count());
  }
  state.SetItemsProcessed(lines);
  state.counters["lines_in"] = static_cast<double>(routine.size());
  state.counters["lines_out"] = static_cast<double>(remaining);
}
BENCHMARK(feedWindow)->Arg(200)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorax

BENCHMARK_MAIN();
