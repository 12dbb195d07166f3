// Window lines written as text for tests: "label: mnemonic source,destination".
// Operands split at the first comma outside parentheses; data lines ("db", "dw", "dl")
// keep everything as their source.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "asmout/peephole_window.h"

namespace vorax::testing {

WindowLine parseWindowLine(std::string_view text);
std::string windowLineText(const WindowLine& line);

// Appends the lines to the window, counting label uses as the emit pipeline does.
void loadWindow(PeepholeWindow& window, const std::vector<std::string>& lines);
std::vector<std::string> windowLineTexts(const PeepholeWindow& window);

}  // namespace vorax::testing
