#include "lookup/qrz_cdrom.h"

#include <algorithm>
#include <string_view>

#include "core/code_page.h"
#include "lookup/cdrom_text.h"

namespace torvane {

namespace {

using InitFunction = std::int16_t(const char* drive);
using SearchFunction = std::int16_t(std::int32_t mode, const char* callsign, const char* arg3,
                                    const char* arg4, char* record, std::int32_t flag);
using FieldFunction = std::int16_t(std::int32_t field_number, char* field,
                                   std::int16_t* field_length);

}  // namespace

bool QrzCdrom::Load() {
  if (!library_.IsOpen()) library_ = SharedLibrary::Open(library_name_);
  return library_.IsOpen();
}

void QrzCdrom::FillWithBlanks() {
  std::fill(QrzFieldBuffer_.begin(), QrzFieldBuffer_.end() - 1, ' ');
  QrzFieldBuffer_.back() = '\0';
}

bool QrzCdrom::QRZInit(const std::string& drive) {
  if (!Load()) return false;
  auto* init = library_.Find<InitFunction>("QRZInit");
  if (init == nullptr) return false;
  init(cdrom_text::ArgumentText(drive).c_str());
  return true;
}

bool QrzCdrom::QRZSearch(const std::string& callsign) {
  if (!Load()) return false;
  auto* search = library_.Find<SearchFunction>("QRZSearch");
  if (search == nullptr) return false;
  const std::string call = cdrom_text::ArgumentText(callsign);
  FillWithBlanks();
  QrzFieldLength_ = search(1, call.c_str(), "", "", QrzFieldBuffer_.data(), 1);
  QrzFieldBuffer_.back() = '\0';
  return true;
}

std::optional<std::string> QrzCdrom::QRZField(std::int32_t field_number) {
  if (!Load()) return std::nullopt;
  auto* field = library_.Find<FieldFunction>("QRZField");
  if (field == nullptr) return std::nullopt;
  FillWithBlanks();
  std::int16_t length = QrzFieldLength_;
  field(field_number, QrzFieldBuffer_.data(), &length);
  QrzFieldBuffer_.back() = '\0';
  QrzFieldLength_ = length;
  if (length <= 0) return std::nullopt;
  // A length beyond the buffer reads the buffer, never past it.
  const std::size_t count =
      std::min<std::size_t>(static_cast<std::size_t>(length), kFieldBufferLength);
  return code_page::Cp1252ToUtf8(std::string_view(QrzFieldBuffer_.data(), count));
}

std::string QrzCdrom::BufferText() const {
  return code_page::Cp1252ToUtf8(std::string_view(QrzFieldBuffer_.data(), kFieldBufferLength));
}

}  // namespace torvane
