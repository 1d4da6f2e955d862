// Lines typed into `torvane shell`: the input is read by the shell's line reader (with a small
// bound, so its skipping of long lines runs too), and each line parsed as a JSON request and
// as a human one.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_input.h"
#include "tools/torvane/shell_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using torvane::tool::RequestLineReader;
  std::istringstream in{std::string(torvane::fuzz::AsText(data, size))};
  RequestLineReader reader(in, 256);
  std::string line;
  for (auto status = reader.Next(line); status != RequestLineReader::Status::kEnd;
       status = reader.Next(line)) {
    if (status == RequestLineReader::Status::kTooLong) continue;
    std::string error;
    torvane::tool::ShellRequest json_request;
    torvane::tool::ParseShellRequest(line, true, json_request, error);
    torvane::tool::ShellRequest human_request;
    torvane::tool::ParseShellRequest(line, false, human_request, error);
  }
  // The whole input as one line too, where the nesting bound matters.
  std::string error;
  torvane::tool::ShellRequest request;
  torvane::tool::ParseShellRequest(std::string(torvane::fuzz::AsText(data, size)), true, request,
                                   error);
  return 0;
}
