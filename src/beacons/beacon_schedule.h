#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/events.h"
#include "core/net/web_state.h"
#include "torvane/options.h"

// The schedule of the NCDXF/IARU international beacon network: 18 beacons take turns in
// 10-second slots, the sequence repeating every 3 minutes; each band runs the same sequence
// shifted by a number of slots.
namespace torvane::beacons {

// The highest row of the beacon table: rows 1..18 are the beacons in transmission order.
inline constexpr std::int16_t kBeaconSlots = 18;

// Schedule values kept per module rather than per object: shared by every service object on
// the thread (each host thread has its own, as a component's module data is per apartment).
// The per-object base slot lives in BeaconSchedule.
struct ModuleBeaconState {
  std::int16_t base_slot = 0;     // slot of the first band, as GetBeaconCurrentBaseSlot reports
  std::int16_t current_slot = 0;  // the base slot shifted by the band offset
  std::int16_t band_offset = 0;   // slots by which the host's band is shifted
};

ModuleBeaconState& ThreadBeaconState();

// The slot of the first band (1..18) at a time: only the minutes and seconds count, so local
// time and UTC agree. Second 0 of minutes 0, 3, 6, ... starts slot 1.
std::int16_t SlotAt(int minute, int second);

// ((base_slot - 1 + band_offset) mod 18) + 1, the remainder taking the sign of the left side,
// so a negative offset can give a slot below 1. None when the sum leaves the 16-bit range.
std::optional<std::int16_t> ShiftedSlot(std::int16_t base_slot, std::int16_t band_offset);

// Owns the beacon table and follows the clock slot by slot, raising BeaconChange when the
// slot changes.
class BeaconSchedule {
 public:
  BeaconSchedule(EventDispatcher& events, const WebState& web);

  // Fills the table and sets the band offset to 0 (for every object on the thread).
  void InitialiseBeaconTable();

  // One tick of the host's timer at `now`. A new slot updates the base and current slots
  // and, unless webStopped is set, raises BeaconChange with the current slot's row; a current
  // slot outside 1..18 raises nothing.
  void Timer1Tick(const LocalDateTime& now);

  std::int16_t GetBeaconSlots() const { return kBeaconSlots; }
  std::int16_t GetBeaconCurrentSlot() const;
  std::int16_t GetBeaconCurrentBaseSlot() const;
  // Takes effect at the next slot change. Always 0.
  std::int16_t SetBeaconBandOffset(std::int16_t band_offset);
  // The cell in row `slot` (less 18 when above 18) and column `what` (1 callsign, 2 entity,
  // 3 location, 4 latitude, 5 longitude); "" outside rows 0..18 and columns 0..5.
  std::string GetBeaconData(std::int16_t slot, std::int16_t what) const;

 private:
  using Row = std::array<std::string, 6>;

  EventDispatcher& events_;
  const WebState& web_;
  std::array<Row, kBeaconSlots + 1> table_;
  std::int16_t base_slot_ = 0;
};

}  // namespace torvane::beacons
