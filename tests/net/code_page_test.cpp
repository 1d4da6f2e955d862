#include "core/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace torvane {
namespace {

TEST(CodePage, EveryByteSurvivesTheRoundTripThroughUtf8) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  const std::string text = code_page::Cp1252ToUtf8(bytes);
  EXPECT_TRUE(code_page::IsValidUtf8(text));
  EXPECT_EQ(code_page::Utf8ToCp1252(text), bytes);
}

TEST(CodePage, ConvertsCharactersAndMarksWhatTheCodePageLacks) {
  const struct {
    const char* utf8;
    const char* cp1252;
  } cases[] = {
      {"abc", "abc"},
      {"\xC3\xA9", "\xE9"},       // é
      {"\xE2\x82\xAC", "\x80"},   // €
      {"\xE2\x80\x9C", "\x93"},   // left double quotation mark
      {"\xE4\xB8\xAD", "?"},      // a character beyond the code page
      {"\xF0\x9F\x93\xBB", "?"},  // beyond the basic plane
      {"\xC3", "?"},              // a cut-off sequence
      {"\xC0\xAF", "??"},         // an overlong form
      {"\xED\xA0\x80", "???"},    // a surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(code_page::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
}

}  // namespace
}  // namespace torvane
