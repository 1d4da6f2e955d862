// A program built without libzip: whether libzip is in the process shows when the FCC import
// opened it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/loaded_libraries.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::import {
namespace {

using ::testing::HasSubstr;
using torvane::testing::IsLoaded, torvane::testing::RunTool, torvane::testing::TempDataFolder;

// Written by the build: EN.dat, AM.dat and HD.dat, and l_amat.zip holding the same three.
constexpr const char* kSampleFolder = TORVANE_SAMPLE_ULS_FOLDER;

TEST(ZipLoading, AFolderImportsWithoutLibzipAndAnArchiveOpensItForTheSameResult) {
  ASSERT_FALSE(IsLoaded("libzip.so.4")) << "this program must not be linked to libzip";
  TempDataFolder data;
  const auto from_folder = RunTool({"import", "fcc", kSampleFolder, "--data-folder", data.path()});
  ASSERT_EQ(from_folder.status, 0) << from_folder.err;
  EXPECT_FALSE(IsLoaded("libzip.so.4"));

  const std::string archive = std::string(kSampleFolder) + "/l_amat.zip";
  const auto from_archive = RunTool({"import", "fcc", archive, "--data-folder", data.path()});
  ASSERT_EQ(from_archive.status, 0) << from_archive.err;
  EXPECT_TRUE(IsLoaded("libzip.so.4"));
  ASSERT_EQ(from_folder.lines.size(), 2u) << from_folder.out;
  ASSERT_EQ(from_archive.lines.size(), 2u) << from_archive.out;
  EXPECT_THAT(from_archive.lines[1], HasSubstr("200 licences"));
  EXPECT_EQ(from_archive.lines[1], from_folder.lines[1]) << "the counts of records and rows";
}

}  // namespace
}  // namespace torvane::import
