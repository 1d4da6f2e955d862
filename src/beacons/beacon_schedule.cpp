#include "beacons/beacon_schedule.h"

#include <limits>
#include <string>

namespace torvane::beacons {

namespace {

constexpr int kSlotSeconds = 10;
constexpr int kCycleSeconds = kSlotSeconds * kBeaconSlots;

}  // namespace

ModuleBeaconState& ThreadBeaconState() {
  thread_local ModuleBeaconState state;
  return state;
}

std::int16_t SlotAt(int minute, int second) {
  return static_cast<std::int16_t>(((minute * 60 + second) % kCycleSeconds) / kSlotSeconds + 1);
}

std::optional<std::int16_t> ShiftedSlot(std::int16_t base_slot, std::int16_t band_offset) {
  const int sum = base_slot - 1 + band_offset;
  if (sum < std::numeric_limits<std::int16_t>::min() ||
      sum > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(sum % kBeaconSlots + 1);
}

BeaconSchedule::BeaconSchedule(EventDispatcher& events, const WebState& web)
    : events_(events), web_(web) {}

void BeaconSchedule::InitialiseBeaconTable() {
  // The table as the network's schedule gave it when it was written; the stored names and
  // spellings are what hosts show and compare.
  table_ = {{
      {},
      {"", "4U1UN", "United Nations", "New York City", "40.67", "-73.97"},
      {"", "VE8AT", "Canada", "Eureka, Nunavut", "80", "-86"},
      {"", "W6WX", "United States", "Mt. Umunhum", "37", "-121"},
      {"", "KH6WO", "Hawaii", "Laie", "21.3", "-158"},
      {"", "ZL6B", "New Zealand", "Masterdon", "-41", "175.55"},
      {"", "VK6RBP", "Australia", "Rolystone", "-32", "116"},
      {"", "JA2IGY", "Japan", "Mt. Asama", "34.5", "137.6"},
      {"", "RR9O", "Russia", "Novosibirsk", "55", "83"},
      {"", "VR2HK", "Hong Kong", "Hong Kong", "22.25", "114.22"},
      {"", "4S7B", "Sri Lanka", "Colombo", "7", "80"},
      {"", "ZS6DN", "South Africa", "Pretoria", "-25.9", "28.25"},
      {"", "5Z4B", "Kenya", "Kilifi", "-3.4", "39.9"},
      {"", "4X4TU", "Israel", "Tel Aviv", "32.1", "34.7"},
      {"", "OH2B", "Finland", "Karkkila", "60.51", "24.1"},
      {"", "CS3B", "Madeira", "Santo da Serra", "32.6", "-16.7"},
      {"", "LU4AA", "Argentina", "Buenos Aires", "-34.6", "-58.33"},
      {"", "OA4B", "Peru", "Lima", "-12.1", "-77"},
      {"", "YV5B", "Venezuela", "Caracus", "10.4", "-66.9"},
  }};
  ThreadBeaconState().band_offset = 0;
}

void BeaconSchedule::Timer1Tick(const LocalDateTime& now) {
  const std::int16_t new_slot = SlotAt(now.minute, now.second);
  if (new_slot == base_slot_) return;
  ModuleBeaconState& state = ThreadBeaconState();
  base_slot_ = new_slot;
  state.base_slot = new_slot;
  // An offset that overflows the sum leaves the current slot as it was.
  if (const auto shifted = ShiftedSlot(new_slot, state.band_offset)) {
    state.current_slot = *shifted;
  }
  if (web_.webStopped) return;
  const std::int16_t slot = state.current_slot;
  if (slot < 1 || slot > kBeaconSlots) return;
  const Row& row = table_[static_cast<std::size_t>(slot)];
  events_.BeaconChange(std::to_string(slot), row[1], row[2], row[3], row[4], row[5]);
}

std::int16_t BeaconSchedule::GetBeaconCurrentSlot() const {
  return ThreadBeaconState().current_slot;
}

std::int16_t BeaconSchedule::GetBeaconCurrentBaseSlot() const {
  return ThreadBeaconState().base_slot;
}

std::int16_t BeaconSchedule::SetBeaconBandOffset(std::int16_t band_offset) {
  ThreadBeaconState().band_offset = band_offset;
  return 0;
}

std::string BeaconSchedule::GetBeaconData(std::int16_t slot, std::int16_t what) const {
  const int row = slot > kBeaconSlots ? slot - kBeaconSlots : slot;
  if (row < 0 || row > kBeaconSlots || what < 0 || what > 5) return {};
  return table_[static_cast<std::size_t>(row)][static_cast<std::size_t>(what)];
}

}  // namespace torvane::beacons
