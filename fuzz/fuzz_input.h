#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace torvane::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Targets that need two texts read them as "first line\nrest", so the seeds stay readable.
inline std::pair<std::string_view, std::string_view> SplitFirstLine(std::string_view input) {
  const std::size_t end = input.find('\n');
  if (end == std::string_view::npos) return {input, {}};
  return {input.substr(0, end), input.substr(end + 1)};
}

}  // namespace torvane::fuzz
