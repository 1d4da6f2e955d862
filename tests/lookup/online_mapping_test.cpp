#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "lookup/callbook_record.h"
#include "lookup/nuvex_mapping.h"
#include "lookup/qrz_mapping.h"
#include "lookup/tag_value.h"
#include "tests/support/online_replies.h"

namespace torvane {
namespace {

using namespace torvane::testing;

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
  EXPECT_EQ(record.FirstName, "Patricia");
  EXPECT_EQ(record.Lastname, "Sample");
  EXPECT_EQ(record.FullName, "Patricia A Sample");
  EXPECT_EQ(record.Street, "123 W EXAMPLE AVE");
  EXPECT_EQ(record.City, "ANAHEIM");
  EXPECT_EQ(record.State, "CA");
  EXPECT_EQ(record.PostalCode, "92804");
  EXPECT_EQ(record.QTH, "123 W Example Ave, Anaheim, CA 92804");
  EXPECT_EQ(record.Country, "United States");
  EXPECT_EQ(record.County, "Orange");
  EXPECT_EQ(record.LicenseClass, "General");
  EXPECT_EQ(record.GridSquare, "DM13at");
  EXPECT_EQ(record.Latitude, "33.825460");
  EXPECT_EQ(record.Longitude, "-117.987510");
  EXPECT_EQ(record.EmailAddress, "k6xyz@example.com");
  EXPECT_EQ(record.Photo, "https://cdn-xml.qrz.com/e/k6xyz/qsl.png");
  EXPECT_EQ(record.Biography, "<html>bio</html>");
  // Absent tags empty their fields; a trustee is never delivered.
  EXPECT_EQ(record.IOTA, "");
  EXPECT_EQ(record.PreviousCall, "");
  EXPECT_EQ(record.URL, "");
  EXPECT_EQ(record.QSLManager, "");
  EXPECT_EQ(record.Trustee, "");
  // No tag maps to these: they stay as the previous call left them, the label included (the
  // caller rebuilds it).
  EXPECT_EQ(record.MiddleName, "Q");
  EXPECT_EQ(record.LicenseType, "C");
  EXPECT_EQ(record.HoursOffset, "5");
  EXPECT_EQ(record.Mode, "SSB");
  EXPECT_EQ(record.Address, "Previous, W1OLD\r\nOld\r\nOld, ST 12345");
  EXPECT_EQ(record.DataStatus, "OK");
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
    EXPECT_EQ(record.FirstName, c.first_name) << c.name;
    EXPECT_EQ(record.FullName, c.full_name) << c.name;
    EXPECT_EQ(record.LicenseClass, c.licence_class) << c.name;
    EXPECT_EQ(record.Latitude, c.latitude) << c.name;
    EXPECT_EQ(record.Longitude, c.longitude) << c.name;
    EXPECT_EQ(record.QTH, c.qth) << c.name;
    EXPECT_EQ(record.QSLManager, c.qsl_manager) << c.name;
    EXPECT_EQ(record.Biography, "") << c.name;
  }
  CallbookRecord record;
  ASSERT_TRUE(MapQrzAnswer(record, kQrzDxCallReply, ""));
  EXPECT_EQ(record.IOTA, "EU-048");
  EXPECT_EQ(record.PreviousCall, "F6ZZY");
  EXPECT_EQ(record.URL, "http://f5zzz.example.fr");
  EXPECT_EQ(record.State, "");
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
    const bool mapped =
        c.qrz ? MapQrzAnswer(record, c.reply, "new bio") : MapNuvexAnswer(record, c.reply);
    EXPECT_FALSE(mapped) << c.reply;
    CallbookRecord expected = PreviousCall();
    expected.DataStatus = c.status;
    EXPECT_EQ(record.DataStatus, expected.DataStatus);
    EXPECT_EQ(record.FirstName, expected.FirstName);
    EXPECT_EQ(record.Biography, expected.Biography);
    EXPECT_EQ(record.Address, expected.Address);
  }
}

TEST(NuvexMapping, NamesAreTwoTagsThatDifferInCaseAndTheLastHeardFieldsAreWritten) {
  CallbookRecord record = PreviousCall();
  ASSERT_TRUE(MapNuvexAnswer(record, kNuvexCallReply));
  EXPECT_EQ(record.FirstName, "Robert");
  EXPECT_EQ(record.Lastname, "Sample");
  EXPECT_EQ(record.FullName, "Robert J Sample");
  EXPECT_EQ(record.Street, "12 OAK LANE");
  EXPECT_EQ(record.City, "NEWINGTON");
  EXPECT_EQ(record.County, "Hartford");
  EXPECT_EQ(record.QTH, "12 Oak Lane, Newington, Hartford, CT 06111");
  EXPECT_EQ(record.Country, "United States");
  EXPECT_EQ(record.LicenseClass, "Extra");
  EXPECT_EQ(record.PreviousCall, "KA1XYZ");
  EXPECT_EQ(record.Trustee, "");
  EXPECT_EQ(record.GridSquare, "FN31pr");
  EXPECT_EQ(record.Latitude, "41.6977");
  EXPECT_EQ(record.Longitude, "-72.7245");
  EXPECT_EQ(record.EmailAddress, "w1xyz@example.net");
  EXPECT_EQ(record.URL, "http://w1xyz.example.net");
  EXPECT_EQ(record.QSLManager, "DIRECT");
  EXPECT_EQ(record.Biography, "Licensed in 1975 &amp; active on CW.");
  EXPECT_EQ(record.Photo, "http://w1xyz.example.net/me.jpg");
  EXPECT_EQ(record.Last, "2026-06-20 14:02");
  EXPECT_EQ(record.Mode, "CW");
  EXPECT_EQ(record.Frequency, "14.025");
  EXPECT_EQ(record.MiddleName, "Q");

  // A reply without the tags empties what the mapping writes, Mode and Frequency too.
  ASSERT_TRUE(MapNuvexAnswer(record, "<html>Service unavailable</html>"));
  EXPECT_EQ(record.FullName, " ");
  EXPECT_EQ(record.QTH, ",");
  EXPECT_EQ(record.Mode, "");
  EXPECT_EQ(record.Frequency, "");
  EXPECT_EQ(record.Biography, "");
}

}  // namespace
}  // namespace torvane
