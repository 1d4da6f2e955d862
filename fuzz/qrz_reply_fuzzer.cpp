// A reply of the QRZ XML service mapped into the callbook record; after a NUL byte, the
// biography page fetched with it.
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "lookup/callbook_record.h"
#include "lookup/qrz_mapping.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = torvane::fuzz::AsText(data, size);
  const std::size_t split = input.find('\0');
  const std::string_view reply = input.substr(0, split);
  const std::string_view biography =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  torvane::CallbookRecord record;
  torvane::MapQrzAnswer(record, reply, biography);
  return 0;
}
