#pragma once

#include <string>
#include <vector>

namespace torvane::testing {

// Lines of the FCC's weekly amateur file, in the real layouts, with made-up people.
struct UlsFiles {
  std::vector<std::string> headers;  // HD.dat
  std::vector<std::string> amateurs;  // AM.dat
  std::vector<std::string> entities;  // EN.dat
  std::string line_end = "\n";
};

// An HD record: 59 fields, status and grant, expiry and cancellation dates filled in.
std::string HeaderLine(int usi, const std::string& call, const std::string& status,
                       const std::string& granted, const std::string& expires);
// An AM record: 18 fields.
std::string AmateurLine(int usi, const std::string& call, const std::string& operator_class,
                        const std::string& trustee_call = "", const std::string& previous_call = "",
                        const std::string& previous_class = "");

struct EntityFields {
  std::string entity_name;
  std::string first;
  std::string middle;
  std::string last;
  std::string suffix;
  std::string email;
  std::string street;
  std::string city;
  std::string state;
  std::string zip;
  std::string po_box;
};
// An EN record: 30 fields.
std::string EntityLine(int usi, const std::string& call, const EntityFields& fields);

// The licences most tests need: a call with an expired and an active licence, a club licence
// with a trustee and a PO box, a record broken across lines, a "|" inside a name, a Latin-1
// name, and two malformed records.
UlsFiles SampleUlsFiles();

// Writes EN.dat, AM.dat and HD.dat into the folder (created if missing).
void WriteUlsFolder(const std::string& folder, const UlsFiles& files);
// The three members of `files` as zip members (see WriteZip).
std::vector<std::pair<std::string, std::string>> UlsMembers(const UlsFiles& files);

// A ZCTA gazetteer file with the sample licences' ZIP codes.
std::string SampleGazetteer();

}  // namespace torvane::testing
