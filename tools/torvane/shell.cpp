#include "tools/torvane/shell.h"

#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
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

// One line of JSON; text that is not valid UTF-8 (CD-ROM answers) is replaced, not refused.
std::string Dump(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string Quoted(const std::string& text) { return Dump(json(text)); }

// The calls a host makes from another thread to interrupt work under way; nothing else is
// safe to run beside a call in progress.
constexpr std::array<std::string_view, 2> kCallsFromOtherThreads = {"CancelLoTWImport",
                                                                    "StopWeb"};

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
  RequestLineReader reader(in);
  std::string line;
  for (;;) {
    const RequestLineReader::Status status = reader.Next(line);
    if (status == RequestLineReader::Status::kEnd) break;
    if (status == RequestLineReader::Status::kTooLong) {
      PrintError(fmt::format("a request line holds at most {} bytes", kMaxRequestLineBytes));
      continue;
    }
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

void Shell::Handle(const std::string& line) {
  Request request;
  std::string error;
  if (!ParseShellRequest(line, json_, request, error)) {
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

}  // namespace torvane::tool
