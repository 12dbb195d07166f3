#include "source/file_names.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "diag/short_text.h"

namespace vorax {
namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return asciiUpper(x) == asciiUpper(y);
         });
}

std::size_t lastSeparator(std::string_view name) {
  const std::size_t slash = name.find_last_of("\\/");
  return slash;
}

std::string nativeName(std::string_view name) {
  std::string result(name);
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

bool existsQuietly(const std::filesystem::path& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

// The entry of `folder` named like `component` in any letter case; the first in sorted
// order when several match, so the choice does not depend on the directory's order.
std::optional<std::string> matchInFolder(const std::filesystem::path& folder,
                                         const std::string& component) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
  if (error) {
    return std::nullopt;
  }
  std::vector<std::string> matches;
  for (const auto& entry : entries) {
    std::string entryName = entry.path().filename().string();
    if (equalIgnoringCase(entryName, component)) {
      matches.push_back(std::move(entryName));
    }
  }
  if (matches.empty()) {
    return std::nullopt;
  }
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

std::string upperCaseName(std::string_view name) {
  std::string result(name);
  for (std::size_t i = 0; i < result.size(); ++i) {
    if (isShiftJisLeadByte(static_cast<unsigned char>(result[i]))) {
      ++i;  // keep the second byte as it is
    } else {
      result[i] = asciiUpper(result[i]);
    }
  }
  return result;
}

std::string directoryPart(std::string_view name) {
  const std::size_t slash = lastSeparator(name);
  return slash == std::string_view::npos ? std::string() : std::string(name.substr(0, slash + 1));
}

std::string fileNamePart(std::string_view name) {
  const std::size_t slash = lastSeparator(name);
  return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::string extensionOf(std::string_view name) {
  const std::string file = fileNamePart(name);
  const std::size_t dot = file.find_last_of('.');
  return dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string withExtension(std::string_view name, std::string_view extension) {
  const std::string current = extensionOf(name);
  std::string result(name.substr(0, name.size() - current.size()));
  result += extension;
  return result;
}

bool isAbsoluteName(std::string_view name) {
  if (!name.empty() && isPathSeparator(name.front())) {
    return true;
  }
  return name.size() >= 2 && name[1] == ':' && asciiUpper(name[0]) >= 'A' &&
         asciiUpper(name[0]) <= 'Z';
}

std::optional<std::filesystem::path> findFileIgnoringCase(std::string_view name) {
  const std::filesystem::path exact(nativeName(name));
  if (existsQuietly(exact)) {
    return exact;
  }
  std::filesystem::path found;
  for (const auto& component : exact) {
    const std::string text = component.string();
    if (text.empty() || text == "/" || text == "." || text == ".." ||
        existsQuietly(found / component)) {
      found /= component;
      continue;
    }
    std::optional<std::string> match = matchInFolder(found, text);
    if (!match) {
      return std::nullopt;
    }
    found /= *match;
  }
  return existsQuietly(found) ? std::optional(found) : std::nullopt;
}

}  // namespace vorax
