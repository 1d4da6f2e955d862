#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tools/torvane/run.h"

namespace torvane::tool {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using torvane::testing::ReadFile;
using torvane::testing::TempDataFolder;

struct Outcome {
  int status = 0;
  std::vector<std::string> lines;
  std::string err;
};

Outcome Beacons(const TempDataFolder& folder, std::vector<std::string> extra) {
  std::vector<std::string> args = {"beacons", "--data-folder", folder.path()};
  args.insert(args.end(), extra.begin(), extra.end());
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  Outcome outcome;
  outcome.status = Run(args, in, out, err);
  std::istringstream text(out.str());
  for (std::string line; std::getline(text, line);) outcome.lines.push_back(line);
  outcome.err = err.str();
  return outcome;
}

// The time and callsign columns of the beacon lines (the two title lines left out).
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
  const struct {
    const char* clock;
    std::vector<const char*> calls;  // 14.100, 18.110, 21.150, 24.930, 28.200
  } cases[] = {
      {"2026-06-21T12:00:00", {"4U1UN", "YV5B", "OA4B", "LU4AA", "CS3B"}},
      {"2026-06-21T12:00:40", {"ZL6B", "KH6WO", "W6WX", "VE8AT", "4U1UN"}},
      {"2026-06-21T12:02:20", {"CS3B", "OH2B", "4X4TU", "5Z4B", "ZS6DN"}},
      {"2026-06-21T07:59:50", {"YV5B", "OA4B", "LU4AA", "CS3B", "OH2B"}},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Beacons(folder, {"--home", "40,-75", "--clock", c.clock});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string time = std::string(c.clock).substr(11);
    std::vector<std::string> expected;
    const char* bands[] = {"14.100", "18.110", "21.150", "24.930", "28.200"};
    for (std::size_t b = 0; b < 5; ++b) {
      expected.push_back(time + " " + bands[b] + " " + c.calls[b]);
    }
    EXPECT_THAT(TimesAndCalls(outcome), ElementsAreArray(expected)) << c.clock;
  }
}

TEST(BeaconsCommand, ShowsLocationDistanceAndHeadingFromHome) {
  TempDataFolder folder;
  const Outcome outcome =
      Beacons(folder, {"--home", "40,-75", "--clock", "2026-06-21T12:00:00", "--band", "14.1"});
  EXPECT_THAT(
      outcome.lines,
      ElementsAre(
          "NCDXF/IARU beacons from home 40, -75",
          "Time      MHz     Beacon  Entity          Location            Lat     Lon  Miles     "
          "Km Heading",
          "12:00:00  14.100  4U1UN   United Nations  New York City     40.67  -73.97     71    "
          "114      49"));
}

TEST(BeaconsCommand, OneBandAtATime) {
  TempDataFolder folder;
  const struct {
    const char* band;
    const char* clock;
    const char* line;
  } cases[] = {
      {"18.110", "2026-06-21T12:00:10", "12:00:10 18.110 4U1UN"},
      {"28", "2026-06-21T12:00:40", "12:00:40 28.200 4U1UN"},
      {"24.93", "2026-06-21T12:00:30", "12:00:30 24.930 4U1UN"},
      {"14.100", "2026-06-21T12:02:50", "12:02:50 14.100 YV5B"},
      {"21.15", "2026-06-21T12:02:50", "12:02:50 21.150 LU4AA"},
  };
  for (const auto& c : cases) {
    const Outcome outcome =
        Beacons(folder, {"--home=-33.9,151.2", "--clock", c.clock, "--band", c.band});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_THAT(TimesAndCalls(outcome), ElementsAre(c.line)) << c.band;
  }
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
  ASSERT_EQ(cycle.status, 0) << cycle.err;
  const std::vector<std::string> calls = TimesAndCalls(cycle);
  ASSERT_EQ(calls.size(), 18u * 5 + 17);
  EXPECT_EQ(calls[5], "");
  EXPECT_EQ(calls[6], "12:00:10 14.100 VE8AT");
  EXPECT_EQ(calls.back(), "12:02:50 28.200 OH2B");
  // Each beacon's heading is worked out once, and each writes its line to the activity log.
  const std::string log = ReadFile(cycle_folder.LogFolder() + "/tvlog.txt");
  std::size_t headings = 0;
  for (std::size_t at = log.find("MyLat: "); at != std::string::npos;
       at = log.find("MyLat: ", at + 1)) {
    ++headings;
  }
  EXPECT_EQ(headings, 18u);
}

TEST(BeaconsCommand, TakesTheHomeFromTheEnvironmentWhenNotGiven) {
  TempDataFolder folder;
  ::setenv("TORVANE_HOME", "51.5,-0.1", 1);
  const Outcome outcome = Beacons(folder, {"--clock", "2026-06-21T12:00:00"});
  ::setenv("TORVANE_HOME", "0,0", 1);
  const Outcome overridden = Beacons(folder, {"--clock", "2026-06-21T12:00:00", "--home", "1,2"});
  ::unsetenv("TORVANE_HOME");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.lines.front(), "NCDXF/IARU beacons from home 51.5, -0.1");
  EXPECT_EQ(overridden.lines.front(), "NCDXF/IARU beacons from home 1, 2");
}

TEST(BeaconsCommand, RefusesBadInputWithAMessage) {
  TempDataFolder folder;
  ::unsetenv("TORVANE_HOME");
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"--home", "40,-75", "--band", "20"}, 2, "no beacon band at 20 MHz"},
      {{"--home", "40,-75", "--band", "fifteen"}, 2, "no beacon band"},
      {{}, 2, "no home position"},
      {{"--home", "40"}, 2, "expected LAT,LON"},
      {{"--home", "north,west"}, 2, "expected LAT,LON"},
      {{"--home", "nan,0"}, 2, "expected LAT,LON"},
      {{"--home", "95,0"}, 2, "latitude out of range"},
      {{"--home", "0,-180.5"}, 2, "longitude out of range"},
      {{"--home", "40,-75", "--watch", "--ticks", "-1"}, 2, "--ticks"},
      {{"--home", "40,-75", "--clock", "noon"}, 2, "--clock"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Beacons(folder, c.args);
    EXPECT_EQ(outcome.status, c.status) << c.message;
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
