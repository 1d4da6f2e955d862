#pragma once

#include <map>
#include <memory>
#include <string>

#include "core/db/table.h"
#include "core/result.h"

namespace torvane::db {

struct DatabasePaths {
  std::string prefix;      // PrefixDatabasePath
  std::string fcc;         // FCCDatabasePath
  std::string lotw_users;  // LoTWUsersDatabasePath
};

// The ten table slots the service keeps open, over the three database files. Slots over one
// file share one connection.
class DatabaseSet {
 public:
  Table Data1{"Data1"};    // plink
  Table Data2{"Data2"};    // Prefixes
  Table Data3{"Data3"};    // Weather
  Table Data4{"Data4"};    // zipcodes
  Table Data5{"Data5"};    // Amateur
  Table Data6{"Data6"};    // Entity
  Table Data7{"Data7"};    // EntityName
  Table Data8{"Data8"};    // Email
  Table Data9{"Data9"};    // plinkold
  Table Data10{"Data10"};  // LoTW

  // Opens the slots in the start-up order. The first failure ends the sequence and is
  // returned; the slots not yet opened stay closed. A missing FCC file is not a failure.
  Status OpenAtStartup(const DatabasePaths& paths);

  // Points Data5..Data8 at an FCC database file and opens them (start-up, and the FCC source
  // when it finds the database on a CD-ROM).
  Status OpenFccTables(const std::string& path);

  bool LocalFCCAvailable = false;

 private:
  // Opens the slot's record source in its database file (the Refresh of the slot).
  Status Refresh(Table& table);
  std::shared_ptr<Connection> ConnectionFor(const std::string& path, Status& status);

  std::map<std::string, std::weak_ptr<Connection>> connections_;
};

}  // namespace torvane::db
