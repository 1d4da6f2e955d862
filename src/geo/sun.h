#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "torvane/options.h"

namespace torvane::geo {

// The station fields the sun getters read from the current call's callbook record, as the
// record holds them.
struct StationZone {
  std::string HoursOffset;  // hours to add to UTC for the station's zone time
  std::string Latitude;     // degrees, north positive
  std::string Longitude;    // degrees, east positive
};

// Runs the call check for a callsign and returns the zone fields of the record it leaves.
using StationCheck = std::function<StationZone(const std::string& callsign)>;

// The whole numbers the sun computation works with.
struct SunInputs {
  std::int16_t offset_hours = 0;
  std::int32_t latitude_deg = 0;
  std::int32_t longitude_deg = 0;
};

// Each text read with the leading-number parse and rounded half to even (40.5 -> 40,
// -4.5 -> -4); a value beyond its integer type reads as 0.
SunInputs RoundSunInputs(const StationZone& zone);

// A crossing at `hours` (zone time, decimal hours) as the whole minutes it is reported in.
// Half a minute is added before the cut, so the cut rounds to the nearest minute.
double EventHours(double hours);

// Today's sunrise and sunset at a station, and whether it is daylight there: owns the two
// event texts and the call they were last computed for.
class Sun {
 public:
  explicit Sun(Clock clock);

  // Sunrise and sunset on the clock's date at a whole-degree position, in the zone time of
  // `offset` (hours to add to UTC): the moments the sun's centre is 90.833 degrees from the
  // zenith, found hour by hour. The first crossing of the day becomes the sunrise text and any
  // later one the sunset text (decimal hours in whole minutes, "6.5" for 06:30); a text not
  // written keeps its older value. 0 when at least one crossing was found, 1 when none was
  // (polar day or night).
  std::int16_t SunTimes(std::int16_t offset, std::int32_t lat, std::int32_t lon);

  // Each recomputes only for a callsign other than the last one either of them computed for
  // (running `check` for it first); "not found" when that computation found no crossing.
  std::string GetSunrise(const std::string& callsign, const StationCheck& check);
  std::string GetSunset(const std::string& callsign, const StationCheck& check);

  // Always runs `check` and SunTimes; true when the clock's time of day lies strictly between
  // the sunrise and sunset texts. The clock is local time and the texts are the station's
  // zone time; they are compared as they are.
  bool GetIsNowDaylight(const std::string& callsign, const StationCheck& check);

  const std::string& SunriseText() const { return sunrise_text_; }
  const std::string& SunsetText() const { return sunset_text_; }
  const std::string& SunCall() const { return sun_call_; }

 private:
  // 0, or the result of the computation this call ran.
  std::int16_t ComputeForNewCall(const std::string& callsign, const StationCheck& check);

  Clock clock_;
  std::string sunrise_text_;
  std::string sunset_text_;
  std::string sun_call_;
};

}  // namespace torvane::geo
