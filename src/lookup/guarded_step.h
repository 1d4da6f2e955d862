#pragma once

namespace torvane {

// Runs one step of a routine whose steps are independent: a step that fails leaves its
// target as it was, and the routine goes on with the next one.
template <typename Step>
void GuardedStep(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace torvane
