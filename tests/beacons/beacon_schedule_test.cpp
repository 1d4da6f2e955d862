#include "beacons/beacon_schedule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/service.h"
#include "tests/support/temp_folder.h"

namespace torvane::beacons {
namespace {

using ::testing::ElementsAre;
using torvane::testing::TempDataFolder;

TEST(BeaconSlots, FollowTheMinutesAndSecondsOfTheThreeMinuteCycle) {
  const struct {
    int minute, second;
    std::int16_t slot;
  } cases[] = {
      {0, 0, 1}, {0, 9, 1},    {0, 10, 2},   {2, 59, 18}, {3, 0, 1},
      {1, 0, 7}, {58, 30, 10}, {59, 59, 18}, {57, 0, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SlotAt(c.minute, c.second), c.slot) << c.minute << ":" << c.second;
  }
}

TEST(BeaconSlots, ShiftByTheBandOffsetWithASignedRemainder) {
  const struct {
    std::int16_t base, offset;
    std::optional<std::int16_t> slot;
  } cases[] = {
      {18, 1, 1},      {1, 0, 1},     {2, 17, 1},
      {7, 18, 7},      {1, -5, -4},   {18, -18, 0},
      {6, -5, 1},      {1, 32767, 8}, {18, 32767, std::nullopt},  // the 16-bit sum overflows
      {1, -32768, -7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShiftedSlot(c.base, c.offset), c.slot) << c.base << " + " << c.offset;
  }
}

// Records BeaconChange events as "slot callsign entity location latitude longitude".
class Recorder : public EventSink {
 public:
  void BeaconChange(const std::string& slot, const std::string& callsign, const std::string& entity,
                    const std::string& location, const std::string& latitude,
                    const std::string& longitude) override {
    events.push_back(slot + "|" + callsign + "|" + entity + "|" + location + "|" + latitude + "|" +
                     longitude);
  }
  std::vector<std::string> events;
};

// A service object on a temporary data folder whose clock the test sets.
struct ServiceAtTime {
  explicit ServiceAtTime(const TempDataFolder& folder) {
    Options options = folder.MakeOptions();
    options.clock = [now = now] { return *now; };
    service = std::make_unique<Service>(options, &recorder, nullptr);
  }
  void TickAt(int minute, int second) {
    *now = {2026, 6, 21, 12, minute, second};
    service->beacons().Timer1Tick(service->Now());
  }
  std::shared_ptr<LocalDateTime> now =
      std::make_shared<LocalDateTime>(LocalDateTime{2026, 6, 21, 12, 0, 0});
  Recorder recorder;
  std::unique_ptr<Service> service;
};

TEST(BeaconSchedule, WebStoppedWithholdsTheEventsWhileTheSlotsAdvance) {
  TempDataFolder folder;
  ServiceAtTime at(folder);
  BeaconSchedule& beacons = at.service->beacons();
  at.service->web().webStopped = true;
  at.TickAt(0, 0);
  at.TickAt(0, 10);
  EXPECT_TRUE(at.recorder.events.empty());
  EXPECT_EQ(beacons.GetBeaconCurrentBaseSlot(), 2);
  EXPECT_EQ(beacons.GetBeaconCurrentSlot(), 2);

  at.service->web().webStopped = false;
  at.TickAt(0, 15);  // the same slot: still nothing
  at.TickAt(0, 20);
  EXPECT_THAT(at.recorder.events, ElementsAre("3|W6WX|United States|Mt. Umunhum|37|-121"));
}

TEST(BeaconSchedule, EachObjectCountsItsFirstTickAsASlotChange) {
  TempDataFolder folder;
  ServiceAtTime first(folder);
  first.TickAt(0, 30);
  ServiceAtTime second(folder);
  second.TickAt(0, 30);  // the base slot of the module is 4 already, but not this object's
  EXPECT_EQ(first.recorder.events.size(), 1u);
  EXPECT_THAT(second.recorder.events, ElementsAre("4|KH6WO|Hawaii|Laie|21.3|-158"));
}

TEST(BeaconSchedule, TheBandOffsetIsSharedOnTheThreadAndResetByEachStart) {
  TempDataFolder folder;
  ServiceAtTime first(folder);
  first.service->beacons().SetBeaconBandOffset(5);
  ServiceAtTime second(folder);  // filling its table sets the offset of the thread to 0
  first.TickAt(0, 0);
  EXPECT_THAT(first.recorder.events, ElementsAre(::testing::StartsWith("1|4U1UN|")));
  second.service->beacons().SetBeaconBandOffset(2);
  first.TickAt(0, 10);
  EXPECT_THAT(first.recorder.events.back(), ::testing::StartsWith("4|KH6WO|"));
  EXPECT_EQ(second.service->beacons().GetBeaconCurrentSlot(), 4);
}

TEST(BeaconSchedule, SlotsOutsideTheTableRaiseNothing) {
  TempDataFolder folder;
  ServiceAtTime at(folder);
  BeaconSchedule& beacons = at.service->beacons();
  EXPECT_EQ(beacons.SetBeaconBandOffset(-5), 0);
  at.TickAt(0, 0);
  EXPECT_EQ(beacons.GetBeaconCurrentSlot(), -4);
  at.TickAt(0, 50);
  EXPECT_EQ(beacons.GetBeaconCurrentSlot(), 1);
  // An offset whose sum overflows leaves the current slot, which is still reported.
  beacons.SetBeaconBandOffset(32767);
  at.TickAt(2, 50);
  EXPECT_EQ(beacons.GetBeaconCurrentBaseSlot(), 18);
  EXPECT_EQ(beacons.GetBeaconCurrentSlot(), 1);
  EXPECT_THAT(at.recorder.events,
              ElementsAre(::testing::StartsWith("1|4U1UN|"), ::testing::StartsWith("1|4U1UN|")));
}

TEST(BeaconSchedule, TheTableAnswersByRowAndColumnAndIsEmptyOutsideIt) {
  TempDataFolder folder;
  ServiceAtTime at(folder);
  const BeaconSchedule& beacons = at.service->beacons();
  const struct {
    std::int16_t slot, what;
    const char* cell;
  } cases[] = {
      {1, 1, "4U1UN"},    {20, 1, "VE8AT"}, {36, 1, "YV5B"}, {18, 5, "-66.9"}, {5, 3, "Masterdon"},
      {18, 3, "Caracus"}, {16, 4, "-34.6"}, {0, 1, ""},      {1, 0, ""},       {5, 6, ""},
      {37, 1, ""},        {-1, 1, ""},      {1, -1, ""},     {-32768, 1, ""},  {32767, 32767, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(beacons.GetBeaconData(c.slot, c.what), c.cell) << c.slot << "," << c.what;
  }
  EXPECT_EQ(beacons.GetBeaconSlots(), 18);
}

TEST(BeaconSchedule, AStartThatFailedBeforeTheTableLeavesItEmpty) {
  TempDataFolder folder;
  std::filesystem::remove(folder.PrefixDatabase());
  ServiceAtTime at(folder);
  EXPECT_EQ(at.service->beacons().GetBeaconData(1, 1), "");
  at.TickAt(0, 0);  // the timer still runs
  EXPECT_THAT(at.recorder.events, ElementsAre("1|||||"));
}

}  // namespace
}  // namespace torvane::beacons
