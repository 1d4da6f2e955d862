#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <string_view>

#include "core/db/sqlite.h"
#include "core/result.h"
#include "tools/torvane/commands.h"

namespace torvane::tool {

// What every "torvane import" command takes: the file, and the data folder named outright or
// found through a documents folder.
struct ImportArguments {
  std::string file;
  std::string data_folder;
  std::string documents;
  bool list_duplicates = false;
  bool force = false;  // import even what would leave less than half of a full table
};

// Adds "--data-folder" and "--documents" (one or the other), and "--force".
void AddFolderOptions(CLI::App& command, ImportArguments& arguments);

// The data folder the arguments name, found as a service object finds it.
std::string DataFolderOf(const ImportArguments& arguments);

// A database of that data folder (`relative_path` as in core/db/data_folder.h), opened for
// writing. When it is missing or cannot be opened, says so on the error stream as
// "torvane import <command>: ..." with `how_to_make` as the hint, and gives an Error.
Result<db::Connection> OpenDataFolderDatabase(const ImportArguments& arguments,
                                              std::string_view relative_path,
                                              std::string_view command, std::string_view what,
                                              std::string_view how_to_make,
                                              CommandContext& context);

}  // namespace torvane::tool
