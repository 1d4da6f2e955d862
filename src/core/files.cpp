#include "core/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/text.h"

namespace torvane::files {

namespace fs = std::filesystem;

std::string ResolvePath(const std::string& path) {
  std::error_code error;
  if (path.empty() || fs::exists(path, error)) return path;
  const fs::path original(path);
  fs::path resolved = original.root_path();
  bool lost = false;  // once a component matches nothing, the rest is kept as given
  for (const auto& component : original.relative_path()) {
    const fs::path exact = resolved / component;
    if (lost || fs::exists(exact, error)) {
      resolved = exact;
      continue;
    }
    bool found = false;
    const fs::path folder = resolved.empty() ? fs::path(".") : resolved;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      const std::string name = it->path().filename().string();
      if (text::EqualsIgnoreCase(name, component.string())) {
        resolved /= name;
        found = true;
        break;
      }
    }
    error.clear();
    if (!found) {
      resolved = exact;
      lost = true;
    }
  }
  return resolved.string();
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(ResolvePath(path), error);
}

bool DirectoryExists(const std::string& path) {
  std::error_code error;
  return fs::is_directory(ResolvePath(path), error);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(ResolvePath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

bool CreateFolders(const std::string& path, std::string& error_text) {
  std::error_code error;
  fs::create_directories(path, error);
  if (error) {
    error_text = error.message();
    return false;
  }
  if (!fs::is_directory(path, error)) {
    error_text = "not a folder";
    return false;
  }
  return true;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace torvane::files
