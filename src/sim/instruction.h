// One assembled machine instruction, as the interpreter executes it.
#pragma once

#include <cstdint>
#include <string>

#include "sim/asm_expr.h"
#include "sim/sim_types.h"

namespace vorax::sim {

enum class Op {
  Mov,
  Add,
  Sub,
  Cmp,
  And,
  Or,
  Xor,
  Not,
  Neg,
  Extu,
  Exts,
  Inc,
  Dec,
  Adds,
  Subs,
  Shal,
  Shar,
  Shll,
  Shlr,
  Mulxu,
  Mulxs,
  Divxu,
  Divxs,
  Bset,
  Bclr,
  Bnot,
  Btst,
  Branch,
  Bsr,
  Jsr,
  Jmp,
  Rts,
  Rte,
  Trapa,
  Nop,
  Stm,
  Ldm,
  Lea
};

// Branch conditions; Always is bra, Never is brn.
enum class Cond { Always, Never, Hi, Ls, Cc, Cs, Ne, Eq, Vc, Vs, Pl, Mi, Ge, Lt, Gt, Le };

enum class OperandKind {
  None,
  Register,       // r0..r6, fp, sp
  Immediate,      // #expr
  Indirect,       // @rN
  Displacement,   // @(d,rN)
  PostIncrement,  // @rN+
  PreDecrement,   // @-rN
  Absolute,       // symbol or @address
  RegisterList    // (r0-r3)
};

struct Operand {
  OperandKind kind = OperandKind::None;
  int reg = 0;        // register number 0..7 (fp = 6, sp = 7); first register of a list
  int regCount = 0;   // registers in a list
  int width = 0;      // an address or displacement written "...:8", ":16", ":24"; 0 if not
  ExprPtr expr;       // immediate value, displacement or address
  int64_t value = 0;  // the expression's value once linked
};

struct Instruction {
  Op op = Op::Nop;
  Cond cond = Cond::Always;
  int size = 0;  // operand size in bytes (1, 2, 4), 0 when the mnemonic has none
  Operand src;
  Operand dst;
  uint32_t address = 0;
  int length = 2;
  SourcePosition position;
  std::string text;  // the source line, for the trace
};

const char* opName(Op op);

}  // namespace vorax::sim
