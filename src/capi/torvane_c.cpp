// The C interface: a handle around TorvaneControl that calls methods by name through the
// method table. Every entry point catches everything; only status codes leave this file.

#include <fmt/format.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "api/method_table.h"
#include "core/clock.h"
#include "core/code_page.h"
#include "core/text.h"
#include "torvane/torvane.h"
#include "torvane/torvane_control.h"

struct torvane_options {
  torvane::Options options;
};

namespace torvane::capi {

namespace {

thread_local std::string last_error;

int Fail(int status, std::string text) {
  last_error = std::move(text);
  return status;
}

// Runs an entry point's body; an escaping exception becomes a status code.
template <typename Body>
int Shielded(Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    return Fail(TORVANE_OUT_OF_MEMORY, "out of memory");
  } catch (const std::exception& error) {
    try {
      return Fail(TORVANE_INTERNAL, std::string("internal failure: ") + error.what());
    } catch (...) {
      return TORVANE_INTERNAL;
    }
  } catch (...) {
    return TORVANE_INTERNAL;
  }
}

torvane_value EmptyValue() {
  torvane_value value{};
  value.type = TORVANE_EMPTY;
  return value;
}

// The storage behind values handed out: texts and item arrays, kept at stable addresses.
class ValueStore {
 public:
  void Clear() {
    texts_.clear();
    arrays_.clear();
  }

  torvane_value Export(const Variant& value) {
    torvane_value out = EmptyValue();
    switch (value.type()) {
      case Variant::Type::kEmpty:
        break;
      case Variant::Type::kBool:
        out.type = TORVANE_BOOL;
        out.integer = *value.AsBool() ? 1 : 0;
        break;
      case Variant::Type::kInt16:
        out.type = TORVANE_INT16;
        out.integer = *value.AsInteger();
        break;
      case Variant::Type::kInt32:
        out.type = TORVANE_INT32;
        out.integer = *value.AsInteger();
        break;
      case Variant::Type::kDouble:
        out.type = TORVANE_DOUBLE;
        out.number = *value.AsDouble();
        break;
      case Variant::Type::kString: {
        const std::string& text = texts_.emplace_back(*value.AsText());
        out.type = TORVANE_TEXT;
        out.text = text.c_str();
        out.length = text.size();
        break;
      }
      case Variant::Type::kArray: {
        const std::vector<Variant>& items = *value.AsArray();
        std::vector<torvane_value>& exported = arrays_.emplace_back();
        exported.reserve(items.size());
        for (const Variant& item : items) exported.push_back(Export(item));
        out.type = TORVANE_ARRAY;
        out.items = exported.data();
        out.length = exported.size();
        break;
      }
    }
    return out;
  }

 private:
  // Deques: growing them never moves what earlier values point into.
  std::deque<std::string> texts_;
  std::deque<std::vector<torvane_value>> arrays_;
};

// Arrays may nest. A host's array whose items point back at itself would recurse without end,
// so the depth is bounded.
constexpr int kMaxArrayDepth = 64;

int Import(const torvane_value& value, int depth, Variant& out, std::string& error) {
  switch (value.type) {
    case TORVANE_EMPTY:
      out = Variant();
      return TORVANE_OK;
    case TORVANE_BOOL:
      out = Variant(value.integer != 0);
      return TORVANE_OK;
    case TORVANE_INT16:
      if (value.integer < INT16_MIN || value.integer > INT16_MAX) {
        error = fmt::format("{} is out of the 16-bit range", value.integer);
        return TORVANE_ARGUMENT_TYPE;
      }
      out = Variant(static_cast<std::int16_t>(value.integer));
      return TORVANE_OK;
    case TORVANE_INT32:
      out = Variant(static_cast<std::int32_t>(value.integer));
      return TORVANE_OK;
    case TORVANE_DOUBLE:
      out = Variant(value.number);
      return TORVANE_OK;
    case TORVANE_TEXT: {
      if (value.text == nullptr && value.length != 0) {
        error = "text with a NULL pointer";
        return TORVANE_NULL_ARGUMENT;
      }
      const std::string_view text =
          value.text == nullptr ? std::string_view() : std::string_view(value.text, value.length);
      if (!code_page::IsValidUtf8(text)) {
        error = "text is not valid UTF-8";
        return TORVANE_BAD_TEXT;
      }
      out = Variant(text);
      return TORVANE_OK;
    }
    case TORVANE_ARRAY: {
      if (depth >= kMaxArrayDepth) {
        error = "arrays nested too deeply";
        return TORVANE_ARGUMENT_TYPE;
      }
      if (value.items == nullptr && value.length != 0) {
        error = "array with a NULL item pointer";
        return TORVANE_NULL_ARGUMENT;
      }
      std::vector<Variant> items(value.length);
      for (std::size_t i = 0; i < value.length; ++i) {
        if (int status = Import(value.items[i], depth + 1, items[i], error); status != TORVANE_OK) {
          error = fmt::format("item {}: {}", i + 1, error);
          return status;
        }
      }
      out = Variant(std::move(items));
      return TORVANE_OK;
    }
    default:
      error = fmt::format("unknown value type {}", value.type);
      return TORVANE_ARGUMENT_TYPE;
  }
}

// Forwards events and yields to the host's C callbacks. A callback that unwinds (a C++ host's
// exception) is stopped here: the service would swallow it anyway, and the host gets no
// other report of it.
class CallbackBridge : public EventSink, public HostLoop {
 public:
  void SetEvents(torvane_event_callback callback, void* user_data) {
    event_callback_ = callback;
    event_user_data_ = user_data;
  }
  void SetYield(torvane_yield_callback callback, void* user_data) {
    yield_callback_ = callback;
    yield_user_data_ = user_data;
  }

  void CallDataOK(bool status) override { Raise("CallDataOK", {Variant(status)}); }
  void WebStatus(const std::string& status) override { Raise("WebStatus", {Variant(status)}); }
  void InetText(const std::string& status) override { Raise("InetText", {Variant(status)}); }
  void BeaconChange(const std::string& slot, const std::string& callsign, const std::string& entity,
                    const std::string& location, const std::string& latitude,
                    const std::string& longitude) override {
    Raise("BeaconChange", {Variant(slot), Variant(callsign), Variant(entity), Variant(location),
                           Variant(latitude), Variant(longitude)});
  }
  void eQSLStatus(const std::string& status) override { Raise("eQSLStatus", {Variant(status)}); }
  void LoTWDownloadStatus(std::int32_t percent) override {
    Raise("LoTWDownloadStatus", {Variant(percent)});
  }

  void Yield() override {
    if (yield_callback_ == nullptr) return;
    try {
      yield_callback_(yield_user_data_);
    } catch (...) {
    }
  }

 private:
  void Raise(const char* name, const std::vector<Variant>& args) {
    if (event_callback_ == nullptr) return;
    try {
      // Each event has its own store, so a call from inside the callback cannot overwrite
      // the texts the callback is reading.
      ValueStore store;
      std::vector<torvane_value> exported;
      exported.reserve(args.size());
      for (const Variant& arg : args) exported.push_back(store.Export(arg));
      event_callback_(event_user_data_, name, exported.data(), exported.size());
    } catch (...) {
    }
  }

  torvane_event_callback event_callback_ = nullptr;
  void* event_user_data_ = nullptr;
  torvane_yield_callback yield_callback_ = nullptr;
  void* yield_user_data_ = nullptr;
};

bool CallableFromAnyThread(const api::Method& method) {
  return method.name == "StopWeb" || method.name == "CancelLoTWImport";
}

}  // namespace

}  // namespace torvane::capi

struct torvane_handle {
  explicit torvane_handle(torvane::Options options)
      : control(std::move(options), &bridge, &bridge) {}

  const std::thread::id owner = std::this_thread::get_id();
  // Declared before the control, which holds pointers to it.
  torvane::capi::CallbackBridge bridge;
  torvane::TorvaneControl control;
  // The values handed out by calls, one store per callback depth.
  std::vector<std::unique_ptr<torvane::capi::ValueStore>> stores;
  int depth = 0;
};

namespace torvane::capi {

namespace {

int CheckHandle(const torvane_handle* handle) {
  if (handle == nullptr) return Fail(TORVANE_NULL_HANDLE, "the handle is NULL");
  if (handle->owner != std::this_thread::get_id()) {
    return Fail(TORVANE_WRONG_THREAD, "the handle belongs to another thread");
  }
  return TORVANE_OK;
}

int CheckName(const char* name, const char* what) {
  if (name == nullptr) return Fail(TORVANE_NULL_ARGUMENT, fmt::format("the {} is NULL", what));
  if (!code_page::IsValidUtf8(name)) {
    return Fail(TORVANE_BAD_TEXT, fmt::format("the {} is not valid UTF-8", what));
  }
  return TORVANE_OK;
}

class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

int Call(torvane_handle* handle, const char* name, const torvane_value* args, std::size_t arg_count,
         torvane_value* result, torvane_value* args_after) {
  if (result != nullptr) *result = EmptyValue();
  if (handle == nullptr) return Fail(TORVANE_NULL_HANDLE, "the handle is NULL");
  if (int status = CheckName(name, "method name"); status != TORVANE_OK) return status;
  if (result == nullptr) return Fail(TORVANE_NULL_ARGUMENT, "the result pointer is NULL");
  if (args == nullptr && arg_count != 0) {
    return Fail(TORVANE_NULL_ARGUMENT, "the argument pointer is NULL");
  }
  const api::Method* method = api::MethodTable::Instance().Find(name);
  if (method == nullptr) return Fail(TORVANE_UNKNOWN_METHOD, fmt::format("no method {}", name));

  const bool own_thread = handle->owner == std::this_thread::get_id();
  if (!own_thread && !CallableFromAnyThread(*method)) {
    return Fail(TORVANE_WRONG_THREAD,
                fmt::format("{} must be called on the handle's own thread", method->name));
  }

  std::vector<Variant> values(arg_count);
  for (std::size_t i = 0; i < arg_count; ++i) {
    std::string error;
    if (int status = Import(args[i], 0, values[i], error); status != TORVANE_OK) {
      return Fail(status, fmt::format("argument {} of {}: {}", i + 1, method->name, error));
    }
  }
  const std::size_t given = values.size();
  if (given < method->required || given > method->parameters.size()) {
    const std::string expected =
        method->required == method->parameters.size()
            ? std::to_string(method->required)
            : fmt::format("{} to {}", method->required, method->parameters.size());
    return Fail(TORVANE_ARGUMENT_COUNT,
                fmt::format("{} takes {} argument{}, got {}", method->name, expected,
                            method->parameters.size() == 1 ? "" : "s", given));
  }

  if (!own_thread) {
    // StopWeb and CancelLoTWImport answer numbers and take no arguments, so nothing here
    // touches the owner's stores.
    Result<Variant> answer = api::CallMethod(handle->control, *method, values);
    if (!answer) return Fail(TORVANE_ARGUMENT_TYPE, answer.error().description);
    ValueStore scratch;
    *result = scratch.Export(*answer);
    if (result->type == TORVANE_TEXT || result->type == TORVANE_ARRAY) *result = EmptyValue();
    return TORVANE_OK;
  }

  Result<Variant> answer = [&] {
    DepthGuard nested(handle->depth);
    return api::CallMethod(handle->control, *method, values);
  }();
  if (!answer) return Fail(TORVANE_ARGUMENT_TYPE, answer.error().description);

  const auto level = static_cast<std::size_t>(handle->depth);
  while (handle->stores.size() <= level) {
    handle->stores.push_back(std::make_unique<ValueStore>());
  }
  ValueStore& store = *handle->stores[level];
  store.Clear();
  *result = store.Export(*answer);
  if (args_after != nullptr) {
    for (std::size_t i = 0; i < given; ++i) args_after[i] = store.Export(values[i]);
  }
  return TORVANE_OK;
}

const char* const kStatusNames[] = {"TORVANE_OK",
                                    "TORVANE_NULL_HANDLE",
                                    "TORVANE_NULL_ARGUMENT",
                                    "TORVANE_BAD_TEXT",
                                    "TORVANE_UNKNOWN_METHOD",
                                    "TORVANE_ARGUMENT_COUNT",
                                    "TORVANE_ARGUMENT_TYPE",
                                    "TORVANE_UNKNOWN_OPTION",
                                    "TORVANE_BAD_OPTION",
                                    "TORVANE_WRONG_THREAD",
                                    "TORVANE_BUSY",
                                    "TORVANE_OUT_OF_MEMORY",
                                    "TORVANE_INTERNAL"};

int ParseMilliseconds(const char* value, int& out) {
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(value, &end, 10);
  if (end == value || *end != '\0' || errno != 0 || number < 0 || number > INT32_MAX) {
    return Fail(TORVANE_BAD_OPTION,
                fmt::format("\"{}\" is not a whole number of milliseconds", value));
  }
  out = static_cast<int>(number);
  return TORVANE_OK;
}

int SetOption(Options& options, std::string_view name, const char* value) {
  struct TextOption {
    std::string_view name;
    std::string Options::*member;
  };
  static constexpr TextOption kTextOptions[] = {
      {"data_folder", &Options::data_folder},
      {"log_folder", &Options::log_folder},
      {"documents_folder", &Options::documents_folder},
      {"install_folder", &Options::install_folder},
      {"service_host", &Options::service_host},
      {"qrz_host", &Options::qrz_host},
      {"qrz_files_host", &Options::qrz_files_host},
      {"eqsl_host", &Options::eqsl_host},
      {"lotw_host", &Options::lotw_host},
      {"clublog_host", &Options::clublog_host},
      {"weather_iwin_host", &Options::weather_iwin_host},
      {"weather_xml_host", &Options::weather_xml_host},
      {"weather_noaa_host", &Options::weather_noaa_host},
      {"weather_wech_host", &Options::weather_wech_host},
      {"weather_file", &Options::weather_file},
      {"clublog_api_key", &Options::clublog_api_key},
      {"ca_bundle", &Options::ca_bundle},
      {"rac_library", &Options::rac_library},
      {"hamcall_library", &Options::hamcall_library},
      {"qrz_cd_library", &Options::qrz_cd_library},
  };
  struct NumberOption {
    std::string_view name;
    int Options::*member;
  };
  static constexpr NumberOption kNumberOptions[] = {
      {"http_connect_timeout_ms", &Options::http_connect_timeout_ms},
      {"http_request_timeout_ms", &Options::http_request_timeout_ms},
      {"http_download_timeout_ms", &Options::http_download_timeout_ms},
      {"upload_timeout_ms", &Options::upload_timeout_ms},
  };
  for (const TextOption& option : kTextOptions) {
    if (option.name == name) {
      options.*option.member = value;
      return TORVANE_OK;
    }
  }
  for (const NumberOption& option : kNumberOptions) {
    if (option.name == name) return ParseMilliseconds(value, options.*option.member);
  }
  if (name == "drive") {
    // The shell's form: a drive letter, a colon, "=", then the folder.
    const std::string text(value);
    if (text.size() <= 3 || !text::IsLetter(text[0]) || text[1] != ':' || text[2] != '=') {
      return Fail(TORVANE_BAD_OPTION,
                  fmt::format("drive \"{}\" is not a drive and a folder as E:=/media/cdrom", text));
    }
    options.drives[text::ToUpper(text.substr(0, 2))] = text.substr(3);
    return TORVANE_OK;
  }
  if (name == "clock") {
    LocalDateTime when;
    if (!ParseIsoDateTime(value, when)) {
      return Fail(TORVANE_BAD_OPTION,
                  fmt::format("clock \"{}\" is not YYYY-MM-DDTHH:MM:SS", value));
    }
    options.clock = [when] { return when; };
    return TORVANE_OK;
  }
  return Fail(TORVANE_UNKNOWN_OPTION, fmt::format("no option {}", name));
}

}  // namespace

}  // namespace torvane::capi

using torvane::capi::Fail;
using torvane::capi::Shielded;

extern "C" {

torvane_value torvane_empty(void) { return torvane::capi::EmptyValue(); }

torvane_value torvane_bool(int value) {
  torvane_value out = torvane_empty();
  out.type = TORVANE_BOOL;
  out.integer = value != 0 ? 1 : 0;
  return out;
}

torvane_value torvane_int16(int16_t value) {
  torvane_value out = torvane_empty();
  out.type = TORVANE_INT16;
  out.integer = value;
  return out;
}

torvane_value torvane_int32(int32_t value) {
  torvane_value out = torvane_empty();
  out.type = TORVANE_INT32;
  out.integer = value;
  return out;
}

torvane_value torvane_double(double value) {
  torvane_value out = torvane_empty();
  out.type = TORVANE_DOUBLE;
  out.number = value;
  return out;
}

torvane_value torvane_text(const char* text) {
  torvane_value out = torvane_empty();
  out.type = TORVANE_TEXT;
  out.text = text == nullptr ? "" : text;
  out.length = std::strlen(out.text);
  return out;
}

torvane_value torvane_array(const torvane_value* items, size_t count) {
  torvane_value out = torvane_empty();
  out.type = TORVANE_ARRAY;
  out.items = items;
  out.length = count;
  return out;
}

int torvane_options_new(torvane_options** options) {
  return Shielded([&]() -> int {
    if (options == nullptr) return Fail(TORVANE_NULL_ARGUMENT, "the options pointer is NULL");
    *options = std::make_unique<torvane_options>().release();
    return TORVANE_OK;
  });
}

int torvane_options_set(torvane_options* options, const char* name, const char* value) {
  return Shielded([&]() -> int {
    if (options == nullptr) return Fail(TORVANE_NULL_HANDLE, "the options are NULL");
    if (int status = torvane::capi::CheckName(name, "option name"); status != TORVANE_OK) {
      return status;
    }
    if (value == nullptr) return Fail(TORVANE_NULL_ARGUMENT, "the option value is NULL");
    if (!torvane::code_page::IsValidUtf8(value)) {
      return Fail(TORVANE_BAD_TEXT, "the option value is not valid UTF-8");
    }
    return torvane::capi::SetOption(options->options, name, value);
  });
}

void torvane_options_free(torvane_options* options) {
  std::unique_ptr<torvane_options> owned(options);
}

int torvane_create(const torvane_options* options, torvane_handle** handle) {
  return Shielded([&]() -> int {
    if (handle == nullptr) return Fail(TORVANE_NULL_ARGUMENT, "the handle pointer is NULL");
    *handle = nullptr;
    torvane::Options copied = options == nullptr ? torvane::Options{} : options->options;
    *handle = std::make_unique<torvane_handle>(std::move(copied)).release();
    return TORVANE_OK;
  });
}

int torvane_destroy(torvane_handle* handle) {
  return Shielded([&]() -> int {
    if (handle == nullptr) return TORVANE_OK;
    if (int status = torvane::capi::CheckHandle(handle); status != TORVANE_OK) return status;
    if (handle->depth > 0) {
      return Fail(TORVANE_BUSY, "the handle cannot be destroyed from inside its own call");
    }
    std::unique_ptr<torvane_handle> owned(handle);
    return TORVANE_OK;
  });
}

int torvane_set_event_callback(torvane_handle* handle, torvane_event_callback callback,
                               void* user_data) {
  return Shielded([&]() -> int {
    if (int status = torvane::capi::CheckHandle(handle); status != TORVANE_OK) return status;
    handle->bridge.SetEvents(callback, user_data);
    return TORVANE_OK;
  });
}

int torvane_set_yield_callback(torvane_handle* handle, torvane_yield_callback callback,
                               void* user_data) {
  return Shielded([&]() -> int {
    if (int status = torvane::capi::CheckHandle(handle); status != TORVANE_OK) return status;
    handle->bridge.SetYield(callback, user_data);
    return TORVANE_OK;
  });
}

int torvane_call(torvane_handle* handle, const char* name, const torvane_value* args,
                 size_t arg_count, torvane_value* result, torvane_value* args_after) {
  return Shielded(
      [&] { return torvane::capi::Call(handle, name, args, arg_count, result, args_after); });
}

int torvane_tick(torvane_handle* handle) {
  return Shielded([&]() -> int {
    if (int status = torvane::capi::CheckHandle(handle); status != TORVANE_OK) return status;
    torvane::capi::DepthGuard nested(handle->depth);
    handle->control.Timer1Tick();
    return TORVANE_OK;
  });
}

size_t torvane_method_count(void) {
  try {
    return torvane::api::MethodTable::Instance().methods().size();
  } catch (...) {  // the table is built on first use, and building it allocates
    return 0;
  }
}

const char* torvane_method_name(size_t index) {
  try {
    const auto& methods = torvane::api::MethodTable::Instance().methods();
    return index < methods.size() ? methods[index].name.c_str() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

const char* torvane_last_error(void) { return torvane::capi::last_error.c_str(); }

const char* torvane_status_name(int status) {
  constexpr int kCount = static_cast<int>(std::size(torvane::capi::kStatusNames));
  return status >= 0 && status < kCount ? torvane::capi::kStatusNames[status]
                                        : "TORVANE_UNKNOWN_STATUS";
}

}  // extern "C"
