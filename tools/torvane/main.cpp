#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/torvane/run.h"

namespace {

// `resolve` writes a batch of lines at a time, about 160 KB. Into a pipe of the usual 64 KB the
// writer stops several times a batch until the reader has caught up; a pipe that holds a batch
// lets both run. Only ever enlarged, and a pipe that cannot be is left as it is.
void EnlargeOutputPipe() {
#ifdef F_SETPIPE_SZ
  constexpr int kPipeBytes = 256 * 1024;
  const int size = fcntl(STDOUT_FILENO, F_GETPIPE_SZ);
  if (size > 0 && size < kPipeBytes) fcntl(STDOUT_FILENO, F_SETPIPE_SZ, kPipeBytes);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  // SQLite keeps memory statistics behind one process-wide lock, which the thread that builds
  // the prefix index and the service's own reads would take turns at; the tool reads no
  // statistics.
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  EnlargeOutputPipe();
  std::vector<std::string> args(argv + 1, argv + argc);
  return torvane::tool::Run(args, std::cin, std::cout, std::cerr);
}
