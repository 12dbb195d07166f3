#include "sim/file_access.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/asm_lexer.h"

namespace vorax::sim {

namespace fs = std::filesystem;

std::string findCaseInsensitive(const std::string& path) {
  std::error_code error;
  if (fs::exists(path, error)) return path;
  fs::path wanted(path);
  fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  std::string lowerName = toLower(wanted.filename().string());
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (toLower(entry.path().filename().string()) == lowerName) {
      return wanted.has_parent_path() ? (folder / entry.path().filename()).string()
                                      : entry.path().filename().string();
    }
  }
  return path;
}

FileReader diskFileReader() {
  return [](const std::string& path) -> std::optional<std::string> {
    std::string found = findCaseInsensitive(path);
    // A folder opens like an empty file, and a device such as /dev/zero never ends: only
    // ordinary files hold assembly text.
    std::error_code error;
    if (!fs::is_regular_file(found, error)) return std::nullopt;
    std::ifstream in(found, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  };
}

std::string resolveIncludeName(const std::string& includingFile, const std::string& rawName) {
  std::string name = rawName;
  if (name.size() >= 2 && (name.front() == '\'' || name.front() == '"') &&
      name.back() == name.front()) {
    name = name.substr(1, name.size() - 2);
  }
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  bool absolute = !name.empty() && name[0] == '/';
  if (absolute) return name;
  fs::path folder = fs::path(includingFile).parent_path();
  return folder.empty() ? name : (folder / name).string();
}

}  // namespace vorax::sim
