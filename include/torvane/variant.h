#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace torvane {

// The loosely typed value that crosses the host interface where a method accepts or returns
// "any" value: empty, boolean, 16- or 32-bit integer, double, text, or an array of values.
class Variant {
 public:
  enum class Type { kEmpty, kBool, kInt16, kInt32, kDouble, kString, kArray };

  Variant() = default;
  Variant(bool value) : value_(value) {}
  Variant(std::int16_t value) : value_(value) {}
  Variant(std::int32_t value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(std::string_view value) : value_(std::string(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}
  Variant(std::vector<Variant> values) : value_(std::move(values)) {}

  Type type() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return type() == Type::kEmpty; }
  bool IsNumber() const;
  bool IsText() const { return type() == Type::kString; }

  // Text of the value: numbers in the default number-to-text form (see NumberToText),
  // "True"/"False" for booleans, "" for empty. An array has no text form and gives "".
  std::string ToText() const;

  // The leading-number reading of ToText(): "12.5abc" -> 12.5, "abc" -> 0.
  double ToLeadingNumber() const;

  // A strict numeric conversion: numbers as they are, booleans as -1/0, empty as 0, text
  // only when the whole text (spaces aside) is a number. Anything else has no value.
  std::optional<double> ToNumber() const;

  const std::string* AsText() const { return std::get_if<std::string>(&value_); }
  const std::vector<Variant>* AsArray() const { return std::get_if<std::vector<Variant>>(&value_); }
  std::optional<bool> AsBool() const;
  std::optional<std::int32_t> AsInteger() const;  // int16 or int32 only
  std::optional<double> AsDouble() const;         // double only

  // Makes the value the given text, reusing the text storage it already holds.
  void AssignText(std::string_view text);

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  std::variant<std::monostate, bool, std::int16_t, std::int32_t, double, std::string,
               std::vector<Variant>>
      value_;
};

std::string_view TypeName(Variant::Type type);

// Default number-to-text: up to 15 significant digits, no exponent for magnitudes from 1e-5
// up to 1e15, no trailing zeros, "0" for zero.
std::string NumberToText(double value);

// The number at the start of a text, blanks skipped: "  -12.5abc" -> -12.5, "abc" -> 0.
double LeadingNumber(std::string_view text);

// The whole text as a number (surrounding blanks allowed), or no value.
std::optional<double> ParseNumber(std::string_view text);

// Rounding to a whole number with halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// The largest whole number not greater than the value (-12.3 -> -13).
double Int(double value);

// "dd mmm yyyy" with English month abbreviations: 5 March 2001 -> "05 Mar 2001".
std::string FormatDate(int year, int month, int day);

}  // namespace torvane
