#include "sim/command_line.h"

#include <charconv>

namespace vorax::sim {

const char* usageText() {
  return "usage: vorax-sim [--cpu 300H|300L|2000] [--max-steps N] [--trace] FILE.asm "
         "[MORE.asm ...]\n";
}

bool parseCommandLine(const std::vector<std::string>& args, CommandLine& result,
                      std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](const std::string& option) -> const std::string* {
      if (i + 1 >= args.size()) {
        error = option + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      result.showHelp = true;
    } else if (arg == "--trace") {
      result.options.trace = true;
    } else if (arg == "--cpu") {
      const std::string* text = value(arg);
      if (text == nullptr) return false;
      if (!parseCpuModel(*text, result.options.cpu)) {
        error = "unknown CPU \"" + *text + "\" (300H, 300L or 2000)";
        return false;
      }
    } else if (arg == "--max-steps") {
      const std::string* text = value(arg);
      if (text == nullptr) return false;
      uint64_t steps = 0;
      auto [end, code] = std::from_chars(text->data(), text->data() + text->size(), steps);
      if (code != std::errc() || end != text->data() + text->size()) {
        error = "bad step count \"" + *text + "\"";
        return false;
      }
      result.options.maxSteps = steps;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option \"" + arg + "\"";
      return false;
    } else {
      result.files.push_back(arg);
    }
  }
  if (result.files.empty() && !result.showHelp) {
    error = "no assembly file given";
    return false;
  }
  return true;
}

int simMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
            std::ostream& err) {
  CommandLine commandLine;
  std::string error;
  if (!parseCommandLine(args, commandLine, error)) {
    err << "vorax-sim: " << error << '\n' << usageText();
    return static_cast<int>(ExitStatus::kUsage);
  }
  if (commandLine.showHelp) {
    out << usageText();
    return 0;
  }
  Simulator simulator(commandLine.options, in, out, err);
  return static_cast<int>(simulator.runFiles(commandLine.files));
}

}  // namespace vorax::sim
