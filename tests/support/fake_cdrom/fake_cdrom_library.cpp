// A stand-in for one CD-ROM callbook library, built as a real shared library with the same C
// entry points. Which library it is comes from the build: FAKE_RAC, FAKE_HAMCALL or FAKE_QRZ
// (FAKE_QRZ_WITHOUT_FIELD leaves out QRZField). Tests open the same file with dlopen to script
// the answers and read what the service passed; both handles share the one loaded copy.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Answer {
  std::string bytes;
  std::int32_t result = 0;
};

struct Field {
  std::string bytes;
  std::int16_t reported_length = 0;
};

struct State {
  std::map<std::string, Answer> answers;
  std::map<std::pair<std::string, std::int32_t>, Field> fields;
  std::string found_call;  // the call of the last successful search, whose fields are read
  std::string journal;
};

State& Fake() {
  static State state;
  return state;
}

// How the buffer looked when the service handed it over: its length as a C text and whether
// it held blanks only.
std::string Describe(const char* buffer) {
  const std::size_t length = std::strlen(buffer);
  const bool blanks = std::all_of(buffer, buffer + length, [](char c) { return c == ' '; });
  return std::to_string(length) + (blanks ? " blanks" : " bytes");
}

// Writes the scripted bytes over the blanks the service provided, never more than those.
void Fill(char* buffer, const std::string& bytes) {
  const std::size_t room = std::strlen(buffer);
  std::memcpy(buffer, bytes.data(), std::min(room, bytes.size()));
}

void Log(const std::string& line) { Fake().journal += line + "\n"; }

}  // namespace

FAKE_EXPORT void FakeCdromReset() { Fake() = State(); }

FAKE_EXPORT void FakeCdromAnswer(const char* callsign, const char* bytes, std::int32_t length,
                                 std::int32_t result) {
  Fake().answers[callsign] = {std::string(bytes, static_cast<std::size_t>(length)), result};
}

FAKE_EXPORT void FakeCdromField(const char* callsign, std::int32_t number, const char* bytes,
                                std::int32_t length, std::int16_t reported_length) {
  Fake().fields[{callsign, number}] = {std::string(bytes, static_cast<std::size_t>(length)),
                                       reported_length};
}

FAKE_EXPORT const char* FakeCdromJournal() { return Fake().journal.c_str(); }

#if defined(FAKE_RAC)

// Unknown calls get the library's "not in the database" code.
FAKE_EXPORT std::int16_t sGetCallInfo(const char* data_path, const char* callsign, char* answer,
                                      std::int16_t* error_code) {
  Log(std::string("sGetCallInfo ") + data_path + "|" + callsign + "|" + Describe(answer));
  const auto found = Fake().answers.find(callsign);
  if (found == Fake().answers.end()) {
    *error_code = 1101;
  } else {
    Fill(answer, found->second.bytes);
    *error_code = static_cast<std::int16_t>(found->second.result);
  }
  return 77;  // the service must not read anything into this
}

#elif defined(FAKE_HAMCALL)

FAKE_EXPORT std::int16_t LookupCallSign(const char* data_path, const char* callsign,
                                        std::int16_t max_length, char* answer) {
  Log(std::string("LookupCallSign ") + data_path + "|" + callsign + "|" +
      std::to_string(max_length) + "|" + Describe(answer));
  const auto found = Fake().answers.find(callsign);
  if (found == Fake().answers.end()) return 0;
  Fill(answer, found->second.bytes);
  return static_cast<std::int16_t>(found->second.result);
}

#elif defined(FAKE_QRZ)

FAKE_EXPORT std::int16_t QRZInit(const char* drive) {
  Log(std::string("QRZInit ") + drive);
  return 1;
}

FAKE_EXPORT std::int16_t QRZSearch(std::int32_t mode, const char* callsign, const char* arg3,
                                   const char* arg4, char* record, std::int32_t flag) {
  Log("QRZSearch " + std::to_string(mode) + "|" + callsign + "|" + arg3 + "|" + arg4 + "|" +
      Describe(record) + "|" + std::to_string(flag));
  const auto found = Fake().answers.find(callsign);
  if (found == Fake().answers.end()) return 0;
  Fill(record, found->second.bytes);
  if (found->second.result > 0) Fake().found_call = callsign;
  return static_cast<std::int16_t>(found->second.result);
}

#if !defined(FAKE_QRZ_WITHOUT_FIELD)
FAKE_EXPORT std::int16_t QRZField(std::int32_t field_number, char* field,
                                  std::int16_t* field_length) {
  Log("QRZField " + std::to_string(field_number));
  const auto found = Fake().fields.find({Fake().found_call, field_number});
  if (found == Fake().fields.end()) {
    *field_length = 0;
    return 0;
  }
  Fill(field, found->second.bytes);
  *field_length = found->second.reported_length;
  return 1;
}
#endif

#endif
