#pragma once

#include <cstdint>
#include <string>

#include "torvane/variant.h"

namespace torvane {

// Callbook source codes selected by SetCDSource / SetCDDXSource.
enum class SourceCode : std::int16_t {
  kNone = 0,
  kRacCdrom = 1,
  kHamcallCdrom = 2,
  kQrzCdrom = 3,
  kQrzViaInternet = 4,
  kFccViaInternet = 5,
  kFcc = 6,
  kQrzSubscription = 7,
  kNuvexSubscription = 8,
};

// The host's configuration of one service object: everything the setters store.
class Settings {
 public:
  std::int16_t SetCDDrive(const std::string& drive) { return SetDrive(drive, CDDrive); }
  std::int16_t SetCDDXDrive(const std::string& drive) { return SetDrive(drive, CDDXDrive); }
  std::int16_t SetCDSource(const std::string& source) {
    return SetSource(source, CDSourceCode, DataSource);
  }
  std::int16_t SetCDDXSource(const std::string& source) {
    return SetSource(source, CDDXSourceCode, DXDataSource);
  }
  std::int16_t SetMyCall(const std::string& callsign);
  std::int16_t SetQRZPassword(const std::string& password);
  std::int16_t SetHomeLatitude(const Variant& latitude);
  Variant SetHomeLongitude(const Variant& longitude);
  std::int16_t SetDevel(bool devel);

  static SourceCode SourceFromText(const std::string& source);

  bool Devel = false;
  std::string MyCall;
  std::string QRZPassword;
  std::string CDDrive;
  std::string CDDXDrive;
  SourceCode CDSourceCode = SourceCode::kNone;
  SourceCode CDDXSourceCode = SourceCode::kNone;
  // The outcome text of the last callbook lookup; also set to "None" by a rejected source.
  std::string DataSource;
  std::string DXDataSource;
  Variant HomeLatitude;   // as the host gave it, degrees north
  Variant HomeLongitude;  // as the host gave it, degrees east

 private:
  static std::int16_t SetDrive(const std::string& drive, std::string& target);
  static std::int16_t SetSource(const std::string& source, SourceCode& code, std::string& name);
};

}  // namespace torvane
