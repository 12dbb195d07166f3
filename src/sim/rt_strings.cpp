// String routines: loading strings onto the stack (256-byte values, length byte first),
// concatenation, stores, appends with data inline after the call, comparisons, COPY, POS
// and DELETE.
#include <algorithm>

#include "sim/runtime.h"

namespace vorax::sim {

namespace {

constexpr size_t kMaxLength = 255;

std::string cut(std::string text, size_t maxLength = kMaxLength) {
  if (text.size() > maxLength) text.resize(maxLength);
  return text;
}

// Maximum number of characters a string variable of `size` bytes holds.
int capacity(uint16_t size) { return std::clamp(static_cast<int>(size) - 1, 0, 255); }

// \lods: address -> the string, on the stack.
void loadString(RuntimeCall& call) {
  uint32_t address = call.popLong();
  call.pushString(call.readString(address));
}

// \lodsl: size word, address -> the string as a value of that size on the stack.
void loadStringSized(RuntimeCall& call) {
  uint32_t address = call.popLong();
  uint16_t size = call.popWord();
  call.pushString(call.readString(address, capacity(size)), std::max<int>(size, 1));
}

// \lodsi: string data after the call -> on the stack.
void loadInlineString(RuntimeCall& call) { call.pushString(call.inlineString()); }

// \ldsil: string data after the call -> into the area the caller reserved on the stack.
void loadInlineStringReserved(RuntimeCall& call) {
  call.writeString(call.cpu().er[7], call.inlineString());
}

// \lodc: character word -> one-character string on the stack.
void loadCharacter(RuntimeCall& call) {
  char character = static_cast<char>(call.popWord() & 0xFF);
  call.pushString(std::string(1, character));
}

// \addss: string, string -> their concatenation, cut to 255 characters.
void appendStackString(RuntimeCall& call) {
  std::string right = call.popString();
  std::string left = call.popString();
  call.pushString(cut(left + right));
}

// \addsi: string on the stack + string data after the call.
void appendInlineString(RuntimeCall& call) {
  std::string right = call.inlineString();
  std::string left = call.popString();
  call.pushString(cut(left + right));
}

// \adds: string on the stack + the string at a pushed address.
void appendStringAt(RuntimeCall& call) {
  uint32_t address = call.popLong();
  std::string left = call.popString();
  call.pushString(cut(left + call.readString(address)));
}

// \addc: string on the stack + a character word.
void appendCharacter(RuntimeCall& call) {
  char character = static_cast<char>(call.popWord() & 0xFF);
  std::string left = call.popString();
  call.pushString(cut(left + character));
}

// \saves: string, size word, destination address -> stored, cut to size - 1.
void storeString(RuntimeCall& call) {
  uint32_t destination = call.popLong();
  uint16_t size = call.popWord();
  std::string text = call.popString();
  call.writeString(destination, text, capacity(size));
}

// \movs: size word, source address, destination address -> copied, cut to size - 1.
void moveString(RuntimeCall& call) {
  uint32_t destination = call.popLong();
  uint32_t source = call.popLong();
  uint16_t size = call.popWord();
  call.writeString(destination, call.readString(source), capacity(size));
}

// \movsi: destination address; string data after the call.
void moveInlineString(RuntimeCall& call) {
  uint32_t destination = call.popLong();
  call.writeString(destination, call.inlineString());
}

// \apdsi: destination address; after the call its maximum length byte and string data.
void appendInlineToVariable(RuntimeCall& call) {
  uint32_t destination = call.popLong();
  int maxLength = call.inlineByte();
  std::string suffix = call.inlineString();
  std::string text = call.readString(destination, maxLength);
  call.writeString(destination, cut(text + suffix, static_cast<size_t>(maxLength)), maxLength);
}

// \apdc: destination address, character word; after the call the maximum length byte and
// a filler byte.
void appendCharacterToVariable(RuntimeCall& call) {
  char character = static_cast<char>(call.popWord() & 0xFF);
  uint32_t destination = call.popLong();
  int maxLength = call.inlineByte();
  call.inlineByte();
  std::string text = call.readString(destination, maxLength);
  call.writeString(destination, cut(text + character, static_cast<size_t>(maxLength)), maxLength);
}

// Byte-wise comparison; a proper prefix is the smaller string.
int compareStrings(const std::string& left, const std::string& right) {
  size_t common = std::min(left.size(), right.size());
  for (size_t i = 0; i < common; ++i) {
    auto a = static_cast<uint8_t>(left[i]);
    auto b = static_cast<uint8_t>(right[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return left.size() < right.size() ? -1 : left.size() > right.size() ? 1 : 0;
}

template <bool (*Holds)(int)>
void compareStackStrings(RuntimeCall& call) {
  std::string right = call.popString();
  std::string left = call.popString();
  call.setRelation(Holds(compareStrings(left, right)));
}

bool equal(int order) { return order == 0; }
bool notEqual(int order) { return order != 0; }
bool less(int order) { return order < 0; }
bool lessOrEqual(int order) { return order <= 0; }
bool greater(int order) { return order > 0; }
bool greaterOrEqual(int order) { return order >= 0; }

// \copy: [result area] string, index, count -> the part, into the result area.
void copyString(RuntimeCall& call) {
  int count = static_cast<int16_t>(call.popWord());
  int index = static_cast<int16_t>(call.popWord());
  std::string text = call.popString();
  index = std::max(index, 1);
  std::string part;
  if (count > 0 && index <= static_cast<int>(text.size())) {
    part = text.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
  }
  call.writeString(call.cpu().er[7], part);
}

// \pos: substring, string -> 1-based position of the first occurrence in r0, or 0.
void positionOf(RuntimeCall& call) {
  std::string text = call.popString();
  std::string part = call.popString();
  size_t found = part.empty() ? std::string::npos : text.find(part);
  call.setR0(found == std::string::npos ? 0 : static_cast<uint32_t>(found + 1));
}

// \delete: string address, index, count -> the characters removed in place.
void deleteCharacters(RuntimeCall& call) {
  int count = static_cast<int16_t>(call.popWord());
  int index = static_cast<int16_t>(call.popWord());
  uint32_t address = call.popLong();
  std::string text = call.readString(address);
  if (count <= 0 || index < 1 || index > static_cast<int>(text.size())) return;
  text.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
  call.writeString(address, text);
}

}  // namespace

void addStringRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\lods", loadString});
  table.push_back({"\\lodsl", loadStringSized});
  table.push_back({"\\lodsi", loadInlineString});
  table.push_back({"\\ldsil", loadInlineStringReserved});
  table.push_back({"\\lodc", loadCharacter});
  table.push_back({"\\addss", appendStackString});
  table.push_back({"\\addsi", appendInlineString});
  table.push_back({"\\adds", appendStringAt});
  table.push_back({"\\addc", appendCharacter});
  table.push_back({"\\saves", storeString});
  table.push_back({"\\movs", moveString});
  table.push_back({"\\movsi", moveInlineString});
  table.push_back({"\\apdsi", appendInlineToVariable});
  table.push_back({"\\apdc", appendCharacterToVariable});
  table.push_back({"\\xeqys", compareStackStrings<equal>});
  table.push_back({"\\xneys", compareStackStrings<notEqual>});
  table.push_back({"\\xltys", compareStackStrings<less>});
  table.push_back({"\\xleys", compareStackStrings<lessOrEqual>});
  table.push_back({"\\xgtys", compareStackStrings<greater>});
  table.push_back({"\\xgeys", compareStackStrings<greaterOrEqual>});
  table.push_back({"\\copy", copyString});
  table.push_back({"\\pos", positionOf});
  table.push_back({"\\delete", deleteCharacters});
}

}  // namespace vorax::sim
