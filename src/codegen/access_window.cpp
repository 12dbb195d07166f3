// Window searches for register reuse. A register may stand in for a memory load only while
// the window proves it still holds what was loaded: no call since (routines keep no
// register), no label control could join at, no store that might have changed the memory
// (a store to another frame slot cannot; a store through a pointer may reach any
// variable), and no instruction that wrote the register or a register the memory operand
// is built on.
#include <string>

#include "asmout/operand_text.h"
#include "asmout/peephole_window.h"
#include "codegen/access_internal.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

bool isRegisterText(std::string_view text) {
  return registerNumber(text) >= 0 || text == "fp" || text == "sp";
}

// The register an operand is built on ("@r2", "@(4,r3)", "@(S,r1)"), or empty.
std::string_view baseRegisterOf(std::string_view text) {
  if (text.size() < 2 || text[0] != '@') {
    return {};
  }
  text.remove_prefix(1);
  if (text[0] == '(') {
    const std::size_t comma = text.find(',');
    const std::size_t close = text.find(')');
    if (comma == std::string_view::npos || close == std::string_view::npos || close < comma) {
      return {};
    }
    return text.substr(comma + 1, close - comma - 1);
  }
  return registerNumber(text) >= 0 ? text : std::string_view{};
}

// The bytes [offset, offset + size) of a frame slot operand "@(d,fp)" written by a move.
bool frameSlotRange(std::string_view operand, std::string_view mnemonic, std::int64_t& offset,
                    std::int64_t& size) {
  if (operandKind(operand) != OperandKind::FrameSlot || !operand.ends_with(",fp)")) {
    return false;
  }
  const std::string_view number = operand.substr(2, operand.size() - 2 - 4);
  if (!parseDecimal(number, offset)) {
    return false;
  }
  if (mnemonic.ends_with(".b")) {
    size = 1;
  } else if (mnemonic.ends_with(".w")) {
    size = 2;
  } else if (mnemonic.ends_with(".l")) {
    size = 4;
  } else {
    return false;
  }
  return true;
}

// True when the store `line` may have written any byte of `source` (loaded with
// `mnemonic`). Two frame slots are compared by their bytes; any other store may reach any
// memory.
bool storeMayReach(const WindowLine& line, std::string_view mnemonic, std::string_view source) {
  if (!lineStoresToMemory(line)) {
    return false;
  }
  std::int64_t stored = 0;
  std::int64_t storedSize = 0;
  std::int64_t loaded = 0;
  std::int64_t loadedSize = 0;
  if (frameSlotRange(line.destination, line.mnemonic, stored, storedSize) &&
      frameSlotRange(source, mnemonic, loaded, loadedSize)) {
    return stored < loaded + loadedSize && loaded < stored + storedSize;
  }
  return true;
}

}  // namespace

bool lineChangesRegister(const WindowLine& line, std::string_view reg) {
  if (line.mnemonic == "bsr" || line.mnemonic == "jsr") {
    return true;
  }
  if (line.destination == reg) {
    return true;
  }
  // One-operand instructions (extu, exts, neg, not, shifts) name their register as source.
  return line.destination.empty() && line.source == reg && line.mnemonic != "bcx" &&
         line.mnemonic != "db" && line.mnemonic != "dw" && line.mnemonic != "dl";
}

bool lineStoresToMemory(const WindowLine& line) {
  const std::string& d = line.destination;
  if (d.empty() || d[0] == '#' || isRegisterText(d)) {
    return false;
  }
  const bool stack = d == "@-sp" || d == "@sp" || (d.size() > 4 && d.ends_with(",sp)"));
  return !stack;
}

bool isJoinLabel(std::string_view label) { return !label.empty() && label[0] != '@'; }

bool isFreeForReuse(const Compilation& c, std::string_view reg) {
  if (c.registers.isRegisterInUse(reg) || c.registers.isRegisterLocked(reg)) {
    return false;
  }
  for (int w = 0; w < c.registers.withRegisterCount(); ++w) {
    if (c.registers.withRegister(w).registerText == reg) {
      return false;
    }
  }
  return true;
}

// Going back from the newest line, the search would stop at a call, and after a line
// with a join label; a register written since the load no longer holds it. So the
// only loads that can serve are the newest writes of each work register, standing no
// lower than the newest call or join label; of those that still hold `source` (nothing
// since changed its base register or may have stored into it), the newest serves.
std::optional<std::string> findReusableLoad(Compilation& c, std::string_view mnemonic,
                                            std::string_view source) {
  if (!c.emitter.pendingLabel().empty()) {
    return std::nullopt;
  }
  const PeepholeWindow& window = c.emitter.window();
  const WindowIndexes& indexes = window.indexes();
  // The register the operand is built on, when a write of a work register changes it
  // (its name, or just its digit in an odd spelling).
  const std::string_view base = baseRegisterOf(source);
  int baseRegister = -1;
  if (isWorkRegister(base)) {
    baseRegister = base[1] - '0';
  } else if (base.size() == 1 && base[0] >= '0' && base[0] <= '5') {
    baseRegister = base[0] - '0';
  }
  const std::int64_t lastCall = indexes.calls().newest();
  const std::int64_t lastJoin = indexes.joins().newest();
  std::int64_t best = -1;
  for (int reg = 0; reg < kWorkRegisterCount; ++reg) {
    const std::int64_t load = indexes.writersOf(reg).newest();
    if (load < 0 || load <= best || load <= lastCall || load < lastJoin) {
      continue;
    }
    const int at = window.positionOf(load);
    const WindowLine& line = window[at];
    if (line.mnemonic != mnemonic || line.source != source || !isWorkRegister(line.destination) ||
        (baseRegister >= 0 && indexes.writersOf(baseRegister).newest() > load) ||
        !isFreeForReuse(c, line.destination)) {
      continue;
    }
    bool stored = false;
    for (int i = at + 1; i < window.count() && !stored; ++i) {
      stored = storeMayReach(window[i], mnemonic, source);
    }
    if (!stored) {
      best = load;
    }
  }
  if (best < 0) {
    return std::nullopt;
  }
  return window[window.positionOf(best)].destination;
}

}  // namespace vorax
