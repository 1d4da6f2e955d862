/* A C11 program built against an installed libtorvane with pkg-config only. */
#include <stdio.h>
#include <string.h>
#include <torvane/torvane.h>

static int failures = 0;
static int call_data_ok = 0;

static void Expect(int condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "FAILED: %s (last error: %s)\n", what, torvane_last_error());
    ++failures;
  }
}

static int TextIs(const torvane_value* value, const char* expected) {
  return value->type == TORVANE_TEXT && value->length == strlen(expected) &&
         memcmp(value->text, expected, value->length) == 0;
}

static void OnEvent(void* user_data, const char* event, const torvane_value* args, size_t count) {
  (void)user_data;
  if (strcmp(event, "CallDataOK") == 0 && count == 1 && args[0].type == TORVANE_BOOL &&
      args[0].integer == 1) {
    ++call_data_ok;
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s DATA_FOLDER\n", argv[0]);
    return 2;
  }
  torvane_options* options = NULL;
  torvane_handle* tv = NULL;
  Expect(torvane_options_new(&options) == TORVANE_OK, "options");
  Expect(torvane_options_set(options, "data_folder", argv[1]) == TORVANE_OK, "data folder");
  Expect(torvane_create(options, &tv) == TORVANE_OK, "create");
  torvane_options_free(options);
  Expect(torvane_set_event_callback(tv, OnEvent, NULL) == TORVANE_OK, "event callback");

  torvane_value call = torvane_text("W1AW");
  torvane_value result;
  Expect(torvane_call(tv, "GetQuickCountry", &call, 1, &result, NULL) == TORVANE_OK &&
             TextIs(&result, "United States"),
         "quick getter GetQuickCountry W1AW");
  call_data_ok = 0;
  Expect(torvane_call(tv, "GetPrefixCountry", &call, 1, &result, NULL) == TORVANE_OK &&
             TextIs(&result, "United States"),
         "full getter GetPrefixCountry W1AW");
  Expect(call_data_ok >= 1, "CallDataOK through the callback");

  torvane_value latitude = torvane_text("41.71");
  Expect(torvane_call(tv, "SetHomeLatitude", &latitude, 1, &result, NULL) == TORVANE_OK &&
             result.type == TORVANE_INT16 && result.integer == 0,
         "setter SetHomeLatitude answers 0");
  torvane_value source = torvane_text("no such source");
  Expect(torvane_call(tv, "SetCDSource", &source, 1, &result, NULL) == TORVANE_OK &&
             result.type == TORVANE_INT16 && result.integer == 1,
         "setter SetCDSource answers 1 for a source it does not know");

  Expect(torvane_call(tv, "GetNoSuchThing", &call, 1, &result, NULL) == TORVANE_UNKNOWN_METHOD &&
             strstr(torvane_last_error(), "GetNoSuchThing") != NULL,
         "unknown method");
  torvane_value not_a_number = torvane_text("abc");
  Expect(torvane_call(tv, "GetCountryFromDXCC", &not_a_number, 1, &result, NULL) ==
                 TORVANE_ARGUMENT_TYPE &&
             strstr(torvane_last_error(), "16-bit integer") != NULL,
         "wrong argument type");
  Expect(torvane_call(NULL, "GetVersion", NULL, 0, &result, NULL) == TORVANE_NULL_HANDLE,
         "null handle");

  Expect(torvane_destroy(tv) == TORVANE_OK, "destroy");
  if (failures == 0) printf("C consumer: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
