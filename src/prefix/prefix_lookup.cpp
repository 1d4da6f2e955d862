#include "prefix/prefix_lookup.h"

#include <optional>
#include <string_view>

#include "core/dates.h"
#include "core/text.h"
#include "core/variant_reading.h"

namespace torvane {

namespace {

constexpr std::string_view kSuffixes[] = {"/P", "/M", "/A", "/AM", "/MM", "/QRP"};

// The column's text with its sign inverted: the table holds hours west of UTC.
std::string InvertedOffset(const std::string& column) {
  if (!column.empty() && column.front() == '-') return column.substr(1);
  return "-" + column;
}

void DropLast(std::string& work) {
  if (!work.empty()) work.pop_back();
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

bool PrefixLookup::Probe(const std::string& key) {
  return databases_.Data1.Seek(Variant(std::string_view(key)));
}

bool PrefixLookup::Usable(bool first_probe) const {
  const Variant* inactive = databases_.Data1.Field("inactive");
  return inactive == nullptr || inactive->ToText() != "!" || first_probe;
}

bool PrefixLookup::ProbeIteration(const std::string& pair_a, const std::string& pair_b,
                                  std::string& work, std::string& PrefixCall, bool first_probe) {
  if (!pair_a.empty()) {
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
  std::int16_t id = 0;
  ReadInt16(databases_.Data1.Field("plink"), id);
  db::Table& prefixes = databases_.Data2;
  prefixes.SetIndex("ID");
  if (!prefixes.Seek(Variant(id))) return false;

  const auto text = [&](const char* column, std::string& target) {
    ReadText(prefixes.Field(column), target);
  };
  const auto zone = [&](const char* column, std::string& target) {
    ReadNonEmptyText(prefixes.Field(column), target);
  };
  const auto offset = [&] {
    std::string column;
    if (ReadText(prefixes.Field("Time_Offset"), column)) entity.Time_Offset = InvertedOffset(column);
  };
  const auto dxcc = [&](bool positive_only) {
    std::int16_t number = 0;
    if (ReadInt16(prefixes.Field("DXCC"), number) && (positive_only ? number > 0 : number != 0)) {
      entity.DXCC = number;
    }
  };
  const auto id_column = [&] { ReadInt16(prefixes.Field("ID"), entity.ID); };

  // Each pass copies its columns in its own order; only the set of columns matters for the
  // result, but the orders are kept as the lookups define them.
  text("master_prefix", entity.master_prefix);
  switch (fill) {
    case Fill::kCallEntityQuick:
    case Fill::kPrefixEntityQuick:
      text("Country", entity.Country);
      text("Continent", entity.Continent);
      text("Latitude", entity.Latitude);
      text("Longitude", entity.Longitude);
      if (fill == Fill::kCallEntityQuick) offset();
      dxcc(/*positive_only=*/true);
      zone("CQ_Zone", entity.CQ_Zone);
      zone("ITU_Zone", entity.ITU_Zone);
      text("End_Date", entity.End_Date);
      text("Begin_Date", entity.Begin_Date);
      if (fill == Fill::kCallEntityQuick) {
        text("Abbreviation", entity.Abbreviation);
        id_column();
      } else {
        id_column();
        text("Abbreviation", entity.Abbreviation);
      }
      break;
    case Fill::kCallEntityCallbook:
    case Fill::kPrefixEntityCallbook:
      dxcc(/*positive_only=*/false);
      text("Country", entity.Country);
      text("Latitude", entity.Latitude);
      text("Longitude", entity.Longitude);
      if (fill == Fill::kCallEntityCallbook) offset();
      zone("CQ_Zone", entity.CQ_Zone);
      zone("ITU_Zone", entity.ITU_Zone);
      text("Continent", entity.Continent);
      text("Abbreviation", entity.Abbreviation);
      text("End_Date", entity.End_Date);
      text("Begin_Date", entity.Begin_Date);
      id_column();
      break;
  }
  return true;
}

bool PrefixLookup::LookupPrefix(const std::string& BaseCall, std::string& PrefixCall) {
  bool first_probe = true;
  bool found = false;
  WPXPrefix.clear();
  databases_.Data1.SetIndex("prefix");

  std::string work = BaseCall;
  std::size_t n = work.size();
  std::string pair_a;
  std::string pair_b;
  if (!PrefixCall.empty()) {
    pair_a = PrefixCall + "/" + BaseCall;
    pair_b = BaseCall + "/" + PrefixCall;
  }
  // Guantanamo's KG4 calls have five characters; longer KG4 calls are United States calls
  // in the fourth call area.
  if (text::Contains(work, "KG4") && n != 5) PrefixCall = "W4";

  if (work.size() > 2) {
    bool digit_seen = false;
    for (std::size_t i = 0; i < n; ++i) {
      if (!digit_seen && !work.empty() && text::IsDigit(work.back())) {
        WPXPrefix = work;
        digit_seen = true;
      }
      DropLast(work);
    }
  }

  work = PrefixCall.empty() ? BaseCall : PrefixCall;
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
    if (WPXPrefix.empty()) WPXPrefix = work;
    if (FollowLink(CallEntity, Fill::kCallEntityQuick)) found = true;
  }

  first_probe = true;
  if (PrefixCall.empty()) {
    const std::string time_offset = PrefixEntity.Time_Offset;
    PrefixEntity = CallEntity;
    PrefixEntity.Time_Offset = time_offset;
  } else {
    work = PrefixCall;
    n = work.size();
    for (std::size_t i = 1; i <= n; ++i) {
      if (Probe(work) && Usable(first_probe)) {
        if (WPXPrefix.empty()) WPXPrefix = work;
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
  databases_.Data1.SetIndex("prefix");

  const std::string stripped = StrippedCall(BaseCall);
  const std::size_t n = stripped.size();
  std::string pair_a;
  std::string pair_b;
  if (!PrefixCall.empty() && !IsPieceOfDigits(PrefixCall)) {
    pair_a = PrefixCall + "/" + BaseCall;
    pair_b = BaseCall + "/" + PrefixCall;
  }
  if (text::Contains(stripped, "KG4") && n != 5) PrefixCall = "W4";

  std::string work = BaseCall;
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
      WPXPrefix = work;
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
  db::Table& old_keys = databases_.Data9;
  old_keys.SetIndex("prefix");
  std::string work = PrefixCall;
  const std::size_t n = work.size();
  for (std::size_t i = 1; i <= n; ++i) {
    if (old_keys.Seek(Variant(std::string_view(work)))) {
      ReadText(old_keys.Field("Before"), before);
      ReadInt16(old_keys.Field("plink"), old_id);
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
