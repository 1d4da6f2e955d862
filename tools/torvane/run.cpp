#include "tools/torvane/run.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <istream>
#include <ostream>

#include "core/db/data_folder.h"
#include "tools/torvane/service_options.h"
#include "tools/torvane/shell.h"

namespace torvane::tool {

namespace {

int InitDataFolder(const std::string& folder, bool with_fcc, std::ostream& out, std::ostream& err) {
  std::vector<std::string> created;
  const Status status = db::InitDataFolder(folder, with_fcc, created);
  for (const std::string& path : created) out << "created " << path << '\n';
  if (!status) {
    err << "torvane db init: " << status.error().description << '\n';
    return 1;
  }
  if (created.empty()) out << "nothing to do: the databases of " << folder << " exist\n";
  return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
  CLI::App app{"Torvane: station data for amateur-radio logging programs", "torvane"};
  app.require_subcommand(1);

  ServiceOptions shell_options;
  bool shell_json = false;
  CLI::App* shell = app.add_subcommand("shell", "Drive a service object, one request per line");
  shell->add_flag("--json", shell_json, "Requests and answers as JSON objects");
  shell_options.Register(*shell);

  CLI::App* db = app.add_subcommand("db", "Create data folders");
  db->require_subcommand(1);
  std::string init_folder;
  bool init_fcc = false;
  CLI::App* init = db->add_subcommand("init", "Create the empty databases of a data folder");
  init->add_option("DIR", init_folder, "The data folder")->required();
  init->add_flag("--fcc", init_fcc, "Also create an empty FCC licence database");

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, out, err);
  }

  try {
    if (shell->parsed()) {
      std::string error;
      if (!shell_options.Validate(error)) {
        err << "torvane shell: " << error << '\n';
        return 2;
      }
      Shell session(shell_options, shell_json, out);
      session.Run(in);
      return 0;
    }
    if (init->parsed()) return InitDataFolder(init_folder, init_fcc, out, err);
  } catch (const std::exception& exception) {
    err << "torvane: " << exception.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace torvane::tool
