#pragma once

#include <string>

#include "core/db/database_set.h"
#include "tests/support/temp_folder.h"

namespace torvane::import::testing {

// Where Debian's packages install the reference files.
inline constexpr const char* kDebianCtyCsv = "/usr/share/hamradio-files/cty.csv";
inline constexpr const char* kDebianLocationsXml = "/usr/share/libgweather-4/Locations.xml";

// Real cty.csv lines with their alias lists cut short. The current file uses no position,
// continent or offset markers, so the last VK alias carries all three.
inline constexpr const char* kCtyFixture =
    "1A,Sov Mil Order of Malta,246,EU,15,28,41.90,-12.43,-1.0,1A;\n"
    "3D2,Fiji,176,OC,32,56,-17.78,-177.92,-12.0,3D2 =3D5X;\n"
    "3D2/r,Rotuma Island,460,OC,32,56,-12.48,-177.08,-12.0,=3D2AG/P =3D2EU =3D2R =3D2RR;\n"
    "3Y/b,Bouvet,24,AF,38,67,-54.42,-3.38,-1.0,=3Y/ZS6GCM =3Y0C =3Y0E;\n"
    "*4U1V,Vienna Intl Ctr,206,EU,15,28,48.20,-16.30,-1.0,=4U0R =4U1VIC;\n"
    "EA,Spain,281,EU,14,37,40.32,3.43,-1.0,AM AN AO EA EB EC ED EE EF EG EH =EF6 =EA1APV/LH;\n"
    "EA6,Balearic Islands,21,EU,14,37,39.60,-2.95,-1.0,AM6 EA6 EF6 =EA1QE/6;\n"
    "FO,French Polynesia,175,OC,32,63,-17.65,149.40,10.0,FO =TX0A;\n"
    "FO/m,Marquesas Islands,509,OC,31,63,-8.92,140.07,9.5,=FO/DJ7RJ =FO0POM =TX7EU;\n"
    "GM,Scotland,279,EU,14,27,56.82,4.18,0.0,2M GM MM =GB0BL;\n"
    "*GM/s,Shetland Islands,279,EU,14,27,60.50,1.50,0.0,=GB0BL =GM0GFL;\n"
    "I,Italy,248,EU,15,28,42.82,-12.58,-1.0,4U I =II0PN/MM(40) =IT9AAK/0;\n"
    "*IG9,African Italy,248,AF,33,37,35.67,-12.67,-1.0,IG9 IH9 =IO9Y;\n"
    "*IT9,Sicily,248,EU,15,28,37.50,-14.00,-1.0,IB9 IT9 IW9 =II0GDF/9;\n"
    "K,United States,291,NA,5,8,37.60,91.87,5.0,AA K N W =N2NL/MM(7) =NH7RO/M AA0(4)[7] "
    "K0(4)[7] =AH2BY(4)[7];\n"
    "KH6,Hawaii,110,OC,31,61,21.12,157.48,10.0,AH6 KH6 NH7 =AA2TT;\n"
    "OE,Austria,206,EU,15,28,47.33,-13.33,-1.0,OE =4U0R;\n"
    "UA,European Russia,54,EU,16,29,53.65,-41.37,-4.0,R U =RL1O RA1N[19] =RA1N[19] RL1O[19];\n"
    "VK,Australia,150,OC,30,59,-23.70,-132.33,-10.0,AX VK VK4[55] VI4[55] "
    "=VK9XX<-12.50/-96.80>{AS}~-6.5~;\n";

// Writes `text` into the folder and returns the file's path.
std::string WriteFile(const torvane::testing::TempFolder& folder, const std::string& name,
                      const std::string& text);

// A "plink" key and the "Prefixes" row it links to, read through the table layer the way the
// prefix lookup reads them; fields as text, "<null>" for Null.
struct LinkedRow {
  bool found = false;
  std::string inactive;
  int link = 0;
  std::string master_prefix, dxcc, country, continent, latitude, longitude, time_offset, cq_zone,
      itu_zone, abbreviation, begin_date, end_date;
};
LinkedRow ReadLinkedRow(db::DatabaseSet& set, const std::string& key);

// Opens the tables of a data folder as the service does at start.
void OpenTables(const torvane::testing::TempDataFolder& folder, db::DatabaseSet& set);

// Text of a field of a table's current record, "<null>" for Null.
std::string FieldText(const db::Table& table, const char* field);

}  // namespace torvane::import::testing
