#pragma once

#include <string>
#include <string_view>

// Small text rules shared by the subsystems. Case changes are ASCII-only: callsigns, keys and
// the system's markers are ASCII, and other bytes must pass through untouched.
namespace torvane::text {

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// Removes leading and trailing spaces (only the blank character, as the system's trims do).
std::string_view Trim(std::string_view text);
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool Contains(std::string_view text, std::string_view part);

// Replaces every occurrence, left to right, without overlap.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

bool IsDigit(char c);
bool IsLetter(char c);

}  // namespace torvane::text
