#pragma once

#include <string>
#include <string_view>

// Reading a fetched weather report. The pages are read by label and position, the way the
// service always read them, not by an HTML or XML parser: a label that is not on the page
// gives an empty value, and nothing here fails.
namespace torvane::weather {

// The value that follows `label` on a report page. `page_lower` is the page in lower case.
// In XML mode (the observation documents of the National Weather Service) the label stands for
// an element, whose text up to the next "<" is the value; a label without an element gives the
// text before the page's first "<". In HTML mode the value is the text of the FONT cell that
// follows the label ("utc": the 20 characters around it).
std::string ExtractWeatherValue(std::string_view page, std::string_view page_lower,
                                std::string_view label, bool xml_mode);

// The station's line of an hourly roundup: a plain-text table whose columns are found from the
// header line ("CITY SKY/WX TMP DP RH WIND PRES ...") above the first line that holds the
// first 8 characters of the station's place. Values come out in lower case.
struct RoundupValues {
  std::string sky;
  std::string temperature;
  std::string dew_point;
  std::string relative_humidity;
  std::string wind;
  std::string altimeter;
};
RoundupValues ParseRoundup(std::string_view page_lower, std::string_view station_place);

}  // namespace torvane::weather
