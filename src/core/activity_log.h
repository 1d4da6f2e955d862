#pragma once

#include <string>
#include <string_view>

namespace torvane {

// The running trace of the service, "tvlog.txt" in the log folder. The handle is process-wide:
// the first service object opens (and empties) the file, the end of any object closes it, and
// a later object opens it anew. Lines end in CR LF; each is flushed as it is written.
class ActivityLog {
 public:
  // Opens the file unless the process already has the log open. False when it cannot.
  static bool OpenIfClosed(const std::string& path);
  static bool IsOpen();
  // Appends one line when the log is open; otherwise does nothing. Never fails.
  static void Write(std::string_view line) noexcept;
  static void Close() noexcept;
};

// "Torvanelog.txt": recreated at every start, one line saying whether the start succeeded.
class StartupLog {
 public:
  StartupLog() = default;
  ~StartupLog();
  StartupLog(const StartupLog&) = delete;
  StartupLog& operator=(const StartupLog&) = delete;

  // Deletes an existing file and creates it empty. 0, or the errno of the failure.
  int Create(const std::string& path);
  void WriteLine(std::string_view line) noexcept;
  void Close() noexcept;

 private:
  int descriptor_ = -1;
};

}  // namespace torvane
