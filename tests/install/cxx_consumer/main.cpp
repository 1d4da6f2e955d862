// Both ways in from C++: the class, and the C interface for calls by name.
#include <torvane/torvane.h>
#include <torvane/torvane_control.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int failures = 0;

void Expect(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

class Events : public torvane::EventSink {
 public:
  void CallDataOK(bool status) override { call_data_ok += status ? 1 : 0; }
  int call_data_ok = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  torvane::Options options;
  options.data_folder = argv[1];
  Events events;
  {
    torvane::TorvaneControl tv(options, &events);
    Expect(tv.GetQuickCountry("W1AW") == "United States", "quick getter");
    events.call_data_ok = 0;
    Expect(tv.GetPrefixCountry("W1AW") == "United States", "full getter");
    Expect(events.call_data_ok >= 1, "CallDataOK");
    Expect(tv.SetHomeLatitude(torvane::Variant("41.71")) == 0, "setter accepts");
    Expect(tv.SetCDSource("no such source") == 1, "setter rejects");
  }

  torvane_options* c_options = nullptr;
  torvane_handle* handle = nullptr;
  torvane_options_new(&c_options);
  torvane_options_set(c_options, "data_folder", argv[1]);
  Expect(torvane_create(c_options, &handle) == TORVANE_OK, "C handle");
  torvane_options_free(c_options);
  torvane_value result{};
  Expect(torvane_call(handle, "GetNoSuchThing", nullptr, 0, &result, nullptr) ==
             TORVANE_UNKNOWN_METHOD,
         "unknown method");
  const torvane_value word = torvane_text("abc");
  Expect(torvane_call(handle, "GetCountryFromDXCC", &word, 1, &result, nullptr) ==
                 TORVANE_ARGUMENT_TYPE &&
             std::strstr(torvane_last_error(), "16-bit integer") != nullptr,
         "wrong argument type");
  torvane_destroy(handle);

  if (failures == 0) std::printf("C++ consumer: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
