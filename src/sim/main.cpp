// vorax-sim: runs the assembly files VORAX writes on a simulated H8/300H.
#include <iostream>
#include <string>
#include <vector>

#include "sim/command_line.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  return vorax::sim::simMain(args, std::cin, std::cout, std::cerr);
}
