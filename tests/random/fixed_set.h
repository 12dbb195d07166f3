// The random programs the test suite runs on every build: a fixed range of seeds, and the
// features that are left out of them while the faults they expose are being repaired.
#pragma once

#include <cstdint>
#include <set>

#include "random/generator_options.h"

namespace vorax::randprog {

// Programs compared with Free Pascal's output on every CPU, optimizer on and off.
constexpr uint64_t kOracleSetFirstSeed = 1;
constexpr uint64_t kOracleSetCount = 200;
// Programs that must compile and assemble on every CPU (no run): all features on.
constexpr uint64_t kCompileSetFirstSeed = 100001;
constexpr uint64_t kCompileSetCount = 200;

// The features the oracle set leaves out.
std::set<Feature> fixedSetDisabledFeatures();

}  // namespace vorax::randprog
