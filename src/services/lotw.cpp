#include "services/lotw.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "core/files.h"
#include "core/text.h"

namespace torvane::services {

namespace {

// The first line of the import log is the report address, password and all: only the user
// may read the file.
constexpr mode_t kPrivateFileMode = 0600;

// The import log of one download attempt, made anew each time. A log that cannot be written
// does not stop the download; it just stays silent.
class ImportLog {
 public:
  explicit ImportLog(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kPrivateFileMode);
  }
  ~ImportLog() { Close(); }
  ImportLog(const ImportLog&) = delete;
  ImportLog& operator=(const ImportLog&) = delete;

  void Write(std::string_view line) noexcept {
    if (fd_ < 0) return;
    std::string text(line);
    text += "\r\n";
    std::string_view rest = text;
    while (!rest.empty()) {
      const ssize_t written = ::write(fd_, rest.data(), rest.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        return;
      }
      rest.remove_prefix(static_cast<std::size_t>(written));
    }
  }

  void Close() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

}  // namespace

std::string LotwReportUrl(const std::string& lotw_host, const std::string& Username,
                          const std::string& Password, const std::string& StartDate,
                          const std::string& MyCall) {
  std::string url = "https://" + lotw_host +
                    "/lotwuser/lotwreport.adi?login=" + text::ToLower(text::Trim(Username)) +
                    "&password=" + Password + "&qso_query=1&qso_qsl=yes&qso_qslsince=" + StartDate;
  if (!MyCall.empty()) url += "&qso_owncall=" + MyCall;
  url += "&qso_qsldetail=yes";
  return url;
}

std::int32_t Lotw::GetLoTW(const std::string& Username, const std::string& Password,
                           const std::string& StartDate, std::string& Filename,
                           const std::string& MyCall) {
  web_.lotwCancel = false;
  const std::string& data = folders_.DataFolder;
  ImportLog log(files::ResolvePath(files::Join(data, "Logs/ImportError.txt")));
  if (!ThreadWebState().webConnected) {
    log.Write("Web connection not available.");
    return 0;
  }
  const std::string url = LotwReportUrl(lotw_host_, Username, Password, StartDate, MyCall);
  log.Write(url);

  std::int32_t result = 0;
  // The host's ADIF folder sits in the data folder or beside it. The path handed back is the
  // folder as it exists on disk, so the host can open the file whatever the folder's case.
  const std::string inside = files::Join(data, "adif");
  const std::string beside = files::Join(data, "../adif");
  if (files::DirectoryExists(inside)) {
    Filename = files::ResolvePath(inside) + "/" + Filename;
  } else if (files::DirectoryExists(beside)) {
    Filename = files::ResolvePath(beside) + "/" + Filename;
  } else {
    log.Write("Quorlin can't find ADIF folder.");
    result = 1;
  }

  if (result == 0) {
    net::HttpClient& client = transport_.http2();
    client.SetSessionLog(files::ResolvePath(files::Join(data, "Logs/LoTW_DL_Session.txt")));
    events_.LoTWDownloadStatus(100);
    web_.lotwCancel = false;
    const std::int32_t stored = client.DownloadFile(url, Filename);
    events_.LoTWDownloadStatus(200);
    if (stored == 0) {
      log.Write("File not received from the ARRL.");
      log.Write(client.LastErrorText());
      result = 1;
    } else if (web_.lotwCancel) {
      log.Write("User cancelled LoTW download.");
      log.Write(client.LastErrorText());
      result = 1;
    }
  }
  log.Close();
  if (result == 1 && !web_.webStopped) events_.WebStatus("Connection error.");
  return result;
}

std::string Lotw::GetIsLoTW(const std::string& callsign) {
  db::Table& users = databases_.Data10;
  if (!users.SetIndex("Call")) return "N";
  return users.Seek(Variant(callsign)) ? "Y" : "N";
}

}  // namespace torvane::services
