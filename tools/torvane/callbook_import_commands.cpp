#include <fmt/format.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <ostream>
#include <string>

#include "core/db/data_folder.h"
#include "core/db/sqlite.h"
#include "core/files.h"
#include "core/folders.h"
#include "import/fcc_import.h"
#include "import/zip_codes.h"
#include "tools/torvane/commands.h"
#include "tools/torvane/import_arguments.h"

namespace torvane::tool {

namespace {

// A bar on the terminal, redrawn when the percentage changes; nothing when the errors go
// elsewhere.
class ProgressBar {
 public:
  explicit ProgressBar(std::ostream& err)
      : err_(err), shown_(&err == &std::cerr && ::isatty(STDERR_FILENO) != 0) {}
  ~ProgressBar() {
    if (shown_ && percent_ >= 0) err_ << '\n';
  }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Show(std::uint64_t done, std::uint64_t total) {
    if (!shown_ || total == 0) return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == percent_) return;
    percent_ = percent;
    const int filled = percent * 40 / 100;
    err_ << fmt::format("\rreading  [{:<40}] {:3}%", std::string(filled, '#'), percent);
    // Sorting and writing the licences comes after the reading, without steps to show.
    if (percent == 100) err_ << "  writing the database...";
    err_ << std::flush;
  }

 private:
  std::ostream& err_;
  bool shown_;
  int percent_ = -1;
};

int ImportFcc(const ImportArguments& arguments, CommandContext& context) {
  const std::string folder = DataFolderOf(arguments);
  std::string error;
  const std::string fcc_folder =
      files::ResolvePath(files::Join(folder, std::string(db::kFccFolder)));
  if (!files::DirectoryExists(folder) || !files::CreateFolders(fcc_folder, error)) {
    context.err << "torvane import fcc: cannot use the data folder " << folder
                << (error.empty() ? "" : ": " + error) << '\n';
    return 1;
  }
  const std::string database = files::ResolvePath(files::Join(folder, std::string(db::kFccDatabase)));
  Result<import::FccImportSummary> summary = [&] {
    ProgressBar bar(context.err);
    return import::ImportFccLicences(arguments.file, database,
                                     [&bar](std::uint64_t done, std::uint64_t total) {
                                       bar.Show(done, total);
                                     },
                                     arguments.force);
  }();
  if (!summary) {
    context.err << "torvane import fcc: " << summary.error().description
                << "; the licence database was not changed\n";
    return 1;
  }
  const import::FccImportSummary& shown = *summary;
  context.out << fmt::format(
      "imported {} into {}\n{} records read, {} licences and {} licensees kept, {} records "
      "rejected\n",
      arguments.file, database, shown.records_read, shown.licences, shown.licensees,
      shown.records_rejected);
  for (const import::RejectedRecord& rejected : shown.first_rejected) {
    context.out << fmt::format("  {} line {} {}: {}\n", rejected.member, rejected.line,
                               rejected.reason, rejected.text);
  }
  return 0;
}

int ImportZip(const ImportArguments& arguments, CommandContext& context) {
  auto connection = OpenDataFolderDatabase(arguments, db::kPrefixDatabase, "zip", "prefix database",
                                           "torvane db build-default makes one", context);
  if (!connection) return 1;
  const std::string& path = connection->path();
  auto summary = import::ImportZipCodes(*connection, arguments.file, arguments.force);
  if (!summary) {
    context.err << "torvane import zip: " << summary.error().description
                << "; nothing was changed\n";
    return 1;
  }
  context.out << fmt::format("imported {} into {}: {} ZIP codes, {} lines rejected\n",
                             arguments.file, path, summary->rows, summary->rejected);
  for (const std::string& rejected : summary->first_rejected) {
    context.out << "  " << rejected << '\n';
  }
  return 0;
}

void AddImport(CLI::App& import, const char* name, const char* description,
               const char* file_description, CommandContext& context,
               int (*run)(const ImportArguments&, CommandContext&)) {
  auto arguments = std::make_shared<ImportArguments>();
  CLI::App* command = import.add_subcommand(name, description);
  AddOptionsWhenNamed(*command, [&context, command, arguments, file_description, run] {
    command->add_option("FILE", arguments->file, file_description)->required();
    AddFolderOptions(*command, *arguments);
    command->callback([&context, arguments, run] { context.status = run(*arguments, context); });
  });
}

}  // namespace

void AddCallbookImportCommands(CLI::App& app, CommandContext& context) {
  CLI::App* import = app.get_subcommand("import");
  AddImport(*import, "fcc", "Build the FCC licence database from the FCC's weekly amateur file",
            "l_amat.zip, or the folder with its EN.dat, AM.dat and HD.dat", context, ImportFcc);
  AddImport(*import, "zip", "Replace the ZIP code positions from the Census ZCTA gazetteer",
            "The gazetteer file (tab-separated, with a header)", context, ImportZip);
}

}  // namespace torvane::tool
