#include "lookup/nuvex_mapping.h"

#include <string>

#include "core/text.h"
#include "lookup/address_rules.h"
#include "lookup/guarded_step.h"
#include "lookup/tag_value.h"

namespace torvane {

bool MapNuvexAnswer(CallbookRecord& record, std::string_view reply) {
  using address::ProperCase;
  const auto tag = [reply](std::string_view name) { return GetTagValue(reply, name); };

  if (text::Contains(text::ToLower(reply), "not found in")) {
    record.DataStatus = "Call not found in Nuvex database.";
    return false;
  }
  GuardedStep([&] {
    const std::string first_names = tag("Name");
    record.FirstName = address::FirstWord(first_names);
    const std::string family_name = tag("name");
    record.Lastname = family_name;
    record.FullName = first_names + " " + family_name;
  });
  GuardedStep([&] {
    record.Street = tag("Street");
    record.City = tag("City");
    record.County = tag("County");
    record.State = tag("State");
    record.PostalCode = tag("Zip");
  });
  GuardedStep([&] {
    record.QTH =
        address::CleanAddress(ProperCase(record.Street) + ", " + ProperCase(record.City) + ", " +
                              record.County + ", " + record.State + " " + record.PostalCode);
  });
  GuardedStep([&] {
    record.Country = tag("Country");
    record.County = tag("County");
    record.Last = tag("Last");
    record.Mode = tag("Mode");
    record.Frequency = tag("Frequency");
    record.LicenseClass =
        address::LicenceClassName(tag("Class"), address::LicenceLetters::kFccAndOnline);
  });
  GuardedStep([&] {
    record.PreviousCall = tag("p_call");
    record.Trustee.clear();
    record.GridSquare = tag("Grid");
    record.Latitude = tag("Latitude");
    record.Longitude = tag("Longitude");
  });
  GuardedStep([&] {
    record.EmailAddress = tag("Email");
    record.URL = tag("OwnDomain");
    record.QSLManager = tag("qslmgr");
    record.Biography = tag("Bio");
    record.Photo = tag("image");
  });
  return true;
}

}  // namespace torvane
