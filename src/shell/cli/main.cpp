#include <iostream>
#include <string>
#include <vector>

#include "shell/cli/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return vorax::runCommandLine(arguments, std::cout, std::cerr);
}
