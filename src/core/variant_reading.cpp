#include "core/variant_reading.h"

#include <limits>

namespace torvane {

bool ReadText(const Variant* value, std::string& target) {
  if (value == nullptr) return false;
  if (const std::string* text = value->AsText()) {
    target = *text;
  } else {
    target = value->ToText();
  }
  return true;
}

bool ReadNonEmptyText(const Variant* value, std::string& target) {
  if (value == nullptr) return false;
  std::string text = value->ToText();
  if (text.empty()) return false;
  target = std::move(text);
  return true;
}

std::optional<std::int16_t> ToInt16(const Variant& value) {
  if (const auto integer = value.AsInteger()) {
    if (*integer < std::numeric_limits<std::int16_t>::min() ||
        *integer > std::numeric_limits<std::int16_t>::max()) {
      return std::nullopt;
    }
    return static_cast<std::int16_t>(*integer);
  }
  const std::optional<double> number = value.ToNumber();
  if (!number) return std::nullopt;
  const double rounded = RoundHalfEven(*number);
  if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
        rounded <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(rounded);
}

bool ReadInt16(const Variant* value, std::int16_t& target) {
  if (value == nullptr) return false;
  const auto number = ToInt16(*value);
  if (!number) return false;
  target = *number;
  return true;
}

}  // namespace torvane
