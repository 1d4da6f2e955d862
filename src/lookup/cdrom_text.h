#pragma once

#include <string>
#include <vector>

// Text as the CD-ROM callbook libraries take and give it: bytes of the Windows code page
// (CP1252) ending in a zero byte.
namespace torvane::cdrom_text {

// The text in the library's code page, zero-terminated by std::string itself (use c_str()).
std::string ArgumentText(const std::string& text);

// A writable copy of the reply buffer for a library to fill: its CP1252 bytes and one zero
// byte after them, so that a library filling every byte of the buffer still leaves a
// terminated text behind.
std::vector<char> AnswerBuffer(const std::string& reply);

// The buffer back as text, every byte the library was given (its terminator and the blanks
// after it included), without the extra zero byte.
std::string AnswerText(const std::vector<char>& buffer);

}  // namespace torvane::cdrom_text
