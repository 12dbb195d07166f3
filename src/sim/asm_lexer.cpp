#include "sim/asm_lexer.h"

#include <cctype>

namespace vorax::sim {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Position of the first ";" outside quotes, or npos.
size_t commentStart(const std::string& text) {
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      // h'00ff is a number, not a quoted text.
      if (c == '\'' && i > 0 && (text[i - 1] == 'h' || text[i - 1] == 'H')) {
        size_t j = i + 1;
        while (j < text.size() && std::isxdigit(static_cast<unsigned char>(text[j]))) ++j;
        i = j < text.size() && text[j] == '\'' ? j : j - 1;
        continue;
      }
      quote = c;
    } else if (c == ';') {
      return i;
    }
  }
  return std::string::npos;
}

}  // namespace

std::string trimBlanks(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string toLower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool isLocalLabel(const std::string& name) {
  return !name.empty() && (name[0] == '$' || name[0] == '@' || name[0] == '#');
}

AsmLine parseAsmLine(const std::string& rawText, const SourcePosition& position) {
  AsmLine line;
  line.position = position;
  line.text = rawText;
  while (!line.text.empty() && (line.text.back() == '\r' || line.text.back() == '\n')) {
    line.text.pop_back();
  }
  const std::string& text = line.text;
  size_t i = 0;
  if (!text.empty() && !isBlank(text[0])) {
    if (text[0] == ';' || text[0] == '*') return line;  // comment line
    while (i < text.size() && text[i] != ':' && !isBlank(text[i])) ++i;
    line.label = text.substr(0, i);
    if (i < text.size() && text[i] == ':') ++i;
  }
  while (i < text.size() && isBlank(text[i])) ++i;
  if (i >= text.size() || text[i] == ';') return line;
  size_t start = i;
  while (i < text.size() && !isBlank(text[i])) ++i;
  line.mnemonic = toLower(text.substr(start, i - start));
  std::string rest = text.substr(i);
  size_t comment = commentStart(rest);
  if (comment != std::string::npos) rest.resize(comment);
  line.operands = trimBlanks(rest);
  return line;
}

std::vector<std::string> splitOperands(const std::string& field) {
  std::vector<std::string> parts;
  if (trimBlanks(field).empty()) return parts;
  std::string current;
  char quote = 0;
  int depth = 0;
  for (size_t i = 0; i < field.size(); ++i) {
    char c = field[i];
    if (quote != 0) {
      current += c;
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' && i > 0 && (field[i - 1] == 'h' || field[i - 1] == 'H') &&
        (i < 2 || !(std::isalnum(static_cast<unsigned char>(field[i - 2])) || field[i - 2] == '_' ||
                    field[i - 2] == '.' || field[i - 2] == '\\'))) {
      // h'..' number (the closing apostrophe is optional): copy its digits.
      current += c;
      while (i + 1 < field.size() && std::isxdigit(static_cast<unsigned char>(field[i + 1]))) {
        current += field[++i];
      }
      if (i + 1 < field.size() && field[i + 1] == '\'') current += field[++i];
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      current += c;
    } else if (c == '(') {
      ++depth;
      current += c;
    } else if (c == ')') {
      --depth;
      current += c;
    } else if (c == ',' && depth == 0) {
      parts.push_back(trimBlanks(current));
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(trimBlanks(current));
  return parts;
}

}  // namespace vorax::sim
