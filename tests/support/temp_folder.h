#pragma once

#include <sqlite3.h>

#include <string>

#include "torvane/options.h"

namespace torvane::testing {

// A folder unique to the test, under the test framework's temporary folder; removed with
// everything in it when the object ends.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A data folder made exactly as `torvane db init` makes one, with direct SQL access to its
// databases for arranging rows.
class TempDataFolder {
 public:
  explicit TempDataFolder(bool with_fcc = false);

  const std::string& path() const { return folder_.path(); }
  std::string PrefixDatabase() const;
  std::string LotwUsersDatabase() const;
  std::string FccDatabase() const;
  std::string LogFolder() const { return folder_.path() + "/Logs"; }

  // Runs SQL on a database file of this folder; fails the test on an error.
  void Execute(const std::string& database, const std::string& sql) const;
  // Options for a service object on this folder, with a fixed clock.
  Options MakeOptions(LocalDateTime now = {2026, 6, 21, 12, 0, 10}) const;

 private:
  TempFolder folder_;
};

// The whole text of a file, or "" when it does not exist.
std::string ReadFile(const std::string& path);

}  // namespace torvane::testing
