#include <istream>
#include <memory>
#include <ostream>

#include "tools/torvane/commands.h"
#include "tools/torvane/service_options.h"
#include "tools/torvane/shell.h"

namespace torvane::tool {

void AddShellCommand(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<ServiceOptions>();
  auto json = std::make_shared<bool>(false);
  CLI::App* shell = app.add_subcommand("shell", "Drive a service object, one request per line");
  AddOptionsWhenNamed(*shell, [&context, shell, options, json] {
    shell->add_flag("--json", *json, "Requests and answers as JSON objects");
    options->Register(*shell);
    RunAfterCheckingOptions(*shell, context, options, "shell", [&context, options, json] {
      Shell session(*options, *json, context.out);
      // The shell plays a host: its object keeps answering after a failed start, so the
      // failure is only told, and the exit status stays the shell's.
      ServiceStarted(session.control(), "shell", context.err);
      session.Run(context.in);
      return 0;
    });
  });
}

}  // namespace torvane::tool
