// Every program a test compiles must also assemble: the simulator's assembler reads the
// assembly file for the processor the source selects, so a line that no assembler takes
// fails the test that compiled it, whatever that test looks at otherwise.
#pragma once

#include <filesystem>
#include <string>

namespace vorax::testing {

// The processor the source text selects with its last {$CPU name} or (*$CPU name*)
// directive: "300H", "300L" or "2000"; `startingCpu` when it names none.
[[nodiscard]] std::string cpuSelectedBy(const std::string& source,
                                        const std::string& startingCpu = "300H");

// The assembler's complaints about `asmFile` on `cpu`, one per line; empty when it
// assembles.
[[nodiscard]] std::string assemblyErrors(const std::filesystem::path& asmFile,
                                         const std::string& cpu);

// Adds a test failure naming the lines the assembler refuses.
void expectAssembles(const std::filesystem::path& asmFile, const std::string& cpu);

}  // namespace vorax::testing
