#include "shell/gui/last_folder_setting.h"

#include "shell/gui/ini_file.h"

namespace vorax::gui {
namespace {

constexpr std::string_view kSection = "PATH";
constexpr std::string_view kKey = "PATH";

}  // namespace

std::filesystem::path settingsFileNameFor(std::string_view programPath) {
  std::string name(programPath.substr(directoryPart(programPath).size()));
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    name.erase(dot);
  }
  return name + ".ini";
}

std::string directoryPart(std::string_view fileName) {
  const std::size_t end = fileName.find_last_of("\\/:");
  return end == std::string_view::npos ? std::string() : std::string(fileName.substr(0, end + 1));
}

std::string LastFolderSetting::read() const {
  return readIniValue(settingsFile_, kSection, kKey).value_or(std::string());
}

bool LastFolderSetting::storeFolderOf(std::string_view sourceFileName) const {
  return writeIniValue(settingsFile_, kSection, kKey, directoryPart(sourceFileName));
}

}  // namespace vorax::gui
