#include "sim/sim_types.h"

#include <cctype>

namespace vorax::sim {

bool parseCpuModel(const std::string& text, CpuModel& model) {
  std::string upper;
  for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "300H") {
    model = CpuModel::H300H;
  } else if (upper == "300L") {
    model = CpuModel::H300L;
  } else if (upper == "2000") {
    model = CpuModel::H2000;
  } else {
    return false;
  }
  return true;
}

const char* cpuModelName(CpuModel model) {
  switch (model) {
    case CpuModel::H300H:
      return "300H";
    case CpuModel::H300L:
      return "300L";
    case CpuModel::H2000:
      return "2000";
  }
  return "?";
}

std::string formatPosition(const SourcePosition& position) {
  return position.file + ":" + std::to_string(position.line);
}

std::string hexDigits(uint64_t value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(static_cast<size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    text[static_cast<size_t>(i)] = kDigits[value & 15];
    value >>= 4;
  }
  return text;
}

}  // namespace vorax::sim
