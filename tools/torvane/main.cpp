#include <sqlite3.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/torvane/run.h"

int main(int argc, char** argv) {
  // SQLite keeps memory statistics behind one process-wide lock, which the services of
  // `resolve --jobs` would take turns at; the tool reads no statistics.
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  std::vector<std::string> args(argv + 1, argv + argc);
  return torvane::tool::Run(args, std::cin, std::cout, std::cerr);
}
