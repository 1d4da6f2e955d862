#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"
#include "tools/torvane/run.h"
#include "tools/torvane/shell.h"

namespace torvane::tool {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::ReadFile;
using torvane::testing::TempDataFolder;
using torvane::testing::RunTool;


std::vector<std::string> Shell(const TempDataFolder& folder, const std::string& input,
                               bool json = true) {
  std::vector<std::string> args = {"shell", "--data-folder", folder.path(), "--clock",
                                   "2026-06-21T12:00:10"};
  if (json) args.push_back("--json");
  return RunTool(args, input).lines;
}

TEST(ShellJson, SettersAnswerTheirCodesAndReturnTheArgumentsAfterTheCall) {
  TempDataFolder folder;
  const auto lines = Shell(folder, R"({"call": "GetVersion"}
{"call": "SetCDSource", "args": ["qrz subscription"]}
{"call": "SetCDSource", "args": ["Nothing"]}
{"call": "GetDataSource"}
{"call": "SetHomeLatitude", "args": ["-91"]}
{"call": "SetHomeLongitude", "args": [180]}
{"call": "SetCDDrive", "args": ["e:"]}
{"call": "SetDevel", "args": [false]}
{"call": "SetQuorlinPath", "args": ["C:\\Quorlin"]}
)");
  EXPECT_THAT(lines,
              ElementsAre(R"({"result":"4.10.0","type":"string","args":[]})",
                          R"({"result":0,"type":"int16","args":["qrz subscription"]})",
                          R"({"result":1,"type":"int16","args":["Nothing"]})",
                          R"({"result":"None","type":"string","args":[]})",
                          R"({"result":1,"type":"int16","args":["-91"]})",
                          R"({"result":0,"type":"int16","args":[180.0]})",
                          R"({"result":0,"type":"int16","args":["e:"]})",
                          R"({"result":1,"type":"int16","args":[false]})",
                          R"({"result":0,"type":"int16","args":["C:\\Quorlin"]})"));
}

TEST(ShellJson, BadRequestsGetAnErrorAndTheShellGoesOn) {
  TempDataFolder folder;
  const auto lines = Shell(folder, R"({"call": "NoSuchMethod"}
{"call": "SetCDDrive"}
{"call": "SetCDDrive", "args": ["a:", "b:"]}
{"call": "SetDevel", "args": ["maybe"]}
{"call": "SetDevel", "args": [[1, 2]]}
{"call": 5}
{"meta": "dance"}
{"meta": "clock", "value": "yesterday"}
not json at all
{"call": "getversion"}
)");
  ASSERT_EQ(lines.size(), 10u);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    EXPECT_THAT(lines[i], ::testing::StartsWith(R"({"error":)")) << i;
  }
  EXPECT_THAT(lines[0], HasSubstr("unknown method NoSuchMethod"));
  EXPECT_THAT(lines[1], HasSubstr("takes 1 argument, got 0"));
  EXPECT_THAT(lines[3], HasSubstr("expected a boolean"));
  EXPECT_EQ(lines[9], R"({"result":"4.10.0","type":"string","args":[]})");
}

TEST(ShellJson, OversizedDeepAndNestedRequestsAreRefusedAndTheShellGoesOn) {
  const std::string version = R"({"result":"4.10.0","type":"string","args":[]})";
  // A SetMyCall line of exactly `bytes` bytes.
  const auto set_my_call = [](std::size_t bytes) {
    const std::string head = R"({"call":"SetMyCall","args":[")";
    const std::string tail = R"("]})";
    return head + std::string(bytes - head.size() - tail.size(), 'K') + tail;
  };
  const auto nested_args = [](int lists) {
    return R"({"call":"GetVersion","args":)" + std::string(lists, '[') +
           std::string(lists, ']') + "}";
  };
  const struct {
    std::string input;
    std::vector<std::string> answers;  // each answer line starts with its entry
  } cases[] = {
      {set_my_call(kMaxRequestLineBytes) + "\n", {R"({"result":0,)"}},
      {set_my_call(kMaxRequestLineBytes + 1) + "\n" R"({"call":"GetVersion"})",
       {R"({"error":"a request line holds at most 1048576 bytes"})", version}},
      // A line that never ends is refused once; the input then ends.
      {std::string(3 * kMaxRequestLineBytes, '['),
       {R"({"error":"a request line holds at most 1048576 bytes"})"}},
      // The object itself is the first level.
      {nested_args(kMaxRequestNesting - 1),
       {R"({"error":"GetVersion takes 0 arguments, got 1"})"}},
      {nested_args(kMaxRequestNesting) + "\n" R"({"call":"GetVersion"})",
       {R"({"error":"a request nests lists and objects at most 32 deep"})", version}},
      {nested_args(40'000), {R"({"error":"a request nests lists and objects at most 32 deep"})"}},
      {R"({"call":"SetMyCall","args":[")" + std::string(100, '[') + R"(\"{"]})",
       {R"({"result":0,)"}},
      {R"({"meta":"on_yield","call":{"meta":"on_yield","call":{"call":"GetVersion"}}})"
       "\n" R"({"call":"GetVersion"})",
       {R"({"error":"on_yield runs a method call, not a host action"})", version}},
      {R"({"meta":"after","ms":1,"call":{"meta":"tick"}})",
       {R"({"error":"after runs a method call, not a host action"})"}},
      {R"({"meta":"on_yield","call":"GetVersion"})",
       {R"({"error":"\"call\" of on_yield must be a JSON object"})"}},
  };
  TempDataFolder folder;
  for (const auto& c : cases) {
    const auto lines = Shell(folder, c.input);
    const std::string shown = c.input.substr(0, 80);
    ASSERT_EQ(lines.size(), c.answers.size()) << shown;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_THAT(lines[i], ::testing::StartsWith(c.answers[i])) << shown;
    }
  }
}

TEST(ShellJson, RestartRunsShutDownAndStartUpInTheSameProcess) {
  TempDataFolder folder;
  const auto lines = Shell(folder, R"({"meta": "restart"}
{"meta": "restart"}
)");
  EXPECT_THAT(lines, ElementsAre(R"({"ok": true})", R"({"ok": true})"));
  const std::string startup = ReadFile(folder.LogFolder() + "/Torvanelog.txt");
  EXPECT_EQ(startup, "2026-06-21 12:00:10 Torvanecontrol version 4.10.0 started.\r\n");
  // The last object ends with the input, writing its stop line into the reopened log.
  EXPECT_THAT(ReadFile(folder.LogFolder() + "/tvlog.txt"),
              HasSubstr("Torvane stopped 2026-06-21 12:00:10"));
}

TEST(ShellJson, TheClockActionFixesTheTimeOfLaterStarts) {
  TempDataFolder folder;
  Shell(folder, R"({"meta": "clock", "value": "2027-01-02T03:04:05"}
{"meta": "restart"}
)");
  EXPECT_THAT(ReadFile(folder.LogFolder() + "/Torvanelog.txt"),
              HasSubstr("2027-01-02 03:04:05 Torvanecontrol version"));
}

TEST(ShellJson, AFolderWithoutThePrefixDatabaseLogsTheErrorAndStillAnswers) {
  TempDataFolder folder;
  std::filesystem::remove(folder.PrefixDatabase());
  const auto lines = Shell(folder, R"({"call": "GetVersion"})");
  EXPECT_THAT(lines, ElementsAre(R"({"result":"4.10.0","type":"string","args":[]})"));
  EXPECT_THAT(ReadFile(folder.LogFolder() + "/Torvanelog.txt"),
              HasSubstr("Torvanecontrol error: 14 "));
}

TEST(ShellHuman, WordsAndQuotesBecomeArguments) {
  TempDataFolder folder;
  const auto lines = Shell(folder, R"(GetVersion
SetCDSource "qrz subscription"
SetMyCall ""
SetCDDrive "unterminated
:tick
:cd /nonexistent-folder-for-torvane
)",
                           /*json=*/false);
  EXPECT_THAT(lines, ElementsAre(R"(=> "4.10.0" [string])", "=> 0 [int16]", "=> 1 [int16]",
                                 "error: unterminated quote",
                                 R"(! BeaconChange "2" "VE8AT" "Canada" )"
                                 R"("Eureka, Nunavut" "80" "-86")",
                                 "ok",
                                 ::testing::StartsWith("error: cd /nonexistent")));
}

TEST(SplitWords, HandlesBlanksQuotesAndEscapes) {
  const struct {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"a b  c", {"a", "b", "c"}},
      {R"(Set "two words" "")", {"Set", "two words", ""}},
      {R"(x "say \"hi\"" "back\\slash")", {"x", R"(say "hi")", R"(back\slash)"}},
      {R"(x ab"c d"e)", {"x", "abc de"}},
      {"   ", {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> words;
    ASSERT_TRUE(SplitWords(c.line, words)) << c.line;
    EXPECT_EQ(words, c.words) << c.line;
  }
  std::vector<std::string> words;
  EXPECT_FALSE(SplitWords(R"(x "open)", words));
}

TEST(DbInit, CreatesTheDatabasesAndKeepsExistingOnes) {
  torvane::testing::TempFolder folder;
  const auto first = RunTool({"db", "init", folder.path(), "--fcc"});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.lines.size(), 3u);
  const auto again = RunTool({"db", "init", folder.path()});
  EXPECT_EQ(again.status, 0);
  EXPECT_THAT(again.lines, ElementsAre(HasSubstr("nothing to do")));

  const auto blocked = RunTool({"db", "init", "/proc/torvane-cannot-be-here"});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_THAT(blocked.err, HasSubstr("cannot create folder"));
}

TEST(CommandLine, UnknownCommandsAndBadClocksAreRefused) {
  EXPECT_NE(RunTool({"frobnicate"}).status, 0);
  EXPECT_NE(RunTool({"shell", "--clock", "noon"}).status, 0);
}

}  // namespace
}  // namespace torvane::tool
