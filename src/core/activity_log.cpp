#include "core/activity_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace torvane {

namespace {

// The log may hold session keys: only the user may read it.
constexpr mode_t kPrivateFileMode = 0600;

void WriteAll(int descriptor, std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// The one process-wide activity-log handle. Service objects may live on different threads,
// so the handle is guarded.
struct ProcessLog {
  std::mutex mutex;
  int descriptor = -1;
};

ProcessLog& TheLog() {
  static ProcessLog log;
  return log;
}

}  // namespace

bool ActivityLog::OpenIfClosed(const std::string& path) {
  ProcessLog& log = TheLog();
  std::lock_guard lock(log.mutex);
  if (log.descriptor >= 0) return true;
  // The old log is removed rather than truncated through its name: a symbolic link put in
  // its place must not make the service overwrite (and make private) the file it points to.
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return false;
  const int descriptor = ::open(path.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                kPrivateFileMode);
  if (descriptor < 0) return false;
  ::fchmod(descriptor, kPrivateFileMode);
  log.descriptor = descriptor;
  return true;
}

bool ActivityLog::IsOpen() {
  ProcessLog& log = TheLog();
  std::lock_guard lock(log.mutex);
  return log.descriptor >= 0;
}

void ActivityLog::Write(std::string_view line) noexcept {
  ProcessLog& log = TheLog();
  std::lock_guard lock(log.mutex);
  if (log.descriptor < 0) return;
  WriteAll(log.descriptor, line);
  WriteAll(log.descriptor, "\r\n");
}

void ActivityLog::Close() noexcept {
  ProcessLog& log = TheLog();
  std::lock_guard lock(log.mutex);
  if (log.descriptor < 0) return;
  ::close(log.descriptor);
  log.descriptor = -1;
}

StartupLog::~StartupLog() { Close(); }

int StartupLog::Create(const std::string& path) {
  Close();
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return errno;
  descriptor_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return descriptor_ < 0 ? errno : 0;
}

void StartupLog::WriteLine(std::string_view line) noexcept {
  if (descriptor_ < 0) return;
  WriteAll(descriptor_, line);
  WriteAll(descriptor_, "\r\n");
}

void StartupLog::Close() noexcept {
  if (descriptor_ < 0) return;
  ::close(descriptor_);
  descriptor_ = -1;
}

}  // namespace torvane
