#include "weather/report_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "tests/weather/weather_pages.h"

namespace torvane::testing {
namespace {

using weather::ExtractWeatherValue;
using weather::ParseRoundup;

std::string Extract(const std::string& page, const char* label, bool xml_mode) {
  return ExtractWeatherValue(page, text::ToLower(page), label, xml_mode);
}

struct ExtractCase {
  const char* page;
  const char* label;
  bool xml_mode;
  const char* expected;
};

TEST(ExtractWeatherValue, ReadsEachLabelOfTheSourcesPages) {
  const std::string truncated = "<?xml version=\"1.0\"?><current_observation><temp_f>29.0";
  const ExtractCase cases[] = {
      // Observation documents: the element's text, in its own letter case.
      {kBostonObservationXml, "wind:", true, "Southwest at 5.8 MPH (5 KT)"},
      {kBostonObservationXml, "visibility", true, "9.00"},
      {kBostonObservationXml, "temperature", true, "29.0"},
      {kBostonObservationXml, "dew point", true, "23.0 F (-5.0 C)"},
      {kBostonObservationXml, "relative humidity", true, "78"},
      {kBostonObservationXml, "weather <", true, "Overcast"},
      {kBostonObservationXml, "utc", true, "Last Updated on Feb 12 2015, 2:54 pm EST"},
      // No element for these: the text before the first "<", nothing in a document.
      {kBostonObservationXml, "sky", true, ""},
      {kBostonObservationXml, "tendency", true, ""},
      {kBostonObservationXml, "precipitation in", true, ""},
      {kBostonObservationXml, "altimeter", true, ""},
      {kBostonObservationXml, "wind ", true, ""},
      {"Station KXYZ is silent<html>", "sky", true, "Station KXYZ is silent"},
      // The altimeter's fallback reaches the pressure.
      {kBostonObservationXml, "barometer:", true, "1005.4 mb"},
      {kKennedyObservationXml, "wind:", true, "East at 8.1 MPH (7 KT)"},
      {kKennedyObservationXml, "utc", true, "Last Updated on Apr 9 2016, 7:51 am EDT"},
      {kKennedyObservationXml, "temperature", true, "40.0"},
      // Cut off inside a value, or before the element: nothing.
      {truncated.c_str(), "temperature", true, ""},
      {truncated.c_str(), "wind:", true, ""},
      // NOAA pages: the next FONT cell, line breaks and bold gone, <BR> as " - ".
      {kHeathrowPage, "wind:", false, "from the SW (220 degrees) at 6 MPH (5 KT)"},
      {kHeathrowPage, "visibility", false, "9 mile(s)"},
      {kHeathrowPage, "sky", false, "overcast"},
      {kHeathrowPage, "weather <", false, "light rain - mist"},
      {kHeathrowPage, "temperature", false, "29 F (-2 C)"},
      {kHeathrowPage, "dew point", false, "23 F (-5 C)"},
      {kHeathrowPage, "relative humidity", false, "78%"},
      {kHeathrowPage, "altimeter", false, "29.69 in. Hg (1005 hPa)"},
      {kHeathrowPage, "tendency", false, "0.03 inches (1.0 hPa) lower than three hours ago"},
      {kHeathrowPage, "precipitation in", false, "0.01 inches"},
      // The 20 characters that end in the zone, taken from 17 before it.
      {kHeathrowPage, "utc", false, "2015.02.12 1950 UTC"},
      {"x UTC", "utc", false, ""},
      // Labels that are not on the page, and labels without a FONT cell after them.
      {kHeathrowPage, "barometer:", false, ""},
      {"<p>Temperature 72 F</p>", "temperature", false, ""},
      {"<B>Sky</B><font face=\"Arial\">clear</font>", "sky", false, ""},
      {"", "wind:", false, ""},
      {"", "wind:", true, ""},
  };
  for (const ExtractCase& c : cases) {
    EXPECT_EQ(Extract(c.page, c.label, c.xml_mode), c.expected)
        << "label \"" << c.label << "\" (" << (c.xml_mode ? "XML" : "HTML") << ") in "
        << std::string(c.page).substr(0, 40);
  }
}

std::vector<std::string> Columns(const weather::RoundupValues& v) {
  return {v.sky, v.temperature, v.dew_point, v.relative_humidity, v.wind, v.altimeter};
}

TEST(ParseRoundup, TakesTheStationsColumnsFromTheHeaderOfItsOwnTable) {
  const std::string page = text::ToLower(kRoundupText);
  // Three header words: only the sky column has both of its bounds.
  const std::string short_header = text::ToLower(
      "NATIONAL WEATHER SERVICE X\nCITY        SKY/WX    TMP\nSPRINGFIELD CLEAR     30  extra "
      "text\n");
  const struct {
    std::string page;
    const char* place;
    weather::RoundupValues expected;
  } cases[] = {
      // The pressure loses its last character, the tendency letter.
      {page, "BOSTON", {"cloudy", "29", "23", "78", "sw6", "29.69"}},
      // The first 8 characters of the place are the key.
      {page, "Worcester Regional Airport", {"lgt snow", "22", "18", "84", "n9g17", "29.71"}},
      // The second office's table has columns of its own; its last line ends the page without
      // a blank after the pressure, so there is no pressure.
      {page, "Pittsfield", {"snow", "19", "15", "85", "nw12", ""}},
      {page, "Nantucket", {}},
      {short_header, "Springfield", {"clear", "", "", "", "", ""}},
      // No header at all above the station's line.
      {"springfield clear 30", "Springfield", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Columns(ParseRoundup(c.page, c.place)), Columns(c.expected)) << c.place;
  }
}

}  // namespace
}  // namespace torvane::testing
