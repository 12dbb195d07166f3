#include "source/condition_stack.h"

namespace vorax {

bool ConditionStack::open(bool condition) {
  if (openConditionals() >= kMaxNesting) {
    return false;
  }
  const bool enclosing = active();
  push(condition);
  push(condition && enclosing);
  return true;
}

bool ConditionStack::switchToElse() {
  if (openConditionals() == 0) {
    return false;
  }
  pop();  // the state of the branch that ends here
  const bool condition = pop();
  const bool enclosing = active();
  push(!condition);
  push(!condition && enclosing);
  return true;
}

bool ConditionStack::close() {
  if (openConditionals() == 0) {
    return false;
  }
  pop();
  pop();
  return true;
}

}  // namespace vorax
