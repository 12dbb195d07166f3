#include "sim/runtime.h"
namespace vorax::sim {
void addRealRoutines(std::vector<RoutineDef>&) {}
void addStringRoutines(std::vector<RoutineDef>&) {}
void addTextRoutines(std::vector<RoutineDef>&) {}
void addHeapRoutines(std::vector<RoutineDef>&) {}
void addDeviceRoutines(std::vector<RoutineDef>&) {}
void addFileRoutines(std::vector<RoutineDef>&) {}
}  // namespace vorax::sim
