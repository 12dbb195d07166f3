// What every peephole rule sees (the window and a few facts about the compilation) and
// the declarations of all rules. The order in which they run is kept in one place, the
// tables of peephole_optimizer.cpp; each rule here is a small function whose comment shows
// the pattern it rewrites.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "asmout/peephole_window.h"
#include "asmout/shared_places.h"

namespace vorax::peephole {

// The rules' view of the compilation. Buffers are reused from one scan to the next so the
// hot scan does not allocate.
class RuleContext {
 public:
  PeepholeWindow& window() { return *window_; }
  void setWindow(PeepholeWindow& window) { window_ = &window; }

  // Target "2000": bit instructions reach absolute addresses beyond the short I/O area.
  bool cpu2000 = false;
  // The routine stored into its WITH slots, so its temporary area must stay reserved.
  bool withSlotsUsed = false;
  // Answers whether work register rN is free for the code generators at the newest line
  // (not in use, not locked, not a WITH base). Unset: no rule borrows a register.
  std::function<bool(int)> freeWorkRegister;
  // Hands out the next local label number. Unset: numbers above every one in the window.
  std::function<int()> nextLabelNumber;
  // The places that may lie at another place's address. Unset: none.
  const SharedPlaces* sharedPlaces = nullptr;
  [[nodiscard]] const SharedPlaces& shared() const {
    return sharedPlaces != nullptr ? *sharedPlaces : kNoSharedPlaces;
  }

  // A fresh local label "$n" that no window line carries or names.
  std::string newLocalLabel();
  // Whether work register rN is free, asking freeWorkRegister; for a tracked rule, the
  // answer comes from outside the window, so it is asked again every time.
  bool workRegisterFree(int number) {
    if (ReadTracker* tracker = window().readTracker()) {
      tracker->readOutside();
    }
    return freeWorkRegister && freeWorkRegister(number);
  }

  // Scratch buffers of the flow scans.
  std::vector<int> worklist;
  std::vector<char> visited;

 private:
  static inline const SharedPlaces kNoSharedPlaces{};
  PeepholeWindow* window_ = nullptr;
};

// Outcome of a local rule at one position.
enum class RuleResult {
  NoChange,
  Changed,          // the scan restarts from the newest line
  ChangedSilently,  // the line changed but the scan goes on downward
};

using LocalRule = RuleResult (*)(RuleContext&, int a);
using PositionRule = bool (*)(RuleContext&, int a);
using WholePass = int (*)(RuleContext&);  // returns how many rewrites it made

// --- Local tier (peephole_local_rules*.cpp), tried at each position a ---------------
RuleResult reverseMove(RuleContext&, int a);                // L01
RuleResult deadResultBeforeLoad(RuleContext&, int a);       // L02
RuleResult duplicateLoadBeforeBranch(RuleContext&, int a);  // L03
RuleResult popThenPush(RuleContext&, int a);                // L04
RuleResult deadUnaryOperation(RuleContext&, int a);         // L05
RuleResult repeatedStore(RuleContext&, int a);              // L06
RuleResult maskTestIntoBranch(RuleContext&, int a);         // L07
RuleResult byteMask(RuleContext&, int a);                   // L08
RuleResult wordMask(RuleContext&, int a);                   // L09
RuleResult maskMerging(RuleContext&, int a);                // L10
RuleResult sixLineExchange(RuleContext&, int a);            // L11
RuleResult unreachableLine(RuleContext&, int a);            // L12
RuleResult branchOverBranch(RuleContext&, int a);           // L13
RuleResult compareWithoutBranch(RuleContext&, int a);       // L14
RuleResult repeatedCompare(RuleContext&, int a);            // L15
RuleResult rangeTestFolding(RuleContext&, int a);           // L16
RuleResult branchToNextLine(RuleContext&, int a);           // L17
RuleResult bitTestFromMask(RuleContext&, int a);            // L18
RuleResult bitTestOfLoadedByte(RuleContext&, int a);        // L19
RuleResult repeatedExtension(RuleContext&, int a);          // L20
RuleResult knownFlags(RuleContext&, int a);                 // L21
// Run on the newest line after every append.
bool clearRegisterRule(RuleContext&);  // L-clear

// --- Block tier -------------------------------------------------------------------
int stackReservationAdjustment(RuleContext&);  // B-stack
int unusedLocalLabels(RuleContext&);           // B-labels
// Register passes, run together at each position.
bool frameSlotForwarding(RuleContext&, int a);  // R-slotfwd
bool frameSlotReload(RuleContext&, int a);      // R-slotload
bool repeatedClear(RuleContext&, int a);        // R-clear
bool repeatedLoad(RuleContext&, int a);         // R-load
bool registerMove(RuleContext&, int a);         // R-move
// Jump passes.
bool labelledBranch(RuleContext&, int a);                // J-labelbra
bool branchAfterConditionalBranch(RuleContext&, int a);  // J-condbra
bool compareChainBeforeBranch(RuleContext&, int a);      // J-cmpbeq
bool knownValueCopy(RuleContext&, int a);                // J-known
bool reloadBeforePushedCompare(RuleContext&, int a);     // J-pushcmp
bool moveRunToItsBranch(RuleContext&, int a);            // J-runmove
bool mergeRunsBeforeBranch(RuleContext&, int a);         // J-runmerge
bool oneLineCrossJump(RuleContext&, int a);              // J-cross
// Procedure-frame passes.
int leafRoutineFrame(RuleContext&);               // F-leaf
int resultSlotIntoRegister(RuleContext&);         // F-result
int leafFunctionFrame(RuleContext&);              // F-fnleaf
int leafInlineEntryFrame(RuleContext&);           // F-fwdleaf
int stackAdjustBeforeFrameRelease(RuleContext&);  // F-release
// Call and store passes.
bool pushBeforeCall(RuleContext&, int a);     // C-push
bool loadBeforeCall(RuleContext&, int a);     // C-loadcall
bool storeAndReload(RuleContext&, int a);     // C-storeload
bool storeBeforeBranch(RuleContext&, int a);  // C-storebranch
bool registerReuse(RuleContext&, int a);      // C-reuse
int deadStoreAtFrameRelease(RuleContext&);    // C-deadstore
bool longExtension(RuleContext&, int a);      // C-extu
// Last passes.
bool shiftPair(RuleContext&, int a);  // B-shift
int finalJump(RuleContext&);          // B-finaljump
int nopRemoval(RuleContext&);         // B-nop

}  // namespace vorax::peephole
