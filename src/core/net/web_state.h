#pragma once

#include <string>

namespace torvane {

// The service's web flags. webStopped silences WebStatus, BeaconChange and CallDataOK until
// an operation that goes on line clears it; lotwCancel ends a LoTW download under way.
struct WebState {
  bool webStopped = false;
  bool lotwCancel = false;
  std::string serviceHost;  // the maker's service, "host" or "host:port"
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
