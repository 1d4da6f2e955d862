// Runs with a broken libcurl.so.4 first on the library search path (see CMakeLists.txt), so
// the first request's attempt to open libcurl fails as it would on a host without libcurl.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/net/http_client.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "tests/support/loaded_libraries.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "torvane/torvane_control.h"

namespace torvane::net {
namespace {

using ::testing::HasSubstr, ::testing::StartsWith;
using torvane::testing::ReadFile, torvane::testing::RefusingPort, torvane::testing::TempDataFolder,
    torvane::testing::TempFolder;
namespace fs = std::filesystem;

// What the loader's reason must hold besides the library's name.
std::string ExpectedReason() {
  switch (torvane::testing::BrokenLibraryOnSearchPath()) {
    case torvane::testing::BrokenLibrary::kNotALibrary:
      return "curl_not_a_library/libcurl.so.4: file too short";
    case torvane::testing::BrokenLibrary::kWithoutFunctions:
      return "it has no function curl_version_info";
    case torvane::testing::BrokenLibrary::kNone:
      break;
  }
  return "";
}

struct Outcome {
  bool failed;
  std::string error;
};

TEST(CurlUnavailable, EveryRequestFailsWithTheReasonLibcurlCouldNotBeLoaded) {
  ASSERT_FALSE(ExpectedReason().empty()) << "run through ctest, which sets the search path";
  TempFolder folder;
  WebState web;
  EventDispatcher events{nullptr};
  HostYield host_yield{nullptr};
  HttpTransport transport{web, events, host_yield};
  ASSERT_TRUE(transport.Configure(Options{}).ok()) << "without a CA file nothing is loaded yet";
  // Were libcurl loaded after all, the requests would fail differently: nothing listens here.
  RefusingPort refusing;
  const std::string url = "http://" + refusing.HostPort() + "/r";
  const std::string download = folder / "report.adi";

  const struct {
    const char* operation;
    std::function<Outcome()> run;
  } cases[] = {
      {"GetText",
       [&] {
         const std::string body = transport.http1().GetText(url);
         return Outcome{body.empty(), transport.http1().LastErrorText()};
       }},
      {"GetText again, on the session client",
       [&] {
         const std::string body = transport.http10().GetText(url);
         return Outcome{body.empty(), transport.http10().LastErrorText()};
       }},
      {"GeneralGet",
       [&] {
         const std::string reply = transport.GeneralGet(url);
         return Outcome{reply.empty(), transport.http1().LastErrorText()};
       }},
      {"DownloadFile",
       [&] {
         const std::int32_t stored = transport.http2().DownloadFile(url, download);
         return Outcome{stored == 0, transport.http2().LastErrorText()};
       }},
      {"Post",
       [&] {
         PostRequest request;
         request.url = url;
         request.body = "data";
         const PostReply reply = transport.Post(request);
         return Outcome{!reply.ok, reply.error};
       }},
      {"UrlProblem",
       [&] {
         const std::string problem = UrlProblem(url);
         return Outcome{!problem.empty(), problem};
       }},
      {"Configure with a CA file",
       [&] {
         Options options;
         options.ca_bundle = torvane::testing::WriteTestCa(folder.path());
         const Status configured = transport.Configure(options);
         return Outcome{!configured.ok(), configured ? "" : configured.error().description};
       }},
  };
  for (const auto& c : cases) {
    const Outcome outcome = c.run();
    EXPECT_TRUE(outcome.failed) << c.operation;
    EXPECT_THAT(outcome.error, StartsWith("cannot load libcurl.so.4: ")) << c.operation;
    EXPECT_THAT(outcome.error, HasSubstr(ExpectedReason())) << c.operation;
  }
  EXPECT_FALSE(fs::exists(download)) << "nor a temporary file beside it";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1) << "the CA file alone";
}

// The host sees each method's failure value, and the service goes on answering.
TEST(CurlUnavailable, TheServicesMethodsGiveTheirFailureValues) {
  ASSERT_FALSE(ExpectedReason().empty()) << "run through ctest, which sets the search path";
  TempDataFolder data;
  RefusingPort refusing;
  Options options = data.MakeOptions();
  options.service_host = options.lotw_host = refusing.HostPort();
  TorvaneControl control(options);
  Variant files(std::vector<Variant>{"missing.adi"});
  EXPECT_THAT(control.UploadFiles(files, "http://" + refusing.HostPort() + "/upload", "", ""),
              StartsWith("cannot load libcurl.so.4: "));
  EXPECT_EQ(control.GetDXNews(), "No DX News found");
  EXPECT_EQ(control.GetSunData(), "Connection Timed Out");
  fs::create_directory(data.path() + "/adif");
  control.SetWebConnectionStatus(true);
  std::string filename = "lotw.adi";
  EXPECT_EQ(control.GetLoTW("w1aw", "secret", "2024-01-01", filename, "W1AW"), 1);
  EXPECT_THAT(ReadFile(data.path() + "/Logs/ImportError.txt"),
              HasSubstr("cannot load libcurl.so.4: "));
  EXPECT_EQ(control.GetDXNews(), "No DX News found") << "a second attempt fails the same way";
}

}  // namespace
}  // namespace torvane::net
