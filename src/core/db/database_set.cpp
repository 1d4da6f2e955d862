#include "core/db/database_set.h"

#include "core/files.h"

namespace torvane::db {

std::shared_ptr<Connection> DatabaseSet::ConnectionFor(const std::string& path, Status& status) {
  const std::string resolved = files::ResolvePath(path);
  if (auto existing = connections_[resolved].lock()) return existing;
  auto opened = Connection::Open(resolved, Connection::Mode::kReadWrite);
  if (!opened) {
    status = opened.error();
    return nullptr;
  }
  auto shared = std::make_shared<Connection>(std::move(opened.value()));
  connections_[resolved] = shared;
  return shared;
}

Status DatabaseSet::Refresh(Table& table) {
  Status status;
  auto connection = ConnectionFor(table.DatabaseName(), status);
  if (!connection) return status;
  return table.Open(std::move(connection));
}

Status DatabaseSet::OpenAtStartup(const DatabasePaths& paths) {
  struct Slot {
    Table& table;
    const char* source;
  };
  for (const Slot& slot : {Slot{Data1, "plink"}, Slot{Data2, "Prefixes"}, Slot{Data3, "Weather"},
                           Slot{Data4, "zipcodes"}, Slot{Data9, "plinkold"}}) {
    slot.table.SetDatabaseName(paths.prefix);
    slot.table.SetRecordSource(slot.source);
  }
  Data10.SetDatabaseName(paths.lotw_users);
  Data10.SetRecordSource("LoTW");
  if (Status opened = Refresh(Data10); !opened) return opened;
  for (Table* table : {&Data1, &Data2, &Data3, &Data4, &Data9}) {
    if (Status opened = Refresh(*table); !opened) return opened;
  }
  LocalFCCAvailable = files::FileExists(paths.fcc);
  if (!LocalFCCAvailable) return Status::Ok();
  Status opened = OpenFccTables(paths.fcc);
  LocalFCCAvailable = opened.ok();
  return opened;
}

Status DatabaseSet::OpenFccTables(const std::string& path) {
  struct Slot {
    Table& table;
    const char* source;
    const char* index;
  };
  for (const Slot& slot : {Slot{Data5, "Amateur", nullptr}, Slot{Data6, "Entity", nullptr},
                           Slot{Data7, "EntityName", "PrimaryKey"},
                           Slot{Data8, "Email", "PrimaryKey"}}) {
    slot.table.SetDatabaseName(path);
    slot.table.SetRecordSource(slot.source);
    if (Status opened = Refresh(slot.table); !opened) return opened;
    if (slot.index != nullptr) slot.table.SetIndex(slot.index);
  }
  return Status::Ok();
}

}  // namespace torvane::db
