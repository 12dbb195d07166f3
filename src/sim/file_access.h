// Reading assembly files from the host: folder-relative names, "\" as a separator and a
// case-insensitive fallback for names written for case-insensitive systems.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vorax::sim {

// Reads a whole file; nothing when it can't be read.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

FileReader diskFileReader();

// The name an include line refers to, relative to the folder of the including file.
std::string resolveIncludeName(const std::string& includingFile, const std::string& name);

// The existing file whose name matches `path` ignoring letter case, or `path` itself.
std::string findCaseInsensitive(const std::string& path);

}  // namespace vorax::sim
