#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/tool_runner.h"

namespace torvane::testing {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string Joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : " ") + arg;
  return text;
}

// A test name from the arguments: "lotw download --help" becomes lotw_download_help.
template <typename Case>
std::string NameOf(const ::testing::TestParamInfo<Case>& info) {
  std::string name;
  for (const char c : Joined(info.param.args)) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  return name.empty() ? "no_arguments" : name;
}

struct HelpCase {
  std::vector<std::string> args;
  std::string file;  // under tests/tools/help/: the exact text the arguments print
};

void PrintTo(const HelpCase& help, std::ostream* out) { *out << Joined(help.args); }

class HelpText : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpText, IsTheStoredTextOnStandardOutput) {
  const HelpCase& help = GetParam();
  const std::string expected = ReadText(std::string(TORVANE_TOOL_HELP_FOLDER) + "/" + help.file);
  ASSERT_FALSE(expected.empty()) << help.file;
  const ToolOutcome outcome = RunTool(help.args);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, expected);
  EXPECT_EQ(outcome.err, "");
}

const HelpCase kHelpCases[] = {
    {{"--help"}, "torvane.txt"},
    {{"shell", "--help"}, "torvane_shell.txt"},
    {{"db", "--help"}, "torvane_db.txt"},
    {{"db", "init", "--help"}, "torvane_db_init.txt"},
    {{"db", "build-default", "--help"}, "torvane_db_build-default.txt"},
    {{"import", "--help"}, "torvane_import.txt"},
    {{"import", "cty", "--help"}, "torvane_import_cty.txt"},
    {{"import", "lotw", "--help"}, "torvane_import_lotw.txt"},
    {{"import", "weather", "--help"}, "torvane_import_weather.txt"},
    {{"import", "fcc", "--help"}, "torvane_import_fcc.txt"},
    {{"import", "zip", "--help"}, "torvane_import_zip.txt"},
    {{"lookup", "--help"}, "torvane_lookup.txt"},
    {{"resolve", "--help"}, "torvane_resolve.txt"},
    {{"beacons", "--help"}, "torvane_beacons.txt"},
    {{"eqsl", "--help"}, "torvane_eqsl.txt"},
    {{"clublog", "--help"}, "torvane_clublog.txt"},
    {{"lotw", "--help"}, "torvane_lotw.txt"},
    {{"lotw", "download", "--help"}, "torvane_lotw_download.txt"},
    {{"weather", "--help"}, "torvane_weather.txt"},
    // Help asked before the command, or after some of its options, is still the help of the
    // deepest command named.
    {{"--help", "resolve"}, "torvane_resolve.txt"},
    {{"lotw", "--help", "download"}, "torvane_lotw_download.txt"},
    {{"resolve", "--jobs", "2", "-h"}, "torvane_resolve.txt"},
    {{"lookup", "W1AW", "--source", "fcc", "--help"}, "torvane_lookup.txt"},
};

INSTANTIATE_TEST_SUITE_P(EveryCommand, HelpText, ::testing::ValuesIn(kHelpCases), NameOf<HelpCase>);

struct UsageErrorCase {
  std::vector<std::string> args;
  std::string message;  // the first line on standard error
};

void PrintTo(const UsageErrorCase& usage, std::ostream* out) { *out << Joined(usage.args); }

class UsageError : public ::testing::TestWithParam<UsageErrorCase> {};

TEST_P(UsageError, SaysWhatIsWrongAndExitsWithTwo) {
  const UsageErrorCase& usage = GetParam();
  const ToolOutcome outcome = RunTool(usage.args);
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, usage.message + "\nRun with --help for more information.\n");
}

const UsageErrorCase kUsageErrorCases[] = {
    {{}, "A subcommand is required"},
    {{"frobnicate"}, "A subcommand is required"},
    {{"db"}, "A subcommand is required"},
    {{"lotw"}, "A subcommand is required"},
    {{"resolve", "--frobnicate"}, "The following argument was not expected: --frobnicate"},
    // An option of another command, or of a command given before its name.
    {{"resolve", "--home", "1,2"}, "The following argument was not expected: --home"},
    {{"eqsl", "W1AW", "20240101", "1200", "FT8", "20m", "--my-call", "X"},
     "The following arguments were not expected: X --my-call"},
    {{"--data-folder", "x", "resolve"},
     "The following arguments were not expected: x --data-folder"},
    {{"db", "init", "a", "b"}, "The following argument was not expected: b"},
    {{"resolve", "--jobs"}, "--jobs: 1 required UINT:UINT in [1 - 8] missing"},
    {{"resolve", "--data-folder"}, "--data-folder: 1 required TEXT missing"},
    {{"shell", "--json", "--clock"}, "--clock: 1 required TEXT missing"},
    {{"lotw", "download", "--since", "2024-01-01", "--file"}, "--file: 1 required TEXT missing"},
    {{"resolve", "--jobs", "9"}, "--jobs: Value 9 not in range 1 to 8"},
    {{"weather", "W1AW", "--source", "nowhere"}, "--source: nowhere not in {iwin,tgsv,wech,file}"},
    {{"beacons", "--ticks", "x"}, "Could not convert: --ticks = x"},
    {{"lookup"}, "CALL is required"},
    {{"import", "fcc"}, "FILE is required"},
    {{"clublog", "W1AW", "20240101", "1200", "FT8"}, "BAND is required"},
    {{"lotw", "download"}, "--since is required"},
    {{"import", "cty", "--data-folder", "a", "--documents", "b", "f.csv"},
     "--data-folder excludes --documents"},
    {{"db", "build-default", "--documents", "a", "b"}, "DIR excludes --documents"},
};

INSTANTIATE_TEST_SUITE_P(Options, UsageError, ::testing::ValuesIn(kUsageErrorCases),
                         NameOf<UsageErrorCase>);

}  // namespace
}  // namespace torvane::testing
