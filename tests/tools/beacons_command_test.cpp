#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::tool {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::ReadFile;
using torvane::testing::TempDataFolder;
using Outcome = torvane::testing::ToolOutcome;

Outcome Beacons(const TempDataFolder& folder, std::vector<std::string> extra) {
  std::vector<std::string> args = {"beacons", "--data-folder", folder.path()};
  args.insert(args.end(), extra.begin(), extra.end());
  return torvane::testing::RunTool(args);
}

// "time MHz callsign" of each beacon line (the two title lines left out); "" for a blank line.
std::vector<std::string> TimesAndCalls(const Outcome& outcome) {
  std::vector<std::string> calls;
  for (std::size_t i = 2; i < outcome.lines.size(); ++i) {
    std::istringstream words(outcome.lines[i]);
    std::string time, mhz, call;
    words >> time >> mhz >> call;
    calls.push_back(outcome.lines[i].empty() ? "" : time + " " + mhz + " " + call);
  }
  return calls;
}

TEST(BeaconsCommand, NamesTheBeaconOnEachBandOneSlotBehindTheBandBelow) {
  TempDataFolder folder;
  const char* const bands[] = {"14.100", "18.110", "21.150", "24.930", "28.200"};
  const struct {
    const char* time;
    std::vector<const char*> calls;  // from 14.100 up
  } cases[] = {
      {"12:00:00", {"4U1UN", "YV5B", "OA4B", "LU4AA", "CS3B"}},
      {"12:00:40", {"ZL6B", "KH6WO", "W6WX", "VE8AT", "4U1UN"}},
      {"12:02:20", {"CS3B", "OH2B", "4X4TU", "5Z4B", "ZS6DN"}},
  };
  for (const auto& c : cases) {
    const Outcome outcome =
        Beacons(folder, {"--home=-33.9,151.2", "--clock", std::string("2026-06-21T") + c.time});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    std::vector<std::string> expected;
    for (std::size_t b = 0; b < 5; ++b) {
      expected.push_back(std::string(c.time) + " " + bands[b] + " " + c.calls[b]);
    }
    EXPECT_EQ(TimesAndCalls(outcome), expected) << c.time;
  }
}

TEST(BeaconsCommand, ShowsOneBandWithDistanceAndHeadingFromAHomeGivenOrFromTheEnvironment) {
  TempDataFolder folder;
  ::setenv("TORVANE_HOME", "40,-75", 1);
  const Outcome from_environment =
      Beacons(folder, {"--clock", "2026-06-21T12:00:00", "--band", "14.1"});
  const Outcome given = Beacons(folder, {"--clock", "2026-06-21T12:00:00", "--home", "1,2"});
  ::unsetenv("TORVANE_HOME");
  EXPECT_THAT(
      from_environment.lines,
      ElementsAre(
          "NCDXF/IARU beacons from home 40, -75",
          "Time      MHz     Beacon  Entity          Location            Lat     Lon  Miles     "
          "Km Heading",
          "12:00:00  14.100  4U1UN   United Nations  New York City     40.67  -73.97     71    "
          "114      49"));
  EXPECT_EQ(given.lines.front(), "NCDXF/IARU beacons from home 1, 2");
}

TEST(BeaconsCommand, WatchPrintsEachSlotChangeAndEndsWithTheServiceShutDown) {
  TempDataFolder folder;
  const Outcome one_band = Beacons(folder, {"--home", "40,-75", "--clock", "2026-06-21T12:00:05",
                                            "--band", "21.150", "--watch", "--ticks", "30"});
  ASSERT_EQ(one_band.status, 0) << one_band.err;
  EXPECT_THAT(TimesAndCalls(one_band),
              ElementsAre("12:00:05 21.150 OA4B", "12:00:10 21.150 YV5B", "12:00:20 21.150 4U1UN",
                          "12:00:30 21.150 VE8AT"));
  EXPECT_THAT(ReadFile(folder.LogFolder() + "/tvlog.txt"),
              HasSubstr("Torvane stopped 2026-06-21 12:00:34"));

  // Simulated time runs one whole cycle by default: 18 slots, blank lines between them.
  TempDataFolder cycle_folder;
  const Outcome cycle =
      Beacons(cycle_folder, {"--home", "40,-75", "--clock", "2026-06-21T12:00:00", "--watch"});
  const std::vector<std::string> calls = TimesAndCalls(cycle);
  ASSERT_EQ(calls.size(), 18u * 5 + 17) << cycle.err;
  EXPECT_EQ(calls[5], "");
  EXPECT_EQ(calls[6], "12:00:10 14.100 VE8AT");
  EXPECT_EQ(calls.back(), "12:02:50 28.200 OH2B");
  // Each beacon's heading is worked out once, and each writes its line to the activity log.
  const std::string log = ReadFile(cycle_folder.LogFolder() + "/tvlog.txt");
  std::size_t headings = 0;
  for (auto at = log.find("MyLat: "); at != std::string::npos; at = log.find("MyLat: ", at + 1)) {
    ++headings;
  }
  EXPECT_EQ(headings, 18u);
}

TEST(BeaconsCommand, RefusesBadInputWithAMessage) {
  TempDataFolder folder;
  ::unsetenv("TORVANE_HOME");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--home", "40,-75", "--band", "20"}, "no beacon band at 20 MHz"},
      {{"--home", "40,-75", "--band", "fifteen"}, "no beacon band"},
      {{}, "no home position"},
      {{"--home", "40"}, "expected LAT,LON"},
      {{"--home", "95,0"}, "latitude out of range"},
      {{"--home", "0,-180.5"}, "longitude out of range"},
      {{"--home", "40,-75", "--watch", "--ticks", "-1"}, "--ticks"},
      {{"--home", "40,-75", "--clock", "noon"}, "--clock"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Beacons(folder, c.args);
    EXPECT_EQ(outcome.status, 2) << c.message;
    EXPECT_THAT(outcome.err, HasSubstr(c.message));
    EXPECT_TRUE(outcome.lines.empty()) << c.message;
  }
  std::filesystem::remove(folder.PrefixDatabase());
  const Outcome unstarted = Beacons(folder, {"--home", "40,-75"});
  EXPECT_EQ(unstarted.status, 1);
  EXPECT_THAT(unstarted.err, HasSubstr("did not start"));
}

}  // namespace
}  // namespace torvane::tool
