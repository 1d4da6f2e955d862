#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "torvane/variant.h"

// Reading table fields into typed targets. A Null (nullptr) or unconvertible value leaves the
// target unchanged and answers false: the failed statement is skipped and the caller goes on.
namespace torvane {

bool ReadText(const Variant* value, std::string& target);
// As ReadText, but an empty text also leaves the target unchanged.
bool ReadNonEmptyText(const Variant* value, std::string& target);
// A whole number rounded half to even, within the 16-bit range.
bool ReadInt16(const Variant* value, std::int16_t& target);
std::optional<std::int16_t> ToInt16(const Variant& value);

}  // namespace torvane
