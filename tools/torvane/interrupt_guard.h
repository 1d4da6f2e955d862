#pragma once

#include <csignal>

namespace torvane::tool {

// While one lives, Ctrl-C only raises a flag that the command polls; the handler that was
// there before comes back when it ends.
class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  // True once Ctrl-C came since the guard was made.
  static bool Interrupted();

 private:
  struct sigaction previous_ {};
  bool installed_ = false;
};

}  // namespace torvane::tool
