// A member of the FCC's weekly ULS file: the first byte picks the member (HD, AM or EN) and
// how many bytes each read hands over, so records also break across reads; the rest is the
// member's text, split into records and each record parsed.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "import/uls_records.h"
#include "import/uls_source.h"

namespace {

class BytesMember : public torvane::import::UlsMemberReader {
 public:
  BytesMember(std::string_view bytes, std::size_t bytes_per_read)
      : bytes_(bytes), bytes_per_read_(bytes_per_read) {}

  torvane::Result<std::size_t> Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, bytes_per_read_, bytes_.size()});
    std::memcpy(buffer, bytes_.data(), count);
    bytes_.remove_prefix(count);
    return count;
  }

  const std::string& name() const override { return name_; }

 private:
  const std::string name_ = "fuzz input";
  std::string_view bytes_;
  std::size_t bytes_per_read_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane::import;
  if (size == 0) return 0;
  const int member = data[0] % 3;
  BytesMember bytes(torvane::fuzz::AsText(data + 1, size - 1), 1 + (data[0] >> 2));
  UlsRecordReader records(bytes, member == 0 ? "HD" : member == 1 ? "AM" : "EN");
  std::string record;
  std::uint64_t line = 0;
  std::string reason;
  for (auto more = records.Next(record, line); more && *more; more = records.Next(record, line)) {
    if (member == 0) {
      if (const auto header = ParseHeader(record, reason)) UlsDateKey(header->granted);
    } else if (member == 1) {
      ParseAmateur(record, reason);
    } else {
      ParseEntity(record, reason);
    }
  }
  return 0;
}
