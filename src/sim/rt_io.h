// Text transfer shared by the device routines and the file routines: a "device address"
// is either a device block (OUTROU, INPROU) or a file variable the program assigned.
#pragma once

#include <string>

#include "sim/runtime.h"

namespace vorax::sim {

// The customary Pascal I/O error numbers, stored in IORESULT.
enum IoError : int {
  kIoOk = 0,
  kFileNotFound = 2,
  kPathNotFound = 3,
  kAccessDenied = 5,
  kDiskRead = 100,
  kDiskWrite = 101,
  kFileNotAssigned = 102,
  kFileNotOpen = 103,
  kNotOpenForInput = 104,
  kNotOpenForOutput = 105,
};

constexpr int kEndOfFileCharacter = 26;  // ^Z

// File variables (rt_files.cpp).
HostFile* findFile(RuntimeCall& call, uint32_t variable);
void writeToFile(RuntimeCall& call, HostFile& file, const std::string& bytes);
int readFromFile(RuntimeCall& call, HostFile& file);  // a byte, or ^Z at the end
std::string readLineFromFile(RuntimeCall& call, HostFile& file);

// Devices or files (rt_devices.cpp).
void writeText(RuntimeCall& call, uint32_t target, const std::string& bytes);
void writeLineEnd(RuntimeCall& call, uint32_t target);
int readCharacter(RuntimeCall& call, uint32_t target);
std::string readLine(RuntimeCall& call, uint32_t target);

}  // namespace vorax::sim
