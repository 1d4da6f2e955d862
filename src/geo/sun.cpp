#include "geo/sun.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "torvane/variant.h"

namespace torvane::geo {

namespace {

// Pi to eight decimals, the value the event times have always been computed with.
constexpr double kPi = 3.14159265;
constexpr double kDr = kPi / 180;
// Hour angle gained per hour of zone time: the sidereal day is a little shorter.
constexpr double kK1 = 15 * kDr * 1.0027379;
// Sunrise and sunset: the sun's centre 50' below the horizon (refraction and the disc).
constexpr double kEventZenithDeg = 90.833;
constexpr char kNotFound[] = "not found";

double Sgn(double value) { return (value > 0) - (value < 0); }
double Frac(double value) { return value - Int(value); }

// sqrt of a quantity that is never negative in exact arithmetic.
double RootOfNonNegative(double value) { return std::sqrt(std::max(0.0, value)); }

template <typename Integer>
Integer RoundToInteger(const std::string& text) {
  const double rounded = RoundHalfEven(LeadingNumber(text));
  if (!(rounded >= std::numeric_limits<Integer>::min() &&
        rounded <= std::numeric_limits<Integer>::max())) {
    return 0;
  }
  return static_cast<Integer>(rounded);
}

struct SunPosition {
  double right_ascension;  // radians
  double declination;      // radians
};

// Low-precision solar coordinates (Van Flandern and Pulkkinen, 1979). `t`: days from 2000
// January 1.5; `tt`: centuries from 1900.
SunPosition SunPositionAt(double t, double tt) {
  const double l = Frac(0.779072 + 0.00273790931 * t) * 2 * kPi;
  const double g = Frac(0.993126 + 0.0027377785 * t) * 2 * kPi;
  const double v = 0.39785 * std::sin(l) - 0.01 * std::sin(l - g) + 0.00333 * std::sin(l + g) -
                   0.00021 * tt * std::sin(l);
  const double u = 1 - 0.03349 * std::cos(g) - 0.00014 * std::cos(2 * l) + 0.00008 * std::cos(l);
  const double w = -0.0001 - 0.04129 * std::sin(2 * l) + 0.03211 * std::sin(g) +
                   0.00104 * std::sin(2 * l - g) - 0.00035 * std::sin(2 * l + g) -
                   0.00008 * tt * std::sin(g);
  double s = w / RootOfNonNegative(u - v * v);
  const double right_ascension = l + std::atan(s / RootOfNonNegative(1 - s * s));
  s = v / std::sqrt(u);
  const double declination = std::atan(s / RootOfNonNegative(1 - s * s));
  return {right_ascension, declination};
}

// The Julian day number of a date at noon (Gregorian from 1583, Julian before).
double JulianDayNumber(int year, int month, int day) {
  const double y = year;
  const double m = month;
  const double g = year < 1583 ? 0 : 1;
  double j = -Int(7 * (Int((m + 9) / 12) + y) / 4);
  double j3 = 0;
  if (g != 0) {
    const double s = Sgn(m - 9);
    const double a = std::fabs(m - 9);
    j3 = Int(y + s * Int(a / 7));
    j3 = -Int((Int(j3 / 100) + 1) * 3 / 4);
  }
  j = j + Int(275 * m / 9) + day + g * j3;
  return j + 1721027 + 2 * g + 367 * y;
}

}  // namespace

SunInputs RoundSunInputs(const StationZone& zone) {
  return {RoundToInteger<std::int16_t>(zone.HoursOffset),
          RoundToInteger<std::int32_t>(zone.Latitude),
          RoundToInteger<std::int32_t>(zone.Longitude)};
}

double EventHours(double hours) {
  const double t3 = hours + 1.0 / 120;
  const double h3 = Int(t3);
  const double m3 = Int((t3 - h3) * 60);
  return h3 + m3 / 60;
}

Sun::Sun(Clock clock) : clock_(std::move(clock)) {}

std::int16_t Sun::SunTimes(std::int16_t offset, std::int32_t lat, std::int32_t lon) {
  const LocalDateTime today = clock_();
  const double l5 = lon / 360.0;
  const double z0 = -offset / 24.0;  // UT of 0 h zone time, in days

  // 0 h of the date is half a day before the noon the day number counts from.
  const double j = JulianDayNumber(today.year, today.month, today.day) - 1;
  double t = (j - 2451545) + 0.5;
  const double tt = t / 36525 + 1;

  double sidereal = 24110.5 + 8640184.813 * (t / 36525) + 86636.6 * z0 + 86400 * l5;
  sidereal = Frac(sidereal / 86400);
  const double t0 = sidereal * 360 * kDr;

  t += z0;
  const SunPosition first = SunPositionAt(t, tt);
  SunPosition second = SunPositionAt(t + 1, tt);
  if (second.right_ascension < first.right_ascension) second.right_ascension += 2 * kPi;

  const double s = std::sin(lat * kDr);
  const double c = std::cos(lat * kDr);
  const double z = std::cos(kDr * kEventZenithDeg);
  const double da = second.right_ascension - first.right_ascension;
  const double dd = second.declination - first.declination;
  double a0 = first.right_ascension;
  double d0 = first.declination;
  double v0 = 0;
  double e = 0;
  bool found = false;
  bool first_event = true;

  for (int c0 = 0; c0 < 24; ++c0) {
    const double p = (c0 + 1) / 24.0;
    const double a2 = first.right_ascension + p * da;
    const double d2 = first.declination + p * dd;
    const double l0 = t0 + c0 * kK1;
    const double l2 = l0 + kK1;
    const double h0 = l0 - a0;
    const double h2 = l2 - a2;
    const double h1 = (h2 + h0) / 2;
    const double d1 = (d2 + d0) / 2;
    if (c0 == 0) v0 = s * std::sin(d0) + c * std::cos(d0) * std::cos(h0) - z;
    const double v2 = s * std::sin(d2) + c * std::cos(d2) * std::cos(h2) - z;

    if (Sgn(v0) != Sgn(v2)) {
      // A parabola through the altitudes at the start, middle and end of the hour.
      const double v1 = s * std::sin(d1) + c * std::cos(d1) * std::cos(h1) - z;
      const double qa = 2 * v2 - 4 * v1 + 2 * v0;
      const double qb = 4 * v1 - 3 * v0 - v2;
      double discriminant = qb * qb - 4 * qa * v0;
      if (discriminant >= 0) {
        discriminant = std::sqrt(discriminant);
        // A flat parabola has no root to divide out; the fraction keeps its last value.
        if (qa != 0) {
          e = (-qb + discriminant) / (2 * qa);
          if (e > 1 || e < 0) e = (-qb - discriminant) / (2 * qa);
        }
        const std::string event = NumberToText(EventHours(c0 + e));
        if (first_event) {
          sunrise_text_ = event;
          first_event = false;
        } else {
          sunset_text_ = event;
        }
        found = true;
      }
    }
    a0 = a2;
    d0 = d2;
    v0 = v2;
  }
  return found ? 0 : 1;
}

std::int16_t Sun::ComputeForNewCall(const std::string& callsign, const StationCheck& check) {
  if (callsign == sun_call_) return 0;
  sun_call_ = callsign;
  const SunInputs inputs = RoundSunInputs(check(callsign));
  return SunTimes(inputs.offset_hours, inputs.latitude_deg, inputs.longitude_deg);
}

std::string Sun::GetSunrise(const std::string& callsign, const StationCheck& check) {
  return ComputeForNewCall(callsign, check) == 0 ? sunrise_text_ : kNotFound;
}

std::string Sun::GetSunset(const std::string& callsign, const StationCheck& check) {
  return ComputeForNewCall(callsign, check) == 0 ? sunset_text_ : kNotFound;
}

bool Sun::GetIsNowDaylight(const std::string& callsign, const StationCheck& check) {
  const LocalDateTime now = clock_();
  const double now_hours = now.hour + now.minute / 60.0;
  const SunInputs inputs = RoundSunInputs(check(callsign));
  SunTimes(inputs.offset_hours, inputs.latitude_deg, inputs.longitude_deg);
  return now_hours > LeadingNumber(sunrise_text_) && now_hours < LeadingNumber(sunset_text_);
}

}  // namespace torvane::geo
