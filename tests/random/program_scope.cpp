#include "random/program_scope.h"

#include <algorithm>

namespace vorax::randprog {

bool encloses(const Program& program, int ancestor, int routine) {
  for (int current = routine; current >= 0; current = program.routines[current].parent) {
    if (current == ancestor) return true;
  }
  return false;
}

int purityRoot(const Program& program, int routine) {
  for (int current = routine; current > 0; current = program.routines[current].parent) {
    if (program.routines[current].isFunction) return current;
  }
  return -1;
}

bool callable(const Program& program, int caller, int callee) {
  if (callee <= 0 || callee == caller) return false;
  const Routine& target = program.routines[callee];
  if (target.removed) return false;
  // An enclosing routine would be a recursive call.
  if (encloses(program, callee, caller)) return false;
  const int parent = target.parent;
  if (!encloses(program, parent, caller)) return false;
  if (parent != caller) {
    // The callee is declared at an outer level: it must come before the routine on the
    // path down to the caller.
    int child = caller;
    while (program.routines[child].parent != parent) child = program.routines[child].parent;
    const std::vector<int>& order = program.routines[parent].nested;
    const auto calleePosition = std::find(order.begin(), order.end(), callee);
    const auto childPosition = std::find(order.begin(), order.end(), child);
    if (calleePosition >= childPosition) return false;
  }
  const int root = purityRoot(program, caller);
  if (root < 0) return true;
  // A pure context calls functions, or procedures that write only its own frames.
  return target.isFunction || purityRoot(program, callee) == root;
}

bool visible(const Program& program, int variable, int routine) {
  const Variable& entry = program.variables[variable];
  return !entry.removed && encloses(program, entry.owner, routine);
}

bool mayPrint(const Program& program, int routine) { return purityRoot(program, routine) < 0; }

}  // namespace vorax::randprog
