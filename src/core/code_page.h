#pragma once

#include <string>
#include <string_view>

// The system's single-byte code page (Windows-1252) against the UTF-8 of the public API.
namespace torvane::code_page {

// Each byte as its Windows-1252 character, in UTF-8. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the same value, as Windows
// converts them, so that any byte string survives Cp1252ToUtf8 followed by Utf8ToCp1252.
std::string Cp1252ToUtf8(std::string_view bytes);

// Each character as its Windows-1252 byte; characters the code page lacks, and bytes that are
// not UTF-8, become "?", as the platform's conversion to its ANSI code page does.
std::string Utf8ToCp1252(std::string_view text);

bool IsValidUtf8(std::string_view text);

}  // namespace torvane::code_page
