#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/db/data_folder.h"
#include "tools/torvane/commands.h"

namespace torvane::tool {

namespace {

int InitDataFolder(const std::string& folder, bool with_fcc, CommandContext& context) {
  std::vector<std::string> created;
  const Status status = db::InitDataFolder(folder, with_fcc, created);
  for (const std::string& path : created) context.out << "created " << path << '\n';
  if (!status) {
    context.err << "torvane db init: " << status.error().description << '\n';
    return 1;
  }
  if (created.empty()) context.out << "nothing to do: the databases of " << folder << " exist\n";
  return 0;
}

}  // namespace

void AddDbCommands(CLI::App& app, CommandContext& context) {
  CLI::App* db = app.add_subcommand("db", "Create data folders");
  db->require_subcommand(1);

  struct InitArguments {
    std::string folder;
    bool with_fcc = false;
  };
  auto init_arguments = std::make_shared<InitArguments>();
  CLI::App* init = db->add_subcommand("init", "Create the empty databases of a data folder");
  AddOptionsWhenNamed(*init, [&context, init, init_arguments] {
    init->add_option("DIR", init_arguments->folder, "The data folder")->required();
    init->add_flag("--fcc", init_arguments->with_fcc, "Also create an empty FCC licence database");
    init->callback([&context, init_arguments] {
      context.status = InitDataFolder(init_arguments->folder, init_arguments->with_fcc, context);
    });
  });
}

}  // namespace torvane::tool
