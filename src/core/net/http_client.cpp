#include "core/net/http_client.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "core/files.h"
#include "core/net/extra_certificates.h"
#include "core/net/http_text.h"

namespace torvane::net {

namespace {

// How long the transfer loop waits for network activity before it runs the abort check
// again: short enough that a host's StopWeb takes effect at once and the host's loop keeps
// turning while a slow server thinks.
constexpr int kCheckIntervalMs = 50;
constexpr long kMaxRedirects = 10;

std::string UserAgent() {
  return fmt::format("Torvane/{}.{}.{}", TORVANE_VERSION_MAJOR, TORVANE_VERSION_MINOR,
                     TORVANE_VERSION_PATCH);
}

std::string ErrnoText(int error) { return std::strerror(error); }

// The body of one transfer: text in memory, or bytes into an open file.
struct Sink {
  std::string* text = nullptr;
  std::size_t text_limit = kMaxTextReplyBytes;
  int fd = -1;
  std::string failure;  // why the sink refused the data

  static std::size_t Write(char* data, std::size_t, std::size_t size, void* self) {
    return static_cast<Sink*>(self)->Take(data, size) ? size : 0;
  }

  bool Take(const char* data, std::size_t size) noexcept {
    if (text != nullptr) {
      if (text->size() + size > text_limit) {
        failure = fmt::format("the reply is larger than {} bytes", text_limit);
        return false;
      }
      try {
        text->append(data, size);
      } catch (...) {
        failure = "out of memory for the reply";
        return false;
      }
      return true;
    }
    while (size > 0) {
      const ssize_t written = ::write(fd, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        failure = "cannot write the downloaded file: " + ErrnoText(errno);
        return false;
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }
};

// Loads libcurl at the first request of the process; a library that cannot be loaded fails
// every request with the loader's reason.
Result<bool> MakeHandles(EasyHandle& easy, MultiHandle& multi) {
  if (const Status& loaded = LoadCurlLibrary(); !loaded) return loaded.error();
  easy.reset(Curl().easy_init());
  multi.reset(Curl().multi_init());
  if (!easy || !multi) return Error{0, "cannot create an HTTP client", "Torvane.Http"};
  return true;
}

void SetCommonOptions(CURL* easy, const std::string& wire_url, const ClientSettings& settings,
                      long timeout_ms, char* error_buffer, Sink& sink) {
  SetOption(easy, CURLOPT_URL, wire_url.c_str());
  SetOption(easy, CURLOPT_NOSIGNAL, 1L);
  SetOption(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  SetOption(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  SetOption(easy, CURLOPT_FOLLOWLOCATION, 1L);
  SetOption(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  SetOption(easy, CURLOPT_CONNECTTIMEOUT_MS, std::min(settings.connect_timeout_ms, timeout_ms));
  SetOption(easy, CURLOPT_TIMEOUT_MS, timeout_ms);
  // HTTP/1.1 everywhere, as the services speak it: the abort check's test for a request that
  // has gone out reads libcurl's request accounting, which is that protocol's.
  SetOption(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  SetOption(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  SetOption(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  if (settings.extra_certificates != nullptr) settings.extra_certificates->Apply(easy);
  SetOption(easy, CURLOPT_ACCEPT_ENCODING, "");
  SetOption(easy, CURLOPT_USERAGENT, UserAgent().c_str());
  SetOption(easy, CURLOPT_ERRORBUFFER, error_buffer);
  SetOption(easy, CURLOPT_WRITEFUNCTION, &Sink::Write);
  SetOption(easy, CURLOPT_WRITEDATA, &sink);
  if (sink.text != nullptr) {
    SetOption(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(sink.text_limit));
  }
}

// Drives the transfer to its end on the multi handle, so that the progress callback (the
// abort check) runs at least every kCheckIntervalMs, also while no data moves.
CURLcode RunToCompletion(CURLM* multi, CURL* easy, std::string& failure) {
  if (const CURLMcode added = Curl().multi_add_handle(multi, easy); added != CURLM_OK) {
    failure = Curl().multi_strerror(added);
    return CURLE_FAILED_INIT;
  }
  CURLcode result = CURLE_FAILED_INIT;
  int running = 1;
  while (running > 0) {
    CURLMcode code = Curl().multi_perform(multi, &running);
    if (code == CURLM_OK && running > 0) {
      code = Curl().multi_poll(multi, nullptr, 0, kCheckIntervalMs, nullptr);
    }
    if (code != CURLM_OK) {
      failure = Curl().multi_strerror(code);
      break;
    }
  }
  int queued = 0;
  while (CURLMsg* message = Curl().multi_info_read(multi, &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
      result = message->data.result;
    }
  }
  Curl().multi_remove_handle(multi, easy);
  return result;
}

// The outcome of a transfer in words: our own reason first, then libcurl's detail.
std::string Describe(CURLcode code, const Sink& sink, const std::string& abort_reason,
                     const char* error_buffer, const std::string& failure) {
  if (!sink.failure.empty()) return sink.failure;
  if (code == CURLE_ABORTED_BY_CALLBACK && !abort_reason.empty()) return abort_reason;
  if (!failure.empty()) return failure;
  if (error_buffer[0] != '\0') return error_buffer;
  return Curl().easy_strerror(code);
}

bool IsSuccessStatus(long status) { return status >= 200 && status <= 299; }

// A file beside the target that becomes the target only by Commit(); removed otherwise.
class TempFile {
 public:
  explicit TempFile(const std::string& target) : target_(target) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = fmt::format("{}.part-{}-{}", target, ::getpid(), counter++);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) error_ = fmt::format("cannot create {}: {}", path_, ErrnoText(errno));
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && error_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& error() const { return error_; }

  bool Commit(std::string& error) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
      error = fmt::format("cannot write {}: {}", path_, ErrnoText(errno));
      return false;
    }
    if (::rename(path_.c_str(), target_.c_str()) != 0) {
      error = fmt::format("cannot store {}: {}", target_, ErrnoText(errno));
      return false;
    }
    committed_ = true;
    return true;
  }

 private:
  std::string target_;
  std::string path_;
  std::string error_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace

struct HttpClient::Transfer {
  HttpClient* client = nullptr;
  CURL* easy = nullptr;
  std::uint32_t stops_at_start = 0;
  Sink sink;
  std::string abort_reason;
};

HttpClient::HttpClient(AbortRule rule, const WebState& web, HostYield& host_yield)
    : rule_(rule), web_(web), host_yield_(host_yield) {}

bool HttpClient::Perform(const std::string& url, long timeout_ms, Transfer& transfer,
                         long& status) {
  // The client's own handles are made at its first request (and again after a failure to
  // make them); a request while they are busy gets fresh ones.
  Handles fresh;
  const bool own = !busy_;
  Handles* handles = own ? &handles_ : &fresh;
  if (!handles->easy || !handles->multi) {
    if (Result<bool> made = MakeHandles(handles->easy, handles->multi); !made) {
      last_error_ = made.error().description;
      return false;
    }
  }
  if (own) busy_ = true;
  char error_buffer[CURL_ERROR_SIZE] = {};
  CURL* easy = handles->easy.get();
  struct Release {
    CURL* easy;
    bool& busy;
    bool own;
    // Clears the pointers into this transfer, keeping the open connections.
    ~Release() {
      Curl().easy_reset(easy);
      if (own) busy = false;
    }
  } release{easy, busy_, own};

  transfer.client = this;
  transfer.easy = easy;
  transfer.stops_at_start = web_.stop_requests;
  const std::string wire_url = WireUrl(url);
  SetCommonOptions(easy, wire_url, settings_, timeout_ms, error_buffer, transfer.sink);
  SetOption(easy, CURLOPT_NOPROGRESS, 0L);
  SetOption(easy, CURLOPT_XFERINFOFUNCTION, &HttpClient::OnProgress);
  SetOption(easy, CURLOPT_XFERINFODATA, &transfer);

  LogSession("GET " + url);
  std::string failure;
  const CURLcode code = RunToCompletion(handles->multi.get(), easy, failure);
  if (code != CURLE_OK) {
    last_error_ = Describe(code, transfer.sink, transfer.abort_reason, error_buffer, failure);
    LogSession("failed: " + last_error_);
    return false;
  }
  status = 0;
  Curl().easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  LogSession(fmt::format("HTTP status {}", status));
  return true;
}

int HttpClient::OnProgress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& transfer = *static_cast<Transfer*>(data);
  return transfer.client->ShouldAbort(transfer) ? 1 : 0;
}

bool HttpClient::ShouldAbort(Transfer& transfer) {
  switch (rule_) {
    case AbortRule::kStopDuringTransfer:
      YieldOnceRequestIsOut(transfer);
      if (web_.stop_requests == transfer.stops_at_start) return false;
      transfer.abort_reason = "the request was stopped";
      return true;
    case AbortRule::kCancelUnlessStopped:
      if (!web_.lotwCancel || web_.webStopped) return false;
      transfer.abort_reason = "the download was cancelled";
      return true;
    case AbortRule::kWhileStopped:
      YieldOnceRequestIsOut(transfer);
      if (!web_.webStopped) return false;
      transfer.abort_reason = "the request was stopped";
      return true;
  }
  return false;
}

// The host gets control only once the request has gone out: a StopWeb made then ends a
// request the server has seen. Resolving and connecting are bounded by the connect time-out.
void HttpClient::YieldOnceRequestIsOut(const Transfer& transfer) {
  long request_bytes = 0;
  if (Curl().easy_getinfo(transfer.easy, CURLINFO_REQUEST_SIZE, &request_bytes) == CURLE_OK &&
      request_bytes > 0) {
    host_yield_();
  }
}

std::string HttpClient::GetText(const std::string& url) {
  try {
    last_error_.clear();
    std::string body;
    Transfer transfer;
    transfer.sink.text = &body;
    long status = 0;
    if (!Perform(url, settings_.request_timeout_ms, transfer, status)) return {};
    if (!IsSuccessStatus(status)) {
      last_error_ = fmt::format("HTTP status {} from {}", status, url);
      return {};
    }
    if (body.find('\0') != std::string::npos) {
      last_error_ = "the reply is not text";
      return {};
    }
    last_error_.clear();  // a request the host made during a yield may have set it
    return ReplyToText(body);
  } catch (const std::exception& exception) {
    last_error_ = exception.what();
  } catch (...) {
    last_error_ = "the request failed";
  }
  return {};
}

std::int32_t HttpClient::DownloadFile(const std::string& url, const std::string& path) {
  try {
    last_error_.clear();
    const std::string target = files::ResolvePath(path);
    if (target.empty() || files::DirectoryExists(target)) {
      last_error_ = "cannot create a file named \"" + path + "\"";
      return 0;
    }
    TempFile file(target);
    if (!file.error().empty()) {
      last_error_ = file.error();
      return 0;
    }
    Transfer transfer;
    transfer.sink.fd = file.fd();
    long status = 0;
    if (!Perform(url, settings_.download_timeout_ms, transfer, status)) return 0;
    if (!IsSuccessStatus(status)) {
      last_error_ = fmt::format("HTTP status {} from {}", status, url);
      return 0;
    }
    if (!file.Commit(last_error_)) return 0;
    last_error_.clear();
    return 1;
  } catch (const std::exception& exception) {
    last_error_ = exception.what();
  } catch (...) {
    last_error_ = "the download failed";
  }
  return 0;
}

void HttpClient::LogSession(const std::string& line) const {
  if (session_log_.empty()) return;
  const int fd = ::open(session_log_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;  // the session log is a diagnostic; the request goes on without it
  const std::string text = line + "\r\n";
  [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
  ::close(fd);
}

PostReply Post(const PostRequest& request, const ClientSettings& settings) {
  PostReply reply;
  try {
    // Declared before the handles, which point into them until they are cleaned up.
    std::string body;
    Sink sink;
    sink.text = &body;
    char error_buffer[CURL_ERROR_SIZE] = {};
    HeaderList headers;
    EasyHandle easy;
    MultiHandle multi;
    if (Result<bool> made = MakeHandles(easy, multi); !made) {
      reply.error = made.error().description;
      return reply;
    }
    const std::string wire_url = WireUrl(request.url);
    SetCommonOptions(easy.get(), wire_url, settings, settings.upload_timeout_ms, error_buffer,
                     sink);
    SetOption(easy.get(), CURLOPT_POST, 1L);
    SetOption(easy.get(), CURLOPT_POSTFIELDSIZE_LARGE,
              static_cast<curl_off_t>(request.body.size()));
    SetOption(easy.get(), CURLOPT_POSTFIELDS, request.body.data());
    for (const auto& [name, value] : request.headers)
      AppendHeader(headers, HeaderLine(name, value));
    AppendHeader(headers, "Expect:");  // the body goes at once, as a plain request object sends it
    SetOption(easy.get(), CURLOPT_HTTPHEADER, headers.get());
    if (request.with_credentials) {
      SetOption(easy.get(), CURLOPT_USERNAME, request.user_name.c_str());
      SetOption(easy.get(), CURLOPT_PASSWORD, request.password.c_str());
      // Credentials answer the server's challenge, in the scheme it asks for.
      SetOption(easy.get(), CURLOPT_HTTPAUTH, static_cast<unsigned long>(CURLAUTH_ANY));
    }
    std::string failure;
    const CURLcode code = RunToCompletion(multi.get(), easy.get(), failure);
    if (code != CURLE_OK) {
      reply.error = Describe(code, sink, "", error_buffer, failure);
      return reply;
    }
    Curl().easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &reply.status);
    reply.ok = true;
    reply.text = ReplyToText(body);
  } catch (const std::exception& exception) {
    reply.ok = false;
    reply.error = exception.what();
  } catch (...) {
    reply.ok = false;
    reply.error = "the request failed";
  }
  return reply;
}

std::string UrlProblem(const std::string& url) {
  struct UrlFree {
    void operator()(CURLU* handle) const { Curl().url_cleanup(handle); }
  };
  if (url.empty()) return "no URL given";
  if (const Status& loaded = LoadCurlLibrary(); !loaded) return loaded.error().description;
  std::unique_ptr<CURLU, UrlFree> handle(Curl().url());
  if (!handle) return "out of memory";
  const std::string wire_url = WireUrl(url);
  if (const CURLUcode code = Curl().url_set(handle.get(), CURLUPART_URL, wire_url.c_str(), 0)) {
    return fmt::format("{} in the URL \"{}\"", Curl().url_strerror(code), url);
  }
  char* scheme = nullptr;
  if (Curl().url_get(handle.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) {
    return fmt::format("no scheme in the URL \"{}\"", url);
  }
  const std::string name = scheme;
  Curl().free(scheme);
  if (name != "http" && name != "https") {
    return fmt::format("not an http or https address: \"{}\"", url);
  }
  return {};
}

std::string HeaderLine(std::string_view name, std::string_view value) {
  const auto is_edge = [](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; };
  while (!value.empty() && is_edge(value.front())) value.remove_prefix(1);
  while (!value.empty() && is_edge(value.back())) value.remove_suffix(1);
  std::string line(name);
  line += ": ";
  for (const char c : value) line += (c == '\r' || c == '\n') ? ' ' : c;
  return line;
}

}  // namespace torvane::net
