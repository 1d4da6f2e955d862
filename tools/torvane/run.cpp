#include "tools/torvane/run.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <istream>
#include <ostream>

#include "tools/torvane/commands.h"

namespace torvane::tool {

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
  CLI::App app{"Torvane: station data for amateur-radio logging programs", "torvane"};
  app.require_subcommand(1);
  CommandContext context{in, out, err};
  AddShellCommand(app, context);
  AddDbCommands(app, context);
  AddImportCommands(app, context);
  AddCallbookImportCommands(app, context);
  AddLookupCommands(app, context);
  AddResolveCommand(app, context);
  AddBeaconsCommand(app, context);
  AddLogbookCommands(app, context);
  AddWeatherCommand(app, context);

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    // Help and version exit 0; every other parse error is a usage error, whatever CLI11's own
    // code for its kind.
    return app.exit(error, out, err) == 0 ? 0 : 2;
  } catch (const std::exception& exception) {
    err << "torvane: " << exception.what() << '\n';
    return 1;
  }
  return context.status;
}

}  // namespace torvane::tool
