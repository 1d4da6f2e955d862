#include "weather/report_parser.h"

#include <array>
#include <optional>
#include <utility>

#include "core/text.h"

namespace torvane::weather {

namespace {

using text::ReplaceAll;
using text::Trim;

// Positions below count from 1, as the column rules of the roundup are stated.
std::string_view Mid(std::string_view text, std::size_t start, std::size_t length) {
  if (start < 1 || start > text.size()) return {};
  return text.substr(start - 1, length);
}

// The observation document's element for a label; none for labels it has no element for.
std::string_view TagFor(std::string_view label) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kTags = {{
      {"wind:", "<wind_string>"},
      {"visibility", "<visibility_mi>"},
      {"temperature", "<temp_f>"},
      {"dew point", "<dewpoint_string>"},
      {"relative humidity", "<relative_humidity>"},
      {"barometer", "<pressure_string>"},
      // The altimeter's fallback label: documents give the pressure, never an altimeter.
      {"barometer:", "<pressure_string>"},
      {"weather <", "<weather>"},
      {"utc", "<observation_time>"},
  }};
  for (const auto& [name, tag] : kTags) {
    if (name == label) return tag;
  }
  return {};
}

std::string XmlValue(std::string_view page, std::string_view page_lower, std::string_view label) {
  const std::string_view tag = TagFor(label);
  if (tag.empty()) {
    const std::size_t first = page.find('<');
    return first == std::string_view::npos ? std::string() : std::string(page.substr(0, first));
  }
  const std::size_t at = page_lower.find(tag);
  if (at == std::string_view::npos) return {};
  const std::string_view rest = page.substr(at + tag.size());
  // A document cut off inside the value gives nothing rather than a partial value.
  const std::size_t end = rest.find('<');
  if (end == std::string_view::npos) return {};
  return std::string(Trim(rest.substr(0, end)));
}

std::string HtmlValue(std::string_view page, std::string_view page_lower, std::string_view label) {
  const std::size_t at = page_lower.find(label);
  if (at == std::string_view::npos) return {};
  const std::size_t position = at + 1;
  if (label == "utc") {
    // The time stands before its zone: "Feb 12, 2015 - 02:54 PM EST / 2015.02.12 1954 UTC".
    if (position <= 17) return {};
    return std::string(Trim(Mid(page, position - 17, 20)));
  }
  std::string_view cell = Mid(page, position + 4, std::string_view::npos);
  // The value is the text of the next FONT element; a label without one has no value.
  const std::size_t font = cell.find("FONT FACE");
  if (font == std::string_view::npos) return {};
  cell.remove_prefix(font);
  if (const std::size_t open_end = cell.find('>'); open_end != std::string_view::npos) {
    cell.remove_prefix(open_end + 1);
  }
  const std::size_t close = cell.find("</FONT");
  if (close == std::string_view::npos) return {};
  std::string value(Trim(cell.substr(0, close)));
  for (const std::string_view noise : {"\n", "\r", "<b>", "</b>", "<B>", "</B>"}) {
    value = ReplaceAll(value, noise, "");
  }
  value = ReplaceAll(value, "<BR>", " - ");
  return std::string(Trim(value));
}

}  // namespace

std::string ExtractWeatherValue(std::string_view page, std::string_view page_lower,
                                std::string_view label, bool xml_mode) {
  return xml_mode ? XmlValue(page, page_lower, label) : HtmlValue(page, page_lower, label);
}

RoundupValues ParseRoundup(std::string_view page_lower, std::string_view station_place) {
  RoundupValues values;
  const std::string key = text::ToLower(station_place.substr(0, 8));
  const std::size_t at = page_lower.find(key);
  if (at == std::string_view::npos) return values;

  // The header line of the station's table: after the last office name above the station,
  // from its "city" column on.
  std::string_view head = page_lower.substr(0, at);
  if (const std::size_t office = head.rfind("national weather service");
      office != std::string_view::npos) {
    head.remove_prefix(office);
  }
  if (const std::size_t city = head.find("city"); city != std::string_view::npos) {
    head.remove_prefix(city);
  }

  // bounds[n]: the position (from 1) of the blank before header word n, for words 2 to 7.
  std::array<std::optional<std::size_t>, 8> bounds{};
  int word = 0;
  for (std::size_t i = 0; i < head.size() && i < 100; ++i) {
    if (head[i] == ' ' || (i > 0 && head[i - 1] != ' ')) continue;
    ++word;
    if (word >= 2 && word <= 7) bounds[word] = i;
  }

  const std::string_view line = page_lower.substr(at);
  const auto column = [&](int from, int to) -> std::string {
    if (!bounds[from] || !bounds[to] || *bounds[to] < *bounds[from]) return {};
    return std::string(Trim(Mid(line, *bounds[from], *bounds[to] - *bounds[from])));
  };
  values.sky = column(2, 3);
  values.temperature = column(3, 4);
  values.dew_point = column(4, 5);
  values.relative_humidity = column(5, 6);
  values.wind = column(6, 7);
  if (bounds[7]) {
    // Up to the blank after the pressure, less its last character (the tendency letter of
    // "30.01R" goes).
    const std::size_t start = *bounds[7];
    const std::size_t blank = line.find(' ', start);
    if (blank != std::string_view::npos) {
      values.altimeter = std::string(Trim(Mid(line, start, blank - start)));
    }
  }
  return values;
}

}  // namespace torvane::weather
