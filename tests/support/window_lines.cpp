#include "support/window_lines.h"

namespace vorax::testing {
namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

WindowLine parseWindowLine(std::string_view text) {
  WindowLine line;
  text = trim(text);
  const std::size_t space = text.find_first_of(" \t");
  const std::string_view head = text.substr(0, space);
  if (head.size() > 1 && head.back() == ':') {
    line.label = head.substr(0, head.size() - 1);
    text = trim(space == std::string_view::npos ? std::string_view() : text.substr(space));
  }
  const std::size_t gap = text.find_first_of(" \t");
  line.mnemonic = text.substr(0, gap);
  const std::string_view operands =
      gap == std::string_view::npos ? std::string_view() : trim(text.substr(gap));
  if (line.mnemonic == "db" || line.mnemonic == "dw" || line.mnemonic == "dl") {
    line.source = operands;
    return line;
  }
  int depth = 0;
  for (std::size_t i = 0; i < operands.size(); ++i) {
    if (operands[i] == '(') ++depth;
    if (operands[i] == ')') --depth;
    if (operands[i] == ',' && depth == 0) {
      line.source = operands.substr(0, i);
      line.destination = operands.substr(i + 1);
      return line;
    }
  }
  line.source = operands;
  return line;
}

std::string windowLineText(const WindowLine& line) {
  std::string text;
  if (!line.label.empty()) {
    text = line.label + ": ";
  }
  text += line.mnemonic;
  if (!line.source.empty()) {
    text += ' ' + line.source;
    if (!line.destination.empty()) {
      text += ',' + line.destination;
    }
  }
  return text;
}

void loadWindow(PeepholeWindow& window, const std::vector<std::string>& lines) {
  for (const std::string& text : lines) {
    WindowLine line = parseWindowLine(text);
    window.labelUses().countUsesIn(line.source);
    window.append(std::move(line));
  }
}

std::vector<std::string> windowLineTexts(const PeepholeWindow& window) {
  std::vector<std::string> lines;
  for (int i = 0; i < window.count(); ++i) {
    lines.push_back(windowLineText(window[i]));
  }
  return lines;
}

}  // namespace vorax::testing
