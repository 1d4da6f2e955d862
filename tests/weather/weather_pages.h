#pragma once

// Report pages as the three weather sources served them.
namespace torvane::testing {

// The National Weather Service's current observation for Boston Logan, 12 Feb 2015, as the
// service emitted it.
inline constexpr const char* kBostonObservationXml = R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<?xml-stylesheet href="latest_ob.xsl" type="text/xsl"?>
<current_observation version="1.0"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema"
    xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
    xsi:noNamespaceSchemaLocation="http://www.weather.gov/view/current_observation.xsd">
    <credit>NOAA's National Weather Service</credit>
    <credit_URL>http://weather.gov/</credit_URL>
    <image>
          <url>http://weather.gov/images/xml_logo.gif</url>
          <title>NOAA's National Weather Service</title>
          <link>http://weather.gov</link>
  </image>
  <suggested_pickup>15 minutes after the hour</suggested_pickup>
  <suggested_pickup_period>60</suggested_pickup_period>
  <location>Boston, Logan International Airport, MA</location>
  <station_id>KBOS</station_id>
  <latitude>42.36056</latitude>
  <longitude>-71.01056</longitude>
  <observation_time>Last Updated on Feb 12 2015, 2:54 pm EST</observation_time>
        <observation_time_rfc822>Thu, 12 Feb 2015 14:54:00 -0500</observation_time_rfc822>
  <weather>Overcast</weather>
  <temperature_string>29.0 F (-1.7 C)</temperature_string>
  <temp_f>29.0</temp_f>
  <temp_c>-1.7</temp_c>
  <relative_humidity>78</relative_humidity>
  <wind_string>Southwest at 5.8 MPH (5 KT)</wind_string>
  <wind_dir>Southwest</wind_dir>
  <wind_degrees>220</wind_degrees>
  <wind_mph>5.8</wind_mph>
  <wind_kt>5</wind_kt>
  <pressure_string>1005.4 mb</pressure_string>
  <pressure_mb>1005.4</pressure_mb>
  <pressure_in>29.69</pressure_in>
  <dewpoint_string>23.0 F (-5.0 C)</dewpoint_string>
  <dewpoint_f>23.0</dewpoint_f>
  <dewpoint_c>-5.0</dewpoint_c>
  <windchill_string>23 F (-5 C)</windchill_string>
          <windchill_f>23</windchill_f>
          <windchill_c>-5</windchill_c>
  <visibility_mi>9.00</visibility_mi>
  <icon_url_base>http://forecast.weather.gov/images/wtf/small/</icon_url_base>
  <two_day_history_url>http://www.weather.gov/data/obhistory/KBOS.html</two_day_history_url>
  <icon_url_name>ovc.png</icon_url_name>
  <ob_url>http://www.weather.gov/data/METAR/KBOS.1.txt</ob_url>
  <disclaimer_url>http://weather.gov/disclaimer.html</disclaimer_url>
  <copyright_url>http://weather.gov/disclaimer.html</copyright_url>
  <privacy_policy_url>http://weather.gov/notice.html</privacy_policy_url>
</current_observation>
)";

// Kennedy airport, 9 Apr 2016, in the service's own tab layout (and the blank after "?>").
inline constexpr const char* kKennedyObservationXml =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?> \n"
    "<?xml-stylesheet href=\"latest_ob.xsl\" type=\"text/xsl\"?>\n"
    "<current_observation version=\"1.0\"\n"
    "\t<location>New York, Kennedy International Airport, NY</location>\n"
    "\t<station_id>KJFK</station_id>\n"
    "\t<observation_time>Last Updated on Apr 9 2016, 7:51 am EDT</observation_time>\n"
    "        <observation_time_rfc822>Sat, 09 Apr 2016 07:51:00 -0400</observation_time_rfc822>\n"
    "\t<weather>Mostly Cloudy</weather>\n"
    "\t<temp_f>40.0</temp_f>\n"
    "\t<relative_humidity>53</relative_humidity>\n"
    "\t<wind_string>East at 8.1 MPH (7 KT)</wind_string>\n"
    "\t<pressure_string>1008.3 mb</pressure_string>\n"
    "\t<dewpoint_string>24.1 F (-4.4 C)</dewpoint_string>\n"
    "\t<windchill_string>35 F (2 C)</windchill_string>\n"
    "      \t<windchill_f>35</windchill_f>\n"
    "\t<visibility_mi>10.00</visibility_mi>\n"
    "</current_observation>\n";

// A current-weather page of the NOAA site: each label in one FONT cell, its value in the next.
inline constexpr const char* kHeathrowPage = R"(<HTML>
<HEAD><TITLE>Current Weather Conditions - London / Heathrow Airport</TITLE></HEAD>
<BODY>
<TABLE>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Conditions at</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica">Feb 12, 2015 - 02:50 PM EST / 2015.02.12 1950 UTC</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Wind:</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica">
from the SW (220 degrees) at 6 MPH (5 KT)
</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Visibility</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica"> 9 mile(s)</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Sky conditions</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica">overcast</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Weather </B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica">light rain<BR>mist</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Temperature</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica"> 29 F (-2 C)</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Dew Point</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica"> 23 F (-5 C)</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Relative Humidity</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica"> 78%</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Pressure (altimeter)</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica"> 29.69 in. Hg (1005 hPa)</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Pressure tendency</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica"> 0.03 inches (1.0 hPa) <B>lower</B> than three hours ago</FONT></TD></TR>
<TR><TD><FONT FACE="Arial,Helvetica"><B>Precipitation in last hour</B></FONT></TD>
<TD><FONT FACE="Arial,Helvetica"> 0.01 inches</FONT></TD></TR>
</TABLE>
</BODY>
</HTML>
)";

// An hourly regional roundup: two offices' tables, each under its own column header.
inline constexpr const char* kRoundupText = R"(000
ASUS41 KBOX 121900
RWRMA

REGIONAL WEATHER ROUNDUP
NATIONAL WEATHER SERVICE TAUNTON MA
200 PM EST THU FEB 12 2015

MAZ005>007-013>024-026-122000-
EASTERN MASSACHUSETTS

CITY           SKY/WX    TMP DP  RH WIND       PRES   REMARKS
BOSTON         CLOUDY    29  23  78 SW6       29.69F WCI  23
WORCESTER      LGT SNOW  22  18  84 N9G17     29.71R WCI  10

$$

REGIONAL WEATHER ROUNDUP
NATIONAL WEATHER SERVICE ALBANY NY
200 PM EST THU FEB 12 2015

CITY         SKY/WX     TMP DP RH WIND   PRES
PITTSFIELD   SNOW       19 15 85 NW12   29.80S

$$
)";

}  // namespace torvane::testing
