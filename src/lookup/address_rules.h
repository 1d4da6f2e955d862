#pragma once

#include <string>
#include <string_view>

// Text rules shared by every callbook mapping: name and address casing, the clean-up of
// address lines, and class names for licence letters.
namespace torvane::address {

// Upper case for the first character and every character after a blank, ".", ",", "/", "-"
// or "(", lower case for all others: "o'NEIL-SMITH jr" gives "O'neil-Smith Jr".
std::string ProperCase(std::string_view text);

// Trims, drops a trailing comma, writes "PO Box" one way and puts one blank after each comma
// and full stop. Blanks that the spacing leaves at the very end stay.
std::string CleanAddress(std::string_view text);

// The text before the first blank, or the whole text when it has none.
std::string FirstWord(std::string_view text);

// Which table turns a licence letter into a class name: the RAC CD-ROM names club stations
// but not Technician Plus; the FCC database and the online services the other way round.
enum class LicenceLetters { kRacCdrom, kFccAndOnline };

// The class name for a one-letter class (compared exactly); any other value as delivered.
std::string LicenceClassName(std::string_view value, LicenceLetters table);

}  // namespace torvane::address
