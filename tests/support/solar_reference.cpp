#include "tests/support/solar_reference.h"

#include <cmath>

namespace torvane::testing {

namespace {

constexpr double kRadian = 3.14159265358979323846 / 180;

// Days from 1970-01-01 to a Gregorian date (H. Hinnant's days_from_civil).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::optional<double> NoaaEvent(int year, int month, int day, int offset, double lat, double lon,
                                bool rise) {
  const double jd_midnight_utc = DaysFromCivil(year, month, day) + 2440587.5;
  double utc_hours = 12 - offset;
  for (int iteration = 0; iteration < 6; ++iteration) {
    const double t = (jd_midnight_utc + utc_hours / 24 - 2451545) / 36525;
    const double l0 = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360);
    const double m = (357.52911 + t * (35999.05029 - 0.0001537 * t)) * kRadian;
    const double e = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = std::sin(m) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          std::sin(2 * m) * (0.019993 - 0.000101 * t) + std::sin(3 * m) * 0.000289;
    const double omega = (125.04 - 1934.136 * t) * kRadian;
    const double lambda = (l0 + centre - 0.00569 - 0.00478 * std::sin(omega)) * kRadian;
    const double epsilon0 =
        23 + (26 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60) / 60;
    const double epsilon = (epsilon0 + 0.00256 * std::cos(omega)) * kRadian;
    const double declination = std::asin(std::sin(epsilon) * std::sin(lambda));
    const double y = std::pow(std::tan(epsilon / 2), 2);
    const double l0r = l0 * kRadian;
    const double equation_of_time_min =
        4 / kRadian *
        (y * std::sin(2 * l0r) - 2 * e * std::sin(m) + 4 * e * y * std::sin(m) * std::cos(2 * l0r) -
         0.5 * y * y * std::sin(4 * l0r) - 1.25 * e * e * std::sin(2 * m));
    const double cos_hour_angle =
        std::cos(90.833 * kRadian) / (std::cos(lat * kRadian) * std::cos(declination)) -
        std::tan(lat * kRadian) * std::tan(declination);
    if (std::fabs(cos_hour_angle) > 1) return std::nullopt;
    const double hour_angle_deg = std::acos(cos_hour_angle) / kRadian;
    const double minutes =
        720 - 4 * (lon + (rise ? hour_angle_deg : -hour_angle_deg)) - equation_of_time_min;
    utc_hours = minutes / 60;
  }
  return utc_hours + offset;
}

}  // namespace torvane::testing
