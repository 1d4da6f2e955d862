#include <gtest/gtest.h>

#include <optional>

#include "core/dates.h"
#include "torvane/variant.h"

namespace torvane {
namespace {

TEST(NumberToText, WritesUpToFifteenSignificantDigitsWithoutNeedlessExponent) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {6.5, "6.5"},
      {18.0 + 13.0 / 60.0, "18.2166666666667"},
      {3535.6543210987654, "3535.65432109877"},
      {-5.0, "-5"},
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E+15"},
      {69.041, "69.041"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberToText(c.value), c.text) << c.value;
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartAndZeroOtherwise) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12.5abc", 12.5}, {"abc", 0},      {"", 0},         {"  -91", -91},  {"45.5", 45.5},
      {"+7", 7},         {"1e3x", 1000},  {"1e", 1},       {".5", 0.5},     {"-", 0},
      {"03/04/05", 3},   {"1 2", 12},     {"- 5", -5},     {"5.5.5", 5.5},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(ParseNumber, AcceptsOnlyAWholeNumericText) {
  EXPECT_EQ(ParseNumber(" 42 "), 42.0);
  EXPECT_EQ(ParseNumber("-0.5"), -0.5);
  EXPECT_EQ(ParseNumber("+3"), 3.0);
  EXPECT_EQ(ParseNumber("12abc"), std::nullopt);
  EXPECT_EQ(ParseNumber(""), std::nullopt);
  EXPECT_EQ(ParseNumber("abc"), std::nullopt);
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndIntIsFloor) {
  EXPECT_EQ(RoundHalfEven(40.5), 40);
  EXPECT_EQ(RoundHalfEven(41.5), 42);
  EXPECT_EQ(RoundHalfEven(-4.5), -4);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
  EXPECT_EQ(Int(-12.3), -13);
  EXPECT_EQ(Int(12.9), 12);
}

TEST(Variant, ConvertsBetweenTextAndNumbers) {
  EXPECT_EQ(Variant().ToText(), "");
  EXPECT_EQ(Variant(std::int16_t{0}).ToText(), "0");
  EXPECT_EQ(Variant(true).ToText(), "True");
  EXPECT_EQ(Variant(45.5).ToText(), "45.5");
  EXPECT_EQ(Variant("12.5abc").ToLeadingNumber(), 12.5);
  EXPECT_EQ(Variant("12.5abc").ToNumber(), std::nullopt);
  EXPECT_EQ(Variant().ToNumber(), 0.0);
  EXPECT_EQ(Variant(std::int32_t{-75}).ToNumber(), -75.0);

  Variant text("old text that is long enough to live on the heap");
  text.AssignText("new");
  EXPECT_EQ(text, Variant("new"));
}

TEST(FormatDate, WritesTwoDigitDayEnglishMonthAndFourDigitYear) {
  EXPECT_EQ(FormatDate(2001, 3, 5), "05 Mar 2001");
  EXPECT_EQ(FormatDate(1999, 12, 31), "31 Dec 1999");
  EXPECT_EQ(FormatDate(1999, 13, 31), "");
}

TEST(ParseDate, ReadsTheDateFormsOfTheData) {
  using dates::Date;
  const struct {
    const char* text;
    std::optional<Date> date;
  } cases[] = {
      {"3/5/2001", Date{2001, 3, 5}},   {"03/05/01", Date{2001, 3, 5}},
      {"12/31/99", Date{1999, 12, 31}}, {"2001-03-05", Date{2001, 3, 5}},
      {"20010305", Date{2001, 3, 5}},   {"5 Mar 2001", Date{2001, 3, 5}},
      {"March 5, 2001", Date{2001, 3, 5}}, {"1/1/1994", Date{1994, 1, 1}},
      {"2/30/2001", std::nullopt},      {"2001035", std::nullopt},
      {"", std::nullopt},               {"yesterday", std::nullopt},
      {"13/1/2001", std::nullopt},      {"2/29/2000", Date{2000, 2, 29}},
  };
  for (const auto& c : cases) EXPECT_EQ(dates::ParseDate(c.text), c.date) << c.text;
}

}  // namespace
}  // namespace torvane
