#include "tools/torvane/commands.h"

#include <cstddef>
#include <utility>

namespace torvane::tool {

void AddOptionsWhenNamed(CLI::App& command, std::function<void()> add_options) {
  command.preparse_callback(
      [add_options = std::move(add_options)](std::size_t /*remaining_arguments*/) {
        add_options();
      });
}

}  // namespace torvane::tool
