// Reserving and releasing bytes on the machine stack with the shortest instructions.
#pragma once

#include <cstdint>

namespace vorax {

class Emitter;

// Reserves n bytes, rounded to even: "subs" for 2 and 4, "sub.l" otherwise.
void allocateStack(Emitter& emitter, std::int64_t n);
// Releases n bytes, rounded to even: nothing for 0, one or two "adds" up to 8 bytes,
// "add.l" beyond.
void releaseStack(Emitter& emitter, std::int64_t n);

}  // namespace vorax
