// Everything the host runtime keeps between calls: the console, the heap, open files and
// directory searches.
#pragma once

#include <cstdint>
#include <deque>
#include <fstream>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sim/sim_types.h"

namespace vorax::sim {

// Fixed cells relative to \ram.
constexpr uint32_t kMainFrameCell = 12;
constexpr uint32_t kIoResultCell = 16;
constexpr uint32_t kDosErrorCell = 18;
constexpr uint32_t kRuntimeCellsSize = 32;  // \ram .. \ram+31 belong to the runtime

// Heap in target RAM with first-fit allocation; the block lists are kept on the host.
struct HeapState {
  uint32_t start = 0;
  uint32_t end = 0;
  std::map<uint32_t, uint32_t> freeBlocks;  // address -> size
  std::map<uint32_t, uint32_t> usedBlocks;  // address -> size
};

// A host file behind a TEXT or FILE variable of the program.
struct HostFile {
  uint32_t variableAddress = 0;
  std::string name;
  bool isText = true;
  int mode = 0;  // 0 closed, 1 reading, 2 writing
  std::unique_ptr<std::fstream> stream;
};

struct DirectorySearch {
  std::deque<std::string> remaining;  // host paths still to report
  std::string folder;
  int attributes = 0;
};

struct RuntimeState {
  RuntimeState(CpuModel model, std::istream& input, std::ostream& output, std::ostream& errors)
      : cpu(model), in(input), out(output), err(errors) {}

  CpuModel cpu;
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  uint32_t ram = 0;              // \ram, taken from the second vector entry by \lnkfre
  bool pendingLineFeed = false;  // console input: LF still to deliver after a CR
  HeapState heap;
  std::vector<HostFile> files;                   // handle n is files[n - 1]
  std::map<uint32_t, DirectorySearch> searches;  // by the SEARCHREC's address
};

}  // namespace vorax::sim
