#include "lookup/qrz_cdrom_mapping.h"

#include <cstdint>
#include <string>

#include "core/text.h"
#include "lookup/address_rules.h"
#include "lookup/guarded_step.h"
#include "lookup/qth_from_parts.h"
#include "lookup/zip_lookup.h"

namespace torvane {

namespace {

enum class Form { kAsIs, kProperCase, kFirstWord };

struct NumberedField {
  std::int32_t number;
  std::string CallbookRecord::*field;
  Form form;
};

// In the order the fields are read: the library's buffer holds one field at a time.
constexpr NumberedField kFields[] = {
    {100, &CallbookRecord::FullName, Form::kProperCase},
    {1, &CallbookRecord::Lastname, Form::kProperCase},
    {3, &CallbookRecord::FirstName, Form::kFirstWord},
    {4, &CallbookRecord::MiddleName, Form::kProperCase},
    {5, &CallbookRecord::BirthDate, Form::kAsIs},
    {7, &CallbookRecord::ExpirationDate, Form::kAsIs},
    {8, &CallbookRecord::Street, Form::kProperCase},
    {9, &CallbookRecord::City, Form::kProperCase},
    {10, &CallbookRecord::State, Form::kAsIs},
    {11, &CallbookRecord::PostalCode, Form::kAsIs},
    {12, &CallbookRecord::LicenseClass, Form::kAsIs},
    {13, &CallbookRecord::PreviousCall, Form::kAsIs},
    {14, &CallbookRecord::PreviousClass, Form::kAsIs},
};

}  // namespace

void MapQrzCdromRecord(CallbookRecord& record, QrzCdrom& library, db::Table& zipcodes) {
  using address::ProperCase;
  for (const NumberedField& numbered : kFields) {
    GuardedStep([&] {
      auto value = library.QRZField(numbered.number);
      if (!value) return;
      std::string& field = record.*numbered.field;
      switch (numbered.form) {
        case Form::kAsIs:
          field = std::move(*value);
          break;
        case Form::kProperCase:
          field = ProperCase(*value);
          break;
        case Form::kFirstWord:
          field = std::string(text::Trim(address::FirstWord(ProperCase(*value))));
          break;
      }
    });
  }
  GuardedStep([&] { record.QTH = QthFromParts(record); });
  // This mapping writes no position of its own, so one left from an earlier call must not
  // stop the ZIP code from placing the station.
  GuardedStep([&] { ZipLookup(record, zipcodes, LatitudeCheck::kAlwaysLookUp); });
}

}  // namespace torvane
