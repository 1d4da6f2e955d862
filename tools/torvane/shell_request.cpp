#include "tools/torvane/shell_request.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <istream>
#include <nlohmann/json.hpp>
#include <string_view>
#include <system_error>

namespace torvane::tool {

namespace {

using json = nlohmann::ordered_json;

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

// True when no list or object of the line opens inside more than `limit` others. Brackets
// inside strings do not count; the scan runs before the parser builds anything.
bool NestingWithin(std::string_view line, int limit) {
  int depth = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (in_string) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

bool ParseMethodCall(const json& parsed, ShellRequest& request, std::string& error) {
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

bool ParseHostAction(const json& parsed, ShellRequest& request, std::string& error) {
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
    const json& call = parsed["call"];
    if (!call.is_object()) {
      error = "\"call\" of " + request.name + " must be a JSON object";
      return false;
    }
    // Checked before the call is read, so actions nested in actions cost nothing.
    if (call.contains("meta")) {
      error = request.name + " runs a method call, not a host action";
      return false;
    }
    auto method_call = std::make_shared<ShellRequest>();
    if (!ParseMethodCall(call, *method_call, error)) return false;
    request.yield_call = std::move(method_call);
  }
  return true;
}

bool ParseJsonRequest(const std::string& line, ShellRequest& request, std::string& error) {
  if (!NestingWithin(line, kMaxRequestNesting)) {
    error = fmt::format("a request nests lists and objects at most {} deep", kMaxRequestNesting);
    return false;
  }
  const json parsed = json::parse(line, nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object()) {
    error = "not a JSON object";
    return false;
  }
  if (parsed.contains("meta")) return ParseHostAction(parsed, request, error);
  return ParseMethodCall(parsed, request, error);
}

bool ParseHumanRequest(const std::string& line, ShellRequest& request, std::string& error) {
  std::vector<std::string> words;
  if (!SplitWords(line, words)) {
    error = "unterminated quote";
    return false;
  }
  if (words.empty()) {
    error = "empty request";
    return false;
  }
  if (words[0].front() != ':') {
    request.name = words[0];
    for (std::size_t i = 1; i < words.size(); ++i) request.args.emplace_back(words[i]);
    return true;
  }
  request.is_meta = true;
  request.name = words[0].substr(1);
  if (request.name == "on-yield") {
    if (words.size() < 2) {
      error = ":on-yield needs a method";
      return false;
    }
    auto call = std::make_shared<ShellRequest>();
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
    auto call = std::make_shared<ShellRequest>();
    call->name = words[2];
    for (std::size_t i = 3; i < words.size(); ++i) call->args.emplace_back(words[i]);
    request.after_ms = ms;
    request.yield_call = std::move(call);
  } else if (words.size() > 1) {
    request.value = words[1];
  }
  return true;
}

}  // namespace

bool ParseShellRequest(const std::string& line, bool json, ShellRequest& request,
                       std::string& error) {
  return json ? ParseJsonRequest(line, request, error) : ParseHumanRequest(line, request, error);
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

RequestLineReader::Status RequestLineReader::Next(std::string& line) {
  line.clear();
  std::streambuf* buffer = in_.rdbuf();
  if (buffer == nullptr) return Status::kEnd;
  using traits = std::char_traits<char>;
  if (skipping_) {
    int c = buffer->sbumpc();
    while (c != traits::eof() && c != '\n') c = buffer->sbumpc();
    skipping_ = false;
    if (c == traits::eof()) return Status::kEnd;
  }
  bool read_any = false;
  for (int c = buffer->sbumpc(); c != traits::eof(); c = buffer->sbumpc()) {
    read_any = true;
    if (c == '\n') return Status::kLine;
    if (line.size() == max_bytes_) {
      line.clear();
      skipping_ = true;
      return Status::kTooLong;
    }
    line.push_back(traits::to_char_type(c));
  }
  return read_any ? Status::kLine : Status::kEnd;
}

}  // namespace torvane::tool
