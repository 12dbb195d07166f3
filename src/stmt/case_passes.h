// Passes over a finished CASE statement while its lines are still in the window.
#pragma once

#include <string>
#include <vector>

namespace vorax {

class Compilation;

struct CaseLines {
  std::string dispatchLabel;
  std::string endLabel;
  std::string elseLabel;             // the end label when there is no ELSE part
  std::vector<std::string> markers;  // the arms' markers in source order, the ELSE part's last
  bool hasElse = false;
};

// Turns the arm markers into "nop" lines, threads the arms' branches to the end label,
// and then rewrites the dispatch: a jump table whose arms only call a routine becomes a
// table of the routines' addresses, called with "jsr"; a compare chain loses the tests
// that only lead to the else label it reaches anyway.
void runCasePasses(Compilation& c, const CaseLines& lines);

// The two dispatch rewrites by themselves, on the window as it stands: `dispatchStart` is
// the first line of the dispatch code. Each returns whether it changed anything.
bool makeCallTable(Compilation& c, const CaseLines& lines, int dispatchStart);
bool dropTestsForElse(Compilation& c, const CaseLines& lines, int dispatchStart);

}  // namespace vorax
