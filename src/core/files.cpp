#include "core/files.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
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

namespace {

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// The process number of a work name's tail ("4711", "4711-wal"), or 0 when the tail is not one.
pid_t WorkerOf(std::string_view tail) {
  for (const std::string_view companion : {"-wal", "-shm", "-journal"}) {
    if (tail.ends_with(companion)) {
      tail.remove_suffix(companion.size());
      break;
    }
  }
  pid_t pid = 0;
  const auto [end, failure] = std::from_chars(tail.data(), tail.data() + tail.size(), pid);
  if (failure != std::errc() || end != tail.data() + tail.size() || pid <= 0) return 0;
  return pid;
}

}  // namespace

void RemoveStaleWork(const std::string& target, const std::string& marker,
                     const std::string& name_prefix) {
  const fs::path target_path(target);
  const std::string start = name_prefix + target_path.filename().string() + marker;
  fs::path folder = target_path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (!name.starts_with(start)) continue;
    const pid_t worker = WorkerOf(std::string_view(name).substr(start.size()));
    if (worker == 0 || worker == ::getpid() || ProcessRuns(worker)) continue;
    std::error_code ignored;
    // A symbolic link is removed itself, never what it points to.
    fs::remove_all(entry->path(), ignored);
  }
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace torvane::files
