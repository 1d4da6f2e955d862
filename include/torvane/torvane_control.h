#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "torvane/events.h"
#include "torvane/options.h"
#include "torvane/variant.h"

namespace torvane {

class Service;

// How start-up ended. A service that did not start keeps answering with its methods' default
// values; this says why. `number` is 0 when the failure has no number.
struct StartupStatus {
  bool started = false;
  std::int32_t number = 0;
  std::string description;
  std::string source;
};

// The quick prefix family's answers for one call at once: what a host that resolves many
// calls (a cluster feed, a contest log) needs, for the cost of one method call. They depend on
// the call alone: where the deciding entity row has no value, a text is empty and the number
// 0, where the getters would keep the previous call's value.
struct QuickPrefixAnswers {
  bool matched = false;    // a prefix matched the call
  std::string dxcc;        // as GetQuickPrefixDXCCNumber; "0" when nothing matched
  std::string country;     // as GetQuickPrefixCountry; the texts are empty when nothing matched
  std::string continent;   // as GetQuickPrefixContinent
  std::string cq_zone;     // as GetQuickPrefixCQZone
  std::string itu_zone;    // as GetQuickPrefixITUZone
  std::string wpx_prefix;  // as GetPrefixWPX

  bool operator==(const QuickPrefixAnswers&) const = default;
};

// The entity fields of QuickPrefixAnswers, as the batch that gives each entity once has them.
struct QuickPrefixEntity {
  std::string dxcc;
  std::string country;
  std::string continent;
  std::string cq_zone;
  std::string itu_zone;

  bool operator==(const QuickPrefixEntity&) const = default;
};

// Many calls' quick prefix answers with each entity's fields once: a host that keeps a whole
// log or feed reads a call's entity by its position, and the batch copies far fewer texts.
// Call i matched a prefix when entity[i] is not -1; its answers are then the fields of
// entities[entity[i]], otherwise DXCC "0" and empty texts, as QuickPrefixAnswers has them.
struct QuickPrefixBatch {
  std::vector<QuickPrefixEntity> entities;  // the entities the calls were answered with, once
  std::vector<std::int32_t> entity;         // for each call: its entity's position, or -1
  std::vector<std::string> wpx_prefix;      // for each call
};

// The station-data service. Constructing it runs start-up (folders, logs, databases);
// destroying it runs shut-down. Not thread-safe: use one object per thread, except that
// StopWeb and CancelLoTWImport may be called from another thread while a call is under way
// (the LoTW download does not yield to the host loop). No method throws: a failure shows as
// the method's default or failure value.
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
  // Whether start-up succeeded, and the number, description and source of its failure (the
  // start-up log's line) when it did not.
  StartupStatus GetStartupStatus() const;

  // Databases.
  bool GetLocalFCCStatus();

  // The source that answered the last callbook lookup ("None" after a rejected source text).
  std::string GetDataSource();
  std::string GetDXDataSource();

  // Call check, callbook record and the status of the last lookup.
  std::string GetDataStatus(const std::string& callsign);
  std::string GetCallsign(const std::string& callsign);
  std::string GetState(const std::string& callsign);
  std::int16_t GetDXCCNumber(const std::string& callsign);
  std::string GetPrefixCountry(const std::string& callsign);
  std::string GetPrefixDXCC(const std::string& callsign);
  std::int16_t GetPrefixDXCCNumber(const std::string& callsign);
  std::string GetCountryAbbreviation(const std::string& callsign);
  std::string GetPrefixCountryAbbreviation(const std::string& callsign);
  std::string GetPrefixContinent(const std::string& callsign);
  std::string GetPrefixCQZone(const std::string& callsign);
  std::string GetPrefixITUZone(const std::string& callsign);

  // Zones of a call as at least two digits, or "not found". Where the prefix spans several US
  // zones the station's state decides. GetCQZone always looks the call up again.
  std::string GetCQZone(const std::string& callsign);
  std::string GetITUZone(const std::string& callsign);
  // Zones of a two-letter US state code (or "DC"); "00" for any other text.
  std::string GetCQZoneFromST(const std::string& sState);
  std::string GetITUZoneFromST(const std::string& sState);
  std::string GetCountry(const std::string& callsign);
  std::string GetDXCC(const std::string& callsign);
  std::string GetQSLManager(const std::string& callsign);
  std::string GetLicenseClass(const std::string& callsign);
  std::string GetLicenseType(const std::string& callsign);
  std::string GetFirstName(const std::string& callsign);
  std::string GetMiddleName(const std::string& callsign);
  std::string GetLastname(const std::string& callsign);
  std::string GetNameSuffix(const std::string& callsign);
  std::string GetStreet(const std::string& callsign);
  std::string GetReciprocalAddress(const std::string& callsign);
  std::string GetAlienAddress(const std::string& callsign);
  std::string GetCity(const std::string& callsign);
  std::string GetPostalCode(const std::string& callsign);
  std::string GetBirthDate(const std::string& callsign);
  std::string GetDateFirstIssue(const std::string& callsign);
  std::string GetExpirationDate(const std::string& callsign);
  std::string GetProcessDate(const std::string& callsign);
  std::string GetLast(const std::string& callsign);
  std::string GetMode(const std::string& callsign);
  std::string GetFrequency(const std::string& callsign);
  std::string GetCounty(const std::string& callsign);
  std::string GetHoursOffset(const std::string& callsign);
  std::string GetGridSquare(const std::string& callsign);
  std::string GetIOTA(const std::string& callsign);
  std::string GetTrustee(const std::string& callsign);
  std::string GetAreaCode(const std::string& callsign);
  std::string GetPreviousCall(const std::string& callsign);
  std::string GetPreviousClass(const std::string& callsign);
  std::string GetTransactionType(const std::string& callsign);
  std::string GetEmailAddress(const std::string& callsign);
  std::string GetURL(const std::string& callsign);
  std::string GetVanityFlag(const std::string& callsign);
  std::string GetFAXNumber(const std::string& callsign);
  std::string GetComment(const std::string& callsign);
  std::string GetQTH(const std::string& callsign);
  std::string GetAddress(const std::string& callsign);
  std::string GetFullName(const std::string& callsign);
  std::string GetContinent(const std::string& callsign);
  Variant ClearQuickCheckCall();
  Variant ClearCDCall();

  // Prefix resolution only (no callbook lookup).
  // Resolves a new call for the quick getters: non-zero when no prefix matched it (the
  // getters then keep the previous call's entity); 0 when it matched, and for a repeated call.
  std::int16_t QuickCheckCall(const std::string& callsign);
  // Resolves the call afresh, even when it repeats the last one, and answers the quick prefix
  // getters at once. The getters then answer for this call as after QuickCheckCall.
  QuickPrefixAnswers GetQuickPrefixAnswers(const std::string& callsign);
  // The same into `answers`, whose texts keep their storage: a host that resolves call after
  // call into one object allocates nothing per call.
  void GetQuickPrefixAnswers(const std::string& callsign, QuickPrefixAnswers& answers);
  // The answers for many calls, each as the one-call form gives them, into the first
  // min(callsigns, answers) objects; returns how many were answered (0 on a failure, which
  // leaves those objects empty). Up to `threads` threads (0: one per processor) each resolve
  // a share of the calls over the service's one in-memory copy of the prefix tables; the work
  // is done when this returns. Unlike the one-call form it raises no events and leaves the
  // getters and their one-call cache as they were.
  std::size_t GetQuickPrefixAnswers(std::span<const std::string> callsigns,
                                    std::span<QuickPrefixAnswers> answers, unsigned threads = 1);
  // The same answers for all the calls with each entity once (see QuickPrefixBatch), refilling
  // `batch`, whose texts keep their storage. Returns the number of calls; 0 on a failure,
  // which leaves `batch` empty. Threads, events and getters as for the form above.
  std::size_t GetQuickPrefixBatch(std::span<const std::string> callsigns, QuickPrefixBatch& batch,
                                  unsigned threads = 1);
  std::string GetQuickCountry(const std::string& callsign);
  std::string GetQuickPrefixCountry(const std::string& callsign);
  std::string GetQuickContinent(const std::string& callsign);
  std::string GetQuickPrefixContinent(const std::string& callsign);
  std::string GetQuickLatitude(const std::string& callsign);
  std::string GetQuickPrefixLatitude(const std::string& callsign);
  std::string GetQuickLongitude(const std::string& callsign);
  std::string GetQuickPrefixLongitude(const std::string& callsign);
  std::string GetQuickMasterPrefix(const std::string& callsign);
  std::string GetQuickDXCCNumber(const std::string& callsign);
  std::string GetQuickPrefixDXCCNumber(const std::string& callsign);
  std::string GetQuickPrefixCQZone(const std::string& callsign);
  std::string GetQuickPrefixITUZone(const std::string& callsign);
  std::string GetRealPrefix(const std::string& callsign);
  Variant GetPrefixWPX(const std::string& callsign);
  Variant GetPrefixMasterPrefix(const std::string& callsign);
  Variant GetPrefixHoursOffset(const std::string& callsign);
  std::int16_t GetIsAmbiguousPrefix(const std::string& callsign);
  std::int16_t GetQuickStatus(const std::string& callsign, const std::string& qsodate);
  bool SetSpecialCall(const std::string& callsign);

  // Entities by ID or DXCC number.
  std::string GetCountryFromID(std::int16_t ID);
  std::string GetCountryFromDXCC(std::int16_t DXCC);
  std::string GetContinentFromDXCC(std::int16_t DXCC);
  std::string GetCQZoneFromDXCC(std::int16_t DXCC);
  std::string GetITUZoneFromDXCC(std::int16_t DXCC);
  std::string GetDXCCNumberFromID(std::int16_t ID);
  std::string GetContinentFromID(std::int16_t ID);

  // Distances, headings and positions of the current call (miles, km, degrees).
  Variant GetDXDistance(const std::string& callsign);
  Variant GetPrefixDXDistance(const std::string& callsign);
  Variant GetDXBearing(const std::string& callsign);
  Variant GetPrefixDXBearing(const std::string& callsign);
  Variant GetDXLatitude(const std::string& callsign);
  Variant GetPrefixDXLatitude(const std::string& callsign);
  Variant GetDXLongitude(const std::string& callsign);
  Variant GetPrefixDXLongitude(const std::string& callsign);
  std::string GetMilesToDX(const std::string& callsign);
  std::string GetPrefixMilesToDX(const std::string& callsign);
  std::string GetKmToDX(const std::string& callsign);
  std::string GetPrefixKmToDX(const std::string& callsign);
  std::string GetBearingToDX(const std::string& callsign);
  std::string GetPrefixBearingToDX(const std::string& callsign);

  // Today's sunrise and sunset at the station, decimal hours of its zone time ("6.5" for
  // 06:30), or "not found" in polar day or night; whether it is daylight there now.
  std::string GetSunrise(const std::string& callsign);
  std::string GetSunset(const std::string& callsign);
  bool GetIsNowDaylight(const std::string& callsign);

  // Current weather at the call's nearest observing station, as the report's text gives it
  // ("not found" when the lookup failed). The first getter for a new call fetches the report;
  // the others answer from it. The station is sought at the call's position, or at its
  // entity's for a call with "/". Distance in statute miles.
  std::string GetTemperature(const std::string& callsign);
  std::string GetPrecipitation(const std::string& callsign);
  std::string GetWind(const std::string& callsign);
  std::string GetSky(const std::string& callsign);
  std::string GetDew(const std::string& callsign);
  std::string GetVisibility(const std::string& callsign);
  std::string GetRelative(const std::string& callsign);
  std::string GetAltimeter(const std::string& callsign);
  std::string GetTendency(const std::string& callsign);
  std::string GetCurrentWeather(const std::string& callsign);
  std::string GetWeatherStation(const std::string& callsign);
  std::string GetDistanceToWeatherStation(const std::string& callsign);
  std::string GetWeatherDateTime(const std::string& callsign);
  // "iwin" (hourly roundups), "tgsv" (observations), "wech" (commercial site) or "file" (the
  // local report file), exactly so; anything else answers 1 and keeps the source.
  std::int16_t SetWeatherSourceSite(const std::string& sitecode);

  // The operator's biography and the address of the picture, as the callbook source gave them.
  std::string GetBiography(const std::string& callsign);
  std::string GetPhoto(const std::string& callsign);
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

  // Real-time upload of one QSO to eQSL or Club Log. Every outcome, refusals included, is
  // told through the eQSLStatus event; the results are constants. Club Log gets the record
  // with the eQSL user (the account's e-mail) and password, MyCall and Options::clublog_api_key.
  std::int16_t SetEQSLParms(const std::string& sUser, const std::string& sPassword);  // 1
  std::int16_t SubmitEQSL(const std::string& sCall, const std::string& sDate,
                          const std::string& sTime, const std::string& sMode,
                          const std::string& sBand, const std::string& sFrequency,
                          const std::string& sRST_Received, const std::string& sRST_Sent,
                          const std::string& sComment);
  std::int16_t SubmitClubLog(const std::string& sCall, const std::string& sDate,
                             const std::string& sTime, const std::string& sMode,
                             const std::string& sBand, const std::string& sFrequency,
                             const std::string& sRST_Received, const std::string& sRST_Sent,
                             const std::string& sComment);

  // LoTW. GetLoTW stores the report of confirmations since StartDate in the host's ADIF folder
  // ("adif" in the data folder, or beside it) and replaces the bare name `Filename` by the
  // file's path: 0 when stored (or when the host declared itself off line), 1 on failure, with
  // the attempt told in Logs/ImportError.txt. LoTWDownloadStatus gives 100 before the
  // download and 200 after it. CancelLoTWImport (any thread) ends a download under way.
  std::int32_t GetLoTW(const std::string& Username, const std::string& Password,
                       const std::string& StartDate, std::string& Filename,
                       const std::string& MyCall);
  std::int32_t CancelLoTWImport();                      // 1
  std::int32_t UploadLoTW(const std::string& sFilename);  // 0, does nothing
  // "Y" when the LoTW users list holds the call, else "N".
  std::string GetIsLoTW(const std::string& callsign);

  // Online extras from the maker's service: the reply text, or a message in its place.
  std::string GetSpotComments(const std::string& callsign);
  std::string GetDXNews();
  std::string GetSunData();
  std::string GetLast4AudioClips();

 private:
  std::unique_ptr<Service> service_;
};

}  // namespace torvane
