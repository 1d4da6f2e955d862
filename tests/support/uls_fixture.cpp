#include "tests/support/uls_fixture.h"

#include <filesystem>
#include <fstream>

namespace torvane::testing {

namespace {

std::string Join(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '|';
    line += fields[i];
  }
  return line;
}

std::string Lines(const std::vector<std::string>& lines, const std::string& line_end) {
  std::string text;
  for (const std::string& line : lines) text += line + line_end;
  return text;
}

}  // namespace

std::string HeaderLine(int usi, const std::string& call, const std::string& status,
                       const std::string& granted, const std::string& expires) {
  std::vector<std::string> fields(59);
  fields[0] = "HD";
  fields[1] = std::to_string(usi);
  fields[2] = "00" + std::to_string(usi);
  fields[4] = call;
  fields[5] = status;
  fields[6] = "HA";
  fields[7] = granted;
  fields[8] = expires;
  fields[42] = granted;
  fields[43] = granted;
  return Join(fields);
}

std::string AmateurLine(int usi, const std::string& call, const std::string& operator_class,
                        const std::string& trustee_call, const std::string& previous_call,
                        const std::string& previous_class) {
  std::vector<std::string> fields(18);
  fields[0] = "AM";
  fields[1] = std::to_string(usi);
  fields[4] = call;
  fields[5] = operator_class;
  fields[6] = "D";
  fields[7] = "6";
  fields[8] = trustee_call;
  fields[15] = previous_call;
  fields[16] = previous_class;
  return Join(fields);
}

std::string EntityLine(int usi, const std::string& call, const EntityFields& entity) {
  std::vector<std::string> fields(30);
  fields[0] = "EN";
  fields[1] = std::to_string(usi);
  fields[4] = call;
  fields[5] = "L";
  fields[6] = "L0" + std::to_string(usi);
  fields[7] = entity.entity_name;
  fields[8] = entity.first;
  fields[9] = entity.middle;
  fields[10] = entity.last;
  fields[11] = entity.suffix;
  fields[14] = entity.email;
  fields[15] = entity.street;
  fields[16] = entity.city;
  fields[17] = entity.state;
  fields[18] = entity.zip;
  fields[19] = entity.po_box;
  fields[21] = "000";
  fields[22] = "00287" + std::to_string(usi);
  fields[23] = "I";
  return Join(fields);
}

UlsFiles SampleUlsFiles() {
  UlsFiles files;
  files.headers = {
      HeaderLine(100, "KN6XYZ", "E", "03/01/2009", "03/01/2019"),
      HeaderLine(200, "KN6XYZ", "A", "08/06/2019", "08/06/2029"),
      HeaderLine(300, "W6CLB", "A", "01/15/2020", "01/15/2030"),
      HeaderLine(400, "N6BRK", "A", "05/05/2021", "05/05/2031"),
      HeaderLine(500, "K6PIP", "A", "02/02/2022", "02/02/2032"),
      HeaderLine(600, "K6LAT", "A", "07/04/2023", "07/04/2033"),
  };
  files.amateurs = {
      // The active licence comes first in the file: the import must still store it last.
      AmateurLine(200, "KN6XYZ", "G", "", "", "T"),
      AmateurLine(100, "KN6XYZ", "T", "", "KN6OLD", "N"),
      AmateurLine(300, "W6CLB", "", "KN6XYZ"),
      AmateurLine(400, "N6BRK", "E"),
      AmateurLine(500, "K6PIP", "A"),
      AmateurLine(600, "K6LAT", "P"),
      "AM|abc|||BAD1|G|D|6|||||||||T|",
  };
  files.entities = {
      EntityLine(100, "KN6XYZ", {"EXAMPLE, JANE", "JANE", "", "EXAMPLE", "", "", "", "MONTARA",
                                 "CA", "94037", ""}),
      EntityLine(200, "KN6XYZ", {"Example, Jane", "Jane", "Q", "Example", "", "jane@example.com",
                                 "123 main st", "Montara", "CA", "94037", ""}),
      EntityLine(300, "W6CLB", {"EXAMPLE RADIO CLUB", "", "", "", "", "", "", "HALF MOON BAY",
                                "CA", "94019", "370545"}),
      // A line break inside the street: the record goes on on the next line.
      EntityLine(400, "N6BRK", {"Sample, Keith", "Keith", "", "Sample", "Jr", "", "45 Long\nRoad",
                                "Austin", "TX", "78701", ""}),
      // A "|" inside the entity name, as real files have it.
      EntityLine(500, "K6PIP", {"Smith ||, Alan P", "Alan", "P", "Smith", "", "", "9 Elm St.",
                                "Springfield", "IL", "62701", ""}),
      // Latin-1, as older records are written.
      EntityLine(600, "K6LAT", {"Mu\xf1oz, Jos\xe9", "Jos\xe9", "", "Mu\xf1oz", "", "", "",
                                "San Jos\xe9", "CA", "95112", ""}),
      "EN|700|||K6SHORT|L|too few fields",
  };
  return files;
}

void WriteUlsFolder(const std::string& folder, const UlsFiles& files) {
  std::filesystem::create_directories(folder);
  for (const auto& [name, content] : UlsMembers(files)) {
    std::ofstream(folder + "/" + name, std::ios::binary) << content;
  }
}

std::vector<std::pair<std::string, std::string>> UlsMembers(const UlsFiles& files) {
  return {{"HD.dat", Lines(files.headers, files.line_end)},
          {"AM.dat", Lines(files.amateurs, files.line_end)},
          {"EN.dat", Lines(files.entities, files.line_end)}};
}

std::string SampleGazetteer() {
  return "GEOID\tALAND\tAWATER\tALAND_SQMI\tAWATER_SQMI\tINTPTLAT\tINTPTLONG                   \n"
         "94037\t27236580\t0\t10.516\t0.000\t37.5446\t-122.509\n"
         "94019\t164893240\t212170\t63.666\t0.082\t37.4789\t-122.4386\r\n"
         "78701\t4281488\t93264\t1.653\t0.036\t30.270569\t-97.742589\n"
         "no tabs on this line\n"
         "95112\t12651830\t0\t4.885\t0.000\t37.344\t-121.883\n";
}

}  // namespace torvane::testing
