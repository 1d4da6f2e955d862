#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "api/method_table.h"
#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "torvane/torvane.h"

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::TempDataFolder;

std::string Text(const torvane_value& value) {
  return value.type == TORVANE_TEXT ? std::string(value.text, value.length) : "<not text>";
}

// Owns a C handle for a test, on a data folder with the sample prefixes and a fixed clock.
class Handle {
 public:
  explicit Handle(const std::vector<std::pair<std::string, std::string>>& extra = {}) {
    folder_.Execute(folder_.PrefixDatabase(), torvane::testing::kSamplePrefixRows);
    torvane_options* options = nullptr;
    EXPECT_EQ(torvane_options_new(&options), TORVANE_OK);
    EXPECT_EQ(torvane_options_set(options, "data_folder", folder_.path().c_str()), TORVANE_OK);
    EXPECT_EQ(torvane_options_set(options, "clock", "2026-06-21T12:00:10"), TORVANE_OK);
    for (const auto& [name, value] : extra) {
      EXPECT_EQ(torvane_options_set(options, name.c_str(), value.c_str()), TORVANE_OK) << name;
    }
    EXPECT_EQ(torvane_create(options, &handle_), TORVANE_OK);
    torvane_options_free(options);
  }
  ~Handle() { torvane_destroy(handle_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  torvane_handle* get() const { return handle_; }
  const TempDataFolder& folder() const { return folder_; }

  int Call(const char* name, const std::vector<torvane_value>& args, torvane_value& result) {
    return torvane_call(handle_, name, args.empty() ? nullptr : args.data(), args.size(), &result,
                        nullptr);
  }

 private:
  TempDataFolder folder_;
  torvane_handle* handle_ = nullptr;
};

// Events as lines of text, "CallDataOK true".
struct EventLog {
  static void Record(void* user_data, const char* event, const torvane_value* args,
                     std::size_t count) {
    std::string line = event;
    for (std::size_t i = 0; i < count; ++i) {
      const torvane_value& arg = args[i];
      line += ' ';
      if (arg.type == TORVANE_BOOL) {
        line += arg.integer != 0 ? "true" : "false";
      } else if (arg.type == TORVANE_TEXT) {
        line += Text(arg);
      } else {
        line += std::to_string(arg.integer);
      }
    }
    static_cast<EventLog*>(user_data)->lines.push_back(line);
  }
  std::vector<std::string> lines;
};

TEST(CInterface, AnswersEachKindOfResult) {
  Handle handle;
  torvane_value result{};
  ASSERT_EQ(handle.Call("GetVersion", {}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "4.10.0");
  EXPECT_EQ(result.text[result.length], '\0');

  ASSERT_EQ(handle.Call("GetQuickCountry", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "United States");

  ASSERT_EQ(handle.Call("SetHomeLatitude", {torvane_text("45.5")}, result), TORVANE_OK);
  EXPECT_EQ(result.type, TORVANE_INT16);
  EXPECT_EQ(result.integer, 0);

  ASSERT_EQ(handle.Call("SetSpecialCall", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(result.type, TORVANE_BOOL);

  ASSERT_EQ(handle.Call("GetCountryFromDXCC", {torvane_int16(230)}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "Fed. Rep. of Germany");
  // An integer given as text or as a whole double is converted, as the shell converts it.
  ASSERT_EQ(handle.Call("GetCountryFromDXCC", {torvane_text("110")}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "Hawaii");
  ASSERT_EQ(handle.Call("GetCountryFromDXCC", {torvane_double(291.0)}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "United States");
}

TEST(CInterface, WrittenBackArgumentsComeBackAfterTheCall) {
  Handle handle;
  const std::vector<torvane_value> args = {torvane_double(40), torvane_double(-75),
                                           torvane_double(51.5), torvane_double(-10)};
  std::vector<torvane_value> after(args.size());
  torvane_value result{};
  ASSERT_EQ(torvane_call(handle.get(), "GetBearingFromLatLon", args.data(), args.size(), &result,
                         after.data()),
            TORVANE_OK);
  EXPECT_EQ(result.type, TORVANE_DOUBLE);
  ASSERT_EQ(after[3].type, TORVANE_DOUBLE);
  EXPECT_EQ(after[3].number, 350.0);
  EXPECT_EQ(after[0].number, 40.0);
}

// Arrays go in and come back out whole, nested items included: a value parameter's
// argument after the call is the value given.
TEST(CInterface, ArraysRoundTripThroughTheArgumentsAfterTheCall) {
  Handle handle;
  const torvane_value inner[] = {torvane_bool(1), torvane_empty()};
  const torvane_value items[] = {torvane_int16(-7), torvane_text("FN31"), torvane_array(inner, 2),
                                 torvane_double(0.5)};
  const torvane_value arg = torvane_array(items, 4);
  torvane_value after{};
  torvane_value result{};
  ASSERT_EQ(torvane_call(handle.get(), "SetHomeLatitude", &arg, 1, &result, &after), TORVANE_OK);
  ASSERT_EQ(after.type, TORVANE_ARRAY);
  ASSERT_EQ(after.length, 4u);
  EXPECT_EQ(after.items[0].type, TORVANE_INT16);
  EXPECT_EQ(after.items[0].integer, -7);
  EXPECT_EQ(Text(after.items[1]), "FN31");
  ASSERT_EQ(after.items[2].type, TORVANE_ARRAY);
  ASSERT_EQ(after.items[2].length, 2u);
  EXPECT_EQ(after.items[2].items[0].type, TORVANE_BOOL);
  EXPECT_EQ(after.items[2].items[0].integer, 1);
  EXPECT_EQ(after.items[2].items[1].type, TORVANE_EMPTY);
  EXPECT_EQ(after.items[3].number, 0.5);
  // The copies belong to the library, not to the caller's arrays.
  EXPECT_NE(after.items, items);
}

TEST(CInterface, FullGetterRaisesCallDataOKThroughTheCallback) {
  Handle handle;
  EventLog log;
  ASSERT_EQ(torvane_set_event_callback(handle.get(), &EventLog::Record, &log), TORVANE_OK);
  torvane_value result{};
  // A new call reports twice (its deciding prefix, then the lookup), a cached one once.
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "United States");
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_THAT(log.lines, ElementsAre("CallDataOK true", "CallDataOK true", "CallDataOK true"));

  ASSERT_EQ(torvane_set_event_callback(handle.get(), nullptr, nullptr), TORVANE_OK);
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("DL1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(log.lines.size(), 3u);
}

TEST(CInterface, ANullHandleIsRefusedByEveryEntryPoint) {
  torvane_value result = torvane_text("stale");
  EXPECT_EQ(torvane_call(nullptr, "GetVersion", nullptr, 0, &result, nullptr), TORVANE_NULL_HANDLE);
  EXPECT_EQ(result.type, TORVANE_EMPTY);
  EXPECT_THAT(torvane_last_error(), HasSubstr("NULL"));
  EXPECT_EQ(torvane_tick(nullptr), TORVANE_NULL_HANDLE);
  EXPECT_EQ(torvane_set_event_callback(nullptr, nullptr, nullptr), TORVANE_NULL_HANDLE);
  EXPECT_EQ(torvane_set_yield_callback(nullptr, nullptr, nullptr), TORVANE_NULL_HANDLE);
  EXPECT_EQ(torvane_destroy(nullptr), TORVANE_OK);
  EXPECT_EQ(torvane_options_set(nullptr, "data_folder", "/tmp"), TORVANE_NULL_HANDLE);
  EXPECT_EQ(torvane_options_new(nullptr), TORVANE_NULL_ARGUMENT);
  EXPECT_EQ(torvane_create(nullptr, nullptr), TORVANE_NULL_ARGUMENT);
  torvane_options_free(nullptr);
}

struct RefusedCall {
  const char* label;
  const char* method;
  std::vector<torvane_value> args;
  int status;
  const char* error_part;
};

class CInterfaceRefuses : public ::testing::TestWithParam<RefusedCall> {};

TEST_P(CInterfaceRefuses, WithACodeAndAText) {
  const RefusedCall& c = GetParam();
  Handle handle;
  torvane_value result = torvane_text("stale");
  EXPECT_EQ(handle.Call(c.method, c.args, result), c.status) << torvane_last_error();
  EXPECT_EQ(result.type, TORVANE_EMPTY);
  EXPECT_THAT(torvane_last_error(), HasSubstr(c.error_part));
}

const torvane_value kBadUtf8 = {TORVANE_TEXT, 0, 0, "W1\xff\xfe", 4, nullptr};
const torvane_value kNullText = {TORVANE_TEXT, 0, 0, nullptr, 3, nullptr};
const torvane_value kNullItems = {TORVANE_ARRAY, 0, 0, nullptr, 2, nullptr};
const torvane_value kBadType = {99, 0, 0, nullptr, 0, nullptr};
const torvane_value kBigInt16 = {TORVANE_INT16, 40000, 0, nullptr, 0, nullptr};
const torvane_value kOneText[] = {torvane_text("K1ABC")};

INSTANTIATE_TEST_SUITE_P(
    BadInput, CInterfaceRefuses,
    ::testing::Values(
        RefusedCall{"NullName", nullptr, {}, TORVANE_NULL_ARGUMENT, "method name is NULL"},
        RefusedCall{"NonUtf8Name",
                    "Get\xc3\x28"
                    "Country",
                    {},
                    TORVANE_BAD_TEXT,
                    "not valid UTF-8"},
        RefusedCall{"UnknownMethod",
                    "GetNoSuchThing",
                    {},
                    TORVANE_UNKNOWN_METHOD,
                    "no method GetNoSuchThing"},
        RefusedCall{"TooFewArguments",
                    "GetCountry",
                    {},
                    TORVANE_ARGUMENT_COUNT,
                    "GetCountry takes 1 argument, got 0"},
        RefusedCall{"TooManyArguments",
                    "GetCountry",
                    {torvane_text("K1ABC"), torvane_text("extra")},
                    TORVANE_ARGUMENT_COUNT,
                    "got 2"},
        RefusedCall{"TextForAnInteger",
                    "GetCountryFromDXCC",
                    {torvane_text("abc")},
                    TORVANE_ARGUMENT_TYPE,
                    "argument 1 of GetCountryFromDXCC"},
        RefusedCall{"IntegerBeyondInt16",
                    "GetCountryFromDXCC",
                    {torvane_int32(70000)},
                    TORVANE_ARGUMENT_TYPE,
                    "16-bit"},
        RefusedCall{"FractionForAnInteger",
                    "GetCountryFromDXCC",
                    {torvane_double(1.5)},
                    TORVANE_ARGUMENT_TYPE,
                    "16-bit"},
        RefusedCall{"Int16ValueOutOfItsRange",
                    "GetCountryFromDXCC",
                    {kBigInt16},
                    TORVANE_ARGUMENT_TYPE,
                    "out of the 16-bit range"},
        RefusedCall{"TextForABoolean",
                    "SetDevel",
                    {torvane_text("maybe")},
                    TORVANE_ARGUMENT_TYPE,
                    "boolean"},
        RefusedCall{"ArrayForText",
                    "GetCountry",
                    {torvane_array(kOneText, 1)},
                    TORVANE_ARGUMENT_TYPE,
                    "expected text"},
        RefusedCall{"UnknownValueType",
                    "GetCountry",
                    {kBadType},
                    TORVANE_ARGUMENT_TYPE,
                    "unknown value type 99"},
        RefusedCall{"NonUtf8Argument",
                    "GetCountry",
                    {kBadUtf8},
                    TORVANE_BAD_TEXT,
                    "argument 1 of GetCountry: text is not valid UTF-8"},
        RefusedCall{"NullTextWithALength",
                    "GetCountry",
                    {kNullText},
                    TORVANE_NULL_ARGUMENT,
                    "NULL pointer"},
        RefusedCall{"NullArrayItems",
                    "SetHomeLatitude",
                    {kNullItems},
                    TORVANE_NULL_ARGUMENT,
                    "NULL item pointer"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(CInterface, AnArrayThatContainsItselfIsRefused) {
  Handle handle;
  torvane_value looped = torvane_empty();
  looped.type = TORVANE_ARRAY;
  looped.items = &looped;
  looped.length = 1;
  torvane_value result{};
  EXPECT_EQ(handle.Call("SetHomeLatitude", {looped}, result), TORVANE_ARGUMENT_TYPE);
  EXPECT_THAT(torvane_last_error(), HasSubstr("nested too deeply"));
}

TEST(CInterface, ANullArgumentListWithACountIsRefused) {
  Handle handle;
  torvane_value result{};
  EXPECT_EQ(torvane_call(handle.get(), "GetCountry", nullptr, 1, &result, nullptr),
            TORVANE_NULL_ARGUMENT);
  EXPECT_EQ(torvane_call(handle.get(), "GetVersion", nullptr, 0, nullptr, nullptr),
            TORVANE_NULL_ARGUMENT);
}

TEST(CInterface, MethodNamesInAnyLetterCaseAndTheListing) {
  Handle handle;
  torvane_value result{};
  ASSERT_EQ(handle.Call("getversion", {}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "4.10.0");

  const std::size_t count = torvane_method_count();
  EXPECT_EQ(count, torvane::api::MethodTable::Instance().methods().size());
  EXPECT_EQ(torvane_method_name(count), nullptr);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) names.emplace_back(torvane_method_name(i));
  EXPECT_THAT(names, ::testing::Contains("GetCountry"));
  EXPECT_THAT(names, ::testing::Contains("StopWeb"));
}

TEST(CInterface, EveryStatusHasAName) {
  EXPECT_STREQ(torvane_status_name(TORVANE_OK), "TORVANE_OK");
  EXPECT_STREQ(torvane_status_name(TORVANE_UNKNOWN_METHOD), "TORVANE_UNKNOWN_METHOD");
  EXPECT_STREQ(torvane_status_name(TORVANE_INTERNAL), "TORVANE_INTERNAL");
  EXPECT_STREQ(torvane_status_name(-1), "TORVANE_UNKNOWN_STATUS");
  EXPECT_STREQ(torvane_status_name(TORVANE_INTERNAL + 1), "TORVANE_UNKNOWN_STATUS");
}

struct BadOption {
  const char* label;
  const char* name;
  const char* value;
  int status;
};

class CInterfaceOptions : public ::testing::TestWithParam<BadOption> {};

TEST_P(CInterfaceOptions, AreRefusedWithACode) {
  torvane_options* options = nullptr;
  ASSERT_EQ(torvane_options_new(&options), TORVANE_OK);
  EXPECT_EQ(torvane_options_set(options, GetParam().name, GetParam().value), GetParam().status)
      << torvane_last_error();
  EXPECT_STRNE(torvane_last_error(), "");
  torvane_options_free(options);
}

INSTANTIATE_TEST_SUITE_P(
    Bad, CInterfaceOptions,
    ::testing::Values(
        BadOption{"UnknownName", "no_such_option", "x", TORVANE_UNKNOWN_OPTION},
        BadOption{"NamesMatchExactly", "Data_Folder", "/tmp", TORVANE_UNKNOWN_OPTION},
        BadOption{"NullName", nullptr, "x", TORVANE_NULL_ARGUMENT},
        BadOption{"NullValue", "data_folder", nullptr, TORVANE_NULL_ARGUMENT},
        BadOption{"NonUtf8Value", "data_folder", "/tmp/\xff", TORVANE_BAD_TEXT},
        BadOption{"TimeoutNotANumber", "http_request_timeout_ms", "soon", TORVANE_BAD_OPTION},
        BadOption{"NegativeTimeout", "http_request_timeout_ms", "-5", TORVANE_BAD_OPTION},
        BadOption{"TimeoutBeyondInt", "http_request_timeout_ms", "99999999999", TORVANE_BAD_OPTION},
        BadOption{"ClockOutOfRange", "clock", "2026-13-01T00:00:00", TORVANE_BAD_OPTION},
        BadOption{"DriveWithoutFolder", "drive", "E:", TORVANE_BAD_OPTION},
        BadOption{"DriveWithoutLetter", "drive", "=/media", TORVANE_BAD_OPTION},
        BadOption{"DriveNotALetter", "drive", "1:=/media", TORVANE_BAD_OPTION},
        BadOption{"DriveWithEmptyFolder", "drive", "E:=", TORVANE_BAD_OPTION}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(CInterface, OptionsReachTheService) {
  // The log folder set by name is where start-up writes its log.
  torvane::testing::TempFolder logs;
  Handle handle({{"log_folder", logs.path()}, {"drive", "e:=/media/cdrom"}});
  torvane_value result{};
  ASSERT_EQ(handle.Call("GetVersion", {}, result), TORVANE_OK);
  EXPECT_NE(torvane::testing::ReadFile(logs / "Torvanelog.txt"), "");
}

// A callback calls back into the library: the nested call answers, and neither the event's
// texts nor the outer call's result are disturbed by it.
struct Reentry {
  torvane_handle* handle = nullptr;
  int events = 0;
  int nested_status = -1;
  std::string nested_country;
  bool event_argument_kept = false;
  int destroy_status = -1;

  static void OnEvent(void* user_data, const char* /*event*/, const torvane_value* args,
                      std::size_t count) {
    auto& self = *static_cast<Reentry*>(user_data);
    if (self.events++ > 0) return;
    // A nested call that leaves the current call's data alone, so the outer answer is known.
    const torvane_value arg = torvane_int16(230);
    torvane_value result{};
    self.nested_status = torvane_call(self.handle, "GetCountryFromDXCC", &arg, 1, &result, nullptr);
    self.nested_country = Text(result);
    self.event_argument_kept = count == 1 && args[0].type == TORVANE_BOOL && args[0].integer == 1;
    self.destroy_status = torvane_destroy(self.handle);
  }
};

TEST(CInterface, CallbacksMayCallBackInButNotDestroy) {
  Handle handle;
  Reentry reentry;
  reentry.handle = handle.get();
  ASSERT_EQ(torvane_set_event_callback(handle.get(), &Reentry::OnEvent, &reentry), TORVANE_OK);
  torvane_value result{};
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "United States");
  EXPECT_EQ(reentry.nested_status, TORVANE_OK);
  EXPECT_EQ(reentry.nested_country, "Fed. Rep. of Germany");
  EXPECT_TRUE(reentry.event_argument_kept);
  EXPECT_EQ(reentry.destroy_status, TORVANE_BUSY);
  // The handle is still whole after the refused destroy.
  ASSERT_EQ(handle.Call("GetVersion", {}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "4.10.0");
}

TEST(CInterface, OnlyTheInterruptingCallsMayComeFromAnotherThread) {
  Handle handle;
  EventLog log;
  ASSERT_EQ(torvane_set_event_callback(handle.get(), &EventLog::Record, &log), TORVANE_OK);
  int version_status = -1;
  int stop_status = -1;
  int cancel_status = -1;
  int tick_status = -1;
  torvane_value stop_result{};
  std::thread other([&] {
    torvane_value result{};
    version_status = torvane_call(handle.get(), "GetVersion", nullptr, 0, &result, nullptr);
    stop_status = torvane_call(handle.get(), "StopWeb", nullptr, 0, &stop_result, nullptr);
    cancel_status = torvane_call(handle.get(), "cancellotwimport", nullptr, 0, &result, nullptr);
    tick_status = torvane_tick(handle.get());
  });
  other.join();
  EXPECT_EQ(version_status, TORVANE_WRONG_THREAD);
  EXPECT_EQ(stop_status, TORVANE_OK);
  EXPECT_EQ(stop_result.type, TORVANE_INT16);
  EXPECT_EQ(cancel_status, TORVANE_OK);
  EXPECT_EQ(tick_status, TORVANE_WRONG_THREAD);
  // StopWeb's event came on the thread that stopped.
  EXPECT_THAT(log.lines, ElementsAre("WebStatus Stopped"));
}

// The host's StopWeb, made from the yield callback while a slow reply streams in, ends that
// transfer; the service repeats the request, which completes.
TEST(CInterface, YieldCallbackCanStopTheTransferUnderWay) {
  // The stop is made at the first yield after the server has sent part of the body, so it
  // falls inside the transfer whatever the machine's load.
  std::atomic<bool> body_started{false};
  torvane::testing::TestServer server(torvane::testing::TestServer::Scheme::kHttps);
  server.Script("/programs/GetDXNewsForQL.php",
                {{.body = std::string(40, '.'),
                  .chunk_bytes = 1,
                  .chunk_pause = 50ms,
                  .on_piece = [&body_started](std::size_t) { body_started = true; }},
                 {.body = "DX news: 3Y0J QRV"}});
  TempDataFolder ca_folder;
  Handle handle({{"service_host", server.HostPort()},
                 {"ca_bundle", torvane::testing::WriteTestCa(ca_folder.path())},
                 {"http_request_timeout_ms", "5000"}});
  struct Yielder {
    torvane_handle* handle = nullptr;
    const std::atomic<bool>* body_started = nullptr;
    bool stopped = false;
    int stop_status = -1;
    static void OnYield(void* user_data) {
      auto& self = *static_cast<Yielder*>(user_data);
      if (self.stopped || !*self.body_started) return;
      self.stopped = true;
      torvane_value result{};
      self.stop_status = torvane_call(self.handle, "StopWeb", nullptr, 0, &result, nullptr);
    }
  } yielder;
  yielder.handle = handle.get();
  yielder.body_started = &body_started;
  EventLog log;
  ASSERT_EQ(torvane_set_yield_callback(handle.get(), &Yielder::OnYield, &yielder), TORVANE_OK);
  ASSERT_EQ(torvane_set_event_callback(handle.get(), &EventLog::Record, &log), TORVANE_OK);
  torvane_value result{};
  ASSERT_EQ(handle.Call("GetDXNews", {}, result), TORVANE_OK);
  EXPECT_EQ(Text(result), "DX news: 3Y0J QRV");
  EXPECT_EQ(yielder.stop_status, TORVANE_OK);
  EXPECT_THAT(log.lines, ::testing::Contains("WebStatus Stopped"));
}

TEST(CInterface, TickRunsTheTimerAndMayRaiseBeaconChange) {
  Handle handle;
  EventLog log;
  ASSERT_EQ(torvane_set_event_callback(handle.get(), &EventLog::Record, &log), TORVANE_OK);
  EXPECT_EQ(torvane_tick(handle.get()), TORVANE_OK);
  for (const std::string& line : log.lines)
    EXPECT_THAT(line, ::testing::StartsWith("BeaconChange"));
}

}  // namespace
