#pragma once

#include <cstdint>
#include <string>

#include "lookup/hamcall_cdrom.h"
#include "lookup/qrz_cdrom.h"
#include "lookup/rac_cdrom.h"
#include "torvane/options.h"

namespace torvane {

// The three CD-ROM callbook libraries, by the names the host configured.
struct CdromLibraries {
  explicit CdromLibraries(const Options& options)
      : rac(options.rac_library), hamcall(options.hamcall_library), qrz(options.qrz_cd_library) {}

  RacCdrom rac;
  HamCallCdrom hamcall;
  QrzCdrom qrz;
};

// What asking a CD-ROM callbook changes besides the reply buffer.
struct CdromOutcome {
  std::int16_t lookup_error = 0;  // 0: map the reply
  std::string& data_source;
  std::string& data_status;
};

// The callbook chain's steps for source codes 1 (RAC), 2 (HamCall) and 3 (QRZ): each asks
// its library for `lookup_call` on `drive` ("E:") and leaves the record in `reply`. A library
// that cannot be had changes nothing but the source text.
void AskRacCdrom(RacCdrom& library, const std::string& drive, const std::string& lookup_call,
                 std::string& reply, CdromOutcome& outcome);
void AskHamCallCdrom(HamCallCdrom& library, const std::string& drive,
                     const std::string& lookup_call, std::string& reply, CdromOutcome& outcome);
void AskQrzCdrom(QrzCdrom& library, const std::string& drive, const std::string& lookup_call,
                 std::string& reply, CdromOutcome& outcome);

// The RAC library's wording of its error codes; empty for a code it does not document.
std::string RacErrorText(std::int16_t error_code);

}  // namespace torvane
