#include "import/lotw_users.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"
#include "torvane/torvane_control.h"

namespace torvane::import {
namespace {

using ::testing::ElementsAre, ::testing::HasSubstr, ::testing::IsEmpty;
using torvane::testing::RunTool, torvane::testing::TempDataFolder;

// Lines of ARRL's lotw-user-activity.csv as published (pyhamtools' snapshot of 2017).
const std::string kArrlLines =
    "1A0C,2016-04-23,20:15:52\n"
    "1A0KM,2014-02-08,15:08:08\n"
    "2A/DJ6AU,2012-01-04,22:24:58\n"
    "2A0APF,2003-11-23,19:30:43\n"
    "2A0APF/P,2003-11-23,19:38:39\n"
    "ZZ90IARU,2016-01-02,00:25:03\n";

TEST(LotwUserActivity, ReadsCallDateAndTimeAndSkipsMalformedLines) {
  const struct {
    std::string line;
    const char* call;    // nullptr: skipped
    const char* reason;  // part of the reason when skipped
  } cases[] = {
      {"W1AW,2024-02-29,23:59:59", "W1AW", nullptr},
      {"w1aw/p , 2024-01-01 , 00:00:00\r", "W1AW/P", nullptr},
      {"W1AW,2024-01-01", nullptr, "expected 3 comma-separated fields, found 2"},
      {"W1AW,2024-01-01,12:00:00,extra", nullptr, "found 4"},
      {",2024-01-01,12:00:00", nullptr, "\"\" is not a callsign"},
      {"W1-AW,2024-01-01,12:00:00", nullptr, "not a callsign"},
      {"/W1AW,2024-01-01,12:00:00", nullptr, "not a callsign"},
      {"<html><body>Service unavailable</body></html>", nullptr, "found 1"},
      {"W1AW,2023-02-29,12:00:00", nullptr, "not a date"},
      {"W1AW,2024-13-01,12:00:00", nullptr, "not a date"},
      {"W1AW,01/02/2024,12:00:00", nullptr, "not a date"},
      {"W1AW,2024-01-01,24:00:00", nullptr, "not a time"},
      {"W1AW,2024-01-01,12:00", nullptr, "not a time"},
  };
  for (const auto& c : cases) {
    const LotwUserList list = ParseLotwUserActivity("\n" + c.line + "\n\n");
    if (c.call != nullptr) {
      ASSERT_EQ(list.users.size(), 1u) << c.line;
      EXPECT_EQ(list.users[0].call, c.call);
      EXPECT_THAT(list.skipped, IsEmpty());
      continue;
    }
    EXPECT_THAT(list.users, IsEmpty()) << c.line;
    ASSERT_EQ(list.skipped.size(), 1u) << c.line;
    EXPECT_EQ(list.skipped[0].line, 2);  // blank lines count, so numbers match an editor's
    EXPECT_THAT(list.skipped[0].reason, HasSubstr(c.reason));
  }
}

// The imported list answers GetIsLoTW: exact calls, portable forms as their own entries, any
// letter case; a callsign is a bound value, never SQL.
TEST(ImportLotw, GetIsLoTWAnswersFromTheImportedList) {
  TempDataFolder folder;
  const std::string csv = folder.path() + "/lotw-user-activity.csv";
  std::ofstream(csv) << kArrlLines << "BROKEN LINE\n"
                     << "K1ABC,2024-01-01\n";
  const auto outcome = RunTool({"import", "lotw", csv, "--data-folder", folder.path()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_THAT(outcome.lines,
              ElementsAre("imported 6 LoTW users from " + csv + " into " +
                          folder.LotwUsersDatabase() + ", 2 malformed lines skipped"));
  EXPECT_THAT(outcome.err, HasSubstr(csv + " line 7: expected 3 comma-separated fields, found 1"));
  EXPECT_THAT(outcome.err, HasSubstr(csv + " line 8: expected 3 comma-separated fields, found 2"));

  TorvaneControl control(folder.MakeOptions());
  const struct {
    const char* call;
    const char* answer;
  } cases[] = {
      {"1A0C", "Y"},     {"ZZ90IARU", "Y"},    {"2A0APF/P", "Y"}, {"2a/dj6au", "Y"},
      {"2A0APF/M", "N"}, {"DJ6AU", "N"},       {"1A0", "N"},      {"K1ABC", "N"},
      {"", "N"},         {"' OR '1'='1", "N"}, {"1A0C ", "N"},
  };
  for (const auto& c : cases) EXPECT_EQ(control.GetIsLoTW(c.call), c.answer) << c.call;
}

// An import that fails at any step leaves the list as it was; a file without one user in it
// (an error page saved under the name) is such a failure.
TEST(ImportLotw, AFailedImportLeavesTheOldList) {
  const struct {
    std::string content;  // of the file; empty: no file
    const char* error;
    bool refuse_inserts = false;
  } cases[] = {
      {"", "cannot read"},
      {"<html>Service unavailable</html>\n", "no LoTW users in"},
      {"W1AW,2024-01-01,12:00:00\nK1ABC,2024-01-01,12:00:00\n", "refused", true},
  };
  for (const auto& c : cases) {
    TempDataFolder folder;
    const std::string first = folder.path() + "/first.csv";
    std::ofstream(first) << kArrlLines;
    ASSERT_EQ(RunTool({"import", "lotw", first, "--data-folder", folder.path()}).status, 0);
    if (c.refuse_inserts) {
      folder.Execute(folder.LotwUsersDatabase(),
                     "CREATE TRIGGER refuse BEFORE INSERT ON LoTW WHEN NEW.Call = 'K1ABC' "
                     "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    }
    const std::string second = folder.path() + "/second.csv";
    if (!c.content.empty()) std::ofstream(second) << c.content;
    const auto outcome = RunTool({"import", "lotw", second, "--data-folder", folder.path()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, HasSubstr(c.error));
    EXPECT_THAT(outcome.err, HasSubstr("the old list is kept"));
    TorvaneControl control(folder.MakeOptions());
    EXPECT_EQ(control.GetIsLoTW("1A0KM"), "Y") << c.error;
    EXPECT_EQ(control.GetIsLoTW("W1AW"), "N") << c.error;
  }
  const auto outcome = RunTool({"import", "lotw", "x.csv", "--data-folder", "/nonexistent"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_THAT(outcome.err, HasSubstr("no LoTW users database in /nonexistent"));
}

}  // namespace
}  // namespace torvane::import
