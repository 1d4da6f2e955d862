#include "lookup/zip_lookup.h"

#include "torvane/variant.h"

namespace torvane {

bool ZipLookup(CallbookRecord& record, db::Table& zipcodes, LatitudeCheck check) {
  const std::string& zip = record.PostalCode;
  const double value = LeadingNumber(zip);
  if (zip.size() != 5 || value <= 1 || value >= 99999) return false;
  if (check == LatitudeCheck::kAlwaysLookUp || record.Latitude.empty()) {
    if (zipcodes.SetIndex("zip") && zipcodes.Seek(Variant(value))) {
      if (const Variant* latitude = zipcodes.Field("latitude")) record.Latitude = latitude->ToText();
      if (const Variant* longitude = zipcodes.Field("longitude")) {
        record.Longitude = "-" + longitude->ToText();
      }
    }
  }
  record.Country = "US";
  return true;
}

}  // namespace torvane
