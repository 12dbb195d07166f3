// Splits the lines of an assembly file into label, mnemonic and operand texts.
#pragma once

#include <string>
#include <vector>

#include "sim/sim_types.h"

namespace vorax::sim {

struct AsmLine {
  SourcePosition position;
  std::string text;      // the whole line without its line end (for the trace)
  std::string label;     // empty when the line has none
  std::string mnemonic;  // lower-cased; empty for a line holding only a label or a comment
  std::string operands;  // operand field, trailing blanks and comment removed
};

// Parses one line. Lines starting with ";" (after blanks) are comments: mnemonic and label
// stay empty. A label starts in the first column and ends at ":" or at a blank; the
// mnemonic may follow a colon directly ("program:bsr").
AsmLine parseAsmLine(const std::string& text, const SourcePosition& position);

// Splits an operand field at the commas that stand outside quotes and parentheses. The
// parts keep their inner text exactly (blanks inside quotes included) but lose the blanks
// around them.
std::vector<std::string> splitOperands(const std::string& field);

// True when the label is local to the stretch between two global labels ("$12", "@3", "#4").
bool isLocalLabel(const std::string& name);

std::string trimBlanks(const std::string& text);
std::string toLower(const std::string& text);

}  // namespace vorax::sim
