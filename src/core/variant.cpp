#include "torvane/variant.h"

#include <fmt/format.h>

#include <array>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>

namespace torvane {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool Variant::IsNumber() const {
  const Type t = type();
  return t == Type::kInt16 || t == Type::kInt32 || t == Type::kDouble;
}

std::string Variant::ToText() const {
  switch (type()) {
    case Type::kEmpty:
    case Type::kArray:
      return {};
    case Type::kBool:
      return std::get<bool>(value_) ? "True" : "False";
    case Type::kInt16:
      return std::to_string(std::get<std::int16_t>(value_));
    case Type::kInt32:
      return std::to_string(std::get<std::int32_t>(value_));
    case Type::kDouble:
      return NumberToText(std::get<double>(value_));
    case Type::kString:
      return std::get<std::string>(value_);
  }
  return {};
}

double Variant::ToLeadingNumber() const {
  if (const auto number = AsDouble()) return *number;
  if (const auto integer = AsInteger()) return *integer;
  return LeadingNumber(ToText());
}

std::optional<double> Variant::ToNumber() const {
  switch (type()) {
    case Type::kEmpty:
      return 0.0;
    case Type::kBool:
      return std::get<bool>(value_) ? -1.0 : 0.0;
    case Type::kInt16:
      return std::get<std::int16_t>(value_);
    case Type::kInt32:
      return std::get<std::int32_t>(value_);
    case Type::kDouble:
      return std::get<double>(value_);
    case Type::kString:
      return ParseNumber(std::get<std::string>(value_));
    case Type::kArray:
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<bool> Variant::AsBool() const {
  if (const auto* value = std::get_if<bool>(&value_)) return *value;
  return std::nullopt;
}

std::optional<std::int32_t> Variant::AsInteger() const {
  if (const auto* value = std::get_if<std::int16_t>(&value_)) return *value;
  if (const auto* value = std::get_if<std::int32_t>(&value_)) return *value;
  return std::nullopt;
}

std::optional<double> Variant::AsDouble() const {
  if (const auto* value = std::get_if<double>(&value_)) return *value;
  return std::nullopt;
}

void Variant::AssignText(std::string_view text) {
  if (auto* current = std::get_if<std::string>(&value_)) {
    current->assign(text);
  } else {
    value_ = std::string(text);
  }
}

std::string_view TypeName(Variant::Type type) {
  switch (type) {
    case Variant::Type::kEmpty:
      return "empty";
    case Variant::Type::kBool:
      return "bool";
    case Variant::Type::kInt16:
      return "int16";
    case Variant::Type::kInt32:
      return "int32";
    case Variant::Type::kDouble:
      return "double";
    case Variant::Type::kString:
      return "string";
    case Variant::Type::kArray:
      return "array";
  }
  return "empty";
}

std::string NumberToText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";  // also turns -0 into "0"
  std::array<char, 64> buffer{};
  // The general format with 15 digits switches to an exponent below 1e-4 and from 1e15 on,
  // as hosts expect; only the exponent letter is written in upper case.
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                    std::chars_format::general, 15);
  std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

double LeadingNumber(std::string_view text) {
  std::string digits;
  std::size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  skip_blanks();
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) digits += text[i++];
  bool any_digit = false;
  auto take_digits = [&] {
    for (;;) {
      skip_blanks();
      if (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        digits += text[i++];
        any_digit = true;
      } else {
        return;
      }
    }
  };
  take_digits();
  if (i < text.size() && text[i] == '.') {
    digits += text[i++];
    take_digits();
  }
  if (!any_digit) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) exponent += text[j++];
    const std::size_t exponent_digits = j;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') exponent += text[j++];
    if (j > exponent_digits) digits += exponent;
  }
  double result = 0;
  const char* first = digits.data();
  if (*first == '+') ++first;
  std::from_chars(first, digits.data() + digits.size(), result);
  return result;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double result = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return result;
}

double RoundHalfEven(double value) {
  // nearbyint honours the current rounding mode, which is round-to-nearest-even by default.
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(saved);
  return rounded;
}

double Int(double value) { return std::floor(value); }

std::string FormatDate(int year, int month, int day) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (month < 1 || month > 12) return {};
  return fmt::format("{:02} {} {:04}", day, kMonths[static_cast<std::size_t>(month - 1)], year);
}

}  // namespace torvane
