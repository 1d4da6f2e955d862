#include <gtest/gtest.h>

#include "lookup/address_rules.h"
#include "lookup/drive_paths.h"
#include "lookup/state_zones.h"
#include "tests/support/temp_folder.h"

#include <filesystem>

namespace torvane {
namespace {

TEST(AddressRules, ProperCaseStartsAWordAfterEachSeparatorOnly) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"o'NEIL-SMITH jr", "O'neil-Smith Jr"},
      {"MC DONALD-SMITH (JR)", "Mc Donald-Smith (Jr)"},
      {"123 MAIN ST.,APT 4/B", "123 Main St.,Apt 4/B"},
      {"", ""},
      {"x", "X"},
      {"  two  blanks", "  Two  Blanks"},
      {"jOSÉ", "José"},  // bytes beyond ASCII pass through untouched
  };
  for (const auto& c : cases) EXPECT_EQ(address::ProperCase(c.in), c.out) << c.in;
}

TEST(AddressRules, CleanAddressWritesPoBoxesOneWayAndSpacesPunctuation) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"Po Box 7, Springfield, IL 62701", "PO Box 7, Springfield, IL 62701"},
      {"12 Elm St.,Springfield", "12 Elm St, Springfield"},
      {",12 Elm St", "12 Elm St"},
      {"P.O.box 5", "PO Box 5"},
      {"Po.box 9", "PO Box 9"},
      {"Pob 3", "POB 3"},
      {"P.o.Box 4", "P. O. Box 4"},
      {"12 Main St.", "12 Main St. "},  // the spacing's trailing blank stays
      {"Springfield, IL,", "Springfield, IL"},
      {"Elm St. , Town", "Elm St, Town"},
      {",", ","},       // one character after trimming is returned as it is
      {" , ", ","},
      {",,", ""},       // becomes ", " and then nothing
      {"", ""},
      {"po box 1", "po box 1"},  // case-sensitive
  };
  for (const auto& c : cases) EXPECT_EQ(address::CleanAddress(c.in), c.out) << c.in;
}

TEST(AddressRules, LicenceLettersHaveTwoTables) {
  using address::LicenceLetters;
  const struct {
    const char* letter;
    const char* rac;
    const char* fcc;
  } cases[] = {
      {"B", "Club Station", "B"},        {"E", "Extra", "Extra"},
      {"A", "Advanced", "Advanced"},     {"G", "General", "General"},
      {"P", "P", "Technician Plus"},     {"T", "Technician", "Technician"},
      {"N", "Novice", "Novice"},         {"e", "e", "e"},
      {"EX", "EX", "EX"},                {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(address::LicenceClassName(c.letter, LicenceLetters::kRacCdrom), c.rac) << c.letter;
    EXPECT_EQ(address::LicenceClassName(c.letter, LicenceLetters::kFccAndOnline), c.fcc)
        << c.letter;
  }
  EXPECT_EQ(address::FirstWord("John Q"), "John");
  EXPECT_EQ(address::FirstWord("John"), "John");
  EXPECT_EQ(address::FirstWord(" John"), "");
}

TEST(StateZones, EveryStateHasItsZonesAndAnythingElseIsZero) {
  const struct {
    const char* state;
    const char* cq;
    const char* itu;
  } cases[] = {
      {"CA", "03", "06"}, {"hi", "31", "61"}, {"HI", "31", "61"}, {"ak", "01", "01"},
      {"TX", "04", "07"}, {"ky", "04", "08"}, {"ms", "04", "08"}, {"MT", "04", "06"},
      {"dc", "05", "08"}, {"wv", "05", "08"}, {"wy", "04", "06"}, {"pr", "00", "00"},
      {" ca", "00", "00"}, {"", "00", "00"}, {"cal", "00", "00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(state_zones::CQZoneFromState(c.state), c.cq) << c.state;
    EXPECT_EQ(state_zones::ITUZoneFromState(c.state), c.itu) << c.state;
  }
}

TEST(DrivePaths, ADriveTextIsItsMappedFolderOrAFolderOfThatName) {
  testing::TempFolder folder;
  std::filesystem::create_directories(folder / "cdrom/FCC Data");
  const std::map<std::string, std::string> drives = {{"E:", folder / "cdrom"},
                                                     {"F:", folder / "cdrom/"}};
  EXPECT_EQ(DriveFilePath("E:\\fcc data\\FCCData.db", drives), folder / "cdrom/FCC Data/FCCData.db");
  EXPECT_EQ(DriveFilePath("e:\\FCC Data\\x", drives), folder / "cdrom/FCC Data/x");
  EXPECT_EQ(DriveFilePath("F:\\FCC Data\\x", drives), folder / "cdrom/FCC Data/x");
  EXPECT_EQ(DriveFilePath("G:\\ham0\\", drives), "G:/ham0/");
  EXPECT_EQ(DriveFilePath("\\FCC Data\\x", drives), "/FCC Data/x");
}

}  // namespace
}  // namespace torvane
