#include "asmout/output_file.h"

#include <cerrno>
#include <system_error>

namespace vorax {

void OutputFile::create(const std::filesystem::path& path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) {
    throw std::system_error(errno, std::generic_category(), "cannot create " + path.string());
  }
  path_ = path;
}

void OutputFile::createInMemory(std::string& target, const std::filesystem::path& path) {
  file_.reset();
  target.clear();
  memory_ = &target;
  path_ = path;
}

void OutputFile::writeLine(std::string_view line) {
  if (memory_ != nullptr) {
    memory_->append(line);
    memory_->append("\r\n");
    return;
  }
  if (!file_) {
    return;
  }
  if (std::fwrite(line.data(), 1, line.size(), file_.get()) != line.size() ||
      std::fwrite("\r\n", 1, 2, file_.get()) != 2) {
    throw std::system_error(errno, std::generic_category(), "cannot write " + path_.string());
  }
}

void OutputFile::flush() {
  if (file_) {
    std::fflush(file_.get());
  }
}

void OutputFile::close() {
  memory_ = nullptr;
  if (file_ && std::fclose(file_.release()) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot write " + path_.string());
  }
}

}  // namespace vorax
