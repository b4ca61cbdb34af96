#include <iostream>
#include <string>
#include <vector>

#include "command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return lexpaint::RunCommand(args, std::cout);
}
