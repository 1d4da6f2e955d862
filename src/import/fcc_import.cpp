#include "import/fcc_import.h"

#include "import/import_guard.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fmt/format.h>
#include <memory>
#include <unordered_map>

#include "core/files.h"
#include "core/db/data_folder.h"
#include "core/db/sqlite.h"
#include "import/uls_records.h"
#include "import/uls_source.h"

namespace torvane::import {

namespace {

constexpr const char* kErrorSource = "Torvane.FccImport";
constexpr std::size_t kRejectedQuoted = 5;

struct Licence {
  UlsAmateur amateur;
  bool active = false;
  int granted = 0;  // yyyymmdd
};

struct ParsedFile {
  std::unordered_map<std::int32_t, UlsHeader> headers;
  std::unordered_map<std::int32_t, UlsEntity> entities;
  std::vector<Licence> licences;
};

class Progress {
 public:
  Progress(const ImportProgress& report, std::uint64_t total) : report_(report), total_(total) {}
  void Add(std::uint64_t bytes) {
    done_ += bytes;
    if (report_) report_(done_, total_);
  }

 private:
  const ImportProgress& report_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
};

// Reads every record of one member, handing each to `take`, which returns the rejection
// reason or an empty text.
template <typename Take>
Status ReadMember(UlsSource& source, const std::string& member, std::string_view type,
                  Progress& progress, FccImportSummary& summary, Take take) {
  auto reader = source.OpenMember(member);
  if (!reader) return reader.error();
  UlsRecordReader records(**reader, type, [&progress](std::uint64_t bytes) { progress.Add(bytes); });
  std::string record;
  std::uint64_t line = 0;
  std::string reason;
  while (true) {
    auto more = records.Next(record, line);
    if (!more) return more.error();
    if (!*more) return Status::Ok();
    ++summary.records_read;
    reason.clear();
    take(record, reason);
    if (reason.empty()) continue;
    ++summary.records_rejected;
    if (summary.first_rejected.size() < kRejectedQuoted) {
      summary.first_rejected.push_back({member, line, reason, record});
    }
  }
}

Result<ParsedFile> ReadUlsFile(const std::string& path, const ImportProgress& report,
                               FccImportSummary& summary) {
  auto opened = UlsSource::Open(path);
  if (!opened) return opened.error();
  UlsSource& source = **opened;
  std::uint64_t total = 0;
  for (const char* member : {"HD.dat", "AM.dat", "EN.dat"}) {
    auto size = source.Size(member);
    if (!size) return size.error();
    total += *size;
  }
  Progress progress(report, total);
  ParsedFile parsed;

  Status read = ReadMember(source, "HD.dat", "HD", progress, summary,
                           [&](const std::string& record, std::string& reason) {
                             if (auto header = ParseHeader(record, reason)) {
                               parsed.headers[header->usi] = std::move(*header);
                             }
                           });
  if (!read) return read.error();
  read = ReadMember(source, "AM.dat", "AM", progress, summary,
                    [&](const std::string& record, std::string& reason) {
                      if (auto amateur = ParseAmateur(record, reason)) {
                        Licence licence{std::move(*amateur)};
                        if (auto header = parsed.headers.find(licence.amateur.usi);
                            header != parsed.headers.end()) {
                          licence.active = header->second.status == "A";
                          licence.granted = UlsDateKey(header->second.granted);
                        }
                        parsed.licences.push_back(std::move(licence));
                      }
                    });
  if (!read) return read.error();
  read = ReadMember(source, "EN.dat", "EN", progress, summary,
                    [&](const std::string& record, std::string& reason) {
                      auto entity = ParseEntity(record, reason);
                      if (!entity) return;
                      // A licence may list contacts besides the licensee: the licensee wins.
                      auto [slot, inserted] = parsed.entities.try_emplace(entity->usi);
                      if (inserted || entity->entity_type == "L") slot->second = std::move(*entity);
                    });
  if (!read) return read.error();
  return parsed;
}

// Binds each value (an empty text as Null) and runs the statement once. The texts outlive the
// statement's reset.
Status Insert(db::Statement& statement, std::initializer_list<std::string_view> values) {
  int index = 1;
  for (std::string_view value : values) {
    Status bound = value.empty()
                       ? statement.Bind(index, Variant())
                       : statement.BindText(index, value, db::Statement::Lifetime::kUntilReset);
    if (!bound) return bound;
    ++index;
  }
  auto stepped = statement.Step();
  statement.Reset();
  if (!stepped) return stepped.error();
  return Status::Ok();
}

// The schema's statements, tables first and indexes apart: an index built once over the
// loaded rows is much quicker than one kept up row by row.
void SplitSchema(std::string_view schema, std::string& tables, std::string& indexes) {
  std::size_t start = 0;
  while (start < schema.size()) {
    std::size_t end = schema.find(';', start);
    if (end == std::string_view::npos) end = schema.size();
    const std::string_view statement = schema.substr(start, end - start + 1);
    const bool is_index = statement.find("CREATE INDEX") != std::string_view::npos;
    (is_index ? indexes : tables) += statement;
    start = end + 1;
  }
}

Status WriteDatabase(db::Connection& connection, ParsedFile& parsed, FccImportSummary& summary) {
  // The file is renamed into place only when complete, so it needs no journal while it is
  // built; it keeps a rollback journal afterwards, since a write-ahead log beside the old
  // file would be applied to the new one.
  for (const char* pragma : {"PRAGMA journal_mode=OFF", "PRAGMA synchronous=OFF",
                             "PRAGMA cache_size=-262144", "PRAGMA temp_store=MEMORY"}) {
    if (Status set = connection.Execute(pragma); !set) return set;
  }
  std::string tables;
  std::string indexes;
  SplitSchema(db::SchemaText(db::Schema::kFcc), tables, indexes);
  if (Status made = connection.Execute(tables); !made) return made;
  db::Transaction transaction(connection);
  if (Status begun = transaction.Begin(); !begun) return begun;

  auto amateur = connection.Prepare(
      "INSERT INTO Amateur (CallSign, usi, operatorclass, groupcode, regioncode, "
      "trusteecallsign, previouscallsign, previousoperatorclass, licensestatus) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
  auto entity = connection.Prepare(
      "INSERT INTO Entity (USI, CallSign, entityname, firstname, MI, lastname, suffix, "
      "streetaddress, city, state, zipcode, pobox, frn) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
  auto entity_name = connection.Prepare(
      "INSERT OR REPLACE INTO EntityName (USI, entityname, granteddate, expirationdate, "
      "cancellationdate) VALUES (?1, ?2, ?3, ?4, ?5)");
  auto email = connection.Prepare("INSERT OR REPLACE INTO Email (USI, email) VALUES (?1, ?2)");
  for (auto* statement : {&amateur, &entity, &entity_name, &email}) {
    if (!*statement) return statement->error();
  }

  std::sort(parsed.licences.begin(), parsed.licences.end(), [](const Licence& a, const Licence& b) {
    return std::tie(a.amateur.call, a.active, a.granted, a.amateur.usi) <
           std::tie(b.amateur.call, b.active, b.granted, b.amateur.usi);
  });
  std::vector<std::int32_t> licensees;
  licensees.reserve(parsed.licences.size());
  for (const Licence& licence : parsed.licences) {
    const UlsAmateur& row = licence.amateur;
    const auto header = parsed.headers.find(row.usi);
    const std::string usi = std::to_string(row.usi);
    Status written = Insert(*amateur, {row.call, usi, row.operator_class, row.group_code,
                                       row.region_code, row.trustee_call, row.previous_call,
                                       row.previous_class,
                                       header != parsed.headers.end() ? header->second.status : ""});
    if (!written) return written;
    ++summary.licences;
    licensees.push_back(row.usi);
  }

  std::sort(licensees.begin(), licensees.end());
  licensees.erase(std::unique(licensees.begin(), licensees.end()), licensees.end());
  static const UlsHeader kNoHeader;
  for (std::int32_t key : licensees) {
    const std::string usi = std::to_string(key);
    const auto found = parsed.entities.find(key);
    const auto header = parsed.headers.find(key);
    const UlsHeader& dates = header != parsed.headers.end() ? header->second : kNoHeader;
    if (found != parsed.entities.end()) {
      const UlsEntity& person = found->second;
      Status written = Insert(*entity, {usi, person.call, person.entity_name, person.first_name,
                                        person.middle_initial, person.last_name, person.suffix,
                                        person.street, person.city, person.state, person.zip,
                                        person.po_box, person.frn});
      if (!written) return written;
      ++summary.licensees;
      if (!person.email.empty()) {
        written = Insert(*email, {usi, person.email});
        if (!written) return written;
      }
    }
    if (header == parsed.headers.end() && found == parsed.entities.end()) continue;
    const std::string_view name =
        found != parsed.entities.end() ? std::string_view(found->second.entity_name) : "";
    Status written =
        Insert(*entity_name, {usi, name, dates.granted, dates.expires, dates.cancelled});
    if (!written) return written;
  }
  if (Status indexed = connection.Execute(indexes); !indexed) return indexed;
  if (Status committed = transaction.Commit(); !committed) return committed;
  return connection.Execute("PRAGMA journal_mode=DELETE");
}

// Flushes the finished file to the disk, so that the rename never publishes a file whose
// pages are still only in memory.
Status SyncFile(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0 || ::fsync(descriptor) != 0) {
    const int error = errno;
    if (descriptor >= 0) ::close(descriptor);
    return Error{error, fmt::format("cannot write {}: {}", path, std::strerror(error)),
                 kErrorSource};
  }
  ::close(descriptor);
  return Status::Ok();
}

}  // namespace

Result<FccImportSummary> ImportFccLicences(const std::string& source,
                                           const std::string& database_path,
                                           const ImportProgress& progress, bool force) {
  FccImportSummary summary;
  auto parsed = ReadUlsFile(source, progress, summary);
  if (!parsed) return parsed.error();
  // Files that are mostly not licence records (a wrong folder, a damaged download) must not
  // replace a database that works.
  if (parsed->licences.empty() || summary.records_rejected * 2 > summary.records_read) {
    std::string description =
        fmt::format("{}: {} of {} records are not licence records", source,
                    summary.records_rejected, summary.records_read);
    for (const RejectedRecord& rejected : summary.first_rejected) {
      description += fmt::format("\n  {} line {} {}", rejected.member, rejected.line, rejected.reason);
    }
    return Error{0, description, kErrorSource};
  }

  namespace fs = std::filesystem;
  std::error_code ignored;
  files::RemoveStaleWork(database_path, ".building-");
  const std::string building = fmt::format("{}.building-{}", database_path, ::getpid());
  fs::remove(building, ignored);
  const auto fail = [&](Error error) {
    fs::remove(building, ignored);
    fs::remove(building + "-journal", ignored);
    return error;
  };
  {
    auto connection = db::Connection::Open(building, db::Connection::Mode::kCreate);
    if (!connection) return fail(connection.error());
    if (Status written = WriteDatabase(*connection, *parsed, summary); !written) {
      return fail(written.error());
    }
  }
  if (Status synced = SyncFile(building); !synced) return fail(synced.error());
  // A current database that cannot be counted is damaged: the new one may replace it.
  if (auto current = db::Connection::Open(database_path, db::Connection::Mode::kReadWrite)) {
    if (auto guard = ShrinkGuard::Before(*current, "Amateur", force)) {
      if (Status kept = guard->Check(static_cast<std::int64_t>(summary.licences)); !kept) {
        return fail(kept.error());
      }
    }
  }
  std::error_code renamed;
  fs::rename(building, database_path, renamed);
  if (renamed) {
    return fail(Error{renamed.value(),
                      fmt::format("cannot replace {}: {}", database_path, renamed.message()),
                      kErrorSource});
  }
  return summary;
}

}  // namespace torvane::import
