#include <fmt/format.h>

#include <array>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "beacons/beacon_schedule.h"
#include "tools/torvane/commands.h"
#include "tools/torvane/interrupt_guard.h"
#include "tools/torvane/home_position.h"
#include "tools/torvane/service_options.h"
#include "torvane/torvane_control.h"

namespace torvane::tool {

namespace {

struct Band {
  std::string_view mhz;
  double frequency_mhz;
  std::int16_t offset;  // in slots, as SetBeaconBandOffset takes it
};

// After its slot on one band a beacon moves up to the next band and the next beacon of the
// sequence takes its place, so each band runs one slot behind the band below it: band b
// carries the beacon of slot (base - b), a forward shift of 18 - b slots.
constexpr std::array<Band, 5> kBands = {{
    {"14.100", 14.100, 0},
    {"18.110", 18.110, 17},
    {"21.150", 21.150, 16},
    {"24.930", 24.930, 15},
    {"28.200", 28.200, 14},
}};

// How near a --band value must be to a beacon frequency: "14" and "28.2" name their bands.
constexpr double kBandToleranceMhz = 0.5;

// Without --clock a watch runs until Ctrl-C; with it, time is simulated, one second per tick
// without waiting, for one whole cycle unless --ticks says otherwise.
constexpr long kSimulatedTicks = 180;

constexpr char kHomeVariable[] = "TORVANE_HOME";

struct BeaconsArguments {
  std::string band;
  std::string home;
  bool watch = false;
  long ticks = 0;
  bool fixed_clock = false;  // --clock was given
};

std::optional<std::size_t> FindBand(const std::string& text) {
  const std::optional<double> mhz = ParseNumber(text);
  if (!mhz) return std::nullopt;
  for (std::size_t i = 0; i < kBands.size(); ++i) {
    if (std::abs(*mhz - kBands[i].frequency_mhz) <= kBandToleranceMhz) return i;
  }
  return std::nullopt;
}

using Home = HomePosition;

// Only notes that the schedule moved on; the board reads what it shows through the API.
class ChangeNotice : public EventSink {
 public:
  void BeaconChange(const std::string&, const std::string&, const std::string&, const std::string&,
                    const std::string&, const std::string&) override {
    changed = true;
  }
  bool changed = false;
};

// Sleeps a second, or less when a signal arrives.
void SleepOneSecond() {
  const timespec second{1, 0};
  nanosleep(&second, nullptr);
}

LocalDateTime OneSecondLater(const LocalDateTime& when) {
  std::tm fields{};
  fields.tm_year = when.year - 1900;
  fields.tm_mon = when.month - 1;
  fields.tm_mday = when.day;
  fields.tm_hour = when.hour;
  fields.tm_min = when.minute;
  fields.tm_sec = when.second + 1;
  const std::time_t later = timegm(&fields);  // calendar arithmetic only: no zone applies
  std::tm out{};
  gmtime_r(&later, &out);
  return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec};
}

// Prints which beacon is on the air on each shown band, with its distance and heading from
// home, all read through the service's public methods.
class Board {
 public:
  Board(TorvaneControl& control, const Home& home, std::ostream& out)
      : control_(control), home_(home), out_(out) {}

  void PrintTitle() {
    out_ << fmt::format("NCDXF/IARU beacons from home {}, {}\n", NumberToText(home_.latitude_deg),
                        NumberToText(home_.longitude_deg));
    out_ << fmt::format("{:<9} {:<7} {:<7} {:<15} {:<16} {:>6} {:>7} {:>6} {:>6} {:>7}\n", "Time",
                        "MHz", "Beacon", "Entity", "Location", "Lat", "Lon", "Miles", "Km",
                        "Heading");
  }

  void PrintLine(const LocalDateTime& now, const Band& band, std::int16_t slot) {
    const std::string callsign = control_.GetBeaconData(slot, 1);
    const std::string latitude = control_.GetBeaconData(slot, 4);
    const std::string longitude = control_.GetBeaconData(slot, 5);
    const Measures& measures = MeasuresOf(slot, latitude, longitude);
    const long heading = std::lround(measures.heading_deg) % 360;
    out_ << fmt::format(
        "{:02}:{:02}:{:02}  {:<7} {:<7} {:<15} {:<16} {:>6} {:>7} {:>6.0f} {:>6.0f} {:>7}\n",
        now.hour, now.minute, now.second, band.mhz, callsign, control_.GetBeaconData(slot, 2),
        control_.GetBeaconData(slot, 3), latitude, longitude, measures.miles, measures.km, heading);
  }

 private:
  struct Measures {
    double miles = 0;
    double km = 0;
    double heading_deg = 0;
  };

  // A beacon does not move: each is measured once (each heading writes an activity-log line).
  const Measures& MeasuresOf(std::int16_t slot, const std::string& latitude,
                             const std::string& longitude) {
    const auto known = measures_.find(slot);
    if (known != measures_.end()) return known->second;
    Measures measures;
    measures.miles = control_.GetHomeDistance(latitude, longitude, true).ToNumber().value_or(0);
    measures.km = control_.GetHomeDistance(latitude, longitude, false).ToNumber().value_or(0);
    Variant end_longitude(longitude);
    measures.heading_deg =
        control_
            .GetBearingFromLatLon(home_.latitude_deg, home_.longitude_deg, latitude, end_longitude)
            .ToNumber()
            .value_or(0);
    return measures_.emplace(slot, measures).first->second;
  }

  TorvaneControl& control_;
  Home home_;
  std::ostream& out_;
  std::map<std::int16_t, Measures> measures_;
};

int RunBeacons(ServiceOptions& service_options, const BeaconsArguments& arguments,
               CommandContext& context) {
  const auto fail = [&](int status, const std::string& message) {
    context.err << "torvane beacons: " << message << '\n';
    return status;
  };
  if (!service_options.Validate("beacons", context.err)) return 2;

  std::optional<std::size_t> only_band;
  if (!arguments.band.empty()) {
    only_band = FindBand(arguments.band);
    if (!only_band) {
      return fail(2, fmt::format("--band: no beacon band at {} MHz; the bands are 14.100, "
                                 "18.110, 21.150, 24.930 and 28.200",
                                 arguments.band));
    }
  }
  std::string home_text = arguments.home;
  if (home_text.empty()) {
    if (const char* variable = std::getenv(kHomeVariable)) home_text = variable;
  }
  if (home_text.empty()) {
    return fail(2, fmt::format("no home position: give --home LAT,LON (decimal degrees, north "
                               "and east positive) or set {}",
                               kHomeVariable));
  }
  const std::optional<Home> home = ParseHomePosition(home_text);
  if (!home) {
    return fail(2, fmt::format("home position: expected LAT,LON in decimal degrees, got \"{}\"",
                               home_text));
  }
  if (arguments.ticks < 0) return fail(2, "--ticks: expected a count of at least 0");

  const long max_ticks =
      arguments.ticks > 0 ? arguments.ticks : (arguments.fixed_clock ? kSimulatedTicks : 0);

  const Options options = service_options.Build();
  ChangeNotice notice;
  TorvaneControl control(options, &notice, nullptr);
  if (!ServiceStarted(control, "beacons", context.err)) return 1;
  if (control.SetHomeLatitude(home->latitude_deg) != 0) {
    return fail(2, "home latitude out of range: at most 90 degrees north or south");
  }
  if (control.SetHomeLongitude(home->longitude_deg) != Variant(std::int16_t{0})) {
    return fail(2, "home longitude out of range: at most 180 degrees east or west");
  }
  if (only_band) control.SetBeaconBandOffset(kBands[*only_band].offset);

  Board board(control, *home, context.out);
  const auto print_now = [&] {
    const LocalDateTime now = options.clock();
    if (only_band) {
      board.PrintLine(now, kBands[*only_band], control.GetBeaconCurrentSlot());
    } else {
      for (const Band& band : kBands) {
        const auto slot = beacons::ShiftedSlot(control.GetBeaconCurrentBaseSlot(), band.offset);
        if (slot) board.PrintLine(now, band, *slot);
      }
    }
    context.out.flush();  // a watch is read as it happens
  };

  board.PrintTitle();
  control.Timer1Tick();  // the first tick of an object always starts a slot
  print_now();
  if (!arguments.watch) return 0;

  InterruptGuard guard;
  for (long ticks = 1; !InterruptGuard::Interrupted() && (max_ticks == 0 || ticks < max_ticks);
       ++ticks) {
    if (arguments.fixed_clock) {
      service_options.SetFixedTime(OneSecondLater(options.clock()));
    } else {
      SleepOneSecond();
      if (InterruptGuard::Interrupted()) break;
    }
    notice.changed = false;
    control.Timer1Tick();
    if (!notice.changed) continue;
    if (!only_band) context.out << '\n';
    print_now();
  }
  return 0;
}

}  // namespace

void AddBeaconsCommand(CLI::App& app, CommandContext& context) {
  auto service_options = std::make_shared<ServiceOptions>();
  auto arguments = std::make_shared<BeaconsArguments>();
  CLI::App* beacons = app.add_subcommand(
      "beacons", "Show which NCDXF/IARU beacon transmits now on each band, from home");
  AddOptionsWhenNamed(*beacons, [&context, beacons, service_options, arguments] {
    beacons->add_option("--band", arguments->band,
                        "Only this band, in MHz: 14.100, 18.110, 21.150, 24.930 or 28.200");
    beacons->add_flag("--watch", arguments->watch,
                      "Follow the schedule, a line per band at each change, until Ctrl-C");
    beacons->add_option("--home", arguments->home,
                        "Home position LAT,LON in decimal degrees, north and east positive "
                        "(default: $TORVANE_HOME)");
    beacons->add_option("--ticks", arguments->ticks,
                        "End a watch after this many one-second ticks (with --clock the ticks "
                        "advance the fixed time without waiting; default there: one cycle, 180)");
    service_options->Register(*beacons);
    beacons->callback([&context, service_options, arguments, beacons] {
      arguments->fixed_clock = beacons->count("--clock") > 0;
      context.status = RunBeacons(*service_options, *arguments, context);
    });
  });
}

}  // namespace torvane::tool
