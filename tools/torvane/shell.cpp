#include "tools/torvane/shell.h"

#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>

#include "api/method_table.h"
#include "core/clock.h"
#include "core/text.h"

namespace torvane::tool {

namespace {

// Answers keep their keys in the order a reader expects: result, type, args.
using json = nlohmann::ordered_json;

json ToJson(const Variant& value) {
  switch (value.type()) {
    case Variant::Type::kEmpty:
      return nullptr;
    case Variant::Type::kBool:
      return *value.AsBool();
    case Variant::Type::kInt16:
    case Variant::Type::kInt32:
      return *value.AsInteger();
    case Variant::Type::kDouble:
      return *value.AsDouble();
    case Variant::Type::kString:
      return *value.AsText();
    case Variant::Type::kArray: {
      json list = json::array();
      for (const Variant& item : *value.AsArray()) list.push_back(ToJson(item));
      return list;
    }
  }
  return nullptr;
}

bool FromJson(const json& value, Variant& result) {
  if (value.is_null()) {
    result = Variant();
  } else if (value.is_boolean()) {
    result = Variant(value.get<bool>());
  } else if (value.is_number()) {
    result = Variant(value.get<double>());
  } else if (value.is_string()) {
    result = Variant(value.get<std::string>());
  } else if (value.is_array()) {
    std::vector<Variant> items;
    for (const json& item : value) {
      Variant converted;
      if (!FromJson(item, converted)) return false;
      items.push_back(std::move(converted));
    }
    result = Variant(std::move(items));
  } else {
    return false;
  }
  return true;
}

// One line of JSON; text that is not valid UTF-8 (CD-ROM answers) is replaced, not refused.
std::string Dump(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string Quoted(const std::string& text) { return Dump(json(text)); }

// The calls a host makes from another thread to interrupt work under way; nothing else is
// safe to run beside a call in progress.
constexpr std::array<std::string_view, 2> kCallsFromOtherThreads = {"CancelLoTWImport",
                                                                    "StopWeb"};

// Longer than any test or script needs; a typo of minutes must not hang the shell's end.
constexpr long kMaxAfterMs = 600'000;

std::string Human(const Variant& value) {
  switch (value.type()) {
    case Variant::Type::kEmpty:
      return "empty";
    case Variant::Type::kBool:
      return *value.AsBool() ? "true" : "false";
    case Variant::Type::kString:
      return Quoted(*value.AsText());
    case Variant::Type::kArray:
      return Dump(ToJson(value));
    default:
      return value.ToText();
  }
}

}  // namespace

struct Shell::Request {
  bool is_meta = false;
  std::string name;  // the method, or the host action
  std::vector<Variant> args;
  std::string value;                  // for clock and cd
  std::shared_ptr<Request> yield_call;  // for on_yield and after
  long after_ms = -1;                   // for after
};

class Shell::Printer : public EventSink {
 public:
  Printer(bool json, std::ostream& out, std::shared_ptr<std::mutex> mutex)
      : json_(json), out_(out), mutex_(std::move(mutex)) {}

  void CallDataOK(bool status) override { Print("CallDataOK", {Variant(status)}); }
  void WebStatus(const std::string& status) override { Print("WebStatus", {Variant(status)}); }
  void InetText(const std::string& status) override { Print("InetText", {Variant(status)}); }
  void BeaconChange(const std::string& slot, const std::string& callsign,
                    const std::string& entity, const std::string& location,
                    const std::string& latitude, const std::string& longitude) override {
    Print("BeaconChange", {Variant(slot), Variant(callsign), Variant(entity), Variant(location),
                           Variant(latitude), Variant(longitude)});
  }
  void eQSLStatus(const std::string& status) override { Print("eQSLStatus", {Variant(status)}); }
  void LoTWDownloadStatus(std::int32_t percent) override {
    Print("LoTWDownloadStatus", {Variant(percent)});
  }

 private:
  void Print(const char* name, const std::vector<Variant>& args) {
    std::lock_guard lock(*mutex_);
    if (json_) {
      json list = json::array();
      for (const Variant& arg : args) list.push_back(ToJson(arg));
      out_ << Dump(json{{"event", name}, {"args", list}}) << '\n';
    } else {
      out_ << "! " << name;
      for (const Variant& arg : args) out_ << ' ' << Human(arg);
      out_ << '\n';
    }
    out_.flush();
  }

  bool json_;
  std::ostream& out_;
  std::shared_ptr<std::mutex> mutex_;
};

class Shell::Loop : public HostLoop {
 public:
  explicit Loop(Shell& shell) : shell_(shell) {}
  void Yield() override { shell_.RunPendingYieldCalls(); }

 private:
  Shell& shell_;
};

Shell::Shell(ServiceOptions& options, bool json, std::ostream& out)
    : options_(options),
      json_(json),
      out_(out),
      printer_(std::make_unique<Printer>(json, out, output_mutex_)),
      loop_(std::make_unique<Loop>(*this)) {
  Restart();
}

Shell::~Shell() {
  JoinAfterCalls();
  control_.reset();
}

void Shell::Restart() {
  JoinAfterCalls();
  control_.reset();  // shut-down of the old object runs before start-up of the new one
  control_ = std::make_unique<TorvaneControl>(options_.Build(), printer_.get(), loop_.get());
}

void Shell::Run(std::istream& in) {
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string_view trimmed = text::Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    Handle(line);
  }
  JoinAfterCalls();
  control_.reset();
}

void Shell::PrintError(const std::string& message) {
  std::lock_guard lock(*output_mutex_);
  if (json_) {
    out_ << Dump(json{{"error", message}}) << '\n';
  } else {
    out_ << "error: " << message << '\n';
  }
  out_.flush();
}

void Shell::PrintOk() {
  std::lock_guard lock(*output_mutex_);
  out_ << (json_ ? "{\"ok\": true}" : "ok") << '\n';
  out_.flush();
}

bool Shell::ParseRequest(const std::string& line, Request& request, std::string& error) const {
  if (!json_) {
    std::vector<std::string> words;
    if (!SplitWords(line, words)) {
      error = "unterminated quote";
      return false;
    }
    if (words.empty()) {
      error = "empty request";
      return false;
    }
    if (words[0].front() == ':') {
      request.is_meta = true;
      request.name = words[0].substr(1);
      if (request.name == "on-yield") {
        if (words.size() < 2) {
          error = ":on-yield needs a method";
          return false;
        }
        auto call = std::make_shared<Request>();
        call->name = words[1];
        for (std::size_t i = 2; i < words.size(); ++i) call->args.emplace_back(words[i]);
        request.name = "on_yield";
        request.yield_call = std::move(call);
      } else if (request.name == "after") {
        if (words.size() < 3) {
          error = ":after needs a delay in milliseconds and a method";
          return false;
        }
        long ms = -1;
        const std::string& delay = words[1];
        const auto [end, failure] = std::from_chars(delay.data(), delay.data() + delay.size(), ms);
        if (failure != std::errc() || end != delay.data() + delay.size()) {
          error = ":after: the delay must be a whole number of milliseconds";
          return false;
        }
        auto call = std::make_shared<Request>();
        call->name = words[2];
        for (std::size_t i = 3; i < words.size(); ++i) call->args.emplace_back(words[i]);
        request.after_ms = ms;
        request.yield_call = std::move(call);
      } else if (words.size() > 1) {
        request.value = words[1];
      }
      return true;
    }
    request.name = words[0];
    for (std::size_t i = 1; i < words.size(); ++i) request.args.emplace_back(words[i]);
    return true;
  }

  const json parsed = json::parse(line, nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object()) {
    error = "not a JSON object";
    return false;
  }
  if (parsed.contains("meta")) {
    if (!parsed["meta"].is_string()) {
      error = "\"meta\" must be text";
      return false;
    }
    request.is_meta = true;
    request.name = parsed["meta"].get<std::string>();
    if (parsed.contains("value")) {
      if (!parsed["value"].is_string()) {
        error = "\"value\" must be text";
        return false;
      }
      request.value = parsed["value"].get<std::string>();
    }
    if (parsed.contains("ms")) {
      const json& ms = parsed["ms"];
      const double value = ms.is_number() ? ms.get<double>() : -1;
      if (!(value >= 0 && value <= kMaxAfterMs && std::floor(value) == value)) {
        error = fmt::format("\"ms\" must be a whole number from 0 to {}", kMaxAfterMs);
        return false;
      }
      request.after_ms = static_cast<long>(value);
    }
    if (parsed.contains("call")) {
      auto call = std::make_shared<Request>();
      if (!ParseRequest(Dump(parsed["call"]), *call, error)) return false;
      if (call->is_meta) {
        error = request.name + " runs a method call, not a host action";
        return false;
      }
      request.yield_call = std::move(call);
    }
    return true;
  }
  if (!parsed.contains("call") || !parsed["call"].is_string()) {
    error = "a request needs \"call\" (a method name) or \"meta\"";
    return false;
  }
  request.name = parsed["call"].get<std::string>();
  if (parsed.contains("args")) {
    if (!parsed["args"].is_array()) {
      error = "\"args\" must be a list";
      return false;
    }
    for (const json& arg : parsed["args"]) {
      Variant value;
      if (!FromJson(arg, value)) {
        error = "arguments must be text, numbers, booleans, null or lists";
        return false;
      }
      request.args.push_back(std::move(value));
    }
  }
  return true;
}

void Shell::Handle(const std::string& line) {
  Request request;
  std::string error;
  if (!ParseRequest(line, request, error)) {
    PrintError(error);
    return;
  }
  if (request.is_meta) {
    Meta(request);
  } else {
    Call(request, CallKind::kDirect);
  }
}

void Shell::Call(const Request& request, CallKind kind) {
  const api::Method* method = api::MethodTable::Instance().Find(request.name);
  if (method == nullptr) {
    PrintError("unknown method " + request.name);
    return;
  }
  std::vector<Variant> args = request.args;
  Result<Variant> result = Error{};
  try {
    result = api::CallMethod(*control_, *method, args);
  } catch (const std::exception& exception) {
    result = Error{0, exception.what(), ""};
  }
  if (!result) {
    PrintError(result.error().description);
    return;
  }
  std::lock_guard lock(*output_mutex_);
  if (json_) {
    json list = json::array();
    for (const Variant& arg : args) list.push_back(ToJson(arg));
    const char* key = kind == CallKind::kFromYield ? "yield_result"
                      : kind == CallKind::kAfter   ? "after_result"
                                                   : "result";
    json answer{{key, ToJson(*result)}, {"type", TypeName(result->type())}, {"args", list}};
    if (kind == CallKind::kAfter) answer["call"] = method->name;
    out_ << Dump(answer) << '\n';
  } else {
    const char* mark = kind == CallKind::kFromYield ? "(yield) "
                       : kind == CallKind::kAfter   ? "(after) "
                                                    : "";
    out_ << mark << "=> " << Human(*result) << " ["
         << TypeName(result->type()) << "]";
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (method->parameters[i].written_back) out_ << "  arg" << i + 1 << "=" << Human(args[i]);
    }
    out_ << '\n';
  }
  out_.flush();
}

void Shell::RunPendingYieldCalls() {
  std::vector<Request> calls;
  calls.swap(pending_yield_calls_);
  for (const Request& call : calls) Call(call, CallKind::kFromYield);
}

void Shell::ScheduleAfter(const Request& request) {
  const Request call = *request.yield_call;
  const auto delay = std::chrono::milliseconds(request.after_ms);
  after_calls_.emplace_back([this, call, delay] {
    std::this_thread::sleep_for(delay);
    Call(call, CallKind::kAfter);
  });
}

void Shell::JoinAfterCalls() {
  for (std::thread& thread : after_calls_) thread.join();
  after_calls_.clear();
}

void Shell::Meta(const Request& request) {
  if (request.name == "tick") {
    control_->Timer1Tick();
  } else if (request.name == "clock") {
    LocalDateTime when;
    if (!ParseIsoDateTime(request.value, when)) {
      PrintError("clock: expected YYYY-MM-DDTHH:MM:SS, got \"" + request.value + "\"");
      return;
    }
    options_.SetFixedTime(when);
  } else if (request.name == "on_yield") {
    if (!request.yield_call) {
      PrintError("on_yield needs a \"call\"");
      return;
    }
    pending_yield_calls_.push_back(*request.yield_call);
  } else if (request.name == "after") {
    if (!request.yield_call) {
      PrintError("after needs a \"call\"");
      return;
    }
    if (request.after_ms < 0 || request.after_ms > kMaxAfterMs) {
      PrintError("after needs \"ms\", from 0 to " + std::to_string(kMaxAfterMs));
      return;
    }
    const api::Method* method = api::MethodTable::Instance().Find(request.yield_call->name);
    if (method == nullptr ||
        std::find(kCallsFromOtherThreads.begin(), kCallsFromOtherThreads.end(), method->name) ==
            kCallsFromOtherThreads.end()) {
      PrintError("after runs only CancelLoTWImport or StopWeb, not " + request.yield_call->name);
      return;
    }
    PrintOk();  // at once: the call runs later, on a thread of its own
    ScheduleAfter(request);
    return;
  } else if (request.name == "restart") {
    Restart();
  } else if (request.name == "cd") {
    if (::chdir(request.value.c_str()) != 0) {
      PrintError("cd " + request.value + ": " + std::strerror(errno));
      return;
    }
  } else {
    PrintError("unknown host action " + request.name);
    return;
  }
  PrintOk();
}

bool SplitWords(const std::string& line, std::vector<std::string>& words) {
  words.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool quoted_word = false;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
      if (line[i] != '"') {
        word += line[i++];
        continue;
      }
      quoted_word = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
          word += line[i + 1];
          i += 2;
        } else if (line[i] == '"') {
          ++i;
          closed = true;
          break;
        } else {
          word += line[i++];
        }
      }
      if (!closed) return false;
    }
    if (!word.empty() || quoted_word) words.push_back(std::move(word));
  }
  return true;
}

}  // namespace torvane::tool
