#include "lookup/rac_mapping.h"

#include "core/dates.h"
#include "core/text.h"
#include "lookup/address_rules.h"
#include "lookup/guarded_step.h"
#include "lookup/zip_lookup.h"
#include "torvane/variant.h"

namespace torvane {

namespace {

using address::CleanAddress;
using address::ProperCase;

std::string Trimmed(std::string_view value) { return std::string(text::Trim(value)); }

// The record ends at the library's zero terminator; what follows it is the rest of the
// buffer, not data.
std::string_view RecordOf(std::string_view reply) {
  const std::size_t end = reply.find('\0');
  return end == std::string_view::npos ? reply : reply.substr(0, end + 1);
}

void AssignBetween(std::string& field, std::string_view record, char open, char close) {
  if (auto value = RacFieldBetween(record, open, close)) field = std::move(*value);
}

// The street is the second comma-separated part of the name and address line.
std::string StreetOf(std::string_view line) {
  const std::size_t first = line.find(',');
  if (first == std::string_view::npos) return std::string();
  const std::string_view rest = line.substr(first + 1);
  const std::size_t second = rest.find(',');
  return second == std::string_view::npos ? std::string() : std::string(rest.substr(0, second));
}

std::string_view AfterFirstComma(std::string_view text) {
  const std::size_t comma = text.find(',');
  return comma == std::string_view::npos ? text : text.substr(comma + 1);
}

// Licence dates in a form the reader knows become "dd mmm yyyy"; others stay as delivered.
void AssignDate(std::string& field, std::string_view record, char open, char close) {
  if (auto value = RacFieldBetween(record, open, close)) {
    const auto date = dates::ParseDate(*value);
    field = date ? FormatDate(date->year, date->month, date->day) : std::move(*value);
  }
}

bool Has(std::string_view record, char marker) {
  return record.find(marker) != std::string_view::npos;
}

void MapFirstForm(CallbookRecord& record, std::string_view rac, db::Table& zipcodes) {
  GuardedStep([&] {
    if (auto value = RacFieldBetween(rac, 7, 8)) {
      record.LicenseClass = address::LicenceClassName(*value, address::LicenceLetters::kRacCdrom);
    }
  });
  record.LicenseType.clear();
  GuardedStep([&] {
    const std::size_t marker = rac.find('\x19');
    if (marker == std::string_view::npos) return;
    std::string_view rest = rac.substr(marker + 1);
    if (!rest.empty() && rest.back() == '\0') rest.remove_suffix(1);
    record.FirstName = std::string(rest);
  });
  record.MiddleName.clear();
  AssignBetween(record.Lastname, rac, 3, 4);
  record.NameSuffix.clear();
  GuardedStep([&] {
    if (auto line = RacFieldBetween(rac, 2, 3)) record.Street = StreetOf(*line);
  });
  record.ReciprocalAddress.clear();
  AssignBetween(record.City, rac, 4, 5);
  AssignBetween(record.State, rac, 6, 7);
  AssignBetween(record.PostalCode, rac, 5, 6);
  AssignBetween(record.BirthDate, rac, 15, 16);
  GuardedStep([&] { AssignDate(record.DateFirstIssue, rac, 8, 9); });
  GuardedStep([&] { AssignDate(record.ExpirationDate, rac, 9, 10); });
  record.ProcessDate.clear();
  AssignBetween(record.HoursOffset, rac, 14, 15);
  AssignBetween(record.Latitude, rac, 11, 12);
  GuardedStep([&] {
    // The CD-ROM gives west longitudes as positive numbers.
    if (auto value = RacFieldBetween(rac, 10, 11)) {
      record.Longitude = value->empty() ? std::string() : "-" + *value;
    }
  });
  record.GridSquare.clear();
  AssignBetween(record.AreaCode, rac, 12, 13);
  AssignBetween(record.County, rac, 13, 14);
  AssignBetween(record.PreviousCall, rac, 19, 20);
  AssignBetween(record.PreviousClass, rac, 20, 21);
  record.TransactionType.clear();
  AssignBetween(record.EmailAddress, rac, 24, 25);
  if (Has(rac, 18) && Has(rac, 19)) record.QSLManager.clear();
  record.URL.clear();
  AssignBetween(record.VanityFlag, rac, 21, 22);
  AssignBetween(record.FAXNumber, rac, 23, 24);
  AssignBetween(record.Comment, rac, 22, 23);
  GuardedStep([&] {
    if (auto line = RacFieldBetween(rac, 2, 3)) {
      const std::string q = ProperCase(*line) + ", " + record.State + " " + record.PostalCode;
      record.QTH = CleanAddress(text::Trim(AfterFirstComma(q)));
    }
  });
  AssignBetween(record.Country, rac, 16, 17);
  GuardedStep([&] {
    const std::size_t comma = rac.find(',');
    const std::size_t marker = rac.find('\x02');
    if (comma != std::string_view::npos && comma > 0 && marker != std::string_view::npos &&
        marker > 0) {
      // The name is the start of the name and address line; a comma before that line
      // leaves the name as it was.
      if (comma > marker) record.FullName = std::string(rac.substr(marker + 1, comma - marker - 1));
    } else {
      AssignBetween(record.FullName, rac, 2, 3);
    }
  });
  GuardedStep([&] { ZipLookup(record, zipcodes, LatitudeCheck::kKeepExisting); });
}

void MapSecondForm(CallbookRecord& record, std::string_view rac) {
  AssignBetween(record.LicenseClass, rac, 7, 16);
  record.LicenseType.clear();
  record.FirstName.clear();
  record.MiddleName.clear();
  record.Lastname.clear();
  record.NameSuffix.clear();
  GuardedStep([&] {
    if (auto line = RacFieldBetween(rac, 2, 7)) record.Street = StreetOf(*line);
  });
  for (std::string* field :
       {&record.ReciprocalAddress, &record.City, &record.State, &record.PostalCode,
        &record.BirthDate, &record.DateFirstIssue, &record.ExpirationDate, &record.ProcessDate,
        &record.HoursOffset, &record.Latitude, &record.Longitude, &record.GridSquare,
        &record.AreaCode, &record.PreviousCall, &record.PreviousClass, &record.TransactionType}) {
    field->clear();
  }
  AssignBetween(record.EmailAddress, rac, 24, 0);
  AssignBetween(record.QSLManager, rac, 18, 22);
  record.URL.clear();
  record.VanityFlag.clear();
  AssignBetween(record.FAXNumber, rac, 23, 24);
  record.Comment.clear();
  GuardedStep([&] {
    const auto line = RacFieldBetween(rac, 2, 7);
    if (!line) return;
    const std::string& q = *line;
    const std::size_t comma = q.find(',');
    if (!q.empty() && comma != std::string::npos && comma > 0) {
      record.FullName = Trimmed(q.substr(0, comma));
      const std::size_t first_blank = record.FullName.find(' ');
      record.FirstName = first_blank == std::string::npos
                             ? std::string()
                             : Trimmed(record.FullName.substr(0, first_blank + 1));
      const std::size_t last_blank = record.FullName.rfind(' ');
      if (last_blank != std::string::npos) {
        record.Lastname = Trimmed(record.FullName.substr(last_blank));
      }
    }
    record.QTH = CleanAddress(text::Trim(AfterFirstComma(q)));
  });
  AssignBetween(record.Country, rac, 16, 17);
}

}  // namespace

std::optional<std::string> RacFieldBetween(std::string_view record, char open, char close) {
  const std::size_t start = record.find(open);
  const std::size_t end = record.find(close);
  if (start == std::string_view::npos || end == std::string_view::npos || end <= start) {
    return std::nullopt;
  }
  return std::string(record.substr(start + 1, end - start - 1));
}

void MapRacRecord(CallbookRecord& record, std::string_view reply, db::Table& zipcodes) {
  const std::string_view rac = RecordOf(reply);
  if (Has(rac, 3)) {
    MapFirstForm(record, rac, zipcodes);
  } else {
    MapSecondForm(record, rac);
  }
}

}  // namespace torvane
