#include <fmt/format.h>

#include <memory>
#include <ostream>
#include <string>

#include "core/db/data_folder.h"
#include "core/db/sqlite.h"
#include "core/files.h"
#include "core/folders.h"
#include "import/default_data.h"
#include "import/prefix_tables.h"
#include "tools/torvane/commands.h"

namespace torvane::tool {

namespace {

// Where Debian's hamradio-files and libgweather-4-common packages install them.
constexpr const char* kDebianCtyCsv = "/usr/share/hamradio-files/cty.csv";
constexpr const char* kDebianLocationsXml = "/usr/share/libgweather-4/Locations.xml";

// The data folder a service object finds in the documents folder.
std::string DocumentsDataFolder(const std::string& documents) {
  return files::Join(documents.empty() ? DocumentsFolder() : documents, "ZENTROVA/Quorlin");
}

void PrintCtySummary(const import::CtyImportSummary& summary, bool list_duplicates,
                     std::ostream& out) {
  out << fmt::format(
      "cty.csv: {} entities, {} keys, {} entity rows, {} duplicate keys skipped, {} repeats "
      "merged\n",
      summary.entities, summary.keys, summary.rows, summary.duplicates.size(),
      summary.repeated_keys);
  if (!list_duplicates) return;
  for (const import::DuplicateKey& duplicate : summary.duplicates) {
    out << fmt::format("  {} under {} (line {}): kept under {}\n", duplicate.key,
                       duplicate.skipped_country, duplicate.line, duplicate.kept_country);
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
      arguments.folder.empty() ? DocumentsDataFolder(arguments.documents) : arguments.folder;
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

struct ImportCtyArguments {
  std::string file;
  std::string data_folder;
  std::string documents;
  bool list_duplicates = false;
};

int ImportCty(const ImportCtyArguments& arguments, CommandContext& context) {
  const std::string folder = arguments.data_folder.empty()
                                 ? DocumentsDataFolder(arguments.documents)
                                 : arguments.data_folder;
  const std::string path =
      files::ResolvePath(files::Join(folder, std::string(db::kPrefixDatabase)));
  if (!files::FileExists(path)) {
    context.err << "torvane import cty: no prefix database in " << folder
                << " (torvane db build-default makes one)\n";
    return 1;
  }
  auto connection = db::Connection::Open(path, db::Connection::Mode::kReadWrite);
  if (!connection) {
    context.err << "torvane import cty: " << connection.error().description << '\n';
    return 1;
  }
  auto summary = import::ImportCtyCsv(*connection, arguments.file);
  if (!summary) {
    context.err << "torvane import cty: " << summary.error().description
                << "; nothing was changed\n";
    return 1;
  }
  context.out << "imported " << arguments.file << " into " << path << '\n';
  PrintCtySummary(*summary, arguments.list_duplicates, context.out);
  return 0;
}

}  // namespace

void AddImportCommands(CLI::App& app, CommandContext& context) {
  CLI::App* db = app.get_subcommand("db");
  auto build_arguments = std::make_shared<BuildArguments>();
  CLI::App* build = db->add_subcommand(
      "build-default", "Build a data folder from Debian's cty.csv and Locations.xml");
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

  CLI::App* import = app.add_subcommand("import", "Import newer reference data");
  import->require_subcommand(1);
  auto cty_arguments = std::make_shared<ImportCtyArguments>();
  CLI::App* cty = import->add_subcommand(
      "cty", "Replace the prefix tables of a data folder from a newer cty.csv");
  cty->add_option("FILE", cty_arguments->file, "AD1C's Big CTY file (cty.csv)")->required();
  CLI::Option* data_folder =
      cty->add_option("--data-folder", cty_arguments->data_folder, "The data folder");
  cty->add_option("--documents", cty_arguments->documents,
                  "The documents folder whose ZENTROVA/Quorlin is the data folder")
      ->excludes(data_folder);
  cty->add_flag("--list-duplicates", cty_arguments->list_duplicates,
                "List the keys skipped because an earlier entity holds them");
  cty->callback([&context, cty_arguments] { context.status = ImportCty(*cty_arguments, context); });
}

}  // namespace torvane::tool
