// File-name handling for source, include and output files. Names are written for a system
// where "\" separates folders and letter case does not matter; both "\" and "/" are
// accepted as separators here, and a file missing under its exact name is looked up
// case-insensitively.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorax {

[[nodiscard]] bool isPathSeparator(char c);

// Letters a to z upper-cased; the second byte of a Shift-JIS character is left alone.
[[nodiscard]] std::string upperCaseName(std::string_view name);

// Everything up to and including the last separator ("" for a bare name).
[[nodiscard]] std::string directoryPart(std::string_view name);
// Everything after the last separator.
[[nodiscard]] std::string fileNamePart(std::string_view name);
// The extension of the file-name part including its ".", or "" when it has none.
[[nodiscard]] std::string extensionOf(std::string_view name);
// `name` with its extension replaced by `extension` (added when it has none).
[[nodiscard]] std::string withExtension(std::string_view name, std::string_view extension);
// A name beginning with a separator or with a drive letter and ":" does not depend on the
// folder of the file that names it.
[[nodiscard]] bool isAbsoluteName(std::string_view name);

// The file `name` refers to: the exact name when it exists, otherwise the entry whose name
// matches case-insensitively, folder by folder. No result when nothing matches.
[[nodiscard]] std::optional<std::filesystem::path> findFileIgnoringCase(std::string_view name);

}  // namespace vorax
