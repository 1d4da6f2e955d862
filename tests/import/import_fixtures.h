#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <string>

#include "core/db/database_set.h"
#include "core/db/sqlite.h"
#include "tests/support/temp_folder.h"

namespace torvane::import::testing {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::TempDataFolder;
using torvane::testing::TempFolder;

// Real cty.csv lines with their alias lists cut short. The current file uses no position,
// continent or offset markers, so the last VK alias carries all of them, in an order of its own.
inline constexpr const char* kCtyFixture =
    "3D2,Fiji,176,OC,32,56,-17.78,-177.92,-12.0,3D2 =3D5X;\n"
    "3D2/r,Rotuma Island,460,OC,32,56,-12.48,-177.08,-12.0,=3D2AG/P =3D2EU =3D2R =3D2RR;\n"
    "*4U1V,Vienna Intl Ctr,206,EU,15,28,48.20,-16.30,-1.0,=4U0R =4U1VIC;\n"
    "EA,Spain,281,EU,14,37,40.32,3.43,-1.0,AM AN AO EA EB EC ED EE EF EG EH =EF6 =EA1APV/LH;\n"
    "EA6,Balearic Islands,21,EU,14,37,39.60,-2.95,-1.0,AM6 EA6 EF6 =EA1QE/6;\n"
    "FO,French Polynesia,175,OC,32,63,-17.65,149.40,10.0,FO =TX0A;\n"
    "FO/m,Marquesas Islands,509,OC,31,63,-8.92,140.07,9.5,=FO/DJ7RJ =FO0POM =TX7EU;\n"
    "GM,Scotland,279,EU,14,27,56.82,4.18,0.0,2M GM MM =GB0BL;\n"
    "*GM/s,Shetland Islands,279,EU,14,27,60.50,1.50,0.0,=GB0BL =GM0GFL;\n"
    "I,Italy,248,EU,15,28,42.82,-12.58,-1.0,4U I =II0PN/MM(40) =IT9AAK/0;\n"
    "*IT9,Sicily,248,EU,15,28,37.50,-14.00,-1.0,IB9 IT9 IW9 =II0GDF/9;\n"
    "K,United States,291,NA,5,8,37.60,91.87,5.0,AA K N W =N2NL/MM(7) =NH7RO/M AA0(4)[7] "
    "K0(4)[7] =AH2BY(4)[7];\n"
    "OE,Austria,206,EU,15,28,47.33,-13.33,-1.0,OE =4U0R;\n"
    "UA,European Russia,54,EU,16,29,53.65,-41.37,-4.0,R U =RL1O RA1N[19] =RA1N[19] RL1O[19];\n"
    "VK,Australia,150,OC,30,59,-23.70,-132.33,-10.0,AX VK VK4[55] VI4[55] "
    "=VK9XX~-6.5~<-12.50/-96.80>{AS}[54](29);\n";

inline std::string WriteFile(const TempFolder& folder, const std::string& name,
                             const std::string& text) {
  std::ofstream(folder / name, std::ios::binary) << text;
  return folder / name;
}

// Runs one statement; the first column of its first row, "" when it gives none.
inline std::string Sql(const std::string& database, const std::string& sql) {
  auto connection = db::Connection::Open(database, db::Connection::Mode::kReadWrite);
  auto statement =
      connection ? connection->Prepare(sql) : Result<db::Statement>(connection.error());
  auto row = statement ? statement->Step() : Result<bool>(statement.error());
  EXPECT_TRUE(row.ok()) << database << ": " << sql;
  return row.ok() && *row ? statement->ColumnText(0) : "";
}

// Fields of a table's current record, read the way the service reads them, joined by "|";
// "<null>" for Null.
inline std::string Record(const db::Table& table, std::initializer_list<const char*> fields) {
  std::string text;
  for (const char* field : fields) {
    const Variant* value = table.Field(field);
    text += "|" + (value != nullptr ? value->ToText() : "<null>");
  }
  return text.substr(1);
}

// Opens the tables of a data folder as the service does at start.
inline void OpenTables(const std::string& folder, db::DatabaseSet& set) {
  const Status status =
      set.OpenAtStartup({folder + "/Databases/bandplan.db", folder + "/FCC Data/FCCData.db",
                         folder + "/Databases/LoTWUsers.db"});
  ASSERT_TRUE(status.ok()) << status.error().description;
}

}  // namespace torvane::import::testing
