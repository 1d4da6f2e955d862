#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/default_data.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// A copy of the default data folder that a test may break.
std::string CopyOfDefaultData(const TempFolder& folder) {
  const std::string copy = folder / "data";
  fs::copy(DefaultDataFolder(), copy, fs::copy_options::recursive);
  return copy;
}

// The number of a process that has ended and been reaped.
pid_t DeadProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(StartupFailure, EveryOneJobCommandReportsItAndTheShellOnlyTellsIt) {
  struct Case {
    const char* label;
    void (*breaks)(const std::string& data, std::vector<std::string>& extra_args);
    const char* reason;  // a part of the reported description
  };
  const Case cases[] = {
      {"empty prefix database",
       [](const std::string& data, std::vector<std::string>&) {
         WriteText(data + "/Databases/bandplan.db", "");
       },
       "bandplan.db"},
      {"random bytes for a database",
       [](const std::string& data, std::vector<std::string>&) {
         WriteText(data + "/Databases/bandplan.db", std::string(8192, '\x5a'));
       },
       "bandplan.db"},
      {"log folder that is a file",
       [](const std::string& data, std::vector<std::string>& extra) {
         WriteText(data + "/not-a-folder", "x");
         extra = {"--log-folder", data + "/not-a-folder"};
       },
       "not-a-folder"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::string data = CopyOfDefaultData(folder);
    std::vector<std::string> extra;
    c.breaks(data, extra);
    const auto with_folders = [&](std::vector<std::string> args) {
      args.insert(args.end(), {"--data-folder", data});
      args.insert(args.end(), extra.begin(), extra.end());
      return args;
    };
    const struct {
      std::vector<std::string> args;
      std::string input;
    } commands[] = {
        {with_folders({"resolve", "-"}), "W1AW\n"},
        // Long enough to be shared out between services side by side.
        {with_folders({"resolve", "-", "--jobs", "2"}), [] {
           std::string calls;
           for (int i = 0; i < 20000; ++i) calls += "W1AW\n";
           return calls;
         }()},
        {with_folders({"lookup", "W1AW"}), ""},
        {with_folders({"beacons", "--home", "40,-75", "--ticks", "1", "--clock", "2026-06-21T12:00:00"}),
         ""},
        {with_folders({"weather", "W1AW", "--source", "file", "--weather-file", data + "/none"}),
         ""},
    };
    for (const auto& command : commands) {
      const ToolOutcome outcome = RunTool(command.args, command.input);
      EXPECT_EQ(outcome.status, 1) << c.label << ": " << command.args[0];
      EXPECT_THAT(outcome.err, HasSubstr("the service did not start: error "))
          << c.label << ": " << command.args[0];
      EXPECT_THAT(outcome.err, HasSubstr(c.reason)) << c.label << ": " << command.args[0];
      EXPECT_EQ(outcome.out, "") << c.label << ": " << command.args[0];
    }
    const ToolOutcome shell = RunTool(with_folders({"shell"}), "GetVersion\n");
    EXPECT_EQ(shell.status, 0) << c.label;
    EXPECT_THAT(shell.err, HasSubstr("torvane shell: the service did not start")) << c.label;
  }
}

TEST(ImportGuards, RefuseWhatIsNotAReferenceFileAndAShrinkWithoutForce) {
  TempFolder folder;
  const std::string data = CopyOfDefaultData(folder);
  WriteText(folder / "one-line.csv",
            "K,United States,291,NA,5,8,37.53,91.67,5.0,K W;\n");
  WriteText(folder / "long-line.csv", std::string(2 * 1024 * 1024, 'K') + "\n");
  const struct {
    std::vector<std::string> args;
    std::string message;
  } refused[] = {
      {{"import", "cty", "/dev/zero"}, "/dev/zero is not a regular file"},
      {{"import", "cty", "/etc"}, "/etc is not a regular file"},
      {{"import", "weather", "/dev/zero"}, "is not a regular file"},
      {{"import", "lotw", "/dev/zero"}, "is not a regular file"},
      {{"import", "zip", "/dev/zero"}, "is not a regular file"},
      {{"import", "fcc", "/dev/zero"}, "neither a folder nor a regular file"},
      {{"import", "cty", folder / "long-line.csv"}, "long-line.csv line 1 is longer than"},
      {{"import", "cty", folder / "one-line.csv"}, "would leave 2 of the"},
  };
  for (const auto& c : refused) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--data-folder", data});
    const ToolOutcome outcome = RunTool(args);
    EXPECT_EQ(outcome.status, 1) << c.args[2];
    EXPECT_THAT(outcome.err, HasSubstr(c.message)) << c.args[2];
    EXPECT_THAT(outcome.err, Not(HasSubstr("basic_")));  // no raw C++ exception text
  }
  const ToolOutcome build = RunTool({"db", "build-default", folder / "new", "--cty", "/dev/zero"});
  EXPECT_EQ(build.status, 1);
  EXPECT_THAT(build.err, HasSubstr("/dev/zero is not a regular file"));

  // The old keys are intact after the refusals; --force takes the short file.
  const ToolOutcome before = RunTool({"resolve", "-", "--data-folder", data}, "VP8AA\n");
  EXPECT_THAT(before.out, HasSubstr("Falkland"));
  const ToolOutcome forced =
      RunTool({"import", "cty", folder / "one-line.csv", "--force", "--data-folder", data});
  EXPECT_EQ(forced.status, 0) << forced.err;
  const ToolOutcome after = RunTool({"resolve", "-", "--data-folder", data}, "VP8AA\n");
  EXPECT_THAT(after.out, Not(HasSubstr("Falkland")));
}

TEST(Leftovers, StaleWorkOfDeadProcessesGoesAndTheActivityLogFollowsNoLink) {
  TempFolder folder;
  const std::string data = CopyOfDefaultData(folder);
  const std::string databases = data + "/Databases/";
  const std::string dead = std::to_string(DeadProcess());
  const std::string alive = std::to_string(getppid());
  const std::vector<std::string> stale = {"bandplan.db.new-" + dead, "bandplan.db.new-" + dead + "-wal",
                                          "bandplan.db.new-" + dead + "-shm"};
  const std::vector<std::string> kept = {"bandplan.db.new-" + alive, "bandplan.db.new-x",
                                         "bandplan.db.new-" + dead + "-other"};
  for (const auto& name : stale) WriteText(databases + name, "left over");
  for (const auto& name : kept) WriteText(databases + name, "not ours to remove");
  const ToolOutcome built = RunTool({"db", "build-default", data, "--force"});
  ASSERT_EQ(built.status, 0) << built.err;
  for (const auto& name : stale) EXPECT_FALSE(fs::exists(databases + name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(databases + name)) << name;

  // A link in the activity log's place is replaced, and its target left as it was.
  const std::string target = folder / "precious.txt";
  WriteText(target, "keep me");
  chmod(target.c_str(), 0644);
  fs::create_directories(data + "/Logs");
  fs::remove(data + "/Logs/tvlog.txt");
  fs::create_symlink(target, data + "/Logs/tvlog.txt");
  const ToolOutcome resolved = RunTool({"resolve", "-", "--data-folder", data}, "W1AW\n");
  EXPECT_EQ(resolved.status, 0) << resolved.err;
  EXPECT_EQ(ReadText(target), "keep me");
  struct stat status {};
  ASSERT_EQ(stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0644u);
  EXPECT_FALSE(fs::is_symlink(data + "/Logs/tvlog.txt"));
  EXPECT_THAT(ReadText(data + "/Logs/tvlog.txt"), HasSubstr("Torvane version"));
}

TEST(UsageErrors, ExitWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {"lookup", "", "--data-folder", DefaultDataFolder()},
      {"lookup", "W1AW", "--no-such-option"},
      {"lookup"},
      {"resolve", "-", "extra", "words"},
  };
  for (const auto& args : cases) {
    const ToolOutcome outcome = RunTool(args);
    EXPECT_EQ(outcome.status, 2) << ::testing::PrintToString(args) << outcome.err;
  }
  EXPECT_EQ(RunTool({"lookup", "--help"}).status, 0);
}

}  // namespace
}  // namespace torvane::testing
