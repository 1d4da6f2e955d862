#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "api/method_table.h"
#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "torvane/torvane.h"

namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::TempDataFolder;

// A value with its kind: "int16:0", "double:0.5", "\"FN31\"", "true", "empty", "[int16:-7, empty]".
std::string Show(const torvane_value& value) {
  std::ostringstream out;
  switch (value.type) {
    case TORVANE_EMPTY:
      return "empty";
    case TORVANE_BOOL:
      return value.integer == 1 ? "true" : value.integer == 0 ? "false" : "bool:not 0 or 1";
    case TORVANE_INT16:
      return "int16:" + std::to_string(value.integer);
    case TORVANE_INT32:
      return "int32:" + std::to_string(value.integer);
    case TORVANE_DOUBLE:
      out << "double:" << value.number;
      return out.str();
    case TORVANE_TEXT:  // an output text ends in a NUL after its length
      if (value.text[value.length] != '\0') return "<text without a NUL>";
      return '"' + std::string(value.text, value.length) + '"';
    case TORVANE_ARRAY:
      for (std::size_t i = 0; i < value.length; ++i)
        out << (i > 0 ? ", " : "") << Show(value.items[i]);
      return '[' + out.str() + ']';
  }
  return "type:" + std::to_string(value.type);
}

std::string EventLine(const char* event, const torvane_value* args, std::size_t count) {
  std::string line = event;
  for (std::size_t i = 0; i < count; ++i) line += ' ' + Show(args[i]);
  return line;
}

// Owns a C handle for a test, on a data folder with the sample prefixes and a fixed clock, and
// records its events as lines, "CallDataOK true".
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
    EXPECT_EQ(torvane_set_event_callback(handle_, &Handle::Event, this), TORVANE_OK);
    EXPECT_EQ(torvane_set_yield_callback(handle_, &Handle::Yield, this), TORVANE_OK);
  }
  // A test's callbacks may refer to locals declared after the handle, gone by now.
  ~Handle() {
    on_event = nullptr;
    on_yield = nullptr;
    torvane_destroy(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  torvane_handle* get() const { return handle_; }

  int Call(const char* name, const std::vector<torvane_value>& args, torvane_value& result) {
    return torvane_call(handle_, name, args.empty() ? nullptr : args.data(), args.size(), &result,
                        nullptr);
  }

  std::vector<std::string> events;
  std::function<void(const char*, const torvane_value*, std::size_t)> on_event;
  std::function<void()> on_yield;

 private:
  static void Event(void* self, const char* event, const torvane_value* args, std::size_t count) {
    auto& handle = *static_cast<Handle*>(self);
    handle.events.push_back(EventLine(event, args, count));
    if (handle.on_event) handle.on_event(event, args, count);
  }
  static void Yield(void* self) {
    if (static_cast<Handle*>(self)->on_yield) static_cast<Handle*>(self)->on_yield();
  }

  TempDataFolder folder_;
  torvane_handle* handle_ = nullptr;
};

// Each kind of result; an integer given as text or as a whole double is converted, as the shell
// converts it; method names match in any letter case.
TEST(CInterface, AnswersEachKindOfResult) {
  struct Row {
    const char* method;
    std::vector<torvane_value> args;
    const char* shown;
  };
  const Row rows[] = {
      {"GetVersion", {}, "\"4.10.0\""},
      {"getversion", {}, "\"4.10.0\""},
      {"GetQuickCountry", {torvane_text("K1ABC")}, "\"United States\""},
      {"SetHomeLatitude", {torvane_text("45.5")}, "int16:0"},
      {"SetSpecialCall", {torvane_text("K1ABC")}, "false"},
      {"GetCountryFromDXCC", {torvane_int16(230)}, "\"Fed. Rep. of Germany\""},
      {"GetCountryFromDXCC", {torvane_text("110")}, "\"Hawaii\""},
      {"GetCountryFromDXCC", {torvane_double(291.0)}, "\"United States\""},
  };
  Handle handle;
  for (const Row& row : rows) {
    torvane_value result{};
    ASSERT_EQ(handle.Call(row.method, row.args, result), TORVANE_OK) << torvane_last_error();
    EXPECT_EQ(Show(result), row.shown) << row.method;
  }
}

// A method that writes into an argument hands it back after the call; other arguments, nested
// arrays included, come back as given, in copies that belong to the library.
TEST(CInterface, ArgumentsComeBackAfterTheCall) {
  Handle handle;
  const torvane_value bearing[] = {torvane_double(40), torvane_double(-75), torvane_double(51.5),
                                   torvane_double(-10)};
  torvane_value after[4]{};
  torvane_value result{};
  ASSERT_EQ(torvane_call(handle.get(), "GetBearingFromLatLon", bearing, 4, &result, after),
            TORVANE_OK);
  EXPECT_EQ(result.type, TORVANE_DOUBLE);
  EXPECT_EQ(Show(torvane_array(after, 4)), "[double:40, double:-75, double:51.5, double:350]");

  const torvane_value inner[] = {torvane_bool(1), torvane_empty()};
  const torvane_value items[] = {torvane_int16(-7), torvane_text("FN31"), torvane_array(inner, 2),
                                 torvane_double(0.5)};
  const torvane_value arg = torvane_array(items, 4);
  ASSERT_EQ(torvane_call(handle.get(), "SetHomeLatitude", &arg, 1, &result, after), TORVANE_OK);
  EXPECT_EQ(Show(after[0]), "[int16:-7, \"FN31\", [true, empty], double:0.5]");
  EXPECT_NE(after[0].items, items);
}

TEST(CInterface, FullGetterRaisesCallDataOKThroughTheCallback) {
  Handle handle;
  torvane_value result{};
  // A new call reports twice (its deciding prefix, then the lookup), a cached one once.
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(Show(result), "\"United States\"");
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_THAT(handle.events, ElementsAre("CallDataOK true", "CallDataOK true", "CallDataOK true"));

  ASSERT_EQ(torvane_set_event_callback(handle.get(), nullptr, nullptr), TORVANE_OK);
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("DL1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(handle.events.size(), 3u);
}

TEST(CInterface, NullPointersAreRefusedByEveryEntryPoint) {
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

  Handle handle;
  EXPECT_EQ(torvane_call(handle.get(), "GetCountry", nullptr, 1, &result, nullptr),
            TORVANE_NULL_ARGUMENT);
  EXPECT_EQ(torvane_call(handle.get(), "GetVersion", nullptr, 0, nullptr, nullptr),
            TORVANE_NULL_ARGUMENT);
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
const torvane_value kContainsItself = {TORVANE_ARRAY, 0, 0, nullptr, 1, &kContainsItself};

// clang-format off
const RefusedCall kRefusedCalls[] = {
    {"NullName", nullptr, {}, TORVANE_NULL_ARGUMENT, "method name is NULL"},
    {"NonUtf8Name", "Get\xc3\x28" "Country", {}, TORVANE_BAD_TEXT, "not valid UTF-8"},
    {"UnknownMethod", "GetNoSuchThing", {}, TORVANE_UNKNOWN_METHOD, "no method GetNoSuchThing"},
    {"TooFewArguments", "GetCountry", {}, TORVANE_ARGUMENT_COUNT,
     "GetCountry takes 1 argument, got 0"},
    {"TooManyArguments", "GetCountry", {torvane_text("K1ABC"), torvane_text("extra")},
     TORVANE_ARGUMENT_COUNT, "got 2"},
    {"TextForAnInteger", "GetCountryFromDXCC", {torvane_text("abc")}, TORVANE_ARGUMENT_TYPE,
     "argument 1 of GetCountryFromDXCC"},
    {"IntegerBeyondInt16", "GetCountryFromDXCC", {torvane_int32(70000)}, TORVANE_ARGUMENT_TYPE,
     "16-bit"},
    {"FractionForAnInteger", "GetCountryFromDXCC", {torvane_double(1.5)}, TORVANE_ARGUMENT_TYPE,
     "16-bit"},
    {"Int16ValueOutOfItsRange", "GetCountryFromDXCC", {kBigInt16}, TORVANE_ARGUMENT_TYPE,
     "out of the 16-bit range"},
    {"TextForABoolean", "SetDevel", {torvane_text("maybe")}, TORVANE_ARGUMENT_TYPE, "boolean"},
    {"ArrayForText", "GetCountry", {torvane_array(kOneText, 1)}, TORVANE_ARGUMENT_TYPE,
     "expected text"},
    {"UnknownValueType", "GetCountry", {kBadType}, TORVANE_ARGUMENT_TYPE, "unknown value type 99"},
    {"NonUtf8Argument", "GetCountry", {kBadUtf8}, TORVANE_BAD_TEXT,
     "argument 1 of GetCountry: text is not valid UTF-8"},
    {"NullTextWithALength", "GetCountry", {kNullText}, TORVANE_NULL_ARGUMENT, "NULL pointer"},
    {"NullArrayItems", "SetHomeLatitude", {kNullItems}, TORVANE_NULL_ARGUMENT, "NULL item pointer"},
    {"ArrayThatContainsItself", "SetHomeLatitude", {kContainsItself}, TORVANE_ARGUMENT_TYPE,
     "nested too deeply"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(BadInput, CInterfaceRefuses, ::testing::ValuesIn(kRefusedCalls),
                         [](const auto& row) { return std::string(row.param.label); });

TEST(CInterface, ListsItsMethodsAndNamesItsStatuses) {
  const std::size_t count = torvane_method_count();
  EXPECT_EQ(count, torvane::api::MethodTable::Instance().methods().size());
  EXPECT_EQ(torvane_method_name(count), nullptr);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) names.emplace_back(torvane_method_name(i));
  EXPECT_THAT(names, ::testing::IsSupersetOf({"GetCountry", "StopWeb"}));

  EXPECT_STREQ(torvane_status_name(TORVANE_OK), "TORVANE_OK");
  EXPECT_STREQ(torvane_status_name(TORVANE_UNKNOWN_METHOD), "TORVANE_UNKNOWN_METHOD");
  EXPECT_STREQ(torvane_status_name(TORVANE_INTERNAL), "TORVANE_INTERNAL");
  EXPECT_STREQ(torvane_status_name(-1), "TORVANE_UNKNOWN_STATUS");
  EXPECT_STREQ(torvane_status_name(TORVANE_INTERNAL + 1), "TORVANE_UNKNOWN_STATUS");
}

// Options are checked as they are set; those accepted reach the service (the log folder is
// where start-up writes its log).
TEST(CInterface, OptionsAreCheckedAndReachTheService) {
  struct Row {
    const char* name;
    const char* value;
    int status;
    const char* error_part;
  };
  // clang-format off
  const Row bad[] = {
      {"no_such_option", "x", TORVANE_UNKNOWN_OPTION, "no option no_such_option"},
      {"Data_Folder", "/tmp", TORVANE_UNKNOWN_OPTION, "no option Data_Folder"},  // exact names
      {nullptr, "x", TORVANE_NULL_ARGUMENT, "option name is NULL"},
      {"data_folder", nullptr, TORVANE_NULL_ARGUMENT, "option value is NULL"},
      {"data_folder", "/tmp/\xff", TORVANE_BAD_TEXT, "option value is not valid UTF-8"},
      {"http_request_timeout_ms", "soon", TORVANE_BAD_OPTION, "\"soon\" is not a whole number"},
      {"http_request_timeout_ms", "-5", TORVANE_BAD_OPTION, "\"-5\" is not a whole number"},
      {"http_request_timeout_ms", "99999999999", TORVANE_BAD_OPTION, "\"99999999999\" is not"},
      {"clock", "2026-13-01T00:00:00", TORVANE_BAD_OPTION, "clock \"2026-13-01T00:00:00\""},
      {"drive", "E:", TORVANE_BAD_OPTION, "drive \"E:\" is not"},
      {"drive", "=/media", TORVANE_BAD_OPTION, "drive \"=/media\" is not"},
      {"drive", "1:=/media", TORVANE_BAD_OPTION, "drive \"1:=/media\" is not"},
      {"drive", "E:=", TORVANE_BAD_OPTION, "drive \"E:=\" is not"},
  };
  // clang-format on
  torvane_options* options = nullptr;
  ASSERT_EQ(torvane_options_new(&options), TORVANE_OK);
  for (const Row& row : bad) {
    EXPECT_EQ(torvane_options_set(options, row.name, row.value), row.status) << row.error_part;
    EXPECT_THAT(torvane_last_error(), HasSubstr(row.error_part));
  }
  torvane_options_free(options);

  torvane::testing::TempFolder logs;
  Handle handle({{"log_folder", logs.path()}, {"drive", "e:=/media/cdrom"}});
  torvane_value result{};
  ASSERT_EQ(handle.Call("GetVersion", {}, result), TORVANE_OK);
  EXPECT_NE(torvane::testing::ReadFile(logs / "Torvanelog.txt"), "");
}

// A callback calls back into the library: the nested call answers, and neither the event's
// arguments nor the outer call's result are disturbed by it.
TEST(CInterface, CallbacksMayCallBackInButNotDestroy) {
  Handle handle;
  std::vector<std::string> seen;  // nested status and answer, event after it, destroy status
  handle.on_event = [&](const char* event, const torvane_value* args, std::size_t count) {
    if (!seen.empty()) return;
    // A nested call that leaves the current call's data alone, so the outer answer is known.
    torvane_value result{};
    const int status = handle.Call("GetCountryFromDXCC", {torvane_int16(230)}, result);
    seen = {torvane_status_name(status), Show(result), EventLine(event, args, count),
            torvane_status_name(torvane_destroy(handle.get()))};
  };
  torvane_value result{};
  ASSERT_EQ(handle.Call("GetPrefixCountry", {torvane_text("K1ABC")}, result), TORVANE_OK);
  EXPECT_EQ(Show(result), "\"United States\"");
  EXPECT_THAT(seen, ElementsAre("TORVANE_OK", "\"Fed. Rep. of Germany\"", "CallDataOK true",
                                "TORVANE_BUSY"));
  // The handle is still whole after the refused destroy.
  ASSERT_EQ(handle.Call("GetVersion", {}, result), TORVANE_OK);
  EXPECT_EQ(Show(result), "\"4.10.0\"");
}

TEST(CInterface, OnlyTheInterruptingCallsMayComeFromAnotherThread) {
  Handle handle;
  std::vector<int> statuses;
  torvane_value stop_result{};
  std::thread([&] {
    torvane_value result{};
    statuses = {handle.Call("GetVersion", {}, result), handle.Call("StopWeb", {}, stop_result),
                handle.Call("cancellotwimport", {}, result), torvane_tick(handle.get())};
  }).join();
  EXPECT_THAT(statuses,
              ElementsAre(TORVANE_WRONG_THREAD, TORVANE_OK, TORVANE_OK, TORVANE_WRONG_THREAD));
  EXPECT_EQ(Show(stop_result), "int16:0");
  // StopWeb's event came on the thread that stopped.
  EXPECT_THAT(handle.events, ElementsAre("WebStatus \"Stopped\""));
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
  bool stopped = false;
  int stop_status = -1;
  handle.on_yield = [&] {
    if (stopped || !body_started) return;
    stopped = true;
    torvane_value result{};
    stop_status = torvane_call(handle.get(), "StopWeb", nullptr, 0, &result, nullptr);
  };
  torvane_value result{};
  ASSERT_EQ(handle.Call("GetDXNews", {}, result), TORVANE_OK);
  EXPECT_EQ(Show(result), "\"DX news: 3Y0J QRV\"");
  EXPECT_EQ(stop_status, TORVANE_OK);
  EXPECT_THAT(handle.events, Contains("WebStatus \"Stopped\""));
}

TEST(CInterface, TickRunsTheTimerAndMayRaiseBeaconChange) {
  Handle handle;
  EXPECT_EQ(torvane_tick(handle.get()), TORVANE_OK);
  EXPECT_THAT(handle.events, ::testing::Each(::testing::StartsWith("BeaconChange")));
}

}  // namespace
