#pragma once

#include <cstdint>
#include <string>

#include "core/shared_library.h"

namespace torvane {

// The Radio Amateur Callbook CD-ROM's library (RACCD32A), opened when a lookup first needs it.
class RacCdrom {
 public:
  explicit RacCdrom(std::string library_name) : library_name_(std::move(library_name)) {}

  // sGetCallInfo: the library writes the record into `answer` (the reply buffer, whose
  // length it may fill) and its error code into `error_code`. False, with both unchanged,
  // when the library or the function cannot be had.
  bool GetCallInfo(const std::string& data_path, const std::string& callsign, std::string& answer,
                   std::int16_t& error_code);

 private:
  std::string library_name_;
  SharedLibrary library_;
};

}  // namespace torvane
