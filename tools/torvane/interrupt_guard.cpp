#include "tools/torvane/interrupt_guard.h"

namespace torvane::tool {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

}  // namespace

InterruptGuard::InterruptGuard() {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  installed_ = sigaction(SIGINT, &action, &previous_) == 0;
}

InterruptGuard::~InterruptGuard() {
  if (installed_) sigaction(SIGINT, &previous_, nullptr);
}

bool InterruptGuard::Interrupted() { return interrupted != 0; }

}  // namespace torvane::tool
