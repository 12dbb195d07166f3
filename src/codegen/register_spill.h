// Values that wait while another value is computed. A value waits in its register while
// enough registers are left for the rest; when registers run low it waits on the stack
// instead and comes back in a fresh register, so expressions of any depth compile.
#pragma once

#include <string>

namespace vorax {

class Compilation;

// Registers kept free for the computation a waiting value lets pass: an element of an
// array reached through a VAR parameter with an index that itself holds a value needs
// this many at once.
inline constexpr int kRegistersForAnOperand = 3;

// When fewer than kRegistersForAnOperand registers besides the one `text` names would be
// left for the next computation, pushes the value (a word, or a long word when `size` is
// 4), releases its register and answers true: the caller must bring it back with
// takeBackParkedValue once the other computation is done. Answers false (nothing
// emitted) when the value may stay where it is or is not in a work register.
[[nodiscard]] bool parkValueWhenRegistersRunLow(Compilation& c, std::string& text, int size);

// Pops a parked value into a fresh register; `text` becomes that register's name.
void takeBackParkedValue(Compilation& c, std::string& text, int size);

}  // namespace vorax
