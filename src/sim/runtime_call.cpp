#include "sim/runtime_call.h"

#include <algorithm>

namespace vorax::sim {

RuntimeCall::RuntimeCall(Machine& machine, RuntimeState& state, bool popReturnAddress)
    : machine_(machine),
      state_(state),
      returnAddress_(popReturnAddress ? machine.popReturnAddress() : machine.cpu().pc) {}

RealBytes RuntimeCall::popReal() {
  RealBytes real = readReal(cpu().er[7]);
  cpu().er[7] += 6;
  return real;
}

std::string RuntimeCall::popString(int size) {
  std::string text = readString(cpu().er[7], size - 1);
  cpu().er[7] += static_cast<uint32_t>((size + 1) & ~1);
  return text;
}

void RuntimeCall::pushReal(const RealBytes& real) {
  cpu().er[7] -= 6;
  writeReal(cpu().er[7], real);
}

void RuntimeCall::pushString(const std::string& text, int size) {
  int area = (size + 1) & ~1;
  cpu().er[7] -= static_cast<uint32_t>(area);
  for (int i = 0; i < area; ++i) memory().write8(cpu().er[7] + static_cast<uint32_t>(i), 0);
  writeString(cpu().er[7], text, size - 1);
}

std::string RuntimeCall::readString(uint32_t address, int maxLength) {
  int length = std::min<int>(memory().read8(address), std::max(maxLength, 0));
  std::string text;
  text.reserve(static_cast<size_t>(length));
  for (int i = 1; i <= length; ++i) {
    text += static_cast<char>(memory().read8(address + static_cast<uint32_t>(i)));
  }
  return text;
}

void RuntimeCall::writeString(uint32_t address, const std::string& text, int maxLength) {
  size_t length = std::min(text.size(), static_cast<size_t>(std::clamp(maxLength, 0, 255)));
  memory().write8(address, static_cast<uint8_t>(length));
  for (size_t i = 0; i < length; ++i) {
    memory().write8(address + 1 + static_cast<uint32_t>(i), static_cast<uint8_t>(text[i]));
  }
}

RealBytes RuntimeCall::readReal(uint32_t address) {
  RealBytes real{};
  for (size_t i = 0; i < real.size(); ++i) {
    real[i] = memory().read8(address + static_cast<uint32_t>(i));
  }
  return real;
}

void RuntimeCall::writeReal(uint32_t address, const RealBytes& real) {
  for (size_t i = 0; i < real.size(); ++i) {
    memory().write8(address + static_cast<uint32_t>(i), real[i]);
  }
}

uint8_t RuntimeCall::inlineByte() { return memory().read8(returnAddress_ + inlineOffset_++); }

RealBytes RuntimeCall::inlineReal() {
  RealBytes real{};
  for (auto& byte : real) byte = inlineByte();
  return real;
}

std::string RuntimeCall::inlineString() {
  int length = inlineByte();
  std::string text;
  for (int i = 0; i < length; ++i) text += static_cast<char>(inlineByte());
  return text;
}

void RuntimeCall::finish() {
  uint32_t next = returnAddress_ + ((inlineOffset_ + 1) & ~1u);
  cpu().pc = memory().wrap(next);
}

}  // namespace vorax::sim
