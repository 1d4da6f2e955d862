#include "core/db/data_folder.h"

#include <fmt/format.h>
#include <unistd.h>

#include <filesystem>

#include "core/db/sqlite.h"
#include "core/files.h"

namespace torvane::db {

std::string_view BandplanSchema();
std::string_view FccSchema();
std::string_view LotwUsersSchema();

std::string_view SchemaText(Schema schema) {
  switch (schema) {
    case Schema::kPrefix:
      return BandplanSchema();
    case Schema::kFcc:
      return FccSchema();
    case Schema::kLotwUsers:
      return LotwUsersSchema();
  }
  return {};
}

Status CreateDatabase(const std::string& path, Schema schema) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(path, error)) {
    return Error{17, fmt::format("{} already exists", path), "Torvane.DataFolder"};
  }
  files::RemoveStaleWork(path, ".building-");
  const std::string building = fmt::format("{}.building-{}", path, ::getpid());
  fs::remove(building, error);
  {
    auto connection = Connection::Open(building, Connection::Mode::kCreate);
    if (!connection) return connection.error();
    // Write-ahead logging lets a running service read while another process imports.
    if (Status journal = connection->Execute("PRAGMA journal_mode=WAL"); !journal) {
      fs::remove(building, error);
      return journal;
    }
    Transaction transaction(*connection);
    if (Status begun = transaction.Begin(); !begun) return begun;
    if (Status made = connection->Execute(SchemaText(schema)); !made) {
      fs::remove(building, error);
      return made;
    }
    if (Status committed = transaction.Commit(); !committed) {
      fs::remove(building, error);
      return committed;
    }
  }
  fs::rename(building, path, error);
  if (error) {
    fs::remove(building, error);
    return Error{error.value(), fmt::format("cannot create {}: {}", path, error.message()),
                 "Torvane.DataFolder"};
  }
  return Status::Ok();
}

Status InitDataFolder(const std::string& folder, bool with_fcc, std::vector<std::string>& created) {
  struct Planned {
    std::string_view subfolder;
    std::string_view file;
    Schema schema;
  };
  std::vector<Planned> plan = {{kDatabasesFolder, "bandplan.db", Schema::kPrefix},
                               {kDatabasesFolder, "LoTWUsers.db", Schema::kLotwUsers}};
  if (with_fcc) plan.push_back({kFccFolder, "FCCData.db", Schema::kFcc});

  std::string error;
  for (std::string_view sub : {kDatabasesFolder, kLogsFolder}) {
    const std::string path = files::ResolvePath(files::Join(folder, std::string(sub)));
    if (!files::CreateFolders(path, error)) {
      return Error{0, fmt::format("cannot create folder {}: {}", path, error), "Torvane.DataFolder"};
    }
  }
  for (const Planned& item : plan) {
    const std::string subfolder = files::ResolvePath(files::Join(folder, std::string(item.subfolder)));
    if (!files::CreateFolders(subfolder, error)) {
      return Error{0, fmt::format("cannot create folder {}: {}", subfolder, error),
                   "Torvane.DataFolder"};
    }
    const std::string path = files::Join(subfolder, std::string(item.file));
    if (files::FileExists(path)) continue;
    if (Status made = CreateDatabase(path, item.schema); !made) return made;
    created.push_back(path);
  }
  return Status::Ok();
}

}  // namespace torvane::db
