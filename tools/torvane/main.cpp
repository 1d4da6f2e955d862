#include <iostream>
#include <string>
#include <vector>

#include "tools/torvane/run.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return torvane::tool::Run(args, std::cin, std::cout, std::cerr);
}
