#include "lookup/qrz_mapping.h"

#include <string>

#include "core/text.h"
#include "lookup/address_rules.h"
#include "lookup/guarded_step.h"
#include "lookup/tag_value.h"

namespace torvane {

bool MapQrzAnswer(CallbookRecord& record, std::string_view reply, std::string_view biography) {
  using address::ProperCase;
  const auto tag = [reply](std::string_view name) { return GetTagValue(reply, name); };

  // The service's own words are "Not found: CALL", which this test does not catch: such a
  // reply is mapped, and its missing tags empty the fields.
  if (text::Contains(text::ToLower(reply), "not found in")) {
    record.DataStatus = "Call not found in QRZ database.";
    return false;
  }
  GuardedStep([&] {
    const std::string first_names = tag("fname");
    record.FirstName = address::FirstWord(first_names);
    const std::string family_name = tag("name");
    record.Lastname = family_name;
    record.FullName = first_names + " " + family_name;
  });
  GuardedStep([&] {
    record.Street = tag("addr1");
    record.City = tag("addr2");
    record.State = tag("state");
    record.PostalCode = tag("zip");
  });
  GuardedStep([&] {
    record.QTH = address::CleanAddress(ProperCase(record.Street) + ", " + ProperCase(record.City) +
                                       ", " + record.State + " " + record.PostalCode);
  });
  GuardedStep([&] {
    record.IOTA = tag("iota");
    record.Country = tag("country");
    record.County = tag("county");
    record.LicenseClass =
        address::LicenceClassName(tag("class"), address::LicenceLetters::kFccAndOnline);
  });
  GuardedStep([&] {
    record.PreviousCall = tag("p_call");
    record.Trustee.clear();
    record.GridSquare = tag("grid");
  });
  GuardedStep([&] {
    // Older replies give the position in "latd"/"lond" only.
    record.Latitude = tag("lat");
    if (record.Latitude.empty()) record.Latitude = tag("latd");
    record.Longitude = tag("lon");
    if (record.Longitude.empty()) record.Longitude = tag("lond");
  });
  GuardedStep([&] {
    record.EmailAddress = tag("email");
    record.URL = tag("url");
    record.QSLManager = tag("qslmgr");
    record.Biography = std::string(biography);
    record.Photo = tag("image");
  });
  return true;
}

}  // namespace torvane
