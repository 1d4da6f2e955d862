#pragma once

#include <cstdint>
#include <string>

namespace torvane {

// The callbook data of the current call, whichever source delivered it. Absent values are
// empty texts; positions are decimal degrees as text (north positive, west negative).
struct CallbookRecord {
  std::string LicenseClass;
  std::string LicenseType;
  std::string FirstName;
  std::string MiddleName;
  std::string Lastname;
  std::string NameSuffix;
  std::string Street;
  std::string ReciprocalAddress;
  std::string AlienAddress;
  std::string City;
  std::string State;  // cdState
  std::string PostalCode;
  std::string BirthDate;
  std::string DateFirstIssue;
  std::string ExpirationDate;
  std::string ProcessDate;
  std::string County;
  std::string HoursOffset;
  std::string Latitude;
  std::string Longitude;
  std::string GridSquare;
  std::string IOTA;
  std::string Trustee;
  std::string AreaCode;
  std::string PreviousCall;
  std::string PreviousClass;
  std::string TransactionType;
  std::string EmailAddress;
  std::string URL;
  std::string VanityFlag;
  std::string FAXNumber;
  std::string Comment;
  std::string QTH;
  std::string Address;
  std::string FullName;
  std::string QSLManager;
  std::string Biography;
  std::string Photo;
  std::string Last;
  std::string Mode;
  std::string Frequency;
  std::string Country;
  std::string Continent;
  std::string CQZone;
  std::string ITUZone;
  std::int16_t DXCCNumber = 0;
  std::string DataStatus;
};

}  // namespace torvane
