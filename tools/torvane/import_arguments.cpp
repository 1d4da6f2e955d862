#include "tools/torvane/import_arguments.h"

#include <ostream>

#include "core/files.h"
#include "core/folders.h"

namespace torvane::tool {

void AddFolderOptions(CLI::App& command, ImportArguments& arguments) {
  CLI::Option* data_folder =
      command.add_option("--data-folder", arguments.data_folder, "The data folder");
  command
      .add_option("--documents", arguments.documents,
                  "The documents folder whose ZENTROVA/Quorlin is the data folder")
      ->excludes(data_folder);
  command.add_flag("--force", arguments.force,
                   "Import even a file that would leave less than half of the rows of a table "
                   "holding 1,000 or more");
}

std::string DataFolderOf(const ImportArguments& arguments) {
  Options options;
  options.data_folder = arguments.data_folder;
  options.documents_folder = arguments.documents;
  return LocateFolders(options).DataFolder;
}

Result<db::Connection> OpenDataFolderDatabase(const ImportArguments& arguments,
                                              std::string_view relative_path,
                                              std::string_view command, std::string_view what,
                                              std::string_view how_to_make,
                                              CommandContext& context) {
  const std::string folder = DataFolderOf(arguments);
  const std::string path = files::ResolvePath(files::Join(folder, std::string(relative_path)));
  if (!files::FileExists(path)) {
    context.err << "torvane import " << command << ": no " << what << " in " << folder << " ("
                << how_to_make << ")\n";
    return Error{};
  }
  auto connection = db::Connection::Open(path, db::Connection::Mode::kReadWrite);
  if (!connection) {
    context.err << "torvane import " << command << ": " << connection.error().description
                << '\n';
  }
  return connection;
}

}  // namespace torvane::tool
