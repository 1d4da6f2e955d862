#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace torvane {

// The service's web flags. webStopped silences WebStatus, BeaconChange and CallDataOK until
// an operation that goes on line clears it; lotwCancel ends a LoTW download under way.
//
// The flags are atomic because the LoTW download does not yield to the host: a host that
// cancels it does so from another thread, while the download's abort check reads them.
struct WebState {
  std::atomic<bool> webStopped = false;
  std::atomic<bool> lotwCancel = false;
  std::string serviceHost;  // the maker's service, "host" or "host:port"
  // How many times StopWeb was called: the general client ends a transfer only when this
  // changes during it, not merely because webStopped is still set from earlier.
  std::atomic<std::uint32_t> stop_requests = 0;
};

// Values the original component kept per module rather than per object: shared by every
// service object on the thread (each host thread has its own, as a component's module data
// is per apartment).
struct ModuleWebState {
  bool webConnected = false;
  std::string webReply;  // the text of the last reply of a general GET
};

ModuleWebState& ThreadWebState();

}  // namespace torvane
