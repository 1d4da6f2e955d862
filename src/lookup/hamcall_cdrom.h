#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/shared_library.h"

namespace torvane {

// The HamCall CD-ROM's library (HAMCAL32.DLL), opened when a lookup first needs it.
class HamCallCdrom {
 public:
  explicit HamCallCdrom(std::string library_name) : library_name_(std::move(library_name)) {}

  // LookupCallSign: the library writes at most `max_length` characters of the record into
  // `answer` and returns a count above 0 when it found the call. No value, with `answer`
  // unchanged, when the library or the function cannot be had.
  std::optional<std::int16_t> LookupCallSign(const std::string& data_path,
                                             const std::string& callsign, std::int16_t max_length,
                                             std::string& answer);

 private:
  std::string library_name_;
  SharedLibrary library_;
};

}  // namespace torvane
