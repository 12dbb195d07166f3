// Where a statement or expression stands in a generated program, and the questions the
// generator and the checker ask about routines: who may call whom, what a routine may
// write, whether it may print.
//
// Calls inside one expression may run in either order (this dialect evaluates the right
// operand first when only it calls; Free Pascal has its own order), and the arguments of a
// call likewise. So functions are pure as far as their callers can see: a function, and
// every routine nested in it, writes only variables of its own frames (never globals, its
// own VAR parameters or the heap) and prints nothing. Procedures are free.
#pragma once

#include <vector>

#include "random/program_model.h"

namespace vorax::randprog {

struct WithEntry {
  const Type* record = nullptr;
  int baseVariable = -1;        // the variable the WITH record belongs to
  bool throughPointer = false;  // the record is reached through a pointer (heap)
};

struct Scope {
  int routine = 0;
  std::vector<WithEntry> withs;     // open WITH records, outermost first
  std::vector<int> activeCounters;  // FOR control variables of the enclosing loops
  std::vector<int> activeGuards;    // WHILE / REPEAT counters of the enclosing loops
  int forDepth = 0;
};

// Is `ancestor` the routine itself or one that encloses it?
bool encloses(const Program& program, int ancestor, int routine);
// The function whose purity rules bind `routine`: the nearest enclosing-or-self function,
// or -1 when none (the routine may write anything and print).
int purityRoot(const Program& program, int routine);
// May `caller` call `callee` by Pascal's visibility rules, without recursion, and within
// the purity rules?
bool callable(const Program& program, int caller, int callee);
// Is the variable visible (declared in the routine or an enclosing one)?
bool visible(const Program& program, int variable, int routine);
// May the routine print?
bool mayPrint(const Program& program, int routine);

}  // namespace vorax::randprog
