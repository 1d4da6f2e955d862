#include "prefix/prefix_lookup.h"

#include <optional>
#include <string_view>

#include "core/dates.h"
#include "core/text.h"

namespace torvane {

namespace {

constexpr std::string_view kSuffixes[] = {"/P", "/M", "/A", "/AM", "/MM", "/QRP"};

// A field of a copy that differs: comparing a short text costs less than copying it.
void Assign(std::string& target, const std::string& value) {
  if (target != value) target = value;
}

// The end of the WPX prefix: just after the call's last digit; 0 without a digit.
std::size_t EndOfLastDigit(std::string_view call) {
  for (std::size_t end = call.size(); end > 0; --end) {
    if (call[end - 1] >= '0' && call[end - 1] <= '9') return end;
  }
  return 0;
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

const KeyRow* PrefixLookup::FindFirstPassKey(const std::string& pair_a, const std::string& pair_b,
                                            std::string_view& work, std::size_t count,
                                            std::string& PrefixCall) {
  // The pairs are probed once, before the heads: one that matches is taken whole, where any
  // row is usable; one that does not match would match no later probe either.
  if (count > 0 && !pair_a.empty()) {
    if (tables_.FindKey(pair_a) != nullptr) {
      work = pair_a;
      PrefixCall.clear();
    } else if (tables_.FindKey(pair_b) != nullptr) {
      work = pair_b;
      PrefixCall.clear();
    }
  }
  return tables_.FindLongestKey(work, count);
}

bool PrefixLookup::FollowLink(const KeyRow& key_row, TrackedEntity& tracked, Fill fill,
                              const EntityRow*& row) {
  row = tables_.FindEntity(key_row.link);
  if (row == nullptr) return false;
  if (!records_read_) return true;
  const std::uint64_t generation = tables_.RowsGeneration();
  const CopySource source{row, fill, generation};
  if (generation != 0 && tracked.Holds(source)) return true;
  EntityInfo& entity = tracked.Copying(source);
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

void PrefixLookup::CopyCallEntityToPrefixEntity() {
  if (!records_read_) return;
  const CopySource source{&call_entity_, Fill::kPrefixEntityQuick, call_entity_.changes};
  if (prefix_entity_.Holds(source)) return;
  const EntityInfo& from = call_entity_.info;
  EntityInfo& to = prefix_entity_.Copying(source);
  for (auto field : {&EntityInfo::master_prefix, &EntityInfo::Country, &EntityInfo::Continent,
                     &EntityInfo::Latitude, &EntityInfo::Longitude, &EntityInfo::CQ_Zone,
                     &EntityInfo::ITU_Zone, &EntityInfo::Abbreviation, &EntityInfo::Begin_Date,
                     &EntityInfo::End_Date}) {
    Assign(to.*field, from.*field);
  }
  to.DXCC = from.DXCC;
  to.ID = from.ID;
}

bool PrefixLookup::LookupPrefix(const std::string& BaseCall, std::string& PrefixCall) {
  bool found = false;
  WPXPrefix.clear();
  prefix_entity_row_ = nullptr;
  tables_.BeginLookup();

  // Kept between lookups, so that their storage is too.
  std::string& pair_a = pair_a_;
  std::string& pair_b = pair_b_;
  pair_a.clear();
  pair_b.clear();
  if (!PrefixCall.empty()) {
    pair_a.append(PrefixCall).append(1, '/').append(BaseCall);
    pair_b.append(BaseCall).append(1, '/').append(PrefixCall);
  }
  // Guantanamo's KG4 calls have five characters; longer KG4 calls are United States calls
  // in the fourth call area.
  if (BaseCall.size() != 5 && text::Contains(BaseCall, "KG4")) PrefixCall = "W4";

  // The WPX prefix runs to the call's last digit.
  if (BaseCall.size() > 2) {
    WPXPrefix = BaseCall;
    WPXPrefix.resize(EndOfLastDigit(BaseCall));
  }

  // As many heads as the deciding text has, of the base call unless a pair decides.
  std::string_view work = PrefixCall.empty() ? BaseCall : PrefixCall;
  const std::size_t count = work.size();
  if (pair_a.empty()) work = BaseCall;
  const KeyRow* taken = FindFirstPassKey(pair_a, pair_b, work, count, PrefixCall);
  const EntityRow* call_row = nullptr;
  if (taken != nullptr) {
    if (WPXPrefix.empty()) WPXPrefix.assign(work);
    if (FollowLink(*taken, call_entity_, Fill::kCallEntityQuick, call_row)) found = true;
  }

  if (PrefixCall.empty()) {
    CopyCallEntityToPrefixEntity();
    prefix_entity_row_ = call_row;
  } else if (!pair_a.empty()) {
    // The first pass walked the prefix call exactly as this one would: take its outcome.
    if (taken != nullptr &&
        FollowLink(*taken, prefix_entity_, Fill::kPrefixEntityQuick, prefix_entity_row_)) {
      found = true;
    }
  } else {
    work = PrefixCall;
    if (const KeyRow* row = tables_.FindLongestKey(work, work.size())) {
      if (WPXPrefix.empty()) WPXPrefix.assign(work);
      if (FollowLink(*row, prefix_entity_, Fill::kPrefixEntityQuick, prefix_entity_row_)) {
        found = true;
      }
    }
  }

  if (!web_.webStopped) events_.CallDataOK(true);
  return !found;
}

bool PrefixLookup::LookupPrefixForCallbook(const std::string& BaseCall, std::string& PrefixCall) {
  bool found = false;
  prefix_entity_row_ = nullptr;
  tables_.BeginLookup();

  const std::string stripped = StrippedCall(BaseCall);
  std::string pair_a;
  std::string pair_b;
  if (!PrefixCall.empty() && !IsPieceOfDigits(PrefixCall)) {
    pair_a = PrefixCall + "/" + BaseCall;
    pair_b = BaseCall + "/" + PrefixCall;
  }
  if (stripped.size() != 5 && text::Contains(stripped, "KG4")) PrefixCall = "W4";

  // As many heads of the call as its stripped form has characters.
  std::string_view work = BaseCall;
  if (const KeyRow* row = FindFirstPassKey(pair_a, pair_b, work, stripped.size(), PrefixCall)) {
    const EntityRow* call_row = nullptr;
    if (FollowLink(*row, call_entity_, Fill::kCallEntityCallbook, call_row)) found = true;
  }

  if (PrefixCall.empty() || IsPieceOfDigits(PrefixCall)) PrefixCall = BaseCall;
  if (PrefixCall == BaseCall) return found;

  work = PrefixCall;
  if (const KeyRow* row = tables_.FindLongestKey(work, work.size())) {
    WPXPrefix.assign(work);
    const EntityRow* prefix_row = nullptr;
    if (FollowLink(*row, prefix_entity_, Fill::kPrefixEntityCallbook, prefix_row)) found = true;
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
  const EntityInfo& entity = prefix_entity_.info;
  if (entity.End_Date.size() > 4) {
    const auto end = dates::ParseDate(entity.End_Date);
    if (end && qso_day > *end) return 0;
  }
  if (entity.Begin_Date.size() > 4) {
    const auto begin = dates::ParseDate(entity.Begin_Date);
    if (begin && qso_day < *begin) return 0;
  }
  return entity.ID;
}

}  // namespace torvane
