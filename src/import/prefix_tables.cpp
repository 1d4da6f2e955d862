#include "import/prefix_tables.h"

#include "import/import_guard.h"

#include <fmt/format.h>

#include <map>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace torvane::import {

namespace {

constexpr int kMaxLink = 32767;  // "plink" values are read as 16-bit integers

// The United States spans three CQ and three ITU zones; these markers let the station's state
// decide instead of one zone for the whole country.
constexpr int kUnitedStatesDxcc = 291;
constexpr std::string_view kUnitedStatesCqZones = "03/04/05";
constexpr std::string_view kUnitedStatesItuZones = "06/07/08";

void SetZones(PrefixRow& row, int cq_zone, int itu_zone) {
  if (row.dxcc == kUnitedStatesDxcc) {
    row.cq_zone = std::string(kUnitedStatesCqZones);
    row.itu_zone = std::string(kUnitedStatesItuZones);
  } else {
    row.cq_zone = std::to_string(cq_zone);
    row.itu_zone = std::to_string(itu_zone);
  }
}

PrefixRow MainRow(const CtyEntity& entity) {
  PrefixRow row;
  row.master_prefix = entity.MasterPrefix();
  row.dxcc = entity.dxcc;
  row.country = entity.country;
  row.continent = entity.continent;
  row.latitude_deg = entity.latitude_deg;
  row.longitude_deg = entity.longitude_deg;
  row.time_offset_hours = entity.time_offset_hours;
  SetZones(row, entity.cq_zone, entity.itu_zone);
  return row;
}

PrefixRow OverriddenRow(const PrefixRow& main, const CtyEntity& entity, const CtyAlias& alias) {
  PrefixRow row = main;
  SetZones(row, alias.cq_zone.value_or(entity.cq_zone), alias.itu_zone.value_or(entity.itu_zone));
  if (alias.continent) row.continent = *alias.continent;
  if (alias.latitude_deg) row.latitude_deg = *alias.latitude_deg;
  if (alias.longitude_deg) row.longitude_deg = *alias.longitude_deg;
  if (alias.time_offset_hours) row.time_offset_hours = *alias.time_offset_hours;
  return row;
}

// What distinguishes the rows of one entity.
using RowValues = std::tuple<std::string, std::string, std::string, double, double, double>;

RowValues ValuesOf(const PrefixRow& row) {
  return {row.cq_zone,      row.itu_zone,      row.continent,
          row.latitude_deg, row.longitude_deg, row.time_offset_hours};
}

class TableBuilder {
 public:
  explicit TableBuilder(const std::vector<CtyEntity>& entities)
      : entities_(entities), rows_of_entity_(entities.size()), main_id_(entities.size(), 0) {}

  Result<PrefixTables> Build() {
    tables_.entities = static_cast<int>(entities_.size());
    for (std::size_t index = 0; index < entities_.size(); ++index) {
      if (entities_[index].WaeOnly()) continue;
      if (Status added = AddRow(index, MainRow(entities_[index])); !added) return added.error();
    }
    for (std::size_t index = 0; index < entities_.size(); ++index) {
      const CtyEntity& entity = entities_[index];
      if (entity.WaeOnly()) {
        if (Status added = AddRow(index, MainRow(entity)); !added) return added.error();
      }
      const std::string master = entity.MasterPrefix();
      // Designator entities ("FO/m", "3Y/b") are reached through their primary prefix, which
      // their alias lists do not repeat.
      if (master.find('/') != std::string::npos) {
        if (Status added = AddKey(index, master, false, nullptr); !added) return added.error();
      }
      for (const CtyAlias& alias : entity.aliases) {
        if (Status added = AddKey(index, alias.key, alias.exact, &alias); !added) {
          return added.error();
        }
      }
    }
    return std::move(tables_);
  }

 private:
  struct KeyOwner {
    std::size_t entity_index;
    std::size_t position;  // in tables_.keys
  };

  Status AddRow(std::size_t entity_index, PrefixRow row) {
    const int id = static_cast<int>(tables_.rows.size()) + 1;
    if (id > kMaxLink) {
      return Error{
          0,
          fmt::format("more than {} entity rows (line {})", kMaxLink, entities_[entity_index].line),
          "Torvane.Import"};
    }
    row.id = id;
    rows_of_entity_[entity_index].emplace(ValuesOf(row), id);
    if (main_id_[entity_index] == 0) main_id_[entity_index] = id;
    tables_.rows.push_back(std::move(row));
    return Status::Ok();
  }

  Result<int> LinkFor(std::size_t entity_index, PrefixRow row) {
    const auto& known = rows_of_entity_[entity_index];
    if (auto found = known.find(ValuesOf(row)); found != known.end()) return found->second;
    if (Status added = AddRow(entity_index, std::move(row)); !added) return added.error();
    return static_cast<int>(tables_.rows.size());
  }

  // Adds a key linked to the entity's row for the alias' overrides (the main row without). A key
  // met again keeps its first owner, except that a prefix takes the key from an exact call:
  // one key cannot be both, and the prefix serves every call under it ("=EF6" of Spain, then
  // Balearic Islands' prefix "EF6"; "=RL1O" then "RL1O[19]" within European Russia).
  // Duplicates across entities are noted; repeats within one are counted.
  Status AddKey(std::size_t entity_index, const std::string& key, bool exact,
                const CtyAlias* alias) {
    PrefixKey* earlier = nullptr;
    if (const auto owner = owner_of_key_.find(key); owner != owner_of_key_.end()) {
      const std::size_t owner_index = owner->second.entity_index;
      earlier = &tables_.keys[owner->second.position];
      const bool prefix_takes_it = earlier->exact && !exact;
      if (owner_index != entity_index) {
        const std::string& later = entities_[entity_index].country;
        const std::string& first = entities_[owner_index].country;
        tables_.duplicates.push_back({key, prefix_takes_it ? later : first,
                                      prefix_takes_it ? first : later,
                                      entities_[entity_index].line});
        if (!prefix_takes_it) return Status::Ok();
        owner->second.entity_index = entity_index;
      } else {
        ++tables_.repeated_keys;
        if (!prefix_takes_it) return Status::Ok();
      }
    }
    const int main_id = main_id_[entity_index];
    int link = main_id;
    if (alias != nullptr && alias->HasOverrides()) {
      auto row = LinkFor(entity_index,
                         OverriddenRow(tables_.rows[main_id - 1], entities_[entity_index], *alias));
      if (!row) return row.error();
      link = *row;
    }
    if (earlier != nullptr) {
      earlier->link = link;
      earlier->exact = false;
      return Status::Ok();
    }
    owner_of_key_.emplace(key, KeyOwner{entity_index, tables_.keys.size()});
    tables_.keys.push_back({key, link, exact});
    return Status::Ok();
  }

  const std::vector<CtyEntity>& entities_;
  std::vector<std::map<RowValues, int>> rows_of_entity_;
  std::vector<int> main_id_;  // the first row of each entity
  std::unordered_map<std::string, KeyOwner> owner_of_key_;
  PrefixTables tables_;
};

}  // namespace

Result<PrefixTables> BuildPrefixTables(const std::vector<CtyEntity>& entities) {
  return TableBuilder(entities).Build();
}

Status WritePrefixTables(db::Connection& connection, const PrefixTables& tables) {
  db::Transaction transaction(connection);
  if (Status begun = transaction.Begin(); !begun) return begun;
  if (Status emptied = connection.Execute("DELETE FROM plink; DELETE FROM Prefixes;"); !emptied) {
    return emptied;
  }

  auto insert_row = connection.Prepare(
      "INSERT INTO Prefixes (ID, master_prefix, DXCC, Country, Continent, Latitude, Longitude, "
      "Time_Offset, CQ_Zone, ITU_Zone) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
  if (!insert_row) return insert_row.error();
  for (const PrefixRow& row : tables.rows) {
    insert_row->Reset();
    const Variant values[] = {Variant(static_cast<std::int32_t>(row.id)),
                              Variant(row.master_prefix),
                              Variant(static_cast<std::int32_t>(row.dxcc)),
                              Variant(row.country),
                              Variant(row.continent),
                              Variant(row.latitude_deg),
                              Variant(row.longitude_deg),
                              Variant(row.time_offset_hours),
                              Variant(row.cq_zone),
                              Variant(row.itu_zone)};
    for (int column = 0; column < static_cast<int>(std::size(values)); ++column) {
      if (Status bound = insert_row->Bind(column + 1, values[column]); !bound) return bound;
    }
    if (auto stepped = insert_row->Step(); !stepped) return stepped.error();
  }

  auto insert_key =
      connection.Prepare("INSERT INTO plink (prefix, plink, inactive) VALUES (?1, ?2, ?3)");
  if (!insert_key) return insert_key.error();
  for (const PrefixKey& key : tables.keys) {
    insert_key->Reset();
    if (Status bound = insert_key->BindText(1, key.key); !bound) return bound;
    if (Status bound = insert_key->BindInteger(2, key.link); !bound) return bound;
    if (Status bound = insert_key->Bind(3, key.exact ? Variant("!") : Variant()); !bound) {
      return bound;
    }
    if (auto stepped = insert_key->Step(); !stepped) return stepped.error();
  }
  return transaction.Commit();
}

CtyImportSummary Summarize(const PrefixTables& tables) {
  return CtyImportSummary{tables.entities, static_cast<int>(tables.keys.size()),
                          static_cast<int>(tables.rows.size()), tables.duplicates,
                          tables.repeated_keys};
}

Result<CtyImportSummary> ImportCtyCsv(db::Connection& connection, const std::string& path,
                                      bool force) {
  auto entities = ReadCtyCsv(path);
  if (!entities) return entities.error();
  auto tables = BuildPrefixTables(*entities);
  if (!tables) return tables.error();
  const std::pair<const char*, std::size_t> new_rows[] = {{"plink", tables->keys.size()},
                                                          {"Prefixes", tables->rows.size()}};
  for (const auto& [table, rows] : new_rows) {
    auto guard = ShrinkGuard::Before(connection, table, force);
    if (!guard) return guard.error();
    if (Status kept = guard->Check(static_cast<std::int64_t>(rows)); !kept) return kept.error();
  }
  if (Status written = WritePrefixTables(connection, *tables); !written) return written.error();
  return Summarize(*tables);
}

}  // namespace torvane::import
