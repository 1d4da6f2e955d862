#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "service/service.h"
#include "tests/lookup/lookup_fixture.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class CallCheckTest : public LookupTest {
 protected:
  std::string ActivityLog() const { return ReadFile(folder_.LogFolder() + "/tvlog.txt"); }
};

TEST_F(CallCheckTest, ANewCallIsLookedUpOnceAndRepeatsComeFromTheCache) {
  EXPECT_EQ(control().GetFirstName("W1XYZ\\P"), "");
  // The quick resolution of the deciding call and the end of the lookup each report.
  EXPECT_THAT(events_.Take(), ElementsAre("CallDataOK true", "CallDataOK true"));
  EXPECT_EQ(control().GetCity("W1XYZ/P"), "");  // the same cached call
  EXPECT_THAT(events_.Take(), ElementsAre("CallDataOK true"));
  control().GetCity("w1xyz/p");  // another cache key, same station
  EXPECT_EQ(events_.Take().size(), 2u);
  EXPECT_EQ(control().ClearCDCall(), Variant());
  control().GetCity("w1xyz/p");  // ClearCDCall changes nothing
  EXPECT_EQ(events_.Take().size(), 1u);
}

TEST_F(CallCheckTest, WithoutACallbookTheRecordIsClearedAndCompletedFromPrefixDataOnlyByMerge) {
  EXPECT_EQ(control().GetDataSource(), "");
  // A plain call: the lookup clears the record and nothing fills it.
  EXPECT_EQ(control().GetCountry("DL1ABC"), "");
  EXPECT_EQ(control().GetDXCCNumber("DL1ABC"), 0);
  EXPECT_EQ(control().GetDataSource(), "Callbook not specified");
  EXPECT_EQ(control().GetPrefixCountry("DL1ABC"), "Fed. Rep. of Germany");
  EXPECT_EQ(control().GetPrefixCQZone("DL1ABC"), "");  // the clearing empties the zone texts
  EXPECT_EQ(control().GetPrefixDXCCNumber("DL1ABC"), 230);
  EXPECT_EQ(control().GetCountryAbbreviation("DL1ABC"), "");  // cleared with the record

  // The chain resolves the deciding call anew, which parses it again: a designator such as
  // 3D2/C survives that and keeps a prefix call, so the record is completed from the entity.
  EXPECT_EQ(control().GetCountry("3D2XX/C"), "Conway Reef");
  EXPECT_EQ(control().GetDXCCNumber("3D2XX/C"), 489);
  EXPECT_EQ(control().GetContinent("3D2XX/C"), "OC");
  EXPECT_EQ(control().GetHoursOffset("3D2XX/C"), "12");
  EXPECT_EQ(control().GetDXLatitude("3D2XX/C"), Variant(-22.0));
  EXPECT_EQ(control().GetDataStatus("3D2XX/C"),
            " Coordinates not found so all calculations based on location are approximate.");
  EXPECT_EQ(control().GetCallsign("3D2XX/C"), "3D2/C");
  // FO/M does not: parsed again, its final "/M" is a mobile suffix.
  EXPECT_EQ(control().GetCountry("FO5XX/M/M"), "");
  EXPECT_EQ(control().GetCallsign("FO5XX/M/M"), "FO");
}

TEST_F(CallCheckTest, GetDataStatusReportsOkUnlessTheLookupWroteAnotherStatus) {
  EXPECT_EQ(control().SetCDSource("QRZ VIA INTERNET"), 0);
  EXPECT_EQ(control().SetCDDXSource("QRZ VIA INTERNET"), 0);
  EXPECT_EQ(control().GetDataStatus("DL1ABC"), "OK");
  EXPECT_EQ(control().GetDataSource(), "");  // codes 4 and 5 ask nothing
  EXPECT_THAT(ActivityLog(), HasSubstr("GetDataStatus call: DL1ABC\r\n"));
}

TEST_F(CallCheckTest, TheUnitedStatesSourceServesDxcc291110And6AndTheOtherSourceTheRest) {
  control().SetDevel(true);
  control().SetCDSource("FCC VIA INTERNET");     // 5
  control().SetCDDXSource("QRZ VIA INTERNET");   // 4
  control().GetFirstName("W1XYZ");
  control().GetFirstName("KH6/DL1ABC");  // decided by KH6, asked for DL1ABC
  control().GetFirstName("DL1ABC");
  const std::string log = ActivityLog();
  EXPECT_THAT(log, HasSubstr("Callbook lookup: W1XYZ\r\nCallbook source: 5\r\n"));
  EXPECT_THAT(log, HasSubstr("Callbook lookup: KH6\r\nCallbook source: 5\r\n"));
  EXPECT_THAT(log, HasSubstr("Callbook lookup: DL1ABC\r\nCallbook source: 4\r\n"));
  EXPECT_THAT(log, HasSubstr("CheckCall parsed call: DL1ABC returned 0\r\n"));
  EXPECT_THAT(events_.Take(), ::testing::Contains("WebStatus URL: "));
}

TEST_F(CallCheckTest, StateTracingAddsItsLinesOnlyWhileGetStateRuns) {
  control().SetDevel(true);
  control().GetState("DL1ABC");
  control().GetCity("DL2ABC");
  const std::string log = ActivityLog();
  EXPECT_THAT(log, HasSubstr("Getting state for DL1ABC\r\nState cdState now ; clearing data\r\n"));
  EXPECT_THAT(log, HasSubstr("State source: 0\r\n"));
  EXPECT_THAT(log, HasSubstr("Lookup error = 0 and len = 0\r\n"));
  EXPECT_THAT(log, Not(HasSubstr("Getting state for DL2ABC")));
}

TEST_F(CallCheckTest, DistancesRunFromHomeToThePrefixEntityAndToTheCallsPosition) {
  control().SetHomeLatitude(Variant(40.0));
  control().SetHomeLongitude(Variant(-75.0));
  const double miles = std::stod(control().GetPrefixMilesToDX("G4ABC"));
  EXPECT_NEAR(miles, 3535.65, 0.01);
  EXPECT_NEAR(std::stod(control().GetPrefixKmToDX("G4ABC")), miles * 1.61, 1e-6);
  EXPECT_NEAR(std::stod(control().GetPrefixBearingToDX("G4ABC")), 50.49, 0.01);
  EXPECT_NEAR(control().GetPrefixDXDistance("G4ABC").ToNumber().value_or(0), miles, 1e-9);
  // The record's position was cleared with it: the call's own values stay 0.
  EXPECT_EQ(control().GetMilesToDX("G4ABC"), "0");
  EXPECT_EQ(control().GetDXDistance("G4ABC"), Variant(std::int16_t{0}));

  // A merged call has a position, so its own distance is stored as well.
  const Variant dx = control().GetDXDistance("3D2XX/C");
  ASSERT_TRUE(dx.AsDouble().has_value());
  EXPECT_EQ(control().GetMilesToDX("3D2XX/C"), NumberToText(*dx.AsDouble()));
  EXPECT_EQ(control().GetBearingToDX("3D2XX/C"), control().GetDXBearing("3D2XX/C").ToText());
  EXPECT_THAT(ActivityLog(), HasSubstr("MyLat: 40 MyLon: -75 Lat: 51.5 Lon: 0\r\n"));
}

TEST_F(CallCheckTest, TheBiographyIsLookedUpAgainEachTimeThePhotoOnlyForANewCall) {
  const auto lookups = [this] {
    const std::string log = ActivityLog();
    std::size_t count = 0;
    for (std::size_t at = log.find("Callbook lookup: "); at != std::string::npos;
         at = log.find("Callbook lookup: ", at + 1)) {
      ++count;
    }
    return count;
  };
  control().SetDevel(true);
  EXPECT_EQ(control().GetBiography("DL1ABC"), "");
  EXPECT_EQ(control().GetBiography("DL1ABC"), "");
  EXPECT_EQ(lookups(), 2u);
  EXPECT_EQ(control().GetPhoto("DL1ABC"), "");
  EXPECT_EQ(control().GetPhoto("DL1ABC"), "");
  EXPECT_EQ(lookups(), 2u);  // the biography left DL1ABC current
  EXPECT_EQ(control().GetPhoto("G4ABC"), "");
  EXPECT_EQ(lookups(), 3u);
}

TEST(CallCheckStopped, StoppedWebActivitySilencesCallDataOk) {
  TempDataFolder folder;
  RecordingEvents events;
  Service service(folder.MakeOptions(), &events, nullptr);
  service.web().webStopped = true;
  service.call_check().CheckCall("DL1ABC", true);
  service.call_check().CheckCall("DL1ABC", true);
  service.quick_queries().GetQuickCountry("K1ABC");
  EXPECT_TRUE(events.Take().empty());
  service.web().webStopped = false;
  service.call_check().CheckCall("DL1ABC", true);
  EXPECT_THAT(events.Take(), ElementsAre("CallDataOK true"));
}

}  // namespace
}  // namespace torvane::testing
