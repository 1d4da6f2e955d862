#include "tests/support/temp_folder.h"

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/db/data_folder.h"

namespace torvane::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = test != nullptr ? fmt::format("{}.{}", test->test_suite_name(),
                                                         test->name())
                                           : std::string("torvane");
  std::string safe;
  for (char c : name) safe += (std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
  path_ = fmt::format("{}torvane-{}-{}-{}", ::testing::TempDir(), safe, ::getpid(), counter++);
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code error;
  fs::remove_all(path_, error);
}

TempDataFolder::TempDataFolder(bool with_fcc) {
  std::vector<std::string> created;
  const Status status = db::InitDataFolder(folder_.path(), with_fcc, created);
  EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().description);
}

std::string TempDataFolder::PrefixDatabase() const {
  return folder_.path() + "/Databases/bandplan.db";
}
std::string TempDataFolder::LotwUsersDatabase() const {
  return folder_.path() + "/Databases/LoTWUsers.db";
}
std::string TempDataFolder::FccDatabase() const { return folder_.path() + "/FCC Data/FCCData.db"; }

void TempDataFolder::Execute(const std::string& database, const std::string& sql) const {
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open_v2(database.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK)
      << database;
  char* message = nullptr;
  const int code = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message);
  const std::string text = message != nullptr ? message : "";
  sqlite3_free(message);
  sqlite3_close(handle);
  ASSERT_EQ(code, SQLITE_OK) << text << "\n" << sql;
}

Options TempDataFolder::MakeOptions(LocalDateTime now) const {
  Options options;
  options.data_folder = folder_.path();
  options.documents_folder = folder_.path() + "/no-documents";
  options.install_folder = folder_.path() + "/no-install";
  options.clock = [now] { return now; };
  return options;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace torvane::testing
