#pragma once

#include <memory>
#include <utility>

#include "service/service.h"

namespace torvane::api {

// Runs one public method's body against the service. Nothing escapes to the host: an
// exception, or a service that failed to come into being, gives the method's default.
template <typename Result, typename Body>
Result Guard(const std::unique_ptr<Service>& service, Result fallback, Body&& body) noexcept {
  if (service == nullptr) return fallback;
  try {
    return std::forward<Body>(body)(*service);
  } catch (...) {
    return fallback;
  }
}

template <typename Body>
void GuardVoid(const std::unique_ptr<Service>& service, Body&& body) noexcept {
  if (service == nullptr) return;
  try {
    std::forward<Body>(body)(*service);
  } catch (...) {
  }
}

}  // namespace torvane::api
