#include "shell/gui/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>
#include <vector>

namespace vorax::gui {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool sameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

// "[name]" -> name; nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
    return std::nullopt;
  }
  return trimmed(line.substr(1, line.size() - 2));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// "key=value" -> both parts trimmed; comment lines (";" or "#") and lines without "="
// are not key lines.
std::optional<KeyLine> keyLine(std::string_view line) {
  const std::string_view text = trimmed(line);
  if (text.empty() || text.front() == ';' || text.front() == '#') {
    return std::nullopt;
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  return KeyLine{trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1))};
}

std::optional<std::vector<std::string>> readLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  if (in.bad()) {
    return std::nullopt;
  }
  return lines;
}

bool replaceFile(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::filesystem::path temporary = file;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) {
      out << line << '\n';
    }
    out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> readIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key) {
  const auto lines = readLines(file);
  if (!lines) {
    return std::nullopt;
  }
  bool inSection = false;
  for (const std::string& line : *lines) {
    if (const auto name = sectionName(line)) {
      inSection = sameName(*name, section);
    } else if (inSection) {
      if (const auto entry = keyLine(line); entry && sameName(entry->key, key)) {
        return std::string(entry->value);
      }
    }
  }
  return std::nullopt;
}

bool writeIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value) {
  std::vector<std::string> lines;
  if (std::filesystem::exists(file)) {
    auto existing = readLines(file);
    if (!existing) {
      return false;  // rewriting a file we could not read would lose its other settings
    }
    lines = std::move(*existing);
  }
  const std::string newLine = std::string(key) + "=" + std::string(value);

  // Find the section, and in it the key or the last line that belongs to the section.
  std::optional<std::size_t> sectionStart;
  std::size_t insertAt = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = sectionName(lines[i])) {
      if (sectionStart) {
        break;  // the next section starts: the key was not there
      }
      if (sameName(*name, section)) {
        sectionStart = i;
        insertAt = i + 1;
      }
    } else if (sectionStart) {
      if (const auto entry = keyLine(lines[i]); entry && sameName(entry->key, key)) {
        lines[i] = newLine;
        return replaceFile(file, lines);
      }
      if (!trimmed(lines[i]).empty()) {
        insertAt = i + 1;
      }
    }
  }
  if (sectionStart) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
  } else {
    if (!lines.empty() && !trimmed(lines.back()).empty()) {
      lines.emplace_back();
    }
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(newLine);
  }
  return replaceFile(file, lines);
}

}  // namespace vorax::gui
