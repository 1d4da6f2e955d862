#include "lookup/address_rules.h"

#include <array>
#include <string>
#include <utility>

#include "core/text.h"

namespace torvane::address {

namespace {

// Letter case as the Windows code page of the original data has it: ASCII, the Latin-1
// letters and the few CP1252 adds (Š, Œ, Ž, Ÿ). Other characters have no case here.
char32_t UpperLetter(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  switch (c) {
    case 0x161: return 0x160;
    case 0x153: return 0x152;
    case 0x17E: return 0x17D;
    case 0xFF: return 0x178;
    default: return c;
  }
}

char32_t LowerLetter(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  switch (c) {
    case 0x160: return 0x161;
    case 0x152: return 0x153;
    case 0x17D: return 0x17E;
    case 0x178: return 0xFF;
    default: return c;
  }
}

// The code point of a UTF-8 sequence at `at` and its length; a byte that starts no valid
// sequence stands for itself.
std::pair<char32_t, std::size_t> Decode(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const auto continuation = [&](std::size_t i) { return i < text.size() && (byte(i) & 0xC0) == 0x80; };
  if (lead >= 0xC2 && lead < 0xE0 && continuation(at + 1)) {
    return {static_cast<char32_t>(((lead & 0x1F) << 6) | (byte(at + 1) & 0x3F)), 2};
  }
  return {lead, 1};
}

void Encode(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool StartsWord(char previous) {
  switch (previous) {
    case ' ':
    case '.':
    case ',':
    case '/':
    case '-':
    case '(':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string ProperCase(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  char previous = ' ';
  for (std::size_t at = 0; at < text.size();) {
    const auto [c, length] = Decode(text, at);
    if (length == 1 && c >= 0x80) {
      result += text[at];  // not UTF-8: kept as it is
    } else {
      Encode(at == 0 || StartsWord(previous) ? UpperLetter(c) : LowerLetter(c), result);
    }
    previous = text[at];
    at += length;
  }
  return result;
}

std::string CleanAddress(std::string_view text) {
  std::string result(text::Trim(text));
  if (result.size() <= 1) return result;
  if (result.back() == ',') result.pop_back();
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kReplacements = {{
      {"Po ", "PO "},
      {"P.o.", "P.O. "},
      {"Pob ", "POB "},
      {"P.O.box", "PO Box "},
      {"Po.box", "PO Box "},
      {".,", ","},
      {". ,", ","},
      {",", ", "},
      {".", ". "},
      {"  ", " "},
  }};
  for (const auto& [find, replacement] : kReplacements) {
    result = text::ReplaceAll(result, find, replacement);
  }
  if (text::Trim(result) == ",") return std::string();
  if (!result.empty() && result.front() == ',') result = std::string(text::Trim(result.substr(1)));
  return result;
}

std::string FirstWord(std::string_view text) {
  const std::size_t blank = text.find(' ');
  return std::string(blank == std::string_view::npos ? text : text.substr(0, blank));
}

std::string LicenceClassName(std::string_view value, LicenceLetters table) {
  if (value == "B" && table == LicenceLetters::kRacCdrom) return "Club Station";
  if (value == "P" && table == LicenceLetters::kFccAndOnline) return "Technician Plus";
  if (value == "E") return "Extra";
  if (value == "A") return "Advanced";
  if (value == "G") return "General";
  if (value == "T") return "Technician";
  if (value == "N") return "Novice";
  return std::string(value);
}

}  // namespace torvane::address
