#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "torvane/events.h"
#include "torvane/options.h"
#include "torvane/variant.h"

namespace torvane {

class Service;

// The station-data service. Constructing it runs start-up (folders, logs, databases);
// destroying it runs shut-down. Not thread-safe: use one object per thread. No method throws:
// a failure shows as the method's default or failure value.
class TorvaneControl {
 public:
  explicit TorvaneControl(Options options = {}, EventSink* events = nullptr,
                          HostLoop* host_loop = nullptr);
  ~TorvaneControl();
  TorvaneControl(const TorvaneControl&) = delete;
  TorvaneControl& operator=(const TorvaneControl&) = delete;

  // The host's periodic timer (once a second is right): follows the beacon schedule.
  void Timer1Tick();

  // Configuration and version. Setters answer 0 for accepted, 1 for rejected input.
  Variant SetQuorlinPath(const std::string& spath);
  std::int16_t SetCDDrive(const std::string& Drive);
  std::int16_t SetCDDXDrive(const std::string& Drive);
  std::int16_t SetCDSource(const std::string& source);
  std::int16_t SetCDDXSource(const std::string& source);
  std::int16_t SetMyCall(const std::string& callsign);
  std::int16_t SetQRZPassword(const std::string& Password);
  std::int16_t SetHomeLatitude(const Variant& latitude);    // decimal degrees, north positive
  Variant SetHomeLongitude(const Variant& longitude);       // decimal degrees, east positive
  std::int16_t SetDevel(bool devel);
  std::string GetVersion();

  // Databases.
  bool GetLocalFCCStatus();

  // The source that answered the last callbook lookup ("None" after a rejected source text).
  std::string GetDataSource();
  std::string GetDXDataSource();

  // Home position, distance and bearing. Positions are decimal degrees, north and east
  // positive; distances statute miles (kilometres where asked); headings degrees from north.
  // Distance from the home position, or 0 when the point is not numeric or out of range.
  Variant GetHomeDistance(const Variant& latitude, const Variant& longitude, bool MilesUnits);
  // Heading from start to end; a negative EndLon comes back increased by 360.
  Variant GetBearingFromLatLon(const Variant& StartLat, const Variant& StartLon,
                               const Variant& EndLat, Variant& EndLon);
  Variant GetPrefixBearingFromLatLon(const Variant& StartLat, const Variant& StartLon,
                                     const Variant& EndLat, Variant& EndLon);

  // Maidenhead grid locator: field and square ("FN20"), longitude first; "" when an argument
  // is not numeric.
  std::string GetGridLocator(const Variant& longitude, const Variant& latitude);

  // Beacon schedule of the NCDXF/IARU network: 18 beacons in 10-second slots, a 3-minute
  // cycle. Slots count from 1; a band's sequence is the first band's shifted by its offset.
  std::int16_t GetBeaconSlots();            // 18
  std::int16_t GetBeaconCurrentSlot();      // the base slot shifted by the band offset
  std::int16_t GetBeaconCurrentBaseSlot();  // the first band's slot at the last slot change
  // Takes effect at the next slot change; raises no event. Returns 0.
  std::int16_t SetBeaconBandOffset(std::int16_t BandOffset);
  // Row Slot (less 18 above 18), column what: 1 callsign, 2 entity, 3 location, 4 latitude,
  // 5 longitude (decimal degrees, south and west negative); "" outside the table.
  std::string GetBeaconData(std::int16_t Slot, std::int16_t what);

  // Web state and connection probes. StopWeb ends a general request or callbook lookup under
  // way and silences the service's web, beacon and call events until the next operation that
  // goes on line. The probes answer constants and touch no network.
  std::int16_t StopWeb();
  std::int16_t SetWebConnectionStatus(bool Connected);
  bool RemoteConnected();
  std::int16_t GetPingTest(const std::string& Address);
  std::int16_t TestConnection(const std::string& url, const std::string& Port,
                              const std::string& Length, const std::string& Request);
  std::int16_t LocalTestConnection();

  // File upload and file reading. UploadFiles posts the file named by element 0 of the array
  // `strFileName` (its bare name, read from the current folder) to `strURL` and answers the
  // server's reply text, or the description of the failure. `DirPath` and `postVar` are not
  // used. getFile answers a file's whole content ("" when it cannot be read).
  std::string UploadFiles(Variant& strFileName, const std::string& strURL,
                          const std::string& DirPath, const std::string& postVar = {},
                          const std::string& strUserName = {}, const std::string& strPassword = {});
  std::string getFile(const std::string& strFileName);

  // Online extras from the maker's service: the reply text, or a message in its place.
  std::string GetSpotComments(const std::string& callsign);
  std::string GetDXNews();
  std::string GetSunData();
  std::string GetLast4AudioClips();

 private:
  std::unique_ptr<Service> service_;
};

}  // namespace torvane
