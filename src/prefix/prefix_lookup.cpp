#include "prefix/prefix_lookup.h"

#include <optional>
#include <string_view>

#include "core/dates.h"
#include "core/text.h"

namespace torvane {

namespace {

constexpr std::string_view kSuffixes[] = {"/P", "/M", "/A", "/AM", "/MM", "/QRP"};

// Consecutive calls mostly resolve to the same entity: comparing a short text costs less
// than copying it.
void Assign(std::string& target, const std::string& value) {
  if (target != value) target = value;
}

// Every field but the offset, which each entity keeps from its own lookups.
void CopyAllButOffset(const EntityInfo& from, EntityInfo& to) {
  for (auto field : {&EntityInfo::master_prefix, &EntityInfo::Country, &EntityInfo::Continent,
                     &EntityInfo::Latitude, &EntityInfo::Longitude, &EntityInfo::CQ_Zone,
                     &EntityInfo::ITU_Zone, &EntityInfo::Abbreviation, &EntityInfo::Begin_Date,
                     &EntityInfo::End_Date}) {
    Assign(to.*field, from.*field);
  }
  to.DXCC = from.DXCC;
  to.ID = from.ID;
}

// The probes are ever shorter heads of one text: views, not copies.
void DropLast(std::string_view& work) {
  if (!work.empty()) work.remove_suffix(1);
}

bool IsPieceOfDigits(const std::string& text) {
  return std::string_view("0123456789").find(text) != std::string_view::npos;
}

// BaseCall without the portable and mode suffix that ends it.
std::string StrippedCall(const std::string& base_call) {
  std::string stripped = text::ReplaceAll(base_call, "\\", "/");
  for (std::string_view suffix : kSuffixes) {
    const std::size_t first = stripped.find(suffix);
    if (first != std::string::npos && first + suffix.size() == stripped.size()) {
      stripped = text::ReplaceAll(stripped, suffix, "");
    }
  }
  return stripped;
}

}  // namespace

bool PrefixLookup::Probe(std::string_view key) {
  key_row_ = tables_.FindKey(key);
  return key_row_ != nullptr;
}

bool PrefixLookup::Usable(bool first_probe) const {
  return !key_row_->exact_only || first_probe;
}

bool PrefixLookup::ProbeIteration(const std::string& pair_a, const std::string& pair_b,
                                  std::string_view& work, std::string& PrefixCall,
                                  bool first_probe) {
  // A pair that matches is taken in the first iteration, where every probe is usable; one that
  // does not match then matches in no later iteration either.
  if (first_probe && !pair_a.empty()) {
    if (Probe(pair_a)) {
      work = pair_a;
      PrefixCall.clear();
    } else if (Probe(pair_b)) {
      work = pair_b;
      PrefixCall.clear();
    }
  }
  return Probe(work) && Usable(first_probe);
}

bool PrefixLookup::FollowLink(EntityInfo& entity, Fill fill) {
  const EntityRow* row = tables_.FindEntity(key_row_->link);
  if (row == nullptr) return false;
  const auto copy = [](const std::optional<std::string>& value, std::string& target) {
    if (value) Assign(target, *value);
  };
  copy(row->master_prefix, entity.master_prefix);
  copy(row->Country, entity.Country);
  copy(row->Continent, entity.Continent);
  copy(row->Latitude, entity.Latitude);
  copy(row->Longitude, entity.Longitude);
  if (fill == Fill::kCallEntityQuick || fill == Fill::kCallEntityCallbook) {
    copy(row->Time_Offset, entity.Time_Offset);
  }
  // The quick lookups take only a positive number; the callbook's any but 0.
  const bool quick = fill == Fill::kCallEntityQuick || fill == Fill::kPrefixEntityQuick;
  if (row->DXCC && (quick ? *row->DXCC > 0 : *row->DXCC != 0)) entity.DXCC = *row->DXCC;
  copy(row->CQ_Zone, entity.CQ_Zone);
  copy(row->ITU_Zone, entity.ITU_Zone);
  copy(row->Abbreviation, entity.Abbreviation);
  copy(row->Begin_Date, entity.Begin_Date);
  copy(row->End_Date, entity.End_Date);
  if (row->ID) entity.ID = *row->ID;
  return true;
}

bool PrefixLookup::LookupPrefix(const std::string& BaseCall, std::string& PrefixCall) {
  bool first_probe = true;
  bool found = false;
  WPXPrefix.clear();
  tables_.BeginLookup();

  std::size_t n = BaseCall.size();
  std::string pair_a;
  std::string pair_b;
  if (!PrefixCall.empty()) {
    pair_a = PrefixCall + "/" + BaseCall;
    pair_b = BaseCall + "/" + PrefixCall;
  }
  // Guantanamo's KG4 calls have five characters; longer KG4 calls are United States calls
  // in the fourth call area.
  if (text::Contains(BaseCall, "KG4") && n != 5) PrefixCall = "W4";

  // The WPX prefix runs to the call's last digit.
  if (n > 2) {
    const std::size_t last_digit = BaseCall.find_last_of("0123456789");
    if (last_digit != std::string::npos) WPXPrefix.assign(BaseCall, 0, last_digit + 1);
  }

  std::string_view work = PrefixCall.empty() ? BaseCall : PrefixCall;
  n = work.size();
  bool taken = false;
  for (std::size_t i = 1; i <= n; ++i) {
    if (pair_a.empty() && i == 1) work = BaseCall;
    if (ProbeIteration(pair_a, pair_b, work, PrefixCall, first_probe)) {
      taken = true;
      break;
    }
    first_probe = false;
    DropLast(work);
  }
  if (taken) {
    if (WPXPrefix.empty()) WPXPrefix.assign(work);
    if (FollowLink(CallEntity, Fill::kCallEntityQuick)) found = true;
  }

  first_probe = true;
  if (PrefixCall.empty()) {
    CopyAllButOffset(CallEntity, PrefixEntity);
  } else if (!pair_a.empty()) {
    // The first pass walked the prefix call exactly as this one would: take its outcome.
    if (taken && FollowLink(PrefixEntity, Fill::kPrefixEntityQuick)) found = true;
  } else {
    work = PrefixCall;
    n = work.size();
    for (std::size_t i = 1; i <= n; ++i) {
      if (Probe(work) && Usable(first_probe)) {
        if (WPXPrefix.empty()) WPXPrefix.assign(work);
        if (FollowLink(PrefixEntity, Fill::kPrefixEntityQuick)) found = true;
        break;
      }
      first_probe = false;
      DropLast(work);
    }
  }

  if (!web_.webStopped) events_.CallDataOK(true);
  return !found;
}

bool PrefixLookup::LookupPrefixForCallbook(const std::string& BaseCall, std::string& PrefixCall) {
  bool first_probe = true;
  bool found = false;
  tables_.BeginLookup();

  const std::string stripped = StrippedCall(BaseCall);
  const std::size_t n = stripped.size();
  std::string pair_a;
  std::string pair_b;
  if (!PrefixCall.empty() && !IsPieceOfDigits(PrefixCall)) {
    pair_a = PrefixCall + "/" + BaseCall;
    pair_b = BaseCall + "/" + PrefixCall;
  }
  if (text::Contains(stripped, "KG4") && n != 5) PrefixCall = "W4";

  std::string_view work = BaseCall;
  for (std::size_t i = 1; i <= n; ++i) {
    if (ProbeIteration(pair_a, pair_b, work, PrefixCall, first_probe)) {
      if (FollowLink(CallEntity, Fill::kCallEntityCallbook)) found = true;
      break;
    }
    first_probe = false;
    DropLast(work);
  }

  if (PrefixCall.empty() || IsPieceOfDigits(PrefixCall)) PrefixCall = BaseCall;
  if (PrefixCall == BaseCall) return found;

  first_probe = true;
  work = PrefixCall;
  const std::size_t prefix_length = work.size();
  for (std::size_t i = 1; i <= prefix_length; ++i) {
    if (Probe(work) && Usable(first_probe)) {
      WPXPrefix.assign(work);
      if (FollowLink(PrefixEntity, Fill::kPrefixEntityCallbook)) found = true;
      break;
    }
    first_probe = false;
    DropLast(work);
  }
  return found;
}

std::int16_t PrefixLookup::EntityIdOnDate(const std::string& qsodate,
                                          const std::string& PrefixCall) {
  if (qsodate.empty()) return 0;
  // A date that cannot be read leaves the day at the platform's zero date.
  const dates::Date qso_day = dates::ParseDate(qsodate).value_or(dates::Date{1899, 12, 30});

  std::string before = "0";
  std::int16_t old_id = 0;
  tables_.BeginLookup();
  std::string_view work = PrefixCall;
  const std::size_t n = work.size();
  for (std::size_t i = 1; i <= n; ++i) {
    if (const OldKeyRow* row = tables_.FindOldKey(work)) {
      if (row->Before) before = *row->Before;
      if (row->link) old_id = *row->link;
      break;
    }
    DropLast(work);
  }

  if (before.size() == 4) {
    const auto before_day = dates::ParseDate("1/1/" + before);
    if (before_day && qso_day < *before_day) return old_id;
  }
  if (PrefixEntity.End_Date.size() > 4) {
    const auto end = dates::ParseDate(PrefixEntity.End_Date);
    if (end && qso_day > *end) return 0;
  }
  if (PrefixEntity.Begin_Date.size() > 4) {
    const auto begin = dates::ParseDate(PrefixEntity.Begin_Date);
    if (begin && qso_day < *begin) return 0;
  }
  return PrefixEntity.ID;
}

}  // namespace torvane
