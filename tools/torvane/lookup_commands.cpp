#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <ctime>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text.h"
#include "geo/sun.h"
#include "tools/torvane/commands.h"
#include "tools/torvane/home_position.h"
#include "tools/torvane/service_options.h"
#include "torvane/torvane_control.h"

namespace torvane::tool {

namespace {

using json = nlohmann::ordered_json;



// The service's own daylight test compares the computer's clock with the station's zone times
// as they are; the card answers for the station, so it moves the clock into station time.
bool DaylightAtStation(const LocalDateTime& now, double station_offset_hours,
                       const std::string& sunrise, const std::string& sunset) {
  const auto rise = ParseNumber(sunrise);
  const auto set = ParseNumber(sunset);
  if (!rise || !set) return false;
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  const double utc_hours = now.hour + now.minute / 60.0 - local.tm_gmtoff / 3600.0;
  const double station_hours = std::fmod(utc_hours + station_offset_hours + 48, 24);
  return station_hours > *rise && station_hours < *set;
}

// The QRZ password is best given through the environment: a command line shows in the
// process list.
constexpr char kQrzPasswordVariable[] = "TORVANE_QRZ_PASSWORD";

struct LookupArguments {
  std::string call;
  std::string home;
  std::string source;  // empty: no callbook
  std::string cd_drive;  // the CD-ROM sources' drive text, "E:"
  std::string qrz_user;
  std::string qrz_password;  // never printed
  bool json = false;
};

// The callbook sources the card can ask, by the name given with --source.
std::optional<std::string> SourceText(const std::string& name) {
  if (name == "fcc") return "FCC";
  if (name == "rac") return "RAC CDROM";
  if (name == "hamcall") return "HAMCALL CDROM";
  if (name == "qrzcd") return "QRZ CDROM";
  if (name == "qrz") return "QRZ SUBSCRIPTION";
  if (name == "nuvex") return "NUVEX SUBSCRIPTION";
  return std::nullopt;
}

// Keeps the web status texts of the lookup ("Connection error." when the QRZ login failed),
// with the password masked should a text ever carry it.
class WebStatusTexts : public EventSink {
 public:
  explicit WebStatusTexts(std::string password) : password_(std::move(password)) {}
  void WebStatus(const std::string& status) override {
    texts.push_back(password_.empty() ? status : text::ReplaceAll(status, password_, "****"));
  }
  std::vector<std::string> texts;

 private:
  std::string password_;
};

// Who the station is, from the callbook source: read right after the full check, before any
// quick resolution replaces the current call's data.
json CallbookCard(TorvaneControl& control, const std::string& call) {
  json card;
  card["name"] = control.GetFullName(call);
  json address = json::array();
  std::string label = control.GetAddress(call);
  for (std::size_t start = 0; start <= label.size();) {
    const std::size_t end = std::min(label.find("\r\n", start), label.size());
    address.push_back(std::string(text::Trim(label.substr(start, end - start))));
    start = end + 2;
  }
  card["address"] = address;
  card["qth"] = control.GetQTH(call);
  card["county"] = control.GetCounty(call);
  card["licence_class"] = control.GetLicenseClass(call);
  card["previous_call"] = control.GetPreviousCall(call);
  card["granted"] = control.GetDateFirstIssue(call);
  card["expires"] = control.GetExpirationDate(call);
  card["grid"] = control.GetGridSquare(call);
  card["email"] = control.GetEmailAddress(call);
  card["latitude"] = control.GetDXLatitude(call).ToText();
  card["longitude"] = control.GetDXLongitude(call).ToText();
  card["data_source"] = control.GetDataSource();
  card["data_status"] = control.GetDataStatus(call);
  card["cq_zone"] = control.GetCQZone(call);
  card["itu_zone"] = control.GetITUZone(call);
  card["photo"] = control.GetPhoto(call);  // the call is current: no new lookup
  return card;
}

// The station card, read the way a host reads it: first the full check (callbook source,
// distances), then the prefix resolution of the call itself. The order matters: the full
// check parses the deciding prefix again, so the base call is read after the quick
// resolution has parsed the whole call.
int Lookup(const LookupArguments& arguments, ServiceOptions& service_options,
           CommandContext& context) {
  std::optional<HomePosition> home;
  if (!arguments.home.empty() && !(home = ParseHomePosition(arguments.home))) {
    context.err << "torvane lookup: --home wants LAT,LON in decimal degrees, got \""
                << arguments.home << "\"\n";
    return 2;
  }
  if (text::Trim(arguments.call).empty()) {
    context.err << "torvane lookup: expected a callsign, got an empty text\n";
    return 2;
  }
  std::string qrz_password = arguments.qrz_password;
  if (arguments.source == "qrz") {
    if (qrz_password.empty()) {
      if (const char* variable = std::getenv(kQrzPasswordVariable)) qrz_password = variable;
    }
    if (text::Trim(arguments.qrz_user).empty() || qrz_password.empty()) {
      context.err << "torvane lookup: --source qrz needs --qrz-user, and the password from "
                     "--qrz-password or "
                  << kQrzPasswordVariable << "\n";
      return 2;
    }
  }
  const Options options = service_options.Build();
  if (!HasPrefixDatabase(options, "lookup", context.err)) return 1;
  WebStatusTexts web_status(qrz_password);
  TorvaneControl control(options, &web_status);
  if (!ServiceStarted(control, "lookup", context.err)) return 1;
  const std::string& call = arguments.call;
  if (home && (control.SetHomeLatitude(Variant(home->latitude_deg)) != 0 ||
               control.SetHomeLongitude(Variant(home->longitude_deg)) != Variant(std::int16_t{0}))) {
    context.err << "torvane lookup: --home is out of range: latitude within 90 and longitude "
                   "within 180 degrees\n";
    return 2;
  }
  std::optional<std::string> source_text;
  if (!arguments.source.empty()) {
    source_text = SourceText(arguments.source);
    if (!source_text) {
      context.err << "torvane lookup: --source: unknown callbook source \"" << arguments.source
                  << "\" (fcc, qrz, nuvex, rac, hamcall, qrzcd)\n";
      return 2;
    }
    control.SetCDSource(*source_text);
    control.SetCDDXSource(*source_text);
    if (arguments.source == "qrz") {
      control.SetMyCall(arguments.qrz_user);
      control.SetQRZPassword(qrz_password);
    }
    // The maker's look-up is asked only while the host says the computer is on line.
    if (arguments.source == "nuvex") control.SetWebConnectionStatus(true);
  }
  if (!arguments.cd_drive.empty() && (control.SetCDDrive(arguments.cd_drive) != 0 ||
                                      control.SetCDDXDrive(arguments.cd_drive) != 0)) {
    context.err << "torvane lookup: --cd-drive wants a drive text such as E:, got \""
                << arguments.cd_drive << "\"\n";
    return 2;
  }
  const std::string miles = control.GetPrefixMilesToDX(call);
  const std::string kilometres = control.GetPrefixKmToDX(call);
  const std::string heading = control.GetPrefixBearingToDX(call);
  const std::string source = control.GetDataSource();
  // The texts of this first lookup: the card's CQ zone looks the call up once more.
  const std::vector<std::string> lookup_status = web_status.texts;
  json callbook;
  if (source_text) {
    callbook = CallbookCard(control, call);
    callbook["web_status"] = lookup_status;
  }

  control.ClearQuickCheckCall();
  // The first quick getter of a fresh resolution tells whether an entity was found: the hours
  // offset is then a number, otherwise the integer 0.
  const Variant offset = control.GetPrefixHoursOffset(call);
  const bool found = offset.type() == Variant::Type::kDouble;
  const std::string dxcc = control.GetQuickPrefixDXCCNumber(call);
  const std::string country = control.GetQuickPrefixCountry(call);
  const std::string base_call = control.GetCallsign(call);
  const std::string deciding_prefix = control.GetRealPrefix(call);

  json card;
  card["call"] = call;
  card["found"] = found;
  card["base_call"] = base_call;
  card["deciding_prefix"] = deciding_prefix;
  card["country"] = country;
  card["dxcc"] = dxcc;
  card["continent"] = control.GetQuickPrefixContinent(call);
  card["cq_zone"] = control.GetQuickPrefixCQZone(call);
  card["itu_zone"] = control.GetQuickPrefixITUZone(call);
  card["wpx_prefix"] = control.GetPrefixWPX(call).ToText();
  card["master_prefix"] = control.GetPrefixMasterPrefix(call).ToText();
  card["latitude"] = control.GetQuickPrefixLatitude(call);
  card["longitude"] = control.GetQuickPrefixLongitude(call);
  card["utc_offset_hours"] = offset.ToText();
  if (home) {
    card["distance_miles"] = miles;
    card["distance_km"] = kilometres;
    card["beam_heading_deg"] = heading;
  }
  // The station's own sun times need a position; without a callbook answer the card uses the
  // entity's reference position and offset, with the service's own sun computation.
  Variant latitude(card["latitude"].get<std::string>());
  Variant longitude(card["longitude"].get<std::string>());
  card["locator"] = control.GetGridLocator(longitude, latitude);
  geo::Sun sun(options.clock);
  const geo::StationZone zone{card["utc_offset_hours"].get<std::string>(),
                              card["latitude"].get<std::string>(),
                              card["longitude"].get<std::string>()};
  const auto at_entity = [&zone](const std::string&) { return zone; };
  card["sunrise"] = sun.GetSunrise(call, at_entity);
  card["sunset"] = sun.GetSunset(call, at_entity);
  card["daylight_now"] = DaylightAtStation(options.clock(), offset.ToLeadingNumber(),
                                           card["sunrise"].get<std::string>(),
                                           card["sunset"].get<std::string>());
  card["ambiguity"] = control.GetIsAmbiguousPrefix(call);
  card["data_source"] = source;
  if (source_text) card["callbook"] = callbook;

  if (arguments.json) {
    context.out << card.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
    return found ? 0 : 1;
  }
  const auto line = [&](std::string_view label, const std::string& value) {
    context.out << fmt::format("  {:<17}{}\n", label, value);
  };
  const auto rounded = [](const std::string& number, int decimals) {
    const auto value = ParseNumber(number);
    return value ? fmt::format("{:.{}f}", *value, decimals) : number;
  };
  context.out << call << (found ? "" : "  (no entity found)") << '\n';
  line("base call", base_call);
  line("deciding prefix", deciding_prefix.empty() ? "(the call itself)" : deciding_prefix);
  line("country", country);
  line("DXCC", dxcc);
  line("continent", card["continent"].get<std::string>());
  line("CQ / ITU zone",
       card["cq_zone"].get<std::string>() + " / " + card["itu_zone"].get<std::string>());
  line("WPX prefix", card["wpx_prefix"].get<std::string>());
  line("master prefix", card["master_prefix"].get<std::string>());
  line("position", card["latitude"].get<std::string>() + ", " +
                       card["longitude"].get<std::string>());
  line("UTC offset", card["utc_offset_hours"].get<std::string>() + " h");
  line("locator", card["locator"].get<std::string>());
  const auto clock_time = [](const std::string& hours) {
    const auto value = ParseNumber(hours);
    if (!value) return hours;
    const int minutes = static_cast<int>(std::lround(*value * 60));
    return fmt::format("{:02}:{:02}", minutes / 60, minutes % 60);
  };
  if (card["sunrise"] == "not found") {
    line("sunrise / sunset", "none today (polar day or night)");
  } else {
    line("sunrise / sunset", clock_time(card["sunrise"].get<std::string>()) + " / " +
                                 clock_time(card["sunset"].get<std::string>()) +
                                 " station time today");
  }
  line("daylight now", card["daylight_now"].get<bool>() ? "yes" : "no");
  if (home) {
    line("distance", rounded(miles, 0) + " mi, " + rounded(kilometres, 0) + " km");
    line("beam heading", rounded(heading, 1) + " deg");
  }
  line("ambiguity", std::to_string(card["ambiguity"].get<int>()));
  line("data source", source.empty() ? "(none)" : source);
  if (source_text) {
    const auto text_of = [&callbook](const char* key) { return callbook[key].get<std::string>(); };
    context.out << "callbook\n";
    line("name", text_of("name"));
    for (const auto& address_line : callbook["address"]) {
      line("address", address_line.get<std::string>());
    }
    line("QTH", text_of("qth"));
    line("county", text_of("county"));
    line("licence class", text_of("licence_class"));
    line("previous call", text_of("previous_call"));
    line("granted", text_of("granted"));
    line("expires", text_of("expires"));
    line("grid", text_of("grid"));
    line("e-mail", text_of("email"));
    line("position", text_of("latitude") + ", " + text_of("longitude"));
    line("CQ / ITU zone", text_of("cq_zone") + " / " + text_of("itu_zone"));
    if (!text_of("photo").empty()) line("photo", text_of("photo"));
    line("status", text_of("data_status"));
    for (const auto& status : callbook["web_status"]) line("web status", status.get<std::string>());
  }
  return found ? 0 : 1;
}

}  // namespace

void AddLookupCommands(CLI::App& app, CommandContext& context) {
  auto lookup_options = std::make_shared<ServiceOptions>();
  auto lookup_arguments = std::make_shared<LookupArguments>();
  CLI::App* lookup = app.add_subcommand("lookup", "Show where a callsign's station is");
  AddOptionsWhenNamed(*lookup, [&context, lookup, lookup_options, lookup_arguments] {
    lookup->add_option("CALL", lookup_arguments->call, "The callsign")->required();
    lookup->add_option("--home", lookup_arguments->home,
                       "Your position, LAT,LON in decimal degrees (north, east positive)");
    lookup->add_option("--source", lookup_arguments->source,
                       "Also show who the station is, from this callbook source: fcc, qrz "
                       "(the QRZ XML service), nuvex (the maker's look-up), or a CD-ROM: rac, "
                       "hamcall, qrzcd");
    lookup->add_option("--cd-drive", lookup_arguments->cd_drive,
                       "The CD-ROM callbook's drive text, E:, as its library knows it");
    lookup->add_option("--qrz-user", lookup_arguments->qrz_user,
                       "Your callsign at QRZ, for --source qrz");
    lookup->add_option("--qrz-password", lookup_arguments->qrz_password,
                       "Your QRZ password; better given in TORVANE_QRZ_PASSWORD");
    lookup->add_flag("--json", lookup_arguments->json, "One JSON object");
    lookup_options->Register(*lookup);
    RunAfterCheckingOptions(*lookup, context, lookup_options, "lookup",
                            [&context, lookup_options, lookup_arguments] {
                              return Lookup(*lookup_arguments, *lookup_options, context);
                            });
  });
}

}  // namespace torvane::tool
