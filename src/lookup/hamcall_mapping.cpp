#include "lookup/hamcall_mapping.h"

#include <string>

#include "core/code_page.h"
#include "core/dates.h"
#include "core/text.h"
#include "lookup/address_rules.h"
#include "lookup/guarded_step.h"
#include "lookup/qth_from_parts.h"
#include "lookup/zip_lookup.h"
#include "torvane/variant.h"

namespace torvane {

namespace {

using address::ProperCase;

enum class Form { kAsIs, kProperCase, kDate };

struct MarkedField {
  unsigned char code;
  std::string CallbookRecord::*field;
  Form form;
};

// Marker 209 is not used.
constexpr MarkedField kFields[] = {
    {182, &CallbookRecord::LicenseClass, Form::kAsIs},
    {183, &CallbookRecord::LicenseType, Form::kAsIs},
    {184, &CallbookRecord::FirstName, Form::kProperCase},
    {185, &CallbookRecord::MiddleName, Form::kAsIs},
    {186, &CallbookRecord::Lastname, Form::kProperCase},
    {187, &CallbookRecord::NameSuffix, Form::kAsIs},
    {188, &CallbookRecord::Street, Form::kProperCase},
    {189, &CallbookRecord::ReciprocalAddress, Form::kAsIs},
    {190, &CallbookRecord::AlienAddress, Form::kAsIs},
    {191, &CallbookRecord::City, Form::kProperCase},
    {192, &CallbookRecord::State, Form::kAsIs},
    {193, &CallbookRecord::PostalCode, Form::kAsIs},
    {194, &CallbookRecord::BirthDate, Form::kDate},
    {195, &CallbookRecord::DateFirstIssue, Form::kDate},
    {196, &CallbookRecord::ExpirationDate, Form::kDate},
    {197, &CallbookRecord::ProcessDate, Form::kDate},
    {198, &CallbookRecord::County, Form::kAsIs},
    {199, &CallbookRecord::HoursOffset, Form::kAsIs},
    {200, &CallbookRecord::Latitude, Form::kAsIs},
    {201, &CallbookRecord::Longitude, Form::kAsIs},
    {202, &CallbookRecord::GridSquare, Form::kAsIs},
    {203, &CallbookRecord::AreaCode, Form::kAsIs},
    {204, &CallbookRecord::PreviousCall, Form::kAsIs},
    {205, &CallbookRecord::PreviousClass, Form::kAsIs},
    {206, &CallbookRecord::TransactionType, Form::kAsIs},
    {207, &CallbookRecord::EmailAddress, Form::kAsIs},
    {208, &CallbookRecord::QSLManager, Form::kAsIs},
    {210, &CallbookRecord::URL, Form::kAsIs},
    {211, &CallbookRecord::VanityFlag, Form::kAsIs},
    {212, &CallbookRecord::FAXNumber, Form::kAsIs},
    {213, &CallbookRecord::Comment, Form::kAsIs},
};

constexpr unsigned char kLicenseTypeMarker = 183;

}  // namespace

std::string GetHamCallField(std::string_view record, unsigned char code) {
  const std::size_t marker = record.find(static_cast<char>(code));
  if (marker == std::string_view::npos) return std::string();
  const std::string_view rest = record.substr(marker + 1);
  const std::size_t length = text::Trim(rest).size();
  for (std::size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(rest[i]) > code) return std::string(rest.substr(0, i));
  }
  return std::string(rest.substr(0, length));
}

std::string FormatHamCallDate(std::string_view date) {
  if (date.size() != 8) return std::string();
  std::string month_first = std::string(date.substr(4, 2)) + "/" + std::string(date.substr(6, 2)) +
                            "/" + std::string(date.substr(0, 4));
  const auto parsed = dates::ParseDate(month_first);
  return parsed ? FormatDate(parsed->year, parsed->month, parsed->day) : month_first;
}

void MapHamCallRecord(CallbookRecord& record, std::string_view reply, db::Table& zipcodes) {
  // Markers are bytes of the CD-ROM's code page; the zero terminator ends the record.
  std::string bytes = code_page::Utf8ToCp1252(reply);
  if (const std::size_t end = bytes.find('\0'); end != std::string::npos) bytes.resize(end);

  for (const MarkedField& marked : kFields) {
    GuardedStep([&] {
      const std::string value = GetHamCallField(bytes, marked.code);
      std::string& field = record.*marked.field;
      switch (marked.form) {
        case Form::kAsIs:
          field = code_page::Cp1252ToUtf8(value);
          break;
        case Form::kProperCase:
          field = ProperCase(code_page::Cp1252ToUtf8(value));
          break;
        case Form::kDate:
          field = code_page::Cp1252ToUtf8(FormatHamCallDate(value));
          break;
      }
      if (marked.code == kLicenseTypeMarker && record.LicenseType == "C") {
        record.LicenseClass = "Club Station";
      }
    });
  }
  GuardedStep([&] {
    record.FullName = std::string(text::Trim(record.FirstName + " " + record.MiddleName + " " +
                                             record.Lastname + " " + record.NameSuffix));
  });
  GuardedStep([&] { record.QTH = QthFromParts(record); });
  record.Country.clear();
  GuardedStep([&] { ZipLookup(record, zipcodes, LatitudeCheck::kKeepExisting); });
}

}  // namespace torvane
