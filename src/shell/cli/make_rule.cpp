#include "shell/cli/make_rule.h"

#include <algorithm>

namespace vorax {
namespace {

std::string escapedForMake(const std::string& name) {
  std::string result;
  for (const char c : name) {
    if (c == '$') {
      result += "$$";
    } else {
      if (c == ' ' || c == '\t' || c == '#') result += '\\';
      result += c;
    }
  }
  return result;
}

}  // namespace

std::string makeRule(const std::string& target, const std::vector<std::string>& prerequisites) {
  std::string rule = escapedForMake(target) + ":";
  std::vector<std::string> written;
  for (const std::string& name : prerequisites) {
    if (std::find(written.begin(), written.end(), name) != written.end()) continue;
    written.push_back(name);
    rule += " \\\n  " + escapedForMake(name);
  }
  return rule + "\n";
}

}  // namespace vorax
