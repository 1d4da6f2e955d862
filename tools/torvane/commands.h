#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>

namespace torvane::tool {

// What a command needs from the process: its streams, and where to leave its exit status.
struct CommandContext {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  int status = 0;
};

// Has `add_options` add the options and callback of `command` once the command line names it,
// just before CLI11 reads the command's arguments. The name and description, all that the
// parent's help and the choice of a command read, are there from the start: adding every
// command's options on every run took most of the tool's own start-up time. CLI11 keeps one
// pre-parse callback per command, so a command calls this once.
void AddOptionsWhenNamed(CLI::App& command, std::function<void()> add_options);

// Each command adds its subcommand to the tool, with a callback that runs it. The context
// outlives the parse.
void AddShellCommand(CLI::App& app, CommandContext& context);
void AddDbCommands(CLI::App& app, CommandContext& context);
void AddResolveCommand(CLI::App& app, CommandContext& context);
// Adds "db build-default" (after AddDbCommands) and "import".
void AddImportCommands(CLI::App& app, CommandContext& context);
// "import fcc" and "import zip" (after AddImportCommands).
void AddCallbookImportCommands(CLI::App& app, CommandContext& context);
// "lookup" and "resolve".
void AddLookupCommands(CLI::App& app, CommandContext& context);
void AddBeaconsCommand(CLI::App& app, CommandContext& context);
// "eqsl", "clublog" and "lotw download".
void AddLogbookCommands(CLI::App& app, CommandContext& context);
// "weather".
void AddWeatherCommand(CLI::App& app, CommandContext& context);

}  // namespace torvane::tool
