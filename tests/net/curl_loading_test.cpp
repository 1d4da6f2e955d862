// A host program built against the public library alone: libcurl is not linked into it, so
// whether libcurl is in the process shows when the library opened it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/loaded_libraries.h"
#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_server.h"
#include "torvane/torvane_control.h"

namespace torvane {
namespace {

using torvane::testing::IsLoaded, torvane::testing::TempDataFolder, torvane::testing::TestServer;

TEST(CurlLoading, StartingAServiceAndPrefixLookupsLeaveLibcurlOutUntilTheFirstRequest) {
  ASSERT_FALSE(IsLoaded("libcurl.so.4")) << "this program must not be linked to libcurl";
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), torvane::testing::kSamplePrefixRows);
  TestServer server;
  server.Script("/upload", {{.body = "stored"}});
  TorvaneControl control(folder.MakeOptions());
  EXPECT_EQ(control.GetPrefixCountry("DL1ABC"), "Fed. Rep. of Germany");
  EXPECT_FALSE(IsLoaded("libcurl.so.4"));

  Variant files(std::vector<Variant>{"missing.adi"});
  EXPECT_EQ(control.UploadFiles(files, server.Url("/upload"), "", ""), "stored");
  EXPECT_TRUE(IsLoaded("libcurl.so.4"));
  EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
}  // namespace torvane
