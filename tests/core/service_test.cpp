#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/activity_log.h"
#include "core/folders.h"
#include "service/service.h"
#include "tests/support/temp_folder.h"
#include "torvane/torvane_control.h"

namespace torvane {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using torvane::testing::ReadFile;
using torvane::testing::TempDataFolder;
using torvane::testing::TempFolder;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(StartUp, WritesTheStartLinesAndTheStopLine) {
  TempDataFolder folder;
  { TorvaneControl control(folder.MakeOptions()); }
  EXPECT_EQ(ReadFile(folder.LogFolder() + "/Torvanelog.txt"),
            "2026-06-21 12:00:10 Torvanecontrol version 4.10.0 started.\r\n");
  EXPECT_THAT(Lines(ReadFile(folder.LogFolder() + "/tvlog.txt")),
              ::testing::ElementsAre("Torvane version 4.10.0 2026-06-21 12:00:10",
                                     "Data path: " + folder.path(),
                                     "Torvane stopped 2026-06-21 12:00:10"));
  EXPECT_EQ(std::filesystem::status(folder.LogFolder() + "/tvlog.txt").permissions() &
                std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(StartUp, EachStartRecreatesTheStartupLog) {
  TempDataFolder folder;
  for (int start = 0; start < 3; ++start) TorvaneControl control(folder.MakeOptions());
  EXPECT_EQ(Lines(ReadFile(folder.LogFolder() + "/Torvanelog.txt")).size(), 1u);
}

TEST(StartUp, ASecondObjectAppendsToTheOpenActivityLogAndAnyEndClosesIt) {
  TempDataFolder folder;
  auto first = std::make_unique<TorvaneControl>(folder.MakeOptions({2026, 1, 1, 8, 0, 0}));
  auto second = std::make_unique<TorvaneControl>(folder.MakeOptions({2026, 1, 1, 9, 0, 0}));
  first.reset();  // closes the process-wide log although the second object lives on
  EXPECT_FALSE(ActivityLog::IsOpen());
  ActivityLog::Write("written after the end");  // does nothing, does not fail
  second.reset();
  EXPECT_THAT(Lines(ReadFile(folder.LogFolder() + "/tvlog.txt")),
              ::testing::ElementsAre("Torvane version 4.10.0 2026-01-01 08:00:00",
                                     "Data path: " + folder.path(),
                                     "Torvane version 4.10.0 2026-01-01 09:00:00",
                                     "Data path: " + folder.path(),
                                     "Torvane stopped 2026-01-01 08:00:00"));
}

TEST(StartUp, AMissingPrefixDatabaseTakesTheFailurePathAndTheObjectStaysUsable) {
  TempDataFolder folder;
  std::filesystem::remove(folder.PrefixDatabase());
  TorvaneControl control(folder.MakeOptions());
  const std::string line = ReadFile(folder.LogFolder() + "/Torvanelog.txt");
  EXPECT_THAT(line, StartsWith("2026-06-21 12:00:10 Torvanecontrol error: 14 "));
  EXPECT_THAT(line, HasSubstr("bandplan.db"));
  EXPECT_EQ(Lines(line).size(), 1u);
  EXPECT_EQ(control.GetVersion(), "4.10.0");
  EXPECT_EQ(control.SetCDDrive("e:"), 0);
  EXPECT_FALSE(control.GetLocalFCCStatus());
}

TEST(StartUp, AMissingLogFolderIsCreatedOnlyInsideAnExistingDataFolder) {
  TempDataFolder folder;
  std::filesystem::remove_all(folder.LogFolder());
  { TorvaneControl control(folder.MakeOptions()); }
  EXPECT_THAT(ReadFile(folder.LogFolder() + "/Torvanelog.txt"), HasSubstr("started."));

  TempFolder nowhere;
  Options options;
  options.data_folder = nowhere / "missing";
  TorvaneControl control(options);
  EXPECT_EQ(control.GetVersion(), "4.10.0");
  EXPECT_FALSE(std::filesystem::exists(nowhere / "missing"));
}

TEST(StartUp, TheFccDatabaseIsOptional) {
  TempDataFolder without;
  TorvaneControl plain(without.MakeOptions());
  EXPECT_FALSE(plain.GetLocalFCCStatus());
  EXPECT_THAT(ReadFile(without.LogFolder() + "/Torvanelog.txt"), HasSubstr("started."));

  TempDataFolder with(/*with_fcc=*/true);
  TorvaneControl licensed(with.MakeOptions());
  EXPECT_TRUE(licensed.GetLocalFCCStatus());
}

TEST(Settings, SettersAnswerTheirCodesAndStoreTheirValues) {
  TempDataFolder folder;
  Service service(folder.MakeOptions(), nullptr, nullptr);
  Settings& settings = service.settings();

  EXPECT_EQ(settings.SetCDSource("qrz subscription"), 0);
  EXPECT_EQ(settings.CDSourceCode, SourceCode::kQrzSubscription);
  EXPECT_EQ(settings.DataSource, "");
  EXPECT_EQ(settings.SetCDSource("Nothing"), 1);
  EXPECT_EQ(settings.CDSourceCode, SourceCode::kNone);
  EXPECT_EQ(settings.DataSource, "None");
  EXPECT_EQ(settings.SetCDDXSource("Nuvex Subscription"), 0);
  EXPECT_EQ(settings.CDDXSourceCode, SourceCode::kNuvexSubscription);
  EXPECT_EQ(settings.SetCDDXSource("FCC "), 1);
  EXPECT_EQ(settings.DXDataSource, "None");

  const struct {
    const char* drive;
    std::int16_t result;
    const char* stored;
  } drives[] = {{"e:", 0, "E:"}, {"E:\\", 1, ""}, {"E", 1, ""}, {"", 1, ""}, {"ee", 1, ""}};
  for (const auto& d : drives) {
    EXPECT_EQ(settings.SetCDDrive(d.drive), d.result) << d.drive;
    EXPECT_EQ(settings.CDDrive, d.stored) << d.drive;
    EXPECT_EQ(settings.SetCDDXDrive(d.drive), d.result) << d.drive;
    EXPECT_EQ(settings.CDDXDrive, d.stored) << d.drive;
  }

  EXPECT_EQ(settings.SetHomeLatitude(Variant("-91")), 1);
  EXPECT_EQ(settings.HomeLatitude, Variant(std::int16_t{0}));
  EXPECT_EQ(settings.SetHomeLatitude(Variant("45.5")), 0);
  EXPECT_EQ(settings.HomeLatitude, Variant("45.5"));  // stored as given, not parsed
  EXPECT_EQ(settings.SetHomeLatitude(Variant("90abc")), 0);
  EXPECT_EQ(settings.SetHomeLongitude(Variant(180.0)), Variant(std::int16_t{0}));
  EXPECT_EQ(settings.SetHomeLongitude(Variant("-180.5")), Variant(std::int16_t{1}));
  EXPECT_EQ(settings.HomeLongitude, Variant(std::int16_t{0}));

  EXPECT_EQ(settings.SetMyCall(" w1aw "), 0);
  EXPECT_EQ(settings.MyCall, " w1aw ");
  EXPECT_EQ(settings.SetMyCall(""), 1);
  EXPECT_EQ(settings.MyCall, "");
  EXPECT_EQ(settings.SetDevel(false), 1);
  EXPECT_EQ(settings.SetDevel(true), 1);
  EXPECT_TRUE(settings.Devel);
  EXPECT_EQ(settings.SetQRZPassword("secret"), 0);
}

TEST(Folders, DiscoveryPrefersTheDocumentsFolderThenTheQuorlinFolderAboveTheComponent) {
  TempFolder with_data;
  std::filesystem::create_directories(with_data / "ZENTROVA/Quorlin/Databases");
  TempFolder without_data;
  const struct {
    std::string documents;
    const char* install;
    const char* data_folder;  // set outright, or empty
    std::string data;
    std::string log;
  } cases[] = {
      {with_data.path(), "/opt/Programs/Quorlin/Bin", "", with_data / "ZENTROVA/Quorlin",
       with_data / "ZENTROVA/Quorlin/Logs"},
      {without_data.path(), "/opt/Programs/Quorlin/Bin", "", "/opt/Programs/Quorlin",
       "/opt/Programs/Quorlin/Controls"},
      {without_data.path(), "/usr/lib/torvane", "", "/usr/lib/torvane/Quorlin",
       "/usr/lib/torvane/Quorlin/Controls"},
      // Case-sensitive, and only after the first character.
      {without_data.path(), "/opt/quorlin/bin", "", "/opt/quorlin/bin/Quorlin",
       "/opt/quorlin/bin/Quorlin/Controls"},
      {without_data.path(), "/Quorlin/Bin", "", "/Quorlin/Bin/Quorlin",
       "/Quorlin/Bin/Quorlin/Controls"},
      {with_data.path(), "/opt/Programs/Quorlin/Bin", "/data", "/data", "/data/Logs"},
  };
  for (const auto& c : cases) {
    Options options;
    options.documents_folder = c.documents;
    options.install_folder = c.install;
    options.data_folder = c.data_folder;
    const FolderSet folders = LocateFolders(options);
    EXPECT_EQ(folders.DataFolder, c.data) << c.install;
    EXPECT_EQ(folders.LogFolder, c.log) << c.install;
  }
  Options outright;
  outright.data_folder = "/data";
  outright.log_folder = "/logs";
  EXPECT_EQ(LocateFolders(outright).LogFolder, "/logs");
}

}  // namespace
}  // namespace torvane
