#include "lookup/fcc_mapping.h"

#include <optional>
#include <string>

#include "core/activity_log.h"
#include "core/text.h"
#include "lookup/address_rules.h"
#include "lookup/guarded_step.h"
#include "lookup/zip_lookup.h"

namespace torvane {

namespace {

using address::CleanAddress;
using address::ProperCase;

// A field of the table's current record: no value when the table stands on no record (the
// step fails), the empty text for a field without a value.
std::optional<std::string> FieldText(const db::Table& table, std::string_view name) {
  if (!table.HasRecord()) return std::nullopt;
  const Variant* value = table.Field(name);
  return value == nullptr ? std::string() : value->ToText();
}

// Assigns the field's text when the table stands on a record.
void Assign(std::string& target, const db::Table& table, std::string_view name) {
  if (auto value = FieldText(table, name)) target = std::move(*value);
}

std::string FieldOrEmpty(const db::Table& table, std::string_view name) {
  return FieldText(table, name).value_or(std::string());
}

std::string Trimmed(std::string_view value) { return std::string(text::Trim(value)); }

}  // namespace

void MapFccLicence(CallbookRecord& record, db::DatabaseSet& databases, bool devel) {
  db::Table& amateur = databases.Data5;
  db::Table& entity = databases.Data6;
  db::Table& entity_name = databases.Data7;
  db::Table& email = databases.Data8;

  std::int32_t usi = 0;
  GuardedStep([&] {
    if (const Variant* value = amateur.HasRecord() ? amateur.Field("usi") : nullptr) {
      usi = static_cast<std::int32_t>(value->ToLeadingNumber());
    }
  });
  GuardedStep([&] {
    if (auto value = FieldText(amateur, "operatorclass")) {
      record.LicenseClass = address::LicenceClassName(*value, address::LicenceLetters::kFccAndOnline);
    }
  });
  GuardedStep([&] { Assign(record.PreviousCall, amateur, "previouscallsign"); });

  bool entity_found = false;
  GuardedStep([&] { entity_found = entity.SetIndex("USI") && entity.Seek(Variant(usi)); });
  if (entity_found) {
    GuardedStep([&] {
      const std::string middle = FieldOrEmpty(entity, "MI");
      record.FullName = Trimmed(ProperCase(FieldOrEmpty(entity, "firstname")) + " " + middle +
                                (middle.empty() ? "" : " ") +
                                ProperCase(FieldOrEmpty(entity, "lastname")) + " " +
                                ProperCase(FieldOrEmpty(entity, "suffix")));
    });
    GuardedStep([&] {
      if (record.FullName.empty() && entity_name.Seek(Variant(usi))) {
        record.FullName = ProperCase(FieldOrEmpty(entity_name, "entityname"));
      }
    });
    GuardedStep([&] {
      if (auto first = FieldText(entity, "firstname")) record.FirstName = ProperCase(*first);
      if (devel) ActivityLog::Write("FCC record first name: " + record.FirstName);
    });
    GuardedStep([&] {
      if (auto last = FieldText(entity, "lastname")) record.Lastname = ProperCase(*last);
      Assign(record.MiddleName, entity, "MI");
    });
    GuardedStep([&] {
      if (email.Seek(Variant(usi))) Assign(record.EmailAddress, email, "email");
    });
    GuardedStep([&] {
      Assign(record.Street, entity, "streetaddress");
      Assign(record.City, entity, "city");
      Assign(record.State, entity, "state");
      Assign(record.PostalCode, entity, "zipcode");
    });
    GuardedStep([&] {
      // The FCC database names US licensees only: "US" even without a usable ZIP code.
      ZipLookup(record, databases.Data4, LatitudeCheck::kKeepExisting);
      record.Country = "US";
    });
    GuardedStep([&] {
      const std::string street = Trimmed(record.Street);
      const std::string po_box = Trimmed(FieldOrEmpty(entity, "pobox"));
      const std::string city = Trimmed(record.City);
      const std::string state = Trimmed(record.State);
      std::string qth;
      if (!street.empty()) qth += ProperCase(street) + ", ";
      if (!po_box.empty()) qth += "PO Box " + po_box + ", ";
      if (!city.empty()) qth += ProperCase(city) + ", ";
      if (!state.empty()) qth += state + " ";
      qth += record.PostalCode;
      record.QTH = CleanAddress(qth);
    });
  }
  GuardedStep([&] {
    if (entity_name.SetIndex("USI") && entity_name.Seek(Variant(usi))) {
      Assign(record.DateFirstIssue, entity_name, "granteddate");
      Assign(record.ExpirationDate, entity_name, "expirationdate");
    }
  });
}

}  // namespace torvane
