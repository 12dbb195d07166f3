// The frame of a routine at level L, from high addresses down: parameters, the return
// address, the function result slot (when there is one), the caller's frame pointer at
// fp+0, the display (fp-4 .. fp-4L: the frame of the active routine of each level, the
// routine's own frame last), the locals, and 24 bytes of temporaries.
#include "decls/routine_frame.h"

#include <limits>
#include <string>

#include "asmout/operand_text.h"
#include "asmout/runtime_names.h"
#include "asmout/stack_adjust.h"
#include "decls/routine_labels.h"
#include "decls/shared_exits.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

constexpr int kUnexpectedResultKind = 918;
// Below the display and the locals: six four-byte slots for WITH bases.
constexpr std::int64_t kTemporaryBytes = 24;
constexpr std::int32_t kWithSlotSize = 4;

bool isMainProgram(const SymbolEntry& routine) { return routine.level == 1; }

void push(Emitter& e, std::string_view source) { e.emitInstruction("mov.l", source, "@-sp"); }

// Saves the registers an interrupted program expects back, r0 first.
void saveInterruptedRegisters(Compilation& c) {
  Emitter& e = c.emitter;
  if (c.directives.settings().cpu2000) {
    e.emitInstruction("stm", "(r0-r3)", "@-sp");
    e.emitInstruction("stm", "(r4-r6)", "@-sp");
    return;
  }
  for (const char* reg : {"r0", "r1", "r2", "r3", "r4", "r5", "r6"}) {
    push(e, reg);
  }
}

void restoreInterruptedRegisters(Compilation& c) {
  Emitter& e = c.emitter;
  if (c.directives.settings().cpu2000) {
    e.emitInstruction("ldm", "@sp+", "(r4-r6)");
    e.emitInstruction("ldm", "@sp+", "(r0-r3)");
    return;
  }
  for (const char* reg : {"r6", "r5", "r4", "r3", "r2", "r1", "r0"}) {
    e.emitInstruction("mov.l", "@sp+", reg);
  }
}

// The two display entries of a level-2 frame whose fp is already set: the main
// program's frame (kept in "\ram+12") and the routine's own.
void pushLevelTwoDisplay(Emitter& e) {
  const std::string cell(rt::kMainFramePointerCell);
  e.emitInstruction("mov.l", cell, "r0");
  push(e, "r0");
  push(e, "fp");
}

void emitMainFrame(Emitter& e) {
  const std::string cell(rt::kMainFramePointerCell);
  e.emitInstruction("mov.l", cell, "r0");
  push(e, "r0");
  push(e, "fp");
  e.emitInstruction("mov.l", "sp", "fp");
  e.emitInstruction("mov.l", "fp", cell);
  push(e, "fp");
}

// The function result slot, filled with whatever r0 holds: its place is what matters.
void pushResultSlot(Compilation& c, const SymbolEntry& routine) {
  const std::optional<std::int32_t> slot = resultSlotSize(routine.type);
  if (!slot) {
    c.reportError(kUnexpectedResultKind);
  }
  if (*slot == 2) {
    c.emitter.emitInstruction("mov.w", "r0", "@-sp");
  } else if (*slot == 4) {
    push(c.emitter, "r0");
  }
}

void buildFrame(Compilation& c, const SymbolEntry& routine) {
  Emitter& e = c.emitter;
  if (routine.kind == IdentKind::InterruptProcedure) {
    saveInterruptedRegisters(c);
    e.emitInstruction("mov.l", "sp", "fp");
    pushLevelTwoDisplay(e);
    return;
  }
  pushResultSlot(c, routine);
  if (isMainProgram(routine)) {
    emitMainFrame(e);
  } else if (routine.routineState == RoutineState::Forward) {
    // Declared in advance, so always at level 2: the display is built inline.
    push(e, "fp");
    e.emitInstruction("mov.l", "sp", "fp");
    pushLevelTwoDisplay(e);
  } else {
    e.emitInstruction("mov.b", "#" + std::to_string(routine.level - 1), "r0");
    e.emitInstruction("bsr", rt::kSetLevel, "");
  }
}

ExitKind exitKindOf(Compilation& c, const SymbolEntry& routine) {
  const TypeDescriptor* type = routine.type;
  if (type == nullptr) {
    return ExitKind::Procedure;
  }
  switch (type->kind) {
    case TypeKind::Real:
      return ExitKind::Real;
    case TypeKind::String:
      return ExitKind::String;
    case TypeKind::Boolean:
      return ExitKind::Boolean;
    case TypeKind::LongInt:
    case TypeKind::Address:
    case TypeKind::Pointer:
      return ExitKind::Long;
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::Enumeration:
    case TypeKind::Subrange:
      return ExitKind::Word;
    default:
      c.reportError(kUnexpectedResultKind);
  }
}

// mov.l fp,sp / mov.l @sp+,fp, then the result slot into r0.
void releaseFrameAndPopResult(Emitter& e, ExitKind kind) {
  e.emitInstruction("mov.l", "fp", "sp");
  e.emitInstruction("mov.l", "@sp+", "fp");
  if (kind == ExitKind::Word || kind == ExitKind::Boolean) {
    e.emitInstruction("mov.w", "@sp+", "r0");
  } else if (kind == ExitKind::Long) {
    e.emitInstruction("mov.l", "@sp+", "r0");
  }
}

void emitMainExit(Emitter& e) {
  const std::string cell(rt::kMainFramePointerCell);
  e.emitInstruction("mov.l", "fp", "sp");
  e.emitInstruction("mov.l", "@sp+", "fp");
  e.emitInstruction("mov.l", "@sp+", "r0");
  e.emitInstruction("mov.l", "r0", cell);
  e.emitInstruction("rts", "", "");
}

void emitInterruptExit(Compilation& c) {
  c.emitter.emitInstruction("mov.l", "fp", "sp");
  restoreInterruptedRegisters(c);
  c.emitter.emitInstruction("rte", "", "");
}

// A routine with parameters removes them itself: it pops the return address into r1,
// releases the area and jumps back. The sequence depends only on the result kind and the
// area size, so a program defines it once under a shared label; a unit cannot, since
// several units linked together would each define it.
void emitExitWithParameters(Compilation& c, ExitKind kind, std::int32_t areaSize) {
  Emitter& e = c.emitter;
  const std::string shared = std::string(exitLabelPrefix(kind)) + std::to_string(areaSize);
  if (c.sharedExits.isDefined(kind, areaSize)) {
    e.emitInstruction("jmp", shared, "");
    return;
  }
  const bool isProgram = c.compilationKind == TokenCode::Program;
  if (isProgram && SharedExitTables::isShareable(areaSize)) {
    e.defineLabel(true, shared);
    c.sharedExits.markDefined(kind, areaSize);
  }
  releaseFrameAndPopResult(e, kind);
  e.emitInstruction(pointerMoveMnemonic(c), "@sp+", "r1");
  releaseStack(e, areaSize);
  if (kind == ExitKind::Boolean) {
    e.emitInstruction("extu.w", "r0", "");
  }
  e.emitInstruction("jmp", "@r1", "");
}

}  // namespace

std::optional<std::int32_t> resultSlotSize(const TypeDescriptor* type) {
  if (type == nullptr) {
    return 0;
  }
  switch (type->kind) {
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::Boolean:
    case TypeKind::Enumeration:
    case TypeKind::Subrange:
      return 2;
    case TypeKind::LongInt:
    case TypeKind::Address:
    case TypeKind::Pointer:
      return 4;
    case TypeKind::Real:
    case TypeKind::String:
      return 0;
    default:
      return std::nullopt;
  }
}

void emitEntryCode(Compilation& c, SymbolEntry& routine, std::int32_t localOffset) {
  // The first line under the routine's global label writes out the previous routine, whose
  // frame passes still read its own WITH-slot mark; the label alone only waits for that
  // line, so the mark is cleared for this body once the frame's first lines are in.
  c.emitter.defineLabel(true, routineBodyLabel(routine));
  buildFrame(c, routine);
  c.optimizer.setWithSlotsUsed(false);
  routine.routineState = RoutineState::Ordinary;

  // The locals end at b (the counter rounded down to even); the temporaries follow, so
  // 24 - b - 4 * level bytes lie below the display.
  const std::int32_t level = routine.level;
  const std::int64_t b = localOffset - (localOffset & 1);
  const std::int64_t reserved = kTemporaryBytes - b - 4 * static_cast<std::int64_t>(level);
  // Locals of nearly 2 GB leave no 32-bit operand for the reservation.
  if (reserved > std::numeric_limits<std::int32_t>::max()) {
    c.reportError(err::kConstantOutOfRange);
  }
  allocateStack(c.emitter, reserved);

  RoutineContext& context = c.routine;
  context.routine = &routine;
  context.level = level;
  for (int i = 0; i < kWithSlotCount; ++i) {
    // Right below the locals, all six inside the reserved 24 bytes.
    context.withSlotOffsets[static_cast<std::size_t>(i)] =
        static_cast<std::int32_t>(b - kWithSlotSize - kWithSlotSize * i);
  }
  context.exitLabelUsed = false;
  context.bodyOpen = true;
  c.registers.forgetRegisterContents();
  c.registers.resetRegisterPool();
}

void emitExitCode(Compilation& c, const SymbolEntry& routine) {
  Emitter& e = c.emitter;
  c.routine.bodyOpen = false;
  if (c.routine.exitLabelUsed) {
    e.defineLabel(true, "$00");
  }
  if (routine.kind == IdentKind::InterruptProcedure) {
    emitInterruptExit(c);
    return;
  }
  if (isMainProgram(routine)) {
    emitMainExit(e);
    return;
  }
  const ExitKind kind = exitKindOf(c, routine);
  if (routine.parameterAreaSize == 0) {
    releaseFrameAndPopResult(e, kind);
    if (kind == ExitKind::Boolean) {
      e.emitInstruction("extu.w", "r0", "");
    }
    e.emitInstruction("rts", "", "");
    return;
  }
  emitExitWithParameters(c, kind, routine.parameterAreaSize);
}

}  // namespace vorax
