// Absorption tests of the emit pipeline: a new instruction folded into the newest window
// lines instead of being appended. The table at the end fixes their order.
#include <array>
#include <cstdint>

#include "asmout/emit_rules.h"
#include "asmout/operand_text.h"
#include "asmout/peephole_window.h"

namespace vorax {

namespace {

// inc.w #1,R / dec.w #1,R   =>   nop
bool cancelOppositeSteps(PeepholeWindow& w, PendingInstruction& in) {
  const WindowLine& last = w.last();
  if (!last.label.empty() || last.source != in.source || last.destination != in.destination ||
      last.mnemonic.size() != 5 || in.mnemonic.size() != 5 ||
      sizeLetter(last.mnemonic) != sizeLetter(in.mnemonic)) {
    return false;
  }
  const std::string_view a = std::string_view(last.mnemonic).substr(0, 4);
  const std::string_view b = std::string_view(in.mnemonic).substr(0, 4);
  if ((a == "inc." && b == "dec.") || (a == "dec." && b == "inc.")) {
    w.deleteLine(w.count() - 1);
    return true;
  }
  return false;
}

bool setsFlagsFromDestination(std::string_view m) {
  static constexpr std::array<std::string_view, 12> kPrefixes = {"add.", "sub.", "inc.", "dec.",
                                                                 "shal", "shar", "shll", "shlr",
                                                                 "and.", "or.b", "or.w", "or.l"};
  for (std::string_view prefix : kPrefixes) {
    if (startsWith(m, prefix)) {
      return true;
    }
  }
  return false;
}

// Lines after which the overflow flag is clear, as a compare against zero leaves it.
bool clearsOverflow(std::string_view m) {
  static constexpr std::array<std::string_view, 9> kPrefixes = {
      "mov.", "and.", "or.b", "or.w", "or.l", "not.", "shar", "shll", "shlr"};
  for (std::string_view prefix : kPrefixes) {
    if (startsWith(m, prefix)) {
      return true;
    }
  }
  return false;
}

// add.w r1,r0 / cmp.w #0,r0   =>   add.w r1,r0          (the flags already tell)
// btst #3,r2 / cmp.w #0,r0    =>   btst #3,r2 / and.w r0,r0
// The search for the line that set the flags passes markers, filler "nop"s, conditional
// branches and the same compare; any other compare set flags of its own and stops it.
// The earlier line sets sign and zero as the compare would, but not always overflow and
// never the carry: the pipeline puts the compare back in front of a branch that reads
// those (see keptFlags).
bool zeroCompareUsesEarlierFlags(PeepholeWindow& w, PendingInstruction& in) {
  if (!startsWith(in.mnemonic, "cmp.") || in.source != "#0") {
    return false;
  }
  const std::string& r = in.destination;
  int i = w.count() - 1;
  while (i >= 0) {
    const WindowLine& line = w[i];
    const bool passed =
        startsWith(line.label, "@") ||
        (line.label.empty() &&
         (line.mnemonic == "nop" || isConditionalBranch(line.mnemonic) ||
          (line.mnemonic == in.mnemonic && line.source == in.source && line.destination == r)));
    if (!passed) {
      break;
    }
    --i;
  }
  // "beq L / bra $00 / L: nop / cmp.X #0,R": the only way here is the branch to L, so the
  // flags are those of the line before that branch.
  if (i >= 2 && !w[i].label.empty() && w[i].mnemonic == "nop" && w[i - 1].mnemonic == "bra" &&
      w[i - 1].source == "$00" && isConditionalBranch(w[i - 2].mnemonic) &&
      w[i - 2].source == w[i].label && w.labelUses().uses(w[i].label) == 1) {
    i -= 3;
  }
  if (i >= 0) {
    const WindowLine& setter = w[i];
    const std::string_view m = setter.mnemonic;
    if (sizeLetter(m) == sizeLetter(in.mnemonic) &&
        ((setsFlagsFromDestination(m) && setter.destination == r) ||
         (startsWith(m, "mov.") && (setter.source == r || setter.destination == r)) ||
         ((startsWith(m, "neg.") || startsWith(m, "not.")) && setter.source == r))) {
      in.keptFlags = clearsOverflow(m) ? KeptCompareFlags::SignZeroAndOverflow
                                       : KeptCompareFlags::SignAndZero;
      return true;
    }
  }
  in.mnemonic = "and." + in.mnemonic.substr(4);
  in.source = r;
  return false;
}

// bsr \lodc / bsr \addss     =>   bsr \addc
// bsr \lodsi / db ... / bsr \addss   =>   bsr \addsi / db ...
bool appendStringIntoLoad(PeepholeWindow& w, PendingInstruction& in) {
  if (in.source != "\\addss") {
    return false;
  }
  const int last = w.count() - 1;
  if (w[last].source == "\\lodc") {
    w.setSource(last, "\\addc");
    return true;
  }
  if (last >= 1 && w[last - 1].source == "\\lodsi") {
    w.setSource(last - 1, "\\addsi");
    return true;
  }
  return false;
}

// subs #2,sp / sub.l #6,sp   =>   sub.l #8,sp
bool mergeStackReservations(PeepholeWindow& w, PendingInstruction& in) {
  const WindowLine& last = w.last();
  auto reserves = [](std::string_view m, std::string_view dest) {
    return (m == "subs" || m == "sub.l") && dest == "sp";
  };
  std::int64_t a = 0;
  std::int64_t b = 0;
  if (!reserves(in.mnemonic, in.destination) || !reserves(last.mnemonic, last.destination) ||
      !parseDecimalImmediate(last.source, a) || !parseDecimalImmediate(in.source, b)) {
    return false;
  }
  w.setMnemonic(w.count() - 1, "sub.l");
  w.replaceSourceText(w.count() - 1, "#" + std::to_string(a + b));
  return true;
}

// and.b #m,R / extu.w R   =>   and.w #m,R        (and.w then extu.l gives and.l)
// The mask must be one size below the extension: and.b then extu.l keeps bits 8..15,
// which and.l would clear.
bool extensionIntoMask(PeepholeWindow& w, PendingInstruction& in) {
  const WindowLine& last = w.last();
  if (!startsWith(in.mnemonic, "extu.") || in.mnemonic.size() != 6 ||
      !startsWith(last.mnemonic, "and.") || last.mnemonic.size() != 5 ||
      !startsWith(last.source, "#") || last.destination != in.source) {
    return false;
  }
  const char masked = last.mnemonic[4];
  const char extended = in.mnemonic[5];
  if (!(masked == 'b' && extended == 'w') && !(masked == 'w' && extended == 'l')) {
    return false;
  }
  std::string widened = last.mnemonic;
  widened[4] = extended;
  w.setMnemonic(w.count() - 1, widened);
  return true;
}

// db 1 / db 2   =>   db 1,2      (while the operand stays below 32 characters; nothing
// goes behind a quoted string)
bool mergeDataLines(PeepholeWindow& w, PendingInstruction& in) {
  const WindowLine& last = w.last();
  if (!isDataMnemonic(in.mnemonic) || in.mnemonic != last.mnemonic ||
      (!last.source.empty() && (last.source.back() == '\'' || last.source.back() == '"')) ||
      last.source.size() + in.source.size() >= 32) {
    return false;
  }
  // The text alone changes: a local label among the values keeps the use counted when it
  // came in.
  w.replaceSourceText(w.count() - 1, last.source + "," + in.source);
  return true;
}

// dw ... / org ($+1)/2*2   =>   dw ...      (already aligned)
bool alignmentAfterAlignedLine(PeepholeWindow& w, PendingInstruction& in) {
  const std::string& m = w.last().mnemonic;
  return in.mnemonic == "org" && (m == "org" || m == "dw" || m == "dl" || m == "bsr");
}

// add.X #0,R   =>   (nothing)
bool addOfZero(PeepholeWindow&, PendingInstruction& in) {
  return (startsWith(in.mnemonic, "add.") || startsWith(in.mnemonic, "sub.")) && in.source == "#0";
}

// extu.w R / extu.l R   =>   and.l #255,R
bool doubleExtensionIntoMask(PeepholeWindow& w, PendingInstruction& in) {
  const WindowLine& last = w.last();
  if (last.mnemonic != "extu.w" || in.mnemonic != "extu.l" || last.source != in.source ||
      !last.destination.empty() || !in.destination.empty()) {
    return false;
  }
  const int n = w.count() - 1;
  w.setMnemonic(n, "and.l");
  w.setDestination(n, std::string(last.source));
  w.replaceSourceText(n, "#255");
  return true;
}

// mov.w #a,R2 / mov.w R2,@-sp / mov.w #b,R / mov.w R,@-sp   =>
// mov.l #h'bbbbaaaa,R2 / mov.l R2,@-sp / nop                 (a != b)
bool pushConstantPairAsLong(PeepholeWindow& w, PendingInstruction& in) {
  const int n = w.count();
  if (n < 3) {
    return false;
  }
  const WindowLine& third = w[n - 3];
  const WindowLine& before = w[n - 2];
  const WindowLine& last = w[n - 1];
  std::int64_t a = 0;
  std::int64_t b = 0;
  if (!last.label.empty() || !before.label.empty() || third.mnemonic != "mov.w" ||
      before.mnemonic != "mov.w" || last.mnemonic != "mov.w" || in.mnemonic != "mov.w" ||
      !parseDecimalImmediate(third.source, a) || before.source != third.destination ||
      before.destination != "@-sp" || !parseDecimalImmediate(last.source, b) ||
      in.source != last.destination || in.destination != "@-sp" || a == b) {
    return false;
  }
  // The word pushed second lies lower, so it is the high half of the long.
  const std::int64_t combined = ((b & 0xFFFF) << 16) | (a & 0xFFFF);
  w.setMnemonic(n - 3, "mov.l");
  w.replaceSourceText(n - 3, "#" + hexImmediate32(combined));
  w.setMnemonic(n - 2, "mov.l");
  w.deleteLine(n - 1);
  return true;
}

// mov.w @(d+2,fp),R2 / mov.w R2,@-sp / mov.w @(d,fp),R / mov.w R,@-sp   =>
// mov.l @(d,fp),R2 / mov.l R2,@-sp / nop
bool pushFrameWordPairAsLong(PeepholeWindow& w, PendingInstruction& in) {
  const int n = w.count();
  if (n < 3) {
    return false;
  }
  const WindowLine& third = w[n - 3];
  const WindowLine& before = w[n - 2];
  const WindowLine& last = w[n - 1];
  std::int64_t d2 = 0;
  std::int64_t d1 = 0;
  if (!third.label.empty() || !before.label.empty() || !last.label.empty() ||
      third.mnemonic != "mov.w" || before.mnemonic != "mov.w" || last.mnemonic != "mov.w" ||
      in.mnemonic != "mov.w" || !parseFrameSlot(third.source, d2) ||
      before.source != third.destination || before.destination != "@-sp" ||
      !parseFrameSlot(last.source, d1) || in.source != last.destination ||
      in.destination != "@-sp" || d2 != d1 + 2) {
    return false;
  }
  w.setMnemonic(n - 3, "mov.l");
  w.replaceSourceText(n - 3, std::string(last.source));
  w.setMnemonic(n - 2, "mov.l");
  w.deleteLine(n - 1);
  return true;
}

// and.b #m,R / (lines that leave R alone) / extu.w R   =>   and.w #m,R / ...
bool extensionIntoEarlierMask(PeepholeWindow& w, PendingInstruction& in) {
  if (in.mnemonic != "extu.w") {
    return false;
  }
  const std::string& r = in.source;
  for (int i = w.count() - 1; i >= 6; --i) {
    const WindowLine& line = w[i];
    if (!line.label.empty() || line.mnemonic == "bsr") {
      return false;
    }
    if (line.mnemonic == "and.b" && startsWith(line.source, "#") && line.destination == r) {
      w.setMnemonic(i, "and.w");
      return true;
    }
    if (writes(line, r)) {
      return false;
    }
  }
  return false;
}

struct AbsorptionTest {
  std::string_view name;
  bool (*absorb)(PeepholeWindow&, PendingInstruction&);
  bool skippedWhileLabelPending;
};

// The order matters: the first test that absorbs ends the search. A byte parameter's load
// and extension are never merged into a word load: the caller pushes a whole word and
// leaves whatever its high byte held.
constexpr std::array<AbsorptionTest, 12> kAbsorptionTests = {{
    {"cancelOppositeSteps", cancelOppositeSteps, true},
    // A jump to a pending label may arrive with other flags, so the compare must stay.
    {"zeroCompareUsesEarlierFlags", zeroCompareUsesEarlierFlags, true},
    {"appendStringIntoLoad", appendStringIntoLoad, false},
    {"mergeStackReservations", mergeStackReservations, true},
    {"extensionIntoMask", extensionIntoMask, true},
    {"mergeDataLines", mergeDataLines, true},
    {"alignmentAfterAlignedLine", alignmentAfterAlignedLine, false},
    {"addOfZero", addOfZero, false},
    {"doubleExtensionIntoMask", doubleExtensionIntoMask, true},
    {"pushConstantPairAsLong", pushConstantPairAsLong, true},
    {"pushFrameWordPairAsLong", pushFrameWordPairAsLong, true},
    {"extensionIntoEarlierMask", extensionIntoEarlierMask, true},
}};

}  // namespace

bool absorbIntoWindow(PeepholeWindow& window, PendingInstruction& instruction, bool labelPending) {
  for (const AbsorptionTest& test : kAbsorptionTests) {
    if (labelPending && test.skippedWhileLabelPending) {
      continue;
    }
    // Every test but the one for "add #0" looks at the newest line.
    if (window.empty() && test.absorb != addOfZero) {
      continue;
    }
    if (test.absorb(window, instruction)) {
      return true;
    }
  }
  return false;
}

}  // namespace vorax
