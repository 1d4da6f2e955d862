#include <gtest/gtest.h>

#include <string>

#include "lookup/callbook_record.h"
#include "lookup/nuvex_mapping.h"
#include "lookup/qrz_mapping.h"
#include "lookup/tag_value.h"
#include "tests/support/online_replies.h"
#include "tests/support/record_fields.h"

namespace torvane {
namespace {

using namespace torvane::testing;
using R = CallbookRecord;

TEST(GetTagValue, TakesTheTextBetweenTheFirstOpeningAndTheFirstClosingAfterIt) {
  const struct {
    const char* reply;
    const char* tag;
    const char* expected;
  } cases[] = {
      {"<a>x</a>", "a", "x"},
      {"<a> padded \r\n</a>", "a", " padded \r\n"},  // no trimming
      {"<a></a>", "a", ""},
      {"<a>x", "a", ""},                    // cut short before the closing marker
      {"x</a>", "a", ""},                   // no opening marker
      {"</a><a>x", "a", ""},                // the only closing marker lies before the opening
      {"</a><a>x</a>", "a", "x"},           // ... the first one after the opening counts
      {"<a>1<a>2</a>3</a>", "a", "1<a>2"},  // no nesting
      {"<a>1</a><a>2</a>", "a", "1"},       // the first occurrence
      {"<Name>Robert J</Name><name>Sample</name>", "Name", "Robert J"},
      {"<Name>Robert J</Name><name>Sample</name>", "name", "Sample"},
      {"<NAME>x</NAME>", "name", ""},  // case-sensitive
      {"<nickname>Pat</nickname>", "name", ""},
      {"<a x=\"1\">v</a>", "a", ""},  // attributes make another opening marker
      {"<a>O&apos;Neil &amp; Co &#233;</a>", "a", "O&apos;Neil &amp; Co &#233;"},
      {"<a>Jos\xC3\xA9</a>", "a", "Jos\xC3\xA9"},
      {"", "a", ""},
      {"<>x</>", "", "x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetTagValue(c.reply, c.tag), c.expected) << c.reply << " / " << c.tag;
  }
}

// A record that still holds the previous call's data: what a mapping does not write stays.
CallbookRecord PreviousCall() {
  CallbookRecord record;
  record.FirstName = record.Lastname = record.FullName = "Previous";
  record.MiddleName = "Q";
  record.LicenseType = "C";
  record.Street = record.City = record.State = record.PostalCode = "old";
  record.Latitude = "10";
  record.Longitude = "20";
  record.HoursOffset = "5";
  record.Trustee = "W1OLD";
  record.Address = "Previous, W1OLD\r\nOld\r\nOld, ST 12345";
  record.Biography = "old bio";
  record.Last = "yesterday";
  record.Mode = "SSB";
  record.Frequency = "7.1";
  record.DataStatus = "OK";
  return record;
}

TEST(QrzMapping, ACallReplyFillsTheFieldsTheServiceHasTagsFor) {
  CallbookRecord record = PreviousCall();
  ASSERT_TRUE(MapQrzAnswer(record, kQrzCallReply, "<html>bio</html>"));
  // clang-format off
  ExpectFields(record, {
      {&R::FirstName, "Patricia"}, {&R::Lastname, "Sample"}, {&R::FullName, "Patricia A Sample"},
      {&R::Street, "123 W EXAMPLE AVE"}, {&R::City, "ANAHEIM"}, {&R::State, "CA"},
      {&R::PostalCode, "92804"}, {&R::QTH, "123 W Example Ave, Anaheim, CA 92804"},
      {&R::Country, "United States"}, {&R::County, "Orange"}, {&R::LicenseClass, "General"},
      {&R::GridSquare, "DM13at"}, {&R::Latitude, "33.825460"}, {&R::Longitude, "-117.987510"},
      {&R::EmailAddress, "k6xyz@example.com"},
      {&R::Photo, "https://cdn-xml.qrz.com/e/k6xyz/qsl.png"}, {&R::Biography, "<html>bio</html>"},
      // Absent tags empty their fields; a trustee is never delivered.
      {&R::IOTA, ""}, {&R::PreviousCall, ""}, {&R::URL, ""}, {&R::QSLManager, ""},
      {&R::Trustee, ""},
      // No tag maps to these: they stay as the previous call left them, the label
      // included (the caller rebuilds it).
      {&R::MiddleName, "Q"}, {&R::LicenseType, "C"}, {&R::HoursOffset, "5"}, {&R::Mode, "SSB"},
      {&R::Address, "Previous, W1OLD\r\nOld\r\nOld, ST 12345"}, {&R::DataStatus, "OK"}});
  // clang-format on
}

TEST(QrzMapping, RepliesOfOtherShapesMapByTheSameRules) {
  const struct {
    const char* name;
    std::string reply;
    const char* first_name;
    const char* full_name;
    const char* licence_class;
    const char* latitude;
    const char* longitude;
    const char* qth;
    const char* qsl_manager;
  } cases[] = {
      {"older reply with latd/lond", kQrzDxCallReply, "JEAN-LUC", "JEAN-LUC EXEMPLE",
       "Technician Plus", "47.345", "-3.155", "12 Rue Du Port, Le Palais,  56360",
       "VIA F6AJA &amp; BUREAU"},
      // The service's own not-found words are not the mapping's: the empty tags are mapped.
      {"not found: reply", kQrzNotFoundReply, "", " ", "", "", "", "", ""},
      {"HTML error page", "<html><body><h1>502 Bad Gateway</h1></body></html>", "", " ", "", "", "",
       "", ""},
      {"cut short", "<Callsign><fname>Pat</fname><name>Sample</name><class>E</class><lat>33.8",
       "Pat", "Pat Sample", "Extra", "", "", "", ""},
      {"lat present but empty", "<lat></lat><latd>1.5</latd><lon>2</lon><lond>3</lond>", "", " ",
       "", "1.5", "2", "", ""},
      {"class letters compared exactly", "<class>e</class><fname>Al</fname>", "Al", "Al ", "e", "",
       "", "", ""},
      {"club letter stays", "<class>B</class>", "", " ", "B", "", "", "", ""},
  };
  for (const auto& c : cases) {
    CallbookRecord record = PreviousCall();
    ASSERT_TRUE(MapQrzAnswer(record, c.reply, "")) << c.name;
    ExpectFields(record,
                 {{&R::FirstName, c.first_name},
                  {&R::FullName, c.full_name},
                  {&R::LicenseClass, c.licence_class},
                  {&R::Latitude, c.latitude},
                  {&R::Longitude, c.longitude},
                  {&R::QTH, c.qth},
                  {&R::QSLManager, c.qsl_manager},
                  {&R::Biography, ""}},
                 c.name);
  }
  CallbookRecord record;
  ASSERT_TRUE(MapQrzAnswer(record, kQrzDxCallReply, ""));
  // clang-format off
  ExpectFields(record, {
      {&R::IOTA, "EU-048"}, {&R::PreviousCall, "F6ZZY"}, {&R::URL, "http://f5zzz.example.fr"},
      {&R::State, ""}});
  // clang-format on
}

TEST(OnlineMappings, NotFoundInTheDatabaseSetsTheStatusAndLeavesTheRecord) {
  const struct {
    bool qrz;
    const char* reply;
    const char* status;
  } cases[] = {
      {true, "<Error>Call not found in database</Error><fname>X</fname>",
       "Call not found in QRZ database."},
      {true, "NOT FOUND IN", "Call not found in QRZ database."},
      {false, "<Error>W1ZZZ Not Found In Nuvex</Error><Name>X</Name>",
       "Call not found in Nuvex database."},
  };
  for (const auto& c : cases) {
    CallbookRecord record = PreviousCall();
    EXPECT_FALSE(c.qrz ? MapQrzAnswer(record, c.reply, "new bio") : MapNuvexAnswer(record, c.reply))
        << c.reply;
    const CallbookRecord before = PreviousCall();
    ExpectFields(record,
                 {{&R::DataStatus, c.status},
                  {&R::FirstName, before.FirstName},
                  {&R::Biography, before.Biography},
                  {&R::Address, before.Address}},
                 c.reply);
  }
}

TEST(NuvexMapping, NamesAreTwoTagsThatDifferInCaseAndTheLastHeardFieldsAreWritten) {
  CallbookRecord record = PreviousCall();
  ASSERT_TRUE(MapNuvexAnswer(record, kNuvexCallReply));
  // clang-format off
  ExpectFields(record, {
      {&R::FirstName, "Robert"}, {&R::Lastname, "Sample"}, {&R::FullName, "Robert J Sample"},
      {&R::Street, "12 OAK LANE"}, {&R::City, "NEWINGTON"}, {&R::County, "Hartford"},
      {&R::QTH, "12 Oak Lane, Newington, Hartford, CT 06111"}, {&R::Country, "United States"},
      {&R::LicenseClass, "Extra"}, {&R::PreviousCall, "KA1XYZ"}, {&R::Trustee, ""},
      {&R::GridSquare, "FN31pr"}, {&R::Latitude, "41.6977"}, {&R::Longitude, "-72.7245"},
      {&R::EmailAddress, "w1xyz@example.net"}, {&R::URL, "http://w1xyz.example.net"},
      {&R::QSLManager, "DIRECT"}, {&R::Biography, "Licensed in 1975 &amp; active on CW."},
      {&R::Photo, "http://w1xyz.example.net/me.jpg"}, {&R::Last, "2026-06-20 14:02"},
      {&R::Mode, "CW"}, {&R::Frequency, "14.025"}, {&R::MiddleName, "Q"}});
  // clang-format on

  // A reply without the tags empties what the mapping writes, Mode and Frequency too.
  ASSERT_TRUE(MapNuvexAnswer(record, "<html>Service unavailable</html>"));
  // clang-format off
  ExpectFields(record, {
      {&R::FullName, " "}, {&R::QTH, ","}, {&R::Mode, ""}, {&R::Frequency, ""},
      {&R::Biography, ""}});
  // clang-format on
}

}  // namespace
}  // namespace torvane
