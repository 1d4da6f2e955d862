#pragma once

#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "torvane/events.h"
#include "torvane/torvane_control.h"
#include "tools/torvane/service_options.h"
#include "tools/torvane/shell_request.h"

namespace torvane::tool {

// The host simulator: one service object, driven by one request per line, answering on the
// output stream, with events printed as they are raised.
class Shell {
 public:
  Shell(ServiceOptions& options, bool json, std::ostream& out);
  ~Shell();

  // Reads requests until the end of the input; then the service object ends.
  void Run(std::istream& in);

  const TorvaneControl& control() const { return *control_; }

 private:
  using Request = ShellRequest;
  class Printer;
  class Loop;

  void Handle(const std::string& line);
  enum class CallKind { kDirect, kFromYield, kAfter };
  void Call(const Request& request, CallKind kind);
  void Meta(const Request& request);
  void ScheduleAfter(const Request& request);
  void JoinAfterCalls();
  void RunPendingYieldCalls();
  void Restart();
  void PrintError(const std::string& message);
  void PrintOk();

  ServiceOptions& options_;
  bool json_;
  std::ostream& out_;
  // Calls of the host's other threads (the "after" action) share the output with the
  // shell's own thread; each printed line is whole.
  std::shared_ptr<std::mutex> output_mutex_ = std::make_shared<std::mutex>();
  std::unique_ptr<Printer> printer_;
  std::unique_ptr<Loop> loop_;
  std::vector<Request> pending_yield_calls_;
  std::vector<std::thread> after_calls_;
  std::unique_ptr<TorvaneControl> control_;
};

}  // namespace torvane::tool
