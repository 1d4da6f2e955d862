#include <fmt/format.h>

#include <memory>
#include <ostream>
#include <string>

#include "core/db/data_folder.h"
#include "core/db/sqlite.h"
#include "core/files.h"
#include "core/folders.h"
#include "import/default_data.h"
#include "import/lotw_users.h"
#include "import/prefix_tables.h"
#include "import/weather_stations.h"
#include "tools/torvane/commands.h"
#include "tools/torvane/import_arguments.h"

namespace torvane::tool {

namespace {

// Where Debian's hamradio-files and libgweather-4-common packages install them.
constexpr const char* kDebianCtyCsv = "/usr/share/hamradio-files/cty.csv";
constexpr const char* kDebianLocationsXml = "/usr/share/libgweather-4/Locations.xml";

void PrintCtySummary(const import::CtyImportSummary& summary, bool list_duplicates,
                     std::ostream& out) {
  out << fmt::format(
      "cty.csv: {} entities, {} keys, {} entity rows, {} duplicate keys, {} repeats merged\n",
      summary.entities, summary.keys, summary.rows, summary.duplicates.size(),
      summary.repeated_keys);
  if (!list_duplicates) return;
  for (const import::DuplicateKey& duplicate : summary.duplicates) {
    out << fmt::format("  {}: {} over {} (line {})\n", duplicate.key, duplicate.kept_country,
                       duplicate.skipped_country, duplicate.line);
  }
}

struct BuildArguments {
  std::string folder;
  std::string documents;
  std::string cty = kDebianCtyCsv;
  std::string locations = kDebianLocationsXml;
  bool force = false;
  bool list_duplicates = false;
};

int BuildDefault(const BuildArguments& arguments, CommandContext& context) {
  const std::string folder =
      arguments.folder.empty()
          ? DocumentsDataFolder(arguments.documents.empty() ? DocumentsFolder() : arguments.documents)
          : arguments.folder;
  auto summary =
      import::BuildDefaultDataFolder(folder, {arguments.cty, arguments.locations}, arguments.force);
  if (!summary) {
    context.err << "torvane db build-default: " << summary.error().description;
    if (!arguments.force && summary.error().description.ends_with("already exists")) {
      context.err << " (--force replaces it)";
    }
    context.err << '\n';
    return 1;
  }
  context.out << "built " << summary->prefix_database << '\n';
  PrintCtySummary(summary->cty, arguments.list_duplicates, context.out);
  context.out << fmt::format("Locations.xml: {} weather stations, {} duplicate codes skipped\n",
                             summary->weather_stations, summary->duplicate_station_codes);
  return 0;
}

Result<db::Connection> OpenPrefixDatabase(const ImportArguments& arguments,
                                          std::string_view command, CommandContext& context) {
  return OpenDataFolderDatabase(arguments, db::kPrefixDatabase, command, "prefix database",
                                "torvane db build-default makes one", context);
}

int ImportCty(const ImportArguments& arguments, CommandContext& context) {
  auto connection = OpenPrefixDatabase(arguments, "cty", context);
  if (!connection) return 1;
  auto summary = import::ImportCtyCsv(*connection, arguments.file, arguments.force);
  if (!summary) {
    context.err << "torvane import cty: " << summary.error().description
                << "; nothing was changed\n";
    return 1;
  }
  context.out << "imported " << arguments.file << " into " << connection->path() << '\n';
  PrintCtySummary(*summary, arguments.list_duplicates, context.out);
  return 0;
}

int ImportLotw(const ImportArguments& arguments, CommandContext& context) {
  auto connection = OpenDataFolderDatabase(arguments, db::kLotwUsersDatabase, "lotw",
                                           "LoTW users database", "torvane db init makes one",
                                           context);
  if (!connection) return 1;
  const std::string& path = connection->path();
  auto summary = import::ImportLotwUsers(*connection, arguments.file, arguments.force);
  if (!summary) {
    context.err << "torvane import lotw: " << summary.error().description
                << "; the old list is kept\n";
    return 1;
  }
  for (const import::SkippedLine& skipped : summary->skipped) {
    context.err << fmt::format("torvane import lotw: {} line {}: {}; skipped\n", arguments.file,
                               skipped.line, skipped.reason);
  }
  context.out << fmt::format("imported {} LoTW users from {} into {}", summary->users,
                             arguments.file, path);
  if (!summary->skipped.empty()) {
    context.out << fmt::format(", {} malformed lines skipped", summary->skipped.size());
  }
  context.out << '\n';
  return 0;
}

int ImportWeather(const ImportArguments& arguments, CommandContext& context) {
  auto connection = OpenPrefixDatabase(arguments, "weather", context);
  if (!connection) return 1;
  auto stations = import::ReadLocationsXml(arguments.file);
  Status written = stations ? import::WriteWeatherTable(*connection, stations->stations,
                                                         arguments.force)
                            : Status(stations.error());
  if (!written) {
    context.err << "torvane import weather: " << written.error().description
                << "; nothing was changed\n";
    return 1;
  }
  context.out << "imported " << arguments.file << " into " << connection->path() << '\n';
  context.out << fmt::format("Locations.xml: {} weather stations, {} duplicate codes skipped\n",
                             stations->stations.size(), stations->duplicate_codes);
  return 0;
}

}  // namespace

void AddImportCommands(CLI::App& app, CommandContext& context) {
  CLI::App* db = app.get_subcommand("db");
  auto build_arguments = std::make_shared<BuildArguments>();
  CLI::App* build = db->add_subcommand(
      "build-default", "Build a data folder from Debian's cty.csv and Locations.xml");
  AddOptionsWhenNamed(*build, [&context, build, build_arguments] {
    CLI::Option* folder =
        build->add_option("DIR", build_arguments->folder,
                          "The data folder (default: ZENTROVA/Quorlin in the documents folder)");
    build->add_option("--documents", build_arguments->documents, "The documents folder")
        ->excludes(folder);
    build->add_option("--cty", build_arguments->cty, "AD1C's Big CTY file (cty.csv)")
        ->capture_default_str();
    build->add_option("--locations", build_arguments->locations, "libgweather's Locations.xml")
        ->capture_default_str();
    build->add_flag("--force", build_arguments->force, "Replace an existing prefix database");
    build->add_flag("--list-duplicates", build_arguments->list_duplicates,
                    "List the keys skipped because an earlier entity holds them");
    build->callback(
        [&context, build_arguments] { context.status = BuildDefault(*build_arguments, context); });
  });

  CLI::App* import = app.add_subcommand("import", "Import newer reference data");
  import->require_subcommand(1);
  auto cty_arguments = std::make_shared<ImportArguments>();
  CLI::App* cty = import->add_subcommand(
      "cty", "Replace the prefix tables of a data folder from a newer cty.csv");
  AddOptionsWhenNamed(*cty, [&context, cty, cty_arguments] {
    cty->add_option("FILE", cty_arguments->file, "AD1C's Big CTY file (cty.csv)")->required();
    AddFolderOptions(*cty, *cty_arguments);
    cty->add_flag("--list-duplicates", cty_arguments->list_duplicates,
                  "List the keys skipped because an earlier entity holds them");
    cty->callback(
        [&context, cty_arguments] { context.status = ImportCty(*cty_arguments, context); });
  });

  auto lotw_arguments = std::make_shared<ImportArguments>();
  CLI::App* lotw = import->add_subcommand(
      "lotw", "Replace the LoTW users list of a data folder from ARRL's lotw-user-activity.csv");
  AddOptionsWhenNamed(*lotw, [&context, lotw, lotw_arguments] {
    lotw->add_option("FILE", lotw_arguments->file, "ARRL's lotw-user-activity.csv")->required();
    AddFolderOptions(*lotw, *lotw_arguments);
    lotw->callback(
        [&context, lotw_arguments] { context.status = ImportLotw(*lotw_arguments, context); });
  });
  auto weather_arguments = std::make_shared<ImportArguments>();
  CLI::App* weather = import->add_subcommand(
      "weather", "Replace the weather stations of a data folder from a Locations.xml file");
  AddOptionsWhenNamed(*weather, [&context, weather, weather_arguments] {
    weather
        ->add_option("FILE", weather_arguments->file, "A file in libgweather's Locations.xml form")
        ->required();
    AddFolderOptions(*weather, *weather_arguments);
    weather->callback([&context, weather_arguments] {
      context.status = ImportWeather(*weather_arguments, context);
    });
  });
}

}  // namespace torvane::tool
