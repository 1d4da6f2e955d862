#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "torvane/variant.h"

// Reading the shell's requests: one line each, JSON objects or words. Nothing here runs a
// request, so a fuzzer can drive it on its own.
namespace torvane::tool {

// A request line may hold a long argument list or text, but no script needs more than this;
// a longer line is refused before it is kept, so an endless line costs no memory.
constexpr std::size_t kMaxRequestLineBytes = 1 << 20;

// Nested lists have no use as arguments; the bound keeps every recursive walk over a request
// (conversion, printing, destruction) far from the end of the stack.
constexpr int kMaxRequestNesting = 32;

// Longer than any test or script needs; a typo of minutes must not hang the shell's end.
constexpr long kMaxAfterMs = 600'000;

struct ShellRequest {
  bool is_meta = false;
  std::string name;  // the method, or the host action
  std::vector<Variant> args;
  std::string value;                         // for clock and cd
  std::shared_ptr<ShellRequest> yield_call;  // for on_yield and after: always a method call
  long after_ms = -1;                        // for after
};

// Parses one request line (JSON or human mode); false with `error` set when it is not one.
bool ParseShellRequest(const std::string& line, bool json, ShellRequest& request,
                       std::string& error);

// Splits a human-mode line into words: blanks separate, "..." quotes (with \" and \\),
// "" is an empty word. False when a quote is left open.
bool SplitWords(const std::string& line, std::vector<std::string>& words);

// Reads the input line by line, keeping at most kMaxRequestLineBytes of a line.
class RequestLineReader {
 public:
  enum class Status { kLine, kTooLong, kEnd };

  explicit RequestLineReader(std::istream& in, std::size_t max_bytes = kMaxRequestLineBytes)
      : in_(in), max_bytes_(max_bytes) {}

  // The next line without its "\n" (kLine); kTooLong as soon as a line passes the bound, whose
  // rest is then skipped by the next call; kEnd at the end of the input.
  Status Next(std::string& line);

 private:
  std::istream& in_;
  std::size_t max_bytes_;
  bool skipping_ = false;
};

}  // namespace torvane::tool
