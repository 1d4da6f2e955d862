#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvane::testing {

// One scripted reply of the test server; every member has a default, so that tests can name
// just the ones they set: Reply{.status = 500, .body = "oops"}.
struct Reply {
  int status = 200;
  std::string body{};
  std::string content_type = "text/plain";
  std::vector<std::pair<std::string, std::string>> headers{};
  std::chrono::milliseconds delay{0};  // before the reply starts
  // The body goes out in pieces of this many bytes (0: at once), with a pause between them.
  std::size_t chunk_bytes = 0;
  std::chrono::milliseconds chunk_pause{0};
  // Sent with chunked transfer coding: no length announced in advance.
  bool chunked = false;
  // The connection is dropped after this many bytes of the body (the headers announced all).
  std::optional<std::size_t> drop_after{};
  // Runs on the server's thread after each piece, with the bytes sent so far.
  std::function<void(std::size_t)> on_piece{};
};

// What the server received, and how its reply went.
struct ReceivedRequest {
  std::string method;
  std::string target;                               // path and query exactly as on the request line
  std::string path;                                 // decoded, without the query
  std::multimap<std::string, std::string> headers;  // names in lower case
  std::string body;
  std::size_t bytes_sent = 0;  // of the reply body
  bool cut = false;            // the client went away before the whole reply was written
  std::string Header(const std::string& lower_case_name) const;
};

// A real HTTP or HTTPS server on 127.0.0.1, on a port of its own choosing, bound before the
// constructor returns. Replies follow a script per path (the i-th request gets the i-th reply,
// the last one repeats; paths without a script get 404). Waits are bounded, and the
// destructor ends every reply under way and joins the server's threads.
class TestServer {
 public:
  enum class Scheme { kHttp, kHttps };

  explicit TestServer(Scheme scheme = Scheme::kHttp);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int port() const;
  std::string HostPort() const;                  // "127.0.0.1:PORT", as Options hosts are given
  std::string Url(std::string_view path) const;  // scheme, host and port, then the path

  void Script(const std::string& path, std::vector<Reply> replies);

  // The requests so far, in the order they arrived.
  std::vector<ReceivedRequest> Requests() const;

  // Waits until `count` requests have arrived and every reply has ended (written, dropped or
  // cut), at most a few seconds. False when that did not happen in time.
  bool WaitUntilAnswered(std::size_t count) const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// A port on 127.0.0.1 that refuses connections while the object lives (bound, not listening).
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  int port() const { return port_; }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace torvane::testing
