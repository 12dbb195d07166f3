// The random programs the test suite runs on every build: small programs of fixed seeds,
// with the features left out whose faults are still being repaired.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "random/generator_options.h"

namespace vorax::randprog {

// The features the fixed set leaves out.
std::set<Feature> fixedSetDisabledFeatures();

// The shape of the fixed set's programs: small (few routines, short bodies) so that the
// whole set costs seconds, with the features above left out. `seed` is left at 1.
GeneratorOptions fixedSetShape();

// The seeds the fixed set runs. The sanitizer build runs a few only: its instrumented
// compiler and simulator are many times slower.
std::vector<uint64_t> fixedSetSeeds(bool sanitizerBuild);

}  // namespace vorax::randprog
