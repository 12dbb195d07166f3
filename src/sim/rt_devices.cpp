// Console and devices: WRITE, WRITELN, READ, READLN on the predefined devices, on devices
// the program defines (OUTROU and INPROU called as subroutines with the character in r0),
// and on text files. The console is standard input and output; the line end written to it
// is the host's ("\n"), the one written to files CR LF.
#include "sim/rt_io.h"

namespace vorax::sim {

namespace {

constexpr int kCarriageReturn = 13;
constexpr int kLineFeed = 10;

bool isRoutine(RuntimeCall& call, uint32_t address, const char* name) {
  return address == routineAddress(call.state().cpu, name);
}

uint32_t deviceWord(RuntimeCall& call, uint32_t address) {
  if ((address & 1) != 0) {
    throw RuntimeFault(
        ExitStatus::kBadMemoryAccess,
        "bad memory access: device block at odd address h'" + hexDigits(address, 6) + "'");
  }
  return call.memory().read32(address) & call.memory().mask();
}

int consoleRead(RuntimeCall& call) {
  RuntimeState& state = call.state();
  if (state.pendingLineFeed) {
    state.pendingLineFeed = false;
    return kLineFeed;
  }
  state.out.flush();
  int c = state.in.get();
  if (c == std::char_traits<char>::eof()) return kEndOfFileCharacter;
  if (c == '\r' && state.in.peek() == '\n') c = state.in.get();
  if (c == '\n') {
    state.pendingLineFeed = true;
    return kCarriageReturn;
  }
  return c;
}

// Output drivers behind OUTROU: the character is in r0.
void consoleOutput(RuntimeCall& call) { call.state().out.put(static_cast<char>(call.cpu().er[0])); }
void errorOutput(RuntimeCall& call) { call.state().err.put(static_cast<char>(call.cpu().er[0])); }
void nullOutput(RuntimeCall&) {}
// Input drivers behind INPROU: the character comes back in r0.
void consoleInput(RuntimeCall& call) { call.setR0(static_cast<uint32_t>(consoleRead(call))); }
void nullInput(RuntimeCall& call) { call.setR0(kEndOfFileCharacter); }

void writeByte(RuntimeCall& call, uint32_t routine, char c) {
  RuntimeState& state = call.state();
  if (isRoutine(call, routine, "\\conout")) {
    state.out.put(c);
  } else if (isRoutine(call, routine, "\\errout")) {
    state.err.put(c);
  } else if (!isRoutine(call, routine, "\\nulout")) {
    call.cpu().er[0] = static_cast<uint8_t>(c);
    call.machine().callSubroutine(routine);
  }
}

// \tch and \wrtlnc: character word, device address.
template <bool LineEnd>
void writeCharacter(RuntimeCall& call) {
  uint32_t device = call.popLong();
  char c = static_cast<char>(call.popWord() & 0xFF);
  writeText(call, device, std::string(1, c));
  if (LineEnd) writeLineEnd(call, device);
}

// \writes and \wrtlns: string, device address.
template <bool LineEnd>
void writeString(RuntimeCall& call) {
  uint32_t device = call.popLong();
  std::string text = call.popString();
  writeText(call, device, text);
  if (LineEnd) writeLineEnd(call, device);
}

// \crlf: device address.
void lineEnd(RuntimeCall& call) { writeLineEnd(call, call.popLong()); }

// \ich: device address -> character in r0.
void inputCharacter(RuntimeCall& call) {
  uint32_t device = call.popLong();
  call.setR0(static_cast<uint32_t>(readCharacter(call, device)));
}

// \readln (console) and \rlnlst (other devices and files): device address -> the line,
// without its line end, as a string on the stack.
void inputLine(RuntimeCall& call) {
  uint32_t device = call.popLong();
  call.pushString(readLine(call, device));
}

}  // namespace

void writeText(RuntimeCall& call, uint32_t target, const std::string& bytes) {
  if (HostFile* file = findFile(call, target)) {
    writeToFile(call, *file, bytes);
    return;
  }
  uint32_t routine = deviceWord(call, target);
  for (char c : bytes) writeByte(call, routine, c);
  setIoResult(call, kIoOk);
}

void writeLineEnd(RuntimeCall& call, uint32_t target) {
  if (HostFile* file = findFile(call, target)) {
    writeToFile(call, *file, "\r\n");
    return;
  }
  uint32_t routine = deviceWord(call, target);
  if (isRoutine(call, routine, "\\conout") || isRoutine(call, routine, "\\errout")) {
    writeByte(call, routine, '\n');
  } else {
    writeByte(call, routine, static_cast<char>(kCarriageReturn));
    writeByte(call, routine, static_cast<char>(kLineFeed));
  }
  setIoResult(call, kIoOk);
}

int readCharacter(RuntimeCall& call, uint32_t target) {
  if (HostFile* file = findFile(call, target)) return readFromFile(call, *file);
  uint32_t routine = deviceWord(call, target + 4);
  setIoResult(call, kIoOk);
  if (isRoutine(call, routine, "\\conin")) return consoleRead(call);
  if (isRoutine(call, routine, "\\nulin")) return kEndOfFileCharacter;
  call.machine().callSubroutine(routine);
  return static_cast<int>(call.cpu().er[0] & 0xFF);
}

std::string readLine(RuntimeCall& call, uint32_t target) {
  if (HostFile* file = findFile(call, target)) return readLineFromFile(call, *file);
  RuntimeState& state = call.state();
  uint32_t routine = deviceWord(call, target + 4);
  setIoResult(call, kIoOk);
  std::string line;
  if (isRoutine(call, routine, "\\conin")) {
    // A READ that stopped at the end of a line leaves that line end for READLN.
    if (state.pendingLineFeed) {
      state.pendingLineFeed = false;
      return line;
    }
    state.out.flush();
    std::getline(state.in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
  } else {
    for (;;) {
      int c = readCharacter(call, target);
      if (c == kCarriageReturn || c == kLineFeed || c == kEndOfFileCharacter) break;
      line += static_cast<char>(c);
    }
  }
  if (line.size() > 255) line.resize(255);
  return line;
}

void addDeviceRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\tch", writeCharacter<false>});
  table.push_back({"\\wrtlnc", writeCharacter<true>});
  table.push_back({"\\writes", writeString<false>});
  table.push_back({"\\wrtlns", writeString<true>});
  table.push_back({"\\crlf", lineEnd});
  table.push_back({"\\ich", inputCharacter});
  table.push_back({"\\readln", inputLine});
  table.push_back({"\\rlnlst", inputLine});
  table.push_back({"\\conout", consoleOutput});
  table.push_back({"\\conin", consoleInput});
  table.push_back({"\\errout", errorOutput});
  table.push_back({"\\nulout", nullOutput});
  table.push_back({"\\nulin", nullInput});
}

}  // namespace vorax::sim
