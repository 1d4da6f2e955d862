#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/code_page.h"
#include "core/db/database_set.h"
#include "lookup/hamcall_mapping.h"
#include "lookup/rac_mapping.h"
#include "tests/support/record_fields.h"
#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

using testing::ExpectFields;
using testing::kTerminator;
using testing::Marked;
using testing::TempDataFolder;
using R = CallbookRecord;

// The ZIP table on disk, as the service opens it.
class CdromMapping : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Execute(folder_.PrefixDatabase(),
                    "INSERT INTO zipcodes (zip, latitude, longitude) VALUES "
                    "(12345, 42.81, 73.94), (94037, 37.5446, 122.509);");
    ASSERT_TRUE(databases_
                    .OpenAtStartup({folder_.PrefixDatabase(), folder_.FccDatabase(),
                                    folder_.LotwUsersDatabase()})
                    .ok());
  }

  db::Table& zipcodes() { return databases_.Data4; }

  TempDataFolder folder_;
  db::DatabaseSet databases_;
};

TEST_F(CdromMapping, RacFirstFormFillsEveryFieldItsMarkersEnclose) {
  // As the CD-ROM writes it: the call, then markers 2 to 25 in order.
  const std::string rac =
      "W2ABC" +
      Marked(
          "2:JOHN Q SMITH, 12 MAIN ST, ALBANY|3:SMITH|4:ALBANY|5:12345|6:NY|7:E|8:19990301|"
          "9:03/01/2009|10:73.75|11:42.65|12:518|13:ALBANY|14:-5|15:1950|16:USA|17:|18:W2QSL|"
          "19:WB2ABC|20:G|21:Y|22:likes cw|23:518-555-1212|24:john@example.com|25:JOHN") +
      kTerminator + "   ";
  CallbookRecord record;
  record.QSLManager = "OLD";
  record.GridSquare = "FN32";
  MapRacRecord(record, rac, zipcodes());
  // clang-format off
  ExpectFields(record, {
      {&R::LicenseClass, "Extra"}, {&R::FirstName, "JOHN"},  // to the terminator, not past it
      {&R::Lastname, "SMITH"}, {&R::Street, " 12 MAIN ST"},  // the blank after the comma stays
      {&R::City, "ALBANY"}, {&R::State, "NY"}, {&R::PostalCode, "12345"}, {&R::BirthDate, "1950"},
      {&R::DateFirstIssue, "01 Mar 1999"}, {&R::ExpirationDate, "01 Mar 2009"},
      {&R::HoursOffset, "-5"}, {&R::Latitude, "42.65"},  // held, so the ZIP table is not asked
      {&R::Longitude, "-73.75"}, {&R::AreaCode, "518"}, {&R::County, "ALBANY"},
      {&R::PreviousCall, "WB2ABC"}, {&R::PreviousClass, "G"},
      {&R::EmailAddress, "john@example.com"},
      {&R::QSLManager, ""},  // markers 18 and 19 both present
      {&R::VanityFlag, "Y"}, {&R::FAXNumber, "518-555-1212"}, {&R::Comment, "likes cw"},
      {&R::GridSquare, ""}, {&R::QTH, "12 Main St, Albany, NY 12345"},
      // A usable ZIP code overrides the record's country.
      {&R::FullName, "JOHN Q SMITH"}, {&R::Country, "US"}});
  // clang-format on
}

TEST_F(CdromMapping, RacFirstFormEdgesOfNameDatesPositionAndCountry) {
  const struct {
    const char* what;
    std::string rac;
    std::string CallbookRecord::*field;
    const char* expected;
  } rows[] = {
      // The name line at the very start of the record: the whole line is the name.
      {"line first", Marked("2:JOHN SMITH, 1 ELM|3:"), &R::FullName, "JOHN SMITH, 1 ELM"},
      // A comma before the name line leaves the name as it was.
      {"comma first", "A,B" + Marked("2:JOHN|3:"), &R::FullName, "OLD"},
      {"no comma in line", Marked("2:JOHN|3:"), &R::Street, ""},
      {"one comma in line", Marked("2:JOHN, 1 ELM|3:"), &R::Street, ""},
      {"class letter B", Marked("3:|7:B|8:"), &R::LicenseClass, "Club Station"},
      {"class letter P", Marked("3:|7:P|8:"), &R::LicenseClass, "P"},
      {"not a date", Marked("3:|8:soon|9:"), &R::DateFirstIssue, "soon"},
      {"empty longitude", Marked("3:|10:|11:"), &R::Longitude, ""},
      // Closing marker before the opening one: unchanged.
      {"markers reversed", Marked("3:|5:X|4:Y"), &R::City, "OLD"},
      {"no marker 25", Marked("3:"), &R::FirstName, "OLD"},
      {"no terminator", Marked("3:|25:ANN  "), &R::FirstName, "ANN  "},
      // No latitude: the ZIP code places the station, west longitudes stored positive.
      {"zip latitude", Marked("3:|5:12345|6:|11:|12:"), &R::Latitude, "42.81"},
      {"zip longitude", Marked("3:|5:12345|6:|10:|11:|12:"), &R::Longitude, "-73.94"},
      {"foreign postcode", Marked("3:|5:K1A0B1|6:|16:CANADA|17:"), &R::Country, "CANADA"},
      {"zip 00001", Marked("3:|5:00001|6:|16:X|17:"), &R::Country, "X"},
      {"zip 99999", Marked("3:|5:99999|6:|16:X|17:"), &R::Country, "X"},
  };
  for (const auto& row : rows) {
    CallbookRecord record;
    record.FullName = record.City = record.FirstName = record.Longitude = "OLD";
    MapRacRecord(record, row.rac, zipcodes());
    EXPECT_EQ(record.*row.field, row.expected) << row.what;
  }
}

TEST_F(CdromMapping, RacSecondFormReadsTheNameLineAndLeavesTheAddressPartsEmpty) {
  const std::string rac =
      Marked(
          "2:JOHN A SMITH, 12 MAIN ST, TORONTO ON|7:Basic|16:CANADA|17:|18:VE3QSL|22:|"
          "23:555-1212|24:js@example.ca") +
      kTerminator;
  CallbookRecord record;
  record.City = record.Latitude = record.Comment = "OLD";
  record.PostalCode = "12345";
  MapRacRecord(record, rac, zipcodes());
  // clang-format off
  ExpectFields(record, {
      {&R::LicenseClass, "Basic"}, {&R::FullName, "JOHN A SMITH"}, {&R::FirstName, "JOHN"},
      {&R::Lastname, "SMITH"}, {&R::Street, " 12 MAIN ST"}, {&R::QTH, "12 MAIN ST, TORONTO ON"},
      {&R::City, ""}, {&R::PostalCode, ""}, {&R::Latitude, ""},  // no ZIP look-up in this form
      {&R::Comment, ""}, {&R::EmailAddress, "js@example.ca"}, {&R::QSLManager, "VE3QSL"},
      {&R::FAXNumber, "555-1212"}, {&R::Country, "CANADA"}});
  // clang-format on

  // A buffer filled to its last byte has no terminator: the e-mail field stays as it was.
  CallbookRecord unterminated;
  unterminated.EmailAddress = "old@example.com";
  MapRacRecord(unterminated, rac.substr(0, rac.size() - 1), zipcodes());
  EXPECT_EQ(unterminated.EmailAddress, "old@example.com");

  // A name without a blank gives no first name; a line starting with its comma, no name.
  CallbookRecord single;
  MapRacRecord(single, Marked("2:SMITH, 1 ELM|7:"), zipcodes());
  ExpectFields(single, {{&R::FullName, "SMITH"}, {&R::FirstName, ""}});
  CallbookRecord leading_comma;
  leading_comma.FullName = "OLD";
  MapRacRecord(leading_comma, Marked("2:,1 ELM|7:"), zipcodes());
  ExpectFields(leading_comma, {{&R::FullName, "OLD"}, {&R::QTH, "1 ELM"}});
}

TEST(HamCallField, ValueEndsAtTheFirstByteAboveItsMarker) {
  const struct {
    const char* what;
    std::string record;
    unsigned char code;
    std::string expected;
  } rows[] = {
      {"absent marker", "\xB8JOHN", 186, ""},
      {"later marker ends it", "\xB8JOHN\xBASMITH", 184, "JOHN"},
      {"earlier marker does not", "\xB8JO\xB7HN\xBASMITH", 184, "JO\xB7HN"},
      // Out of order, a lower marker does not end the value: it runs on into the next field.
      {"markers out of order", "\xBASMITH\xB8JOHN", 186, "SMITH\xB8JOHN"},
      {"out of order, lower one", "\xBASMITH\xB8JOHN", 184, "JOHN"},
      // A CP1252 letter above the marker code cuts the value: é is 233.
      {"accented letter", "\xB8JOS\xE9\xBASMITH", 184, "JOS"},
      {"trailing blanks", "\xB8JOHN   ", 184, "JOHN"},
      // The scan covers the length without the surrounding blanks, from the untrimmed start.
      {"leading blanks shorten", "\xB8  JOHN", 184, "  JO"},
      {"marker at the end", "\xB8JOHN\xD5", 213, ""},
      {"empty value", "\xB6\xB7X", 182, ""},
      {"first of two markers", Marked("184:ANN|186:|184:BOB"), 184, "ANN"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(GetHamCallField(row.record, row.code), row.expected) << row.what;
  }
}

TEST(HamCallDate, EightCharactersAreReadAsYearMonthDay) {
  const struct {
    const char* input;
    const char* expected;
  } rows[] = {
      {"20010305", "05 Mar 2001"}, {"2001035", ""},
      {"200103051", ""},           {"", ""},
      {"20011305", "13/05/2001"},  // no 13th month: the rearrangement as it is
      {"2001AB05", "AB/05/2001"},  {"20000229", "29 Feb 2000"},
      {"19000229", "02/29/1900"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatHamCallDate(row.input), row.expected) << row.input;
}

TEST_F(CdromMapping, HamCallRecordFillsItsFieldsAndBuildsNameAndQth) {
  const std::string bytes =
      Marked(
          "182:G|183:C|184:JOHN|186:SMITH|188:12 MAIN ST|191:ALBANY|192:NY|193:12345|195:20010305|"
          "196:2011035|207:js@example.com|209:ignored|213:Caf\xE9") +
      kTerminator + Marked("185:after the terminator");
  CallbookRecord record;
  record.Latitude = "";
  record.Country = "OLD";
  record.GridSquare = "FN32";
  MapHamCallRecord(record, code_page::Cp1252ToUtf8(bytes), zipcodes());
  // clang-format off
  ExpectFields(record, {
      {&R::LicenseType, "C"}, {&R::LicenseClass, "Club Station"}, {&R::FirstName, "John"},
      {&R::MiddleName, ""}, {&R::Lastname, "Smith"},
      {&R::FullName, "John  Smith"},  // inner blanks are kept
      {&R::Street, "12 Main St"},
      {&R::ReciprocalAddress, ""},  // its marker lies after the terminator
      {&R::City, "Albany"}, {&R::DateFirstIssue, "05 Mar 2001"}, {&R::ExpirationDate, ""},
      {&R::EmailAddress, "js@example.com"}, {&R::GridSquare, ""}, {&R::Comment, "Caf"},
      {&R::QTH, "12 Main St, Albany, NY 12345"}, {&R::Latitude, "42.81"}, {&R::Longitude, "-73.94"},
      {&R::Country, "US"}});
  // clang-format on

  // Without a usable ZIP code the country is empty, and a held position stays.
  CallbookRecord foreign;
  foreign.Country = "OLD";
  MapHamCallRecord(foreign, code_page::Cp1252ToUtf8(Marked("191:TORONTO|193:M5V 2T6|200:43.6")),
                   zipcodes());
  ExpectFields(foreign, {{&R::Country, ""}, {&R::Latitude, "43.6"}, {&R::QTH, "Toronto M5V 2T6"}});
}

}  // namespace
}  // namespace torvane
