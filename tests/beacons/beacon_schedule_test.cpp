#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/recording_events.h"
#include "tests/support/temp_folder.h"
#include "torvane/torvane_control.h"

// The slots, the table and the events are checked through the shell (tests/tools); what only
// two live service objects on one thread can show is checked here.
namespace torvane {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

TEST(BeaconSchedule, TheBaseSlotIsPerObjectButTheBandOffsetIsSharedAndResetByEachStart) {
  testing::TempDataFolder folder;
  auto now = std::make_shared<LocalDateTime>(LocalDateTime{2026, 6, 21, 12, 0, 30});
  Options options = folder.MakeOptions();
  options.clock = [now] { return *now; };
  testing::RecordingEvents first_events, second_events;
  TorvaneControl first(options, &first_events, nullptr);
  first.Timer1Tick();
  TorvaneControl second(options, &second_events, nullptr);
  second.Timer1Tick();  // the module's base slot is 4 already, but not this object's
  EXPECT_THAT(first_events.Take(), ElementsAre(StartsWith("BeaconChange 4 KH6WO ")));
  EXPECT_THAT(second_events.Take(), ElementsAre("BeaconChange 4 KH6WO Hawaii Laie 21.3 -158"));

  first.SetBeaconBandOffset(5);
  TorvaneControl third(options);  // filling its table sets the offset of the thread to 0
  *now = {2026, 6, 21, 12, 0, 0};
  first.Timer1Tick();
  EXPECT_THAT(first_events.Take(), ElementsAre(StartsWith("BeaconChange 1 4U1UN ")));
  third.SetBeaconBandOffset(2);
  *now = {2026, 6, 21, 12, 0, 10};
  first.Timer1Tick();
  EXPECT_THAT(first_events.Take(), ElementsAre(StartsWith("BeaconChange 4 KH6WO ")));
  EXPECT_EQ(third.GetBeaconCurrentSlot(), 4);
}

}  // namespace
}  // namespace torvane
