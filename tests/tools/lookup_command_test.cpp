#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/default_data.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::string> WithData(std::vector<std::string> args) {
  args.insert(args.end(), {"--data-folder", DefaultDataFolder(), "--clock", "2026-06-21T12:00:00"});
  return args;
}

TEST(LookupCommand, PrintsTheStationCardOfAPortableCall) {
  // The card converts the computer's clock to station time: fix the computer's zone.
  setenv("TZ", "UTC", 1);
  tzset();
  const ToolOutcome outcome = RunTool(WithData({"lookup", "KH6/W1AW", "--home", "40,-75", "--json"}));
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  const auto card = nlohmann::json::parse(outcome.out);
  EXPECT_EQ(card["base_call"], "W1AW");
  EXPECT_EQ(card["deciding_prefix"], "KH6");
  EXPECT_EQ(card["country"], "Hawaii");
  EXPECT_EQ(card["dxcc"], "110");
  EXPECT_EQ(card["continent"], "OC");
  EXPECT_EQ(card["cq_zone"], "31");
  EXPECT_EQ(card["itu_zone"], "61");
  EXPECT_EQ(card["wpx_prefix"], "W1");
  EXPECT_EQ(card["master_prefix"], "KH6");
  EXPECT_EQ(card["latitude"], "21.12");
  EXPECT_EQ(card["longitude"], "-157.48");
  EXPECT_EQ(card["utc_offset_hours"], "-10");
  EXPECT_EQ(card["locator"], "BL11");
  EXPECT_NEAR(std::stod(card["distance_miles"].get<std::string>()), 4904, 1);
  EXPECT_NEAR(std::stod(card["distance_km"].get<std::string>()),
              std::stod(card["distance_miles"].get<std::string>()) * 1.61, 1e-6);
  EXPECT_NEAR(std::stod(card["beam_heading_deg"].get<std::string>()), 282.1, 0.1);
  // 21 N, 157 W on 21 June, zone time UTC-10: about 05:51 and 19:16.
  EXPECT_NEAR(std::stod(card["sunrise"].get<std::string>()), 5.85, 0.1);
  EXPECT_NEAR(std::stod(card["sunset"].get<std::string>()), 19.27, 0.1);
  EXPECT_EQ(card["daylight_now"], false);  // noon UTC is 02:00 in Hawaii
  const ToolOutcome later = RunTool(
      {"lookup", "KH6/W1AW", "--json", "--data-folder", DefaultDataFolder(), "--clock",
       "2026-06-21T22:00:00"});
  EXPECT_EQ(nlohmann::json::parse(later.out)["daylight_now"], true);  // 12:00 there
  EXPECT_EQ(card["ambiguity"], 0);
  EXPECT_EQ(card["data_source"], "Callbook not specified");
}

TEST(LookupCommand, ReadsAsACardAndReportsWhatItCannotFind) {
  const ToolOutcome card = RunTool(WithData({"lookup", "VP8/W1AW"}));
  EXPECT_EQ(card.status, 0);
  EXPECT_THAT(card.out, HasSubstr("  country          Falkland Islands\n"));
  EXPECT_THAT(card.out, HasSubstr("  ambiguity        5\n"));
  EXPECT_THAT(card.out, ::testing::Not(HasSubstr("distance")));  // no home given

  const ToolOutcome polar = RunTool(WithData({"lookup", "JW1ABC"}));
  EXPECT_THAT(polar.out, HasSubstr("none today (polar day or night)"));

  const ToolOutcome unknown = RunTool(WithData({"lookup", "///"}));
  EXPECT_EQ(unknown.status, 1);
  EXPECT_THAT(unknown.out, HasSubstr("(no entity found)"));

  const ToolOutcome bad_home = RunTool(WithData({"lookup", "W1AW", "--home", "95,10"}));
  EXPECT_EQ(bad_home.status, 2);
  EXPECT_THAT(bad_home.err, HasSubstr("--home is out of range"));
  const ToolOutcome no_home = RunTool(WithData({"lookup", "W1AW", "--home", "north"}));
  EXPECT_EQ(no_home.status, 2);
  EXPECT_THAT(no_home.err, HasSubstr("--home wants LAT,LON"));

  TempFolder empty;
  const ToolOutcome no_data = RunTool({"lookup", "W1AW", "--data-folder", empty.path()});
  EXPECT_EQ(no_data.status, 1);
  EXPECT_THAT(no_data.err, HasSubstr("no prefix database in " + empty.path()));
}

TEST(ResolveCommand, PrintsOneLinePerCallAndSkipsBlankAndCommentLines) {
  const ToolOutcome tabs = RunTool(WithData({"resolve"}),
                                   "# a log\nDL1ABC\nQ1ZZ\n\n  kh6/w1aw  \r\nFO5XX/M/M\n");
  EXPECT_EQ(tabs.status, 0);
  // A call that matches no prefix has no entity, not the one of the call before it.
  EXPECT_THAT(tabs.lines, ElementsAre("DL1ABC\t230\tFed. Rep. of Germany\tEU\t14\t28\tDL1",
                                      "Q1ZZ\t0\t\t\t\t\tQ1",
                                      "kh6/w1aw\t110\tHawaii\tOC\t31\t61\tW1",
                                      "FO5XX/M/M\t509\tMarquesas Islands\tOC\t31\t63\tFO/M"));

  const ToolOutcome json = RunTool(WithData({"resolve", "-", "--json"}), "KB1ABC\n");
  EXPECT_THAT(json.lines,
              ElementsAre(R"({"call":"KB1ABC","dxcc":"291","country":"United States",)"
                          R"("continent":"NA","cq_zone":"03/04/05","itu_zone":"06/07/08",)"
                          R"("wpx_prefix":"KB1"})"));

  const ToolOutcome missing = RunTool(WithData({"resolve", "/nonexistent/calls.txt"}));
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("cannot read /nonexistent/calls.txt"));
}

// Services side by side answer each share of a long input as one service answers it all, in
// the input's order.
// Several threads resolve and format the shares of each batch; the lines come out as one
// thread prints them, in both forms.
TEST(ResolveCommand, ThreadsSideBySideAnswerAsOneDoes) {
  const std::vector<std::string> kinds = {"DL{}ABC", "W{}AW",   "KH6/W{}XX", "Q{}ZZ",  "VP8{}A/H",
                                          "FO{}XX/M", "KG4{}A", "JA{}AB",    "# {} x", "G{}ABC/P"};
  std::string input;
  for (int number = 0; number < 40000; ++number) {
    std::string call = kinds[static_cast<std::size_t>(number) % kinds.size()];
    call.replace(call.find("{}"), 2, std::to_string(number % 10));
    input += call + (number % 7 == 0 ? "\n\n" : "\n");
  }
  const ToolOutcome one = RunTool(WithData({"resolve", "--jobs", "1"}), input);
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.lines.size(), 36000u);
  for (const char* jobs : {"2", "3"}) {
    const ToolOutcome side_by_side = RunTool(WithData({"resolve", "--jobs", jobs}), input);
    EXPECT_EQ(side_by_side.status, 0) << side_by_side.err;
    EXPECT_TRUE(side_by_side.lines == one.lines) << jobs << " jobs";
  }
  const ToolOutcome json_one = RunTool(WithData({"resolve", "--json", "--jobs", "1"}), input);
  const ToolOutcome json_three = RunTool(WithData({"resolve", "--json", "--jobs", "3"}), input);
  EXPECT_EQ(json_one.lines.size(), 36000u);
  EXPECT_TRUE(json_three.lines == json_one.lines);
  EXPECT_EQ(RunTool(WithData({"resolve", "--jobs", "0"}), input).status, 2);
}

}  // namespace
}  // namespace torvane::testing
