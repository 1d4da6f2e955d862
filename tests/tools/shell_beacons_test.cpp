#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::tool {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using torvane::testing::TempDataFolder;

std::vector<std::string> ShellAt(const TempDataFolder& folder, const std::string& clock,
                                 const std::string& input) {
  return torvane::testing::RunTool(
             {"shell", "--json", "--data-folder", folder.path(), "--clock", clock}, input)
      .lines;
}

constexpr char kOk[] = R"({"ok": true})";

std::string Int16Answer(int result, const std::string& args = "") {
  return R"({"result":)" + std::to_string(result) + R"(,"type":"int16","args":[)" + args + "]}";
}

TEST(ShellBeacons, TicksFollowTheSlotsAndTheBandOffsetAndRaiseBeaconChangeOnEachChange) {
  const char* const k4u1un = R"("1","4U1UN","United Nations","New York City","40.67","-73.97")";
  const struct {
    std::optional<int> band_offset;  // set before the tick
    const char* time;
    const char* change;  // the BeaconChange arguments, or none
    int base_slot, current_slot;
  } ticks[] = {
      {{}, "12:00:00", k4u1un, 1, 1},
      {{}, "12:00:09", nullptr, 1, 1},
      {{}, "12:00:10", R"("2","VE8AT","Canada","Eureka, Nunavut","80","-86")", 2, 2},
      {{}, "12:02:59", R"("18","YV5B","Venezuela","Caracus","10.4","-66.9")", 18, 18},
      {{}, "12:03:00", k4u1un, 1, 1},
      {{}, "07:03:05", nullptr, 1, 1},  // another hour, the same slot
      {{}, "12:58:30", R"("10","4S7B","Sri Lanka","Colombo","7","80")", 10, 10},
      {{}, "12:02:45", R"("17","OA4B","Peru","Lima","-12.1","-77")", 17, 17},
      {1, "12:02:49", nullptr, 17, 17},  // the offset raises nothing and waits for a new slot
      {{}, "12:02:50", k4u1un, 18, 1},
      {-3, "12:03:00", nullptr, 1, -2},     // ((1 - 1 - 3) mod 18) + 1: outside the table
      {32767, "12:03:10", nullptr, 2, -2},  // the 16-bit sum overflows: the slot stays
  };
  std::string script;
  std::vector<std::string> expected;
  for (const auto& t : ticks) {
    if (t.band_offset) {
      const std::string offset = std::to_string(*t.band_offset);
      script += R"({"call": "SetBeaconBandOffset", "args": [)" + offset + "]}\n";
      expected.push_back(Int16Answer(0, offset));
    }
    script += std::string(R"({"meta": "clock", "value": "2026-06-21T)") + t.time + R"("}
{"meta": "tick"}
{"call": "GetBeaconCurrentBaseSlot"}
{"call": "GetBeaconCurrentSlot"}
)";
    expected.push_back(kOk);
    if (t.change) {
      expected.push_back(R"({"event":"BeaconChange","args":[)" + std::string(t.change) + "]}");
    }
    expected.insert(expected.end(), {kOk, Int16Answer(t.base_slot), Int16Answer(t.current_slot)});
  }
  TempDataFolder folder;
  EXPECT_THAT(ShellAt(folder, "2026-06-21T12:00:00", script), ElementsAreArray(expected));
}

TEST(ShellBeacons, BeaconDataAnswersInsideTheTableAndEmptyOutside) {
  const struct {
    const char* args;
    const char* cell;  // none: not 16-bit integers, so the call never reaches the service
  } cases[] = {
      {"20,1", "VE8AT"}, {"36,1", "YV5B"}, {"9,2", "Hong Kong"}, {"18,5", "-66.9"},
      {"0,1", ""},       {"5,6", ""},      {"37,1", ""},         {"-4,1", ""},
      {"\"x\",1", {}},   {"70000,1", {}},  {"1,1.5", {}},
  };
  std::string script = "{\"call\": \"GetBeaconSlots\"}\n";
  std::vector<::testing::Matcher<const std::string&>> expected = {Int16Answer(18)};
  for (const auto& c : cases) {
    script += std::string(R"({"call": "GetBeaconData", "args": [)") + c.args + "]}\n";
    if (c.cell) {
      expected.push_back(std::string(R"({"result":")") + c.cell + R"(","type":"string","args":[)" +
                         c.args + "]}");
    } else {
      expected.push_back(::testing::StartsWith(R"({"error":)"));
    }
  }
  TempDataFolder folder;
  EXPECT_THAT(ShellAt(folder, "2026-06-21T12:00:00", script), ElementsAreArray(expected));
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
