#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::testing {

// The built stand-ins for the CD-ROM callbook libraries, by path.
std::string FakeRacLibrary();
std::string FakeHamCallLibrary();
std::string FakeQrzLibrary();
std::string FakeQrzLibraryWithoutField();  // lacks QRZField

// A test's hold on one fake library: opens it (the service's dlopen of the same path shares
// the loaded copy), empties its script and journal, and scripts what it answers.
class FakeCdrom {
 public:
  explicit FakeCdrom(const std::string& path);

  const std::string& path() const { return path_; }

  // The bytes the library writes into the buffer for `callsign` (as the library receives it)
  // and its result: the RAC error code, or the HamCall or QRZSearch return value.
  void Answer(const std::string& callsign, std::string_view bytes, std::int32_t result) const;
  // A QRZ field of the record found for `callsign`: the bytes written and the length reported.
  void Field(const std::string& callsign, std::int32_t number, std::string_view bytes,
             std::int16_t reported_length) const;
  void Field(const std::string& callsign, std::int32_t number, std::string_view bytes) const {
    Field(callsign, number, bytes, static_cast<std::int16_t>(bytes.size()));
  }
  // Every call the library received, one line each, with the arguments it was given.
  std::vector<std::string> Journal() const;

 private:
  struct Close {
    void operator()(void* handle) const noexcept;
  };
  void* Symbol(const char* name) const;

  std::string path_;
  std::unique_ptr<void, Close> handle_;
};

}  // namespace torvane::testing
