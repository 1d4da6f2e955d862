#include "tests/support/default_data.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "import/default_data.h"

namespace torvane::testing {

namespace {

class DefaultDataFolderOwner {
 public:
  DefaultDataFolderOwner()
      : path_(::testing::TempDir() + "torvane-default-data-" + std::to_string(::getpid())) {
    std::filesystem::remove_all(path_);
    const auto built =
        import::BuildDefaultDataFolder(path_, {kDebianCtyCsv, kDebianLocationsXml}, false);
    if (!built) {
      ADD_FAILURE() << "cannot build the default data: " << built.error().description;
    }
  }
  ~DefaultDataFolderOwner() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const std::string& DefaultDataFolder() {
  static const DefaultDataFolderOwner owner;
  return owner.path();
}

}  // namespace torvane::testing
