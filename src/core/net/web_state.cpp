#include "core/net/web_state.h"

namespace torvane {

ModuleWebState& ThreadWebState() {
  thread_local ModuleWebState state;
  return state;
}

}  // namespace torvane
