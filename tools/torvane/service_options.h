#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>
#include <memory>
#include <string_view>
#include <optional>
#include <string>
#include <vector>

#include "tools/torvane/commands.h"
#include "torvane/options.h"
#include "torvane/torvane_control.h"

namespace torvane::tool {

// The folder, host, library and clock options that every command making a service object
// accepts, and the Options they produce.
class ServiceOptions {
 public:
  void Register(CLI::App& command);

  // The options for a service object. The clock reads the fixed time when one was given
  // (with --clock or later with SetFixedTime), otherwise the computer's clock.
  Options Build() const;

  void SetFixedTime(const LocalDateTime& when) { *fixed_time_ = when; }
  // Parses --clock and --drive; false, with "torvane <command>: ..." written to `err`, when
  // one is malformed.
  bool Validate(std::string_view command, std::ostream& err);

 private:
  Options options_;
  std::string clock_text_;
  std::vector<std::string> drive_texts_;  // "E:=/media/cdrom"
  std::shared_ptr<std::optional<LocalDateTime>> fixed_time_ =
      std::make_shared<std::optional<LocalDateTime>>();
};

// Makes `command` check its service options and then run `run`, whose result is the tool's
// status; a malformed option ends the command with status 2 instead.
void RunAfterCheckingOptions(CLI::App& command, CommandContext& context,
                             std::shared_ptr<ServiceOptions> options, std::string name,
                             std::function<int()> run);

// True when the service object started. Otherwise writes "torvane <command>: the service did
// not start: ..." with the failure's number, description and source to `err`: a command that
// makes a service for one job must not answer from a service whose databases are closed.
bool ServiceStarted(const TorvaneControl& control, std::string_view command, std::ostream& err);

// The service answers with defaults when it has no prefix database: true when the data
// folder has one; otherwise says so on `err`.
bool HasPrefixDatabase(const Options& options, std::string_view command, std::ostream& err);

}  // namespace torvane::tool
