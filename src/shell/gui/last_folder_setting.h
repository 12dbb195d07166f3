// The window's one setting: the folder of the last source file compiled, so the open
// dialog starts there next time. It lives in the INI file named like the program
// ("vorax-gui.ini"), section "PATH", key "PATH", in the current directory.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vorax::gui {

// The program's own file name with its extension replaced by ".ini" (or ".ini" added),
// without any folder: the file is opened by its bare name in the current directory.
[[nodiscard]] std::filesystem::path settingsFileNameFor(std::string_view programPath);

// The folder part of `fileName` with its trailing separator ("\" or "/"), or of a drive
// name ("C:"); empty for a bare file name.
[[nodiscard]] std::string directoryPart(std::string_view fileName);

class LastFolderSetting {
 public:
  explicit LastFolderSetting(std::filesystem::path settingsFile)
      : settingsFile_(std::move(settingsFile)) {}

  [[nodiscard]] const std::filesystem::path& settingsFile() const { return settingsFile_; }

  // The stored folder; empty when the file is missing, unreadable or has no entry.
  [[nodiscard]] std::string read() const;
  // Stores the folder of `sourceFileName`. A settings file that can't be written only
  // loses the convenience, so the failure is returned and not raised.
  bool storeFolderOf(std::string_view sourceFileName) const;

 private:
  std::filesystem::path settingsFile_;
};

}  // namespace vorax::gui
