// The index strength reduction of a FOR loop: a counter kept in a register that the body
// reads only to index an array, through a copy it scales by the element size, counts in
// scaled units instead, so the scaling leaves the loop.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "asmout/peephole_text.h"
#include "driver/compilation.h"
#include "stmt/for_passes.h"

namespace vorax {
namespace {

using peephole::changesRegister;
using peephole::mentions;
using peephole::operationSize;
using peephole::startsWith;

bool isCode(const WindowLine& line) { return !(line.mnemonic == "nop" && line.label.empty()); }

int nextCode(const PeepholeWindow& w, int i) {
  while (i < w.count() && !isCode(w[i])) {
    ++i;
  }
  return i;
}

int previousCode(const PeepholeWindow& w, int i) {
  while (i >= 0 && !isCode(w[i])) {
    --i;
  }
  return i;
}

bool isImmediate(std::string_view text, std::int64_t value) {
  const std::optional<std::int64_t> v = peephole::immediateValue(text);
  return v && *v == value;
}

// The counter's test at the end of the loop:   inc.s #1,R / cmp.s #E,R / ble B
struct LoopTail {
  int step = -1;
  int compare = -1;
  std::string counter;
  std::string suffix;  // ".w" or ".l"
  std::int64_t end = 0;
};

std::optional<LoopTail> findTail(const PeepholeWindow& w, int bodyLine, std::string_view body) {
  const int branch = previousCode(w, w.count() - 1);
  const int compare = branch > bodyLine ? previousCode(w, branch - 1) : -1;
  const int step = compare > bodyLine ? previousCode(w, compare - 1) : -1;
  if (step <= bodyLine || w[branch].mnemonic != "ble" || w[branch].source != body) {
    return std::nullopt;
  }
  LoopTail tail;
  tail.step = step;
  tail.compare = compare;
  tail.counter = w[step].destination;
  tail.suffix = std::string(peephole::sizeSuffix(w[step].mnemonic));
  const std::optional<std::int64_t> end = peephole::immediateValue(w[compare].source);
  if ((tail.suffix != ".w" && tail.suffix != ".l") || w[step].mnemonic != "inc" + tail.suffix ||
      !isImmediate(w[step].source, 1) || !peephole::isWorkRegister(tail.counter) ||
      w[compare].mnemonic != "cmp" + tail.suffix || w[compare].destination != tail.counter ||
      !end || !w[step].label.empty() || !w[compare].label.empty() || !w[branch].label.empty()) {
    return std::nullopt;
  }
  tail.end = *end;
  return tail;
}

// The counter's start value and the line in front of the body that gives it: mov.s #n,R,
// xor.s R,R, or mov.s K,R after mov.s #n,K or xor.s K,K; nothing else between it and the
// body names R or carries a label.
struct StartLine {
  int line = -1;
  std::int64_t value = 0;
};

std::optional<std::int64_t> constantLoadedInto(const PeepholeWindow& w, int line, std::string_view reg,
                                               std::string_view suffix) {
  if (line < 0 || w[line].destination != reg) {
    return std::nullopt;
  }
  if (w[line].mnemonic == "xor" + std::string(suffix) && peephole::clearsRegister(w[line], reg)) {
    return 0;
  }
  if (w[line].mnemonic == "mov" + std::string(suffix)) {
    return peephole::immediateValue(w[line].source);
  }
  return std::nullopt;
}

std::optional<StartLine> findStart(const PeepholeWindow& w, int bodyLine, const LoopTail& tail) {
  for (int i = bodyLine - 1; i >= 0; --i) {
    const WindowLine& line = w[i];
    if (!mentions(line, tail.counter) && !changesRegister(line, tail.counter)) {
      if (!line.label.empty()) {
        return std::nullopt;  // a way into the loop that passes the start value by
      }
      continue;
    }
    if (const auto value = constantLoadedInto(w, i, tail.counter, tail.suffix)) {
      return StartLine{i, *value};
    }
    if (line.mnemonic != "mov" + tail.suffix || line.destination != tail.counter ||
        !peephole::isWorkRegister(line.source) || !line.label.empty()) {
      return std::nullopt;
    }
    const int load = previousCode(w, i - 1);
    const auto value = constantLoadedInto(w, load, line.source, tail.suffix);
    if (!value || !w[load].label.empty()) {
      return std::nullopt;
    }
    return StartLine{i, *value};
  }
  return std::nullopt;
}

// One place where the body reads the counter: a copy into X, then its scaling.
struct ScaledCopy {
  int copy = -1;
  std::vector<int> scaling;  // the lines that scale X
  int multiplierLoad = -1;   // mov.w #k,T for a mulx.w T,X
  std::string multiplier;
  std::string scaled;        // X
  std::int64_t scale = 0;
};

// The constant a word multiplier T holds at line `at`: the nearest line before it that
// sets T must load an immediate; in the body, with no label between, or in front of the
// body when no line of the loop changes T.
std::optional<std::int64_t> multiplierValue(const PeepholeWindow& w, int at, int start, int bodyLine,
                                            int loopEnd, const std::string& multiplier, int& loadLine) {
  loadLine = -1;
  for (int i = at - 1; i > start && loadLine < 0; --i) {
    if (changesRegister(w[i], multiplier)) {
      loadLine = i;
    }
  }
  if (loadLine < 0 || w[loadLine].mnemonic != "mov.w" || w[loadLine].destination != multiplier) {
    return std::nullopt;
  }
  if (loadLine >= bodyLine) {
    for (int i = loadLine + 1; i <= at; ++i) {
      if (!w[i].label.empty()) {
        return std::nullopt;
      }
    }
  } else {
    for (int i = bodyLine; i < loopEnd; ++i) {
      if (changesRegister(w[i], multiplier)) {
        return std::nullopt;
      }
    }
  }
  return peephole::immediateValue(w[loadLine].source);
}

std::optional<ScaledCopy> scaledCopyAt(const PeepholeWindow& w, int i, int start, int bodyLine,
                                       int loopEnd, const LoopTail& tail) {
  const WindowLine& line = w[i];
  ScaledCopy copy;
  copy.copy = i;
  copy.scaled = line.destination;
  if (line.mnemonic != "mov" + tail.suffix || line.source != tail.counter ||
      !peephole::isWorkRegister(copy.scaled) || copy.scaled == tail.counter) {
    return std::nullopt;
  }
  int next = nextCode(w, i + 1);
  if (tail.suffix == ".l") {
    // shal.l #1 (or #2 on the 2000) lines: 1 to 3 bits in all.
    std::int64_t bits = 0;
    while (next < loopEnd && w[next].mnemonic == "shal.l" && w[next].destination == copy.scaled &&
           w[next].label.empty()) {
      const std::optional<std::int64_t> n = peephole::immediateValue(w[next].source);
      if (!n || *n < 1 || *n > 2) {
        return std::nullopt;
      }
      bits += *n;
      copy.scaling.push_back(next);
      next = nextCode(w, next + 1);
    }
    if (bits < 1 || bits > 3) {
      return std::nullopt;
    }
    copy.scale = std::int64_t{1} << bits;
    return copy;
  }
  // A word counter: widened (an element of one byte) or multiplied by the element size.
  if (next < loopEnd && w[next].label.empty() && w[next].source.empty() &&
      (w[next].mnemonic == "extu.l" || w[next].mnemonic == "exts.l") &&
      w[next].destination == copy.scaled) {
    copy.scaling.push_back(next);
    copy.scale = 1;
    return copy;
  }
  if (next < loopEnd && w[next].mnemonic == "mov.w" && w[next].label.empty() &&
      peephole::immediateValue(w[next].source) && peephole::isWorkRegister(w[next].destination) &&
      w[next].destination != copy.scaled && w[next].destination != tail.counter) {
    next = nextCode(w, next + 1);  // the multiplier's own load
  }
  const WindowLine& multiply = w[next < loopEnd ? next : i];
  if (next >= loopEnd || !multiply.label.empty() ||
      (multiply.mnemonic != "mulxs.w" && multiply.mnemonic != "mulxu.w") ||
      multiply.destination != copy.scaled || !peephole::isWorkRegister(multiply.source)) {
    return std::nullopt;
  }
  const std::optional<std::int64_t> scale =
      multiplierValue(w, next, start, bodyLine, loopEnd, multiply.source, copy.multiplierLoad);
  if (!scale || *scale < 1 || *scale > 0x7FFF) {
    return std::nullopt;
  }
  copy.scaling.push_back(next);
  copy.multiplier = multiply.source;
  copy.scale = *scale;
  return copy;
}

// The register operands of a line renamed from `from` to `to` (r1 in "@(-4,r1)" too).
std::string renamed(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool atName = text.substr(i, from.size()) == from &&
                        (i == 0 || text[i - 1] == '@' || text[i - 1] == ',' || text[i - 1] == '(') &&
                        (i + from.size() == text.size() || text[i + from.size()] == ')' ||
                         text[i + from.size()] == ',' || text[i + from.size()] == '+');
    if (atName) {
      result += to;
      i += from.size();
    } else {
      result += text[i++];
    }
  }
  return result;
}

// Whether the value a line gives R at `load` may be read: by a line after it before R is
// set again (a word or more), or, when no line of the window sets it again, by a line of
// the loop above it (on the way round).
bool loadMayBeRead(const PeepholeWindow& w, int load, int bodyLine, const std::string& reg) {
  const auto reads = [&](const WindowLine& line) {
    return mentions(line, reg) &&
           (!peephole::setsRegister(line, reg) || peephole::contains(line.source, reg) ||
            operationSize(line.mnemonic) < 2);
  };
  for (int i = load + 1; i < w.count(); ++i) {
    if (reads(w[i])) {
      return true;
    }
    if (peephole::setsRegister(w[i], reg)) {
      return false;
    }
  }
  for (int i = bodyLine; i < load; ++i) {
    if (reads(w[i])) {
      return true;
    }
  }
  return false;
}

std::string scaledTerm(std::int64_t value, std::int64_t scale) {
  const std::string v = value < 0 ? "(" + std::to_string(value) + ")" : std::to_string(value);
  return "#" + v + "*" + std::to_string(scale);
}

}  // namespace

//   mov.s #a,R / B: ... mov.s R,X / <X scaled by k> ... / inc.s #1,R / cmp.s #e,R / ble B
//   =>   mov.l #a*k,R / B: ... <X is R> ... / add.l #k,R / cmp.l #e*k,R / ble B
bool reduceIndexScaling(Compilation& c, std::string_view body) {
  PeepholeWindow& w = c.emitter.window();
  const int bodyLine = w.findLabel(body);
  if (bodyLine < 0) {
    return false;
  }
  const std::optional<LoopTail> tail = findTail(w, bodyLine, body);
  if (!tail || callsBetween(c, bodyLine, w.count() - 1)) {
    return false;
  }
  const std::optional<StartLine> startLine = findStart(w, bodyLine, *tail);
  if (!startLine) {
    return false;
  }
  const int* start = &startLine->line;
  std::vector<ScaledCopy> copies;
  for (int i = bodyLine; i < tail->step; ++i) {
    if (!mentions(w[i], tail->counter) && !changesRegister(w[i], tail->counter)) {
      continue;
    }
    std::optional<ScaledCopy> copy = scaledCopyAt(w, i, *start, bodyLine, tail->step, *tail);
    if (!copy || (!copies.empty() && copy->scale != copies.front().scale)) {
      return false;  // the counter read otherwise, or scaled by two sizes
    }
    copies.push_back(std::move(*copy));
  }
  if (copies.empty()) {
    return false;
  }
  const std::int64_t scale = copies.front().scale;
  const std::int64_t startValue = startLine->value;
  // Every scaled value fits: the counter runs from start to end + 1 in scaled units.
  const std::int64_t limit = std::int64_t{1} << 30;
  if ((tail->end + 1) * scale >= limit || startValue * scale <= -limit) {
    return false;
  }
  for (const ScaledCopy& copy : copies) {
    for (int line : copy.scaling) {
      w.deleteLine(line);
    }
    if (copy.multiplierLoad >= 0 && !loadMayBeRead(w, copy.multiplierLoad, bodyLine, copy.multiplier)) {
      w.deleteLine(copy.multiplierLoad);  // the multiplier served the scaling alone
    }
    // X goes on as a copy when the body changes it later (adds the frame pointer, say);
    // otherwise the lines read R itself.
    bool changedLater = false;
    int lastUse = copy.copy;
    for (int i = copy.copy + 1; i < tail->step; ++i) {
      if (peephole::setsRegister(w[i], copy.scaled) && !peephole::contains(w[i].source, copy.scaled)) {
        // Set anew; a narrower load keeps the upper bits the copy gave, so the copy stays.
        changedLater = operationSize(w[i].mnemonic) < 4;
        break;
      }
      if (changesRegister(w[i], copy.scaled)) {
        changedLater = true;
        break;
      }
      if (mentions(w[i], copy.scaled)) {
        lastUse = i;
      }
    }
    w.setMnemonic(copy.copy, "mov.l");
    if (!changedLater) {
      for (int i = copy.copy + 1; i <= lastUse; ++i) {
        w.setSource(i, renamed(w[i].source, copy.scaled, tail->counter));
        w.setDestination(i, renamed(w[i].destination, copy.scaled, tail->counter));
      }
      w.deleteLine(copy.copy);
    }
  }
  const std::string startSource = w[*start].source;
  if (startValue == 0) {
    w.setMnemonic(*start, "xor.l");
    w.setSource(*start, tail->counter);
  } else {
    w.setMnemonic(*start, "mov.l");
    w.setSource(*start, scaledTerm(startValue, scale));
  }
  if (peephole::isWorkRegister(startSource) && startSource != tail->counter) {
    dropStartLoad(w, *start, startSource);  // the value came through another register
  }
  if (scale == 1) {
    w.setMnemonic(tail->step, "inc.l");
  } else {
    w.setMnemonic(tail->step, "add.l");
    w.setSource(tail->step, "#" + std::to_string(scale));
  }
  w.setMnemonic(tail->compare, "cmp.l");
  w.setSource(tail->compare, scaledTerm(tail->end, scale));
  return true;
}

}  // namespace vorax
