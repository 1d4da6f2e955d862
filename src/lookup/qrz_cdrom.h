#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/shared_library.h"

namespace torvane {

// The QRZ CD-ROM's library (qrz32.dll), opened when a lookup first needs it. The search and
// the field reads share one buffer and one length, which live as long as the service.
class QrzCdrom {
 public:
  // Longer than any record or field the library writes.
  static constexpr std::size_t kFieldBufferLength = 4096;

  explicit QrzCdrom(std::string library_name) : library_name_(std::move(library_name)) {}

  // Each returns false, changing nothing, when the library or the function cannot be had.
  bool QRZInit(const std::string& drive);
  // Searches by call (mode 1, flag 1) into the buffer; the result becomes the length.
  bool QRZSearch(const std::string& callsign);

  // Reads one field of the last record found: its text when the library reports a length
  // above 0, no value otherwise (and when the call cannot be made).
  std::optional<std::string> QRZField(std::int32_t field_number);

  std::int16_t QrzFieldLength() const { return QrzFieldLength_; }
  // The whole buffer as text, what the search left in it.
  std::string BufferText() const;

 private:
  bool Load();
  void FillWithBlanks();

  std::string library_name_;
  SharedLibrary library_;
  // One byte more than the library may fill, always zero, so the buffer stays terminated.
  std::array<char, kFieldBufferLength + 1> QrzFieldBuffer_{};
  std::int16_t QrzFieldLength_ = 0;
};

}  // namespace torvane
