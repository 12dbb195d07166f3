// The instruction forms of the H8/300H family: which operand forms each mnemonic takes on
// each CPU, and how many bytes each form is encoded in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/instruction.h"

namespace vorax::sim {

// Builds an instruction from its mnemonic and operand texts and checks the operand forms
// that do not depend on values. Throws AsmError for an unknown mnemonic or a form the CPU
// lacks. Returns false (and leaves `out` alone) when the mnemonic is not an instruction.
bool buildInstruction(const std::string& mnemonic, const std::vector<std::string>& operands,
                      CpuModel cpu, Instruction& out);

// Values of the operands' expressions as far as they are known while laying out code.
struct KnownValues {
  std::optional<int64_t> src;
  std::optional<int64_t> dst;
};

// Encoded length of the instruction at `address`. A value not known yet gets the long form.
int encodedLength(const Instruction& ins, CpuModel cpu, const KnownValues& known);

// Checks the linked values (ranges, the forms chosen by length). `farTargetAllowed` skips the
// branch range test for targets inside the host runtime. Throws AsmError.
void checkLinkedInstruction(const Instruction& ins, CpuModel cpu, bool farTargetAllowed);

// True when a 16-bit or 8-bit absolute form reaches the address.
bool fitsAbsolute8(int64_t address, CpuModel cpu);
bool fitsAbsolute16(int64_t address, CpuModel cpu);

}  // namespace vorax::sim
