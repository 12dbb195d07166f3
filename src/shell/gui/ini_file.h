// A minimal INI file: "[section]" lines followed by "key=value" lines. Section and key
// names are compared without regard to letter case, the way Windows profile files are.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorax::gui {

// The value of `key` in `[section]`, with the blanks around it removed. nullopt when the
// file can't be read or has no such section or key.
[[nodiscard]] std::optional<std::string> readIniValue(const std::filesystem::path& file,
                                                      std::string_view section,
                                                      std::string_view key);

// Sets `key` in `[section]` to `value`, keeping every other line of the file. A missing
// file or section is created. The file is replaced as a whole (written beside it, then
// renamed), so a failed write never leaves it half written. Returns false on failure.
bool writeIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value);

}  // namespace vorax::gui
