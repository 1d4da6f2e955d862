#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"
#include "tools/torvane/run.h"

namespace torvane::tool {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;
using torvane::testing::TempDataFolder;

std::vector<std::string> ShellAt(const TempDataFolder& folder, const std::string& clock,
                                 const std::string& input) {
  return torvane::testing::RunTool(
             {"shell", "--json", "--data-folder", folder.path(), "--clock", clock}, input)
      .lines;
}

constexpr char kOk[] = R"({"ok": true})";

TEST(ShellBeacons, TicksFollowTheSlotsAndRaiseBeaconChangeOnEachChange) {
  TempDataFolder folder;
  const auto lines = ShellAt(folder, "2026-06-21T12:00:00", R"({"meta": "tick"}
{"call": "GetBeaconCurrentBaseSlot"}
{"meta": "clock", "value": "2026-06-21T12:00:09"}
{"meta": "tick"}
{"call": "GetBeaconCurrentBaseSlot"}
{"meta": "clock", "value": "2026-06-21T12:00:10"}
{"meta": "tick"}
{"call": "GetBeaconCurrentSlot"}
{"meta": "clock", "value": "2026-06-21T12:02:59"}
{"meta": "tick"}
{"call": "GetBeaconCurrentBaseSlot"}
{"meta": "clock", "value": "2026-06-21T12:03:00"}
{"meta": "tick"}
{"call": "GetBeaconCurrentBaseSlot"}
{"meta": "clock", "value": "2026-06-21T07:03:05"}
{"meta": "tick"}
)");
  EXPECT_THAT(
      lines,
      ElementsAre(
          R"({"event":"BeaconChange","args":["1","4U1UN","United Nations","New York City","40.67","-73.97"]})",
          kOk, R"({"result":1,"type":"int16","args":[]})", kOk, kOk,
          R"({"result":1,"type":"int16","args":[]})", kOk,
          R"({"event":"BeaconChange","args":["2","VE8AT","Canada","Eureka, Nunavut","80","-86"]})",
          kOk, R"({"result":2,"type":"int16","args":[]})", kOk,
          R"({"event":"BeaconChange","args":["18","YV5B","Venezuela","Caracus","10.4","-66.9"]})",
          kOk, R"({"result":18,"type":"int16","args":[]})", kOk,
          R"({"event":"BeaconChange","args":["1","4U1UN","United Nations","New York City","40.67","-73.97"]})",
          kOk, R"({"result":1,"type":"int16","args":[]})", kOk,
          // Another hour, the same slot: no change, no event.
          kOk));
}

TEST(ShellBeacons, TheBandOffsetShiftsTheNextSlotChangeWithoutAnEventOfItsOwn) {
  TempDataFolder folder;
  const auto lines = ShellAt(folder, "2026-06-21T12:02:45", R"({"meta": "tick"}
{"call": "SetBeaconBandOffset", "args": [1]}
{"call": "GetBeaconCurrentSlot"}
{"meta": "clock", "value": "2026-06-21T12:02:50"}
{"meta": "tick"}
{"call": "GetBeaconCurrentBaseSlot"}
{"call": "GetBeaconCurrentSlot"}
{"call": "SetBeaconBandOffset", "args": [-3]}
{"meta": "clock", "value": "2026-06-21T12:03:00"}
{"meta": "tick"}
{"call": "GetBeaconCurrentSlot"}
)");
  EXPECT_THAT(
      lines,
      ElementsAre(
          StartsWith(R"({"event":"BeaconChange","args":["17","OA4B",)"), kOk,
          R"({"result":0,"type":"int16","args":[1]})", R"({"result":17,"type":"int16","args":[]})",
          kOk,
          R"({"event":"BeaconChange","args":["1","4U1UN","United Nations","New York City","40.67","-73.97"]})",
          kOk, R"({"result":18,"type":"int16","args":[]})",
          R"({"result":1,"type":"int16","args":[]})", R"({"result":0,"type":"int16","args":[-3]})",
          kOk,
          // ((1 - 1 - 3) mod 18) + 1 = -2: outside the table, so no event.
          kOk, R"({"result":-2,"type":"int16","args":[]})"));
}

TEST(ShellBeacons, BeaconDataAnswersInsideTheTableAndEmptyOutside) {
  TempDataFolder folder;
  const auto lines = ShellAt(folder, "2026-06-21T12:00:00", R"({"call": "GetBeaconSlots"}
{"call": "GetBeaconData", "args": [20, 1]}
{"call": "GetBeaconData", "args": [0, 1]}
{"call": "GetBeaconData", "args": [5, 6]}
{"call": "GetBeaconData", "args": [9, 2]}
{"call": "GetBeaconData", "args": [37, 1]}
{"call": "GetBeaconData", "args": [-4, 1]}
{"call": "GetBeaconData", "args": ["x", 1]}
{"call": "GetBeaconData", "args": [70000, 1]}
{"call": "SetBeaconBandOffset", "args": [1.5]}
)");
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 7),
              ElementsAre(R"({"result":18,"type":"int16","args":[]})",
                          R"({"result":"VE8AT","type":"string","args":[20,1]})",
                          R"({"result":"","type":"string","args":[0,1]})",
                          R"({"result":"","type":"string","args":[5,6]})",
                          R"({"result":"Hong Kong","type":"string","args":[9,2]})",
                          R"({"result":"","type":"string","args":[37,1]})",
                          R"({"result":"","type":"string","args":[-4,1]})"));
  // Arguments that are not 16-bit integers never reach the service.
  for (std::size_t i = 7; i < 10; ++i) EXPECT_THAT(lines[i], StartsWith(R"({"error":)")) << i;
}

TEST(ShellBeacons, StopWebSilencesBeaconChangeUntilAnOnlineRequestClearsIt) {
  TempDataFolder folder;
  // Port 1 on the loopback refuses at once: GetDXNews fails quickly, and clears the stop.
  const auto lines =
      torvane::testing::RunTool({"shell", "--json", "--data-folder", folder.path(), "--clock",
                                 "2026-06-21T12:00:00", "--service-host", "127.0.0.1:1"},
                                R"({"meta": "tick"}
{"call": "StopWeb"}
{"meta": "clock", "value": "2026-06-21T12:00:10"}
{"meta": "tick"}
{"call": "GetBeaconCurrentSlot"}
{"call": "GetDXNews"}
{"meta": "clock", "value": "2026-06-21T12:00:20"}
{"meta": "tick"}
)")
          .lines;
  EXPECT_THAT(
      lines,
      ElementsAre(
          R"({"event":"BeaconChange","args":["1","4U1UN","United Nations","New York City","40.67","-73.97"]})",
          kOk, R"({"event":"WebStatus","args":["Stopped"]})",
          R"({"result":0,"type":"int16","args":[]})", kOk, kOk,
          R"({"result":2,"type":"int16","args":[]})",
          R"({"result":"No DX News found","type":"string","args":[]})", kOk,
          R"({"event":"BeaconChange","args":["3","W6WX","United States","Mt. Umunhum","37","-121"]})",
          kOk));
}

}  // namespace
}  // namespace torvane::tool
