// The assembly file being written: CP932 bytes, every line ended by CR LF.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vorax {

class OutputFile {
 public:
  // Creates (or empties) the file. Throws std::system_error when it can't be created:
  // that failure is not a source error and ends the compilation as an exception.
  void create(const std::filesystem::path& path);
  // Writes into `target` (emptied first) instead of a file; `path` names it in messages.
  void createInMemory(std::string& target, const std::filesystem::path& path);
  [[nodiscard]] bool isOpen() const { return file_ != nullptr || memory_ != nullptr; }

  // Writes `line` and the line end. Throws std::system_error on a failed write.
  void writeLine(std::string_view line);
  void flush();
  void close();

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::string* memory_ = nullptr;
  std::filesystem::path path_;
};

}  // namespace vorax
