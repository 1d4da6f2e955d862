#include "lookup/cdrom_libraries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/fake_cdrom.h"

namespace torvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeCdrom;

TEST(CdromDataPaths, DriveTextsBecomeTheLibrariesWindowsPaths) {
  const FakeCdrom rac_fake(testing::FakeRacLibrary());
  const FakeCdrom hamcall_fake(testing::FakeHamCallLibrary());
  RacCdrom rac(rac_fake.path());
  HamCallCdrom hamcall(hamcall_fake.path());
  const struct {
    const char* drive;
    const char* rac_line;
    const char* hamcall_line;
  } rows[] = {
      {"E:", "sGetCallInfo E:\\|w1aw|401 blanks", "LookupCallSign E:\\ham0\\|W1AW|400|401 blanks"},
      {"E:\\", "sGetCallInfo E:\\|w1aw|401 blanks",
       "LookupCallSign E:\\\\ham0\\|W1AW|400|401 blanks"},
      {"", "sGetCallInfo \\|w1aw|401 blanks", "LookupCallSign \\ham0\\|W1AW|400|401 blanks"},
  };
  for (const auto& row : rows) {
    std::string data_source;
    std::string data_status;
    CdromOutcome outcome{0, data_source, data_status};
    std::string reply(401, ' ');
    AskRacCdrom(rac, row.drive, "W1AW", reply, outcome);
    AskHamCallCdrom(hamcall, row.drive, "W1AW", reply, outcome);
    EXPECT_EQ(rac_fake.Journal().back(), row.rac_line) << row.drive;
    EXPECT_EQ(hamcall_fake.Journal().back(), row.hamcall_line) << row.drive;
  }
}

TEST(CdromLibraries, UnavailableLibraryOrFunctionWritesNothingBack) {
  RacCdrom missing("/nonexistent/libraccd32a.so");
  std::string answer(401, ' ');
  std::int16_t code = 5;
  EXPECT_FALSE(missing.GetCallInfo("E:\\", "w1aw", answer, code));
  EXPECT_EQ(answer, std::string(401, ' '));
  EXPECT_EQ(code, 5);

  // The HamCall fake has no RAC function; asking twice tries the library again each time.
  RacCdrom wrong(testing::FakeHamCallLibrary());
  EXPECT_FALSE(wrong.GetCallInfo("E:\\", "w1aw", answer, code));
  EXPECT_FALSE(wrong.GetCallInfo("E:\\", "w1aw", answer, code));

  HamCallCdrom no_hamcall("/nonexistent/libhamcal32.so");
  EXPECT_EQ(no_hamcall.LookupCallSign("E:\\ham0\\", "W1AW", 400, answer), std::nullopt);

  QrzCdrom no_qrz("/nonexistent/libqrz32.so");
  EXPECT_FALSE(no_qrz.QRZInit("E:"));
  EXPECT_FALSE(no_qrz.QRZSearch("w1aw"));
  EXPECT_EQ(no_qrz.QRZField(1), std::nullopt);
  EXPECT_EQ(no_qrz.QrzFieldLength(), 0);
}

TEST(CdromLibraries, AnswerBytesComeBackAsTextWithEveryByteOfTheBuffer) {
  const FakeCdrom fake(testing::FakeRacLibrary());
  // Every byte value but zero, the five the code page leaves undefined included.
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
  bytes += std::string(401 - bytes.size(), '#');  // to the last byte of the buffer
  fake.Answer("w1aw", bytes, 0);
  RacCdrom rac(fake.path());
  std::string answer(401, ' ');
  std::int16_t code = 9;
  ASSERT_TRUE(rac.GetCallInfo("E:\\", "w1aw", answer, code));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(answer.substr(answer.size() - 146), std::string(146, '#'));
  EXPECT_EQ(answer.substr(0, 4), "\x01\x02\x03\x04");
  EXPECT_EQ(answer.find("\u20ac\u0081\u201a"), 127u);  // 0x80, 0x81, 0x82

  // A short answer keeps its terminator and the blanks after it.
  fake.Answer("w1ab", std::string("AB\0", 3), 0);
  std::string short_answer(401, ' ');
  ASSERT_TRUE(rac.GetCallInfo("E:\\", "w1ab", short_answer, code));
  EXPECT_EQ(short_answer, std::string("AB\0", 3) + std::string(398, ' '));
}

}  // namespace
}  // namespace torvane
