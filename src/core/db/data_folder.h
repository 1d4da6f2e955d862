#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

// The database files of a data folder and how to create them empty.
namespace torvane::db {

// Paths relative to the data folder. Components match without regard to case, so the
// host's "databases" and "Databases" are one folder.
inline constexpr std::string_view kPrefixDatabase = "databases/bandplan.db";
inline constexpr std::string_view kFccDatabase = "FCC Data/FCCData.db";
inline constexpr std::string_view kLotwUsersDatabase = "Databases/LoTWUsers.db";
// Where new data folders get their files (the same files as above).
inline constexpr std::string_view kDatabasesFolder = "Databases";
inline constexpr std::string_view kFccFolder = "FCC Data";
inline constexpr std::string_view kLogsFolder = "Logs";

enum class Schema { kPrefix, kFcc, kLotwUsers };

std::string_view SchemaText(Schema schema);

// Creates a database file with the schema. The file is built beside the target and renamed
// into place only when complete; an existing file is an error and is left untouched.
Status CreateDatabase(const std::string& path, Schema schema);

// Creates the folders and empty databases of a data folder: the prefix and LoTW users
// databases, and with `with_fcc` the FCC database. Databases that already exist are kept.
// `created` lists the files made.
Status InitDataFolder(const std::string& folder, bool with_fcc, std::vector<std::string>& created);

}  // namespace torvane::db
