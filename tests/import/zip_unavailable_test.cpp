// Runs with a broken libzip.so.4 first on the library search path (see CMakeLists.txt), so
// opening libzip fails as it would on a host without it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "import/fcc_import.h"
#include "import/uls_source.h"
#include "tests/support/loaded_libraries.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::import {
namespace {

using ::testing::HasSubstr;
using torvane::testing::BrokenLibrary, torvane::testing::ReadFile, torvane::testing::RunTool,
    torvane::testing::TempDataFolder;

// Written by the build: EN.dat, AM.dat and HD.dat, and l_amat.zip holding the same three.
constexpr const char* kSampleFolder = TORVANE_SAMPLE_ULS_FOLDER;

// What the loader's reason must hold besides the library's name.
std::string ExpectedReason() {
  switch (torvane::testing::BrokenLibraryOnSearchPath()) {
    case BrokenLibrary::kNotALibrary:
      return "zip_not_a_library/libzip.so.4: file too short";
    case BrokenLibrary::kWithoutFunctions:
      return "it has no function zip_discard";
    case BrokenLibrary::kNone:
      break;
  }
  return "";
}

TEST(ZipUnavailable, AnArchiveFailsWithTheReasonLibzipCouldNotBeLoaded) {
  ASSERT_FALSE(ExpectedReason().empty()) << "run through ctest, which sets the search path";
  TempDataFolder data(/*with_fcc=*/true);
  const std::string before = ReadFile(data.FccDatabase());
  ASSERT_FALSE(before.empty());
  const std::string archive = std::string(kSampleFolder) + "/l_amat.zip";

  const struct {
    const char* operation;
    std::function<std::string()> error;
  } cases[] = {
      {"UlsSource::Open",
       [&] {
         const auto source = UlsSource::Open(archive);
         return source ? "" : source.error().description;
       }},
      {"ImportFccLicences",
       [&] {
         const auto summary = ImportFccLicences(archive, data.FccDatabase());
         return summary ? "" : summary.error().description;
       }},
      {"torvane import fcc",
       [&] {
         const auto outcome = RunTool({"import", "fcc", archive, "--data-folder", data.path()});
         EXPECT_EQ(outcome.status, 1);
         EXPECT_THAT(outcome.err, HasSubstr("; the licence database was not changed"));
         return outcome.err;
       }},
  };
  for (const auto& c : cases) {
    const std::string error = c.error();
    EXPECT_THAT(error, HasSubstr(archive + ": cannot load libzip.so.4: ")) << c.operation;
    EXPECT_THAT(error, HasSubstr(ExpectedReason())) << c.operation;
    EXPECT_EQ(ReadFile(data.FccDatabase()), before) << c.operation;
  }
}

TEST(ZipUnavailable, TheUnpackedFolderStillImports) {
  ASSERT_FALSE(ExpectedReason().empty()) << "run through ctest, which sets the search path";
  TempDataFolder data;
  const auto outcome = RunTool({"import", "fcc", kSampleFolder, "--data-folder", data.path()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  ASSERT_EQ(outcome.lines.size(), 2u) << outcome.out;
  EXPECT_EQ(outcome.lines[1],
            "600 records read, 200 licences and 200 licensees kept, 0 records rejected");
}

}  // namespace
}  // namespace torvane::import
