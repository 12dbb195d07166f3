// Files: TEXT and FILE variables mapped to host files, and the file and directory
// procedures. A file variable holds, at +0, a handle (long) into the runtime's file table,
// at +4 its mode word (0 closed, 1 reading, 2 writing), at +6 a word that is 1 for TEXT,
// and at +8 its name as a string of at most 79 characters.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "sim/file_access.h"
#include "sim/rt_io.h"

namespace vorax::sim {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kModeOffset = 4;
constexpr uint32_t kTextOffset = 6;
constexpr uint32_t kNameOffset = 8;
constexpr int kMaxNameLength = 79;
constexpr uint32_t kBlockSize = 512;
constexpr int kNoMoreFiles = 18;

// Program file names may use "\" as the separator.
std::string hostName(const std::string& name) {
  std::string host = name;
  std::replace(host.begin(), host.end(), '\\', '/');
  return host;
}

void storeMode(RuntimeCall& call, HostFile& file, int mode) {
  file.mode = mode;
  call.memory().write16(file.variableAddress + kModeOffset, static_cast<uint16_t>(mode));
}

// The file behind a variable, or nothing with IORESULT "not assigned".
HostFile* assignedFile(RuntimeCall& call, uint32_t variable) {
  HostFile* file = findFile(call, variable);
  if (file == nullptr) setIoResult(call, kFileNotAssigned);
  return file;
}

void closeStream(HostFile& file) {
  if (file.stream) file.stream->close();
  file.stream.reset();
}

// Opens the host file; returns the I/O error.
int openStream(HostFile& file, std::ios::openmode mode) {
  closeStream(file);
  std::string path = hostName(file.name);
  if ((mode & std::ios::out) == 0 || (mode & std::ios::app) != 0) {
    path = findCaseInsensitive(path);
    std::error_code error;
    if (!fs::exists(path, error)) return kFileNotFound;
  }
  auto stream = std::make_unique<std::fstream>(path, mode | std::ios::binary);
  if (!stream->is_open()) {
    fs::path parent = fs::path(path).parent_path();
    std::error_code error;
    return !parent.empty() && !fs::exists(parent, error) ? kPathNotFound : kAccessDenied;
  }
  file.name = path;
  file.stream = std::move(stream);
  return kIoOk;
}

// \assign: file address, name string, word (1 for TEXT) -> the variable names that file.
void assignFile(RuntimeCall& call) {
  bool isText = call.popWord() != 0;
  std::string name = call.popString();
  uint32_t variable = call.popLong();
  if ((variable & 1) != 0) {
    throw RuntimeFault(ExitStatus::kBadMemoryAccess,
                       "bad memory access: file variable at odd address");
  }
  RuntimeState& state = call.state();
  HostFile* file = findFile(call, variable);
  if (file == nullptr) {
    state.files.emplace_back();
    file = &state.files.back();
    file->variableAddress = variable;
    call.memory().write32(variable, static_cast<uint32_t>(state.files.size()));
  }
  closeStream(*file);
  file->name = name;
  file->isText = isText;
  storeMode(call, *file, 0);
  call.memory().write16(variable + kTextOffset, isText ? 1 : 0);
  call.writeString(variable + kNameOffset, name, kMaxNameLength);
}

template <int Mode, std::ios::openmode OpenMode>
void openFile(RuntimeCall& call) {
  HostFile* file = assignedFile(call, call.popLong());
  if (file == nullptr) return;
  int error = openStream(*file, OpenMode);
  storeMode(call, *file, error == kIoOk ? Mode : 0);
  setIoResult(call, error);
}

// \close
void closeFile(RuntimeCall& call) {
  HostFile* file = assignedFile(call, call.popLong());
  if (file == nullptr) return;
  if (file->mode == 0) {
    setIoResult(call, kFileNotOpen);
    return;
  }
  closeStream(*file);
  storeMode(call, *file, 0);
  setIoResult(call, kIoOk);
}

// \erase
void eraseFile(RuntimeCall& call) {
  HostFile* file = assignedFile(call, call.popLong());
  if (file == nullptr) return;
  std::error_code error;
  bool removed = fs::remove(findCaseInsensitive(hostName(file->name)), error);
  setIoResult(call, removed ? kIoOk : kFileNotFound);
}

// \rename: file address, new name.
void renameFile(RuntimeCall& call) {
  std::string name = call.popString();
  HostFile* file = assignedFile(call, call.popLong());
  if (file == nullptr) return;
  std::error_code error;
  fs::rename(findCaseInsensitive(hostName(file->name)), hostName(name), error);
  if (error) {
    setIoResult(call,
                error == std::errc::no_such_file_or_directory ? kFileNotFound : kAccessDenied);
    return;
  }
  file->name = name;
  call.writeString(file->variableAddress + kNameOffset, name, kMaxNameLength);
  setIoResult(call, kIoOk);
}

// \eof: file address -> BOOLEAN word in r0 (TRUE at the end, or ^Z next in a text).
void endOfFile(RuntimeCall& call) {
  HostFile* file = assignedFile(call, call.popLong());
  call.setR0(1);
  if (file == nullptr) return;
  if (file->mode != 1) {
    setIoResult(call, kNotOpenForInput);
    return;
  }
  int next = file->stream->peek();
  bool atEnd =
      next == std::char_traits<char>::eof() || (file->isText && next == kEndOfFileCharacter);
  call.setR0(atEnd ? 1 : 0);
  setIoResult(call, kIoOk);
}

// \filesize: file address -> size in bytes (r0).
void fileSize(RuntimeCall& call) {
  HostFile* file = assignedFile(call, call.popLong());
  call.setR0(0);
  if (file == nullptr) return;
  if (file->mode == 0) {
    setIoResult(call, kFileNotOpen);
    return;
  }
  file->stream->flush();
  std::error_code error;
  auto size = fs::file_size(file->name, error);
  call.setR0(error ? 0 : static_cast<uint32_t>(size));
  setIoResult(call, error ? kDiskRead : kIoOk);
}

// \blockread: file, 512-byte buffer, count -> up to 512 bytes read; count = bytes read.
void blockRead(RuntimeCall& call) {
  uint32_t countAddress = call.popLong();
  uint32_t buffer = call.popLong();
  HostFile* file = assignedFile(call, call.popLong());
  if (file == nullptr) return;
  if (file->mode != 1) {
    setIoResult(call, kNotOpenForInput);
    return;
  }
  uint32_t done = 0;
  while (done < kBlockSize) {
    int c = file->stream->get();
    if (c == std::char_traits<char>::eof()) break;
    call.memory().write8(buffer + done++, static_cast<uint8_t>(c));
  }
  file->stream->clear();
  call.memory().write32(countAddress, done);
  setIoResult(call, kIoOk);
}

// \blockwrite: file, 512-byte buffer, count -> count bytes (at most 512) written; count =
// bytes written.
void blockWrite(RuntimeCall& call) {
  uint32_t countAddress = call.popLong();
  uint32_t buffer = call.popLong();
  HostFile* file = assignedFile(call, call.popLong());
  if (file == nullptr) return;
  uint32_t count = std::min(call.memory().read32(countAddress), kBlockSize);
  std::string bytes;
  for (uint32_t i = 0; i < count; ++i) bytes += static_cast<char>(call.memory().read8(buffer + i));
  writeToFile(call, *file, bytes);
  call.memory().write32(countAddress, ioResult(call) == kIoOk ? count : 0);
}

void setDosError(RuntimeCall& call, int code) {
  call.memory().write16(call.state().ram + kDosErrorCell, static_cast<uint16_t>(code));
}

// DOS packed time: date in the high word, time (2-second steps) in the low word.
uint32_t packedTime(fs::file_time_type stamp) {
  auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(stamp));
  std::time_t seconds = std::chrono::system_clock::to_time_t(system);
  std::tm local{};
  localtime_r(&seconds, &local);
  uint32_t date = static_cast<uint32_t>(std::max(local.tm_year - 80, 0) << 9 |
                                        (local.tm_mon + 1) << 5 | local.tm_mday);
  uint32_t time = static_cast<uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
  return date << 16 | time;
}

fs::file_time_type unpackTime(uint32_t packed) {
  std::tm local{};
  local.tm_year = static_cast<int>((packed >> 25) & 0x7F) + 80;
  local.tm_mon = static_cast<int>((packed >> 21) & 0x0F) - 1;
  local.tm_mday = static_cast<int>((packed >> 16) & 0x1F);
  local.tm_hour = static_cast<int>((packed >> 11) & 0x1F);
  local.tm_min = static_cast<int>((packed >> 5) & 0x3F);
  local.tm_sec = static_cast<int>(packed & 0x1F) * 2;
  local.tm_isdst = -1;
  auto system = std::chrono::system_clock::from_time_t(std::mktime(&local));
  return std::chrono::file_clock::from_sys(system);
}

// \getftime: file, long address -> the file's time stamp; DOSERROR.
void getFileTime(RuntimeCall& call) {
  uint32_t target = call.popLong();
  HostFile* file = findFile(call, call.popLong());
  std::error_code error;
  if (file == nullptr) {
    setDosError(call, kFileNotAssigned);
    return;
  }
  auto stamp = fs::last_write_time(findCaseInsensitive(hostName(file->name)), error);
  if (error) {
    setDosError(call, kFileNotFound);
    return;
  }
  call.memory().write32(target, packedTime(stamp));
  setDosError(call, 0);
}

// \setftime: file, long address -> the file gets that time stamp; DOSERROR.
void setFileTime(RuntimeCall& call) {
  uint32_t source = call.popLong();
  HostFile* file = findFile(call, call.popLong());
  if (file == nullptr) {
    setDosError(call, kFileNotAssigned);
    return;
  }
  if (file->stream) file->stream->flush();
  std::error_code error;
  fs::last_write_time(findCaseInsensitive(hostName(file->name)),
                      unpackTime(call.memory().read32(source)), error);
  setDosError(call, error ? kFileNotFound : 0);
}

// "*" and "?" patterns, letter case ignored (greedy with one backtracking point, so long
// patterns stay linear).
bool matches(const std::string& pattern, const std::string& name) {
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  size_t p = 0;
  size_t n = 0;
  size_t star = std::string::npos;
  size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

constexpr int kDirectoryAttribute = 0x10;
constexpr int kArchiveAttribute = 0x20;

// Fills the next match into the SEARCHREC: ATTR +0, TIME +2, DATE +4, SIZE +6, NAME +10.
void reportNext(RuntimeCall& call, uint32_t record) {
  auto found = call.state().searches.find(record);
  if (found == call.state().searches.end() || found->second.remaining.empty()) {
    call.state().searches.erase(record);
    setDosError(call, kNoMoreFiles);
    return;
  }
  std::string path = found->second.remaining.front();
  found->second.remaining.pop_front();
  std::error_code error;
  bool directory = fs::is_directory(path, error);
  auto written = fs::last_write_time(path, error);
  uint32_t stamp = error ? 0 : packedTime(written);
  uint32_t size = directory ? 0 : static_cast<uint32_t>(fs::file_size(path, error));
  Memory& memory = call.memory();
  memory.write16(record, directory ? kDirectoryAttribute : kArchiveAttribute);
  memory.write16(record + 2, static_cast<uint16_t>(stamp));
  memory.write16(record + 4, static_cast<uint16_t>(stamp >> 16));
  memory.write16(record + 6, static_cast<uint16_t>(size >> 16));
  memory.write16(record + 8, static_cast<uint16_t>(size));
  call.writeString(record + 10, fs::path(path).filename().string(), 12);
  setDosError(call, 0);
}

// \findfirst: pattern, attributes, SEARCHREC address; DOSERROR.
void findFirst(RuntimeCall& call) {
  uint32_t record = call.popLong();
  int attributes = call.popWord();
  fs::path pattern(hostName(call.popString()));
  fs::path folder = pattern.has_parent_path() ? pattern.parent_path() : fs::path(".");
  DirectorySearch search;
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    call.state().searches.erase(record);
    setDosError(call, kPathNotFound);
    return;
  }
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    bool directory = entry.is_directory(error);
    if (directory && (attributes & kDirectoryAttribute) == 0) continue;
    if (matches(pattern.filename().string(), entry.path().filename().string())) {
      names.push_back(entry.path().string());
    }
  }
  std::sort(names.begin(), names.end());
  search.remaining.assign(names.begin(), names.end());
  call.state().searches[record] = std::move(search);
  reportNext(call, record);
}

// \findnext: SEARCHREC address; DOSERROR.
void findNext(RuntimeCall& call) { reportNext(call, call.popLong()); }

template <int Operation>
void directoryProcedure(RuntimeCall& call) {
  fs::path path(hostName(call.popString()));
  std::error_code error;
  if (Operation == 0) {
    fs::create_directory(path, error);
  } else if (Operation == 1) {
    if (!fs::is_directory(path, error))
      error = std::make_error_code(std::errc::no_such_file_or_directory);
    if (!error) fs::remove(path, error);
  } else {
    fs::current_path(path, error);
  }
  if (!error) {
    setIoResult(call, kIoOk);
  } else {
    setIoResult(call,
                error == std::errc::no_such_file_or_directory ? kPathNotFound : kAccessDenied);
  }
}

}  // namespace

HostFile* findFile(RuntimeCall& call, uint32_t variable) {
  if ((variable & 1) != 0) return nullptr;
  uint32_t handle = call.memory().read32(variable);
  auto& files = call.state().files;
  if (handle == 0 || handle > files.size()) return nullptr;
  HostFile& file = files[handle - 1];
  return file.variableAddress == variable ? &file : nullptr;
}

void writeToFile(RuntimeCall& call, HostFile& file, const std::string& bytes) {
  if (file.mode != 2) {
    setIoResult(call, file.mode == 0 ? kFileNotOpen : kNotOpenForOutput);
    return;
  }
  file.stream->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  setIoResult(call, file.stream->good() ? kIoOk : kDiskWrite);
}

int readFromFile(RuntimeCall& call, HostFile& file) {
  if (file.mode != 1) {
    setIoResult(call, file.mode == 0 ? kFileNotOpen : kNotOpenForInput);
    return kEndOfFileCharacter;
  }
  setIoResult(call, kIoOk);
  int c = file.stream->get();
  if (c == std::char_traits<char>::eof()) {
    file.stream->clear();
    return kEndOfFileCharacter;
  }
  return c;
}

std::string readLineFromFile(RuntimeCall& call, HostFile& file) {
  std::string line;
  for (;;) {
    if (file.mode == 1 && file.stream->peek() == std::char_traits<char>::eof()) {
      file.stream->clear();
      setIoResult(call, kIoOk);
      break;
    }
    int c = readFromFile(call, file);
    if (ioResult(call) != kIoOk || c == '\n') break;
    if (c == kEndOfFileCharacter && file.isText) break;
    if (c != '\r' && line.size() < 255) line += static_cast<char>(c);
  }
  return line;
}

void addFileRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\assign", assignFile});
  table.push_back({"\\reset", openFile<1, std::ios::in>});
  table.push_back({"\\rewrite", openFile<2, std::ios::out | std::ios::trunc>});
  table.push_back({"\\append", openFile<2, std::ios::out | std::ios::app>});
  table.push_back({"\\close", closeFile});
  table.push_back({"\\erase", eraseFile});
  table.push_back({"\\rename", renameFile});
  table.push_back({"\\eof", endOfFile});
  table.push_back({"\\filesize", fileSize});
  table.push_back({"\\blockread", blockRead});
  table.push_back({"\\blockwrite", blockWrite});
  table.push_back({"\\getftime", getFileTime});
  table.push_back({"\\setftime", setFileTime});
  table.push_back({"\\findfirst", findFirst});
  table.push_back({"\\findnext", findNext});
  table.push_back({"\\mkdir", directoryProcedure<0>});
  table.push_back({"\\rmdir", directoryProcedure<1>});
  table.push_back({"\\chdir", directoryProcedure<2>});
}

}  // namespace vorax::sim
