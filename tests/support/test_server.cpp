#include "tests/support/test_server.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tests/support/test_certificates.h"

namespace torvane::testing {

namespace {

// Long enough for any reply a test scripts; short enough that a broken test ends.
constexpr auto kAnswerWait = std::chrono::seconds(15);

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::string ReceivedRequest::Header(const std::string& lower_case_name) const {
  const auto found = headers.find(lower_case_name);
  return found == headers.end() ? std::string() : found->second;
}

struct TestServer::State {
  Scheme scheme = Scheme::kHttp;
  std::unique_ptr<httplib::Server> server;
  std::thread thread;
  int port = 0;

  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  bool stopping = false;
  std::map<std::string, std::vector<Reply>> scripts;
  std::map<std::string, std::size_t> served;  // requests per path so far
  std::vector<ReceivedRequest> requests;
  std::size_t answered = 0;

  // Sleeps, unless the server is being stopped; false when it is.
  bool Pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex);
    return !changed.wait_for(lock, duration, [this] { return stopping; });
  }

  void Answered() {
    std::lock_guard lock(mutex);
    ++answered;
    changed.notify_all();
  }

  void Handle(const httplib::Request& request, httplib::Response& response) {
    std::size_t index = 0;
    Reply reply;
    bool scripted = false;
    {
      std::lock_guard lock(mutex);
      ReceivedRequest received;
      received.method = request.method;
      received.target = request.target;
      received.path = request.path;
      for (const auto& [name, value] : request.headers) {
        received.headers.emplace(Lower(name), value);
      }
      received.body = request.body;
      index = requests.size();
      requests.push_back(std::move(received));
      changed.notify_all();
      const auto script = scripts.find(request.path);
      if (script != scripts.end() && !script->second.empty()) {
        const std::size_t nth = served[request.path]++;
        reply = script->second[std::min(nth, script->second.size() - 1)];
        scripted = true;
      }
    }
    if (!scripted) {
      response.status = 404;
      response.set_content("no script for " + request.path, "text/plain");
      Answered();
      return;
    }
    if (!Pause(reply.delay)) {
      response.status = 503;
      Answered();
      return;
    }
    response.status = reply.status;
    for (const auto& [name, value] : reply.headers) response.set_header(name, value);
    if (reply.body.empty() && !reply.drop_after) {
      response.set_content("", reply.content_type);
      Answered();
      return;
    }
    auto body = std::make_shared<Reply>(std::move(reply));
    auto dropped = std::make_shared<bool>(false);
    auto released = std::make_shared<std::atomic<bool>>(false);  // a copied reply releases twice
    const auto provide = [this, body, dropped, index](std::size_t offset, std::size_t length,
                                                      httplib::DataSink& sink) {
      std::size_t piece = body->chunk_bytes == 0 ? length : std::min(length, body->chunk_bytes);
      if (body->drop_after) {
        if (offset >= *body->drop_after) {
          *dropped = true;
          return false;
        }
        piece = std::min(piece, *body->drop_after - offset);
      }
      if (!sink.write(body->body.data() + offset, piece)) return false;
      {
        std::lock_guard lock(mutex);
        requests[index].bytes_sent = offset + piece;
      }
      if (body->on_piece) body->on_piece(offset + piece);
      if (offset + piece < body->body.size() && body->chunk_pause.count() > 0) {
        return Pause(body->chunk_pause);
      }
      if (body->chunked && offset + piece == body->body.size()) sink.done();
      return true;
    };
    const auto release = [this, body, dropped, released, index](bool /*success*/) {
      if (released->exchange(true)) return;
      {
        std::lock_guard lock(mutex);
        ReceivedRequest& received = requests[index];
        received.cut = !*dropped && received.bytes_sent < body->body.size();
      }
      Answered();
    };
    if (body->chunked) {
      response.set_chunked_content_provider(
          body->content_type,
          [provide, body](std::size_t offset, httplib::DataSink& sink) {
            return provide(offset, body->body.size() - offset, sink);
          },
          release);
    } else {
      response.set_content_provider(body->body.size(), body->content_type, provide, release);
    }
  }
};

TestServer::TestServer(Scheme scheme) : state_(std::make_shared<State>()) {
  state_->scheme = scheme;
  if (scheme == Scheme::kHttps) {
    const TestCertificates& tls = GetTestCertificates();
    state_->server = std::make_unique<httplib::SSLServer>(tls.server_certificate, tls.server_key);
  } else {
    state_->server = std::make_unique<httplib::Server>();
  }
  httplib::Server& server = *state_->server;
  if (!server.is_valid()) throw std::runtime_error("test server: cannot set up");
  // One request per connection and short socket waits: stopping never waits on an idle
  // keep-alive connection.
  server.set_keep_alive_max_count(1);
  server.set_read_timeout(1, 0);
  server.set_write_timeout(2, 0);
  State* state = state_.get();
  const auto handler = [state](const httplib::Request& request, httplib::Response& response) {
    state->Handle(request, response);
  };
  server.Get(".*", handler);
  server.Post(".*", handler);
  state_->port = server.bind_to_any_port("127.0.0.1");
  if (state_->port <= 0) throw std::runtime_error("test server: cannot bind 127.0.0.1");
  state_->thread = std::thread([state, keep = state_] {
    // A client that goes away makes the server's next write fail; that must be EPIPE for the
    // server's threads (which inherit this mask), not a signal that ends the test.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    state->server->listen_after_bind();
  });
  // stop() does nothing to a server that has not started listening, which would leave the
  // destructor waiting on accept(): be sure it has started.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!server.is_running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!server.is_running()) {
    state_->thread.detach();  // it keeps the state it uses alive
    throw std::runtime_error("test server: did not start");
  }
}

TestServer::~TestServer() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    state_->changed.notify_all();
  }
  state_->server->stop();
  if (state_->thread.joinable()) state_->thread.join();
}

int TestServer::port() const { return state_->port; }

std::string TestServer::HostPort() const { return "127.0.0.1:" + std::to_string(state_->port); }

std::string TestServer::Url(std::string_view path) const {
  return (state_->scheme == Scheme::kHttps ? "https://" : "http://") + HostPort() +
         std::string(path);
}

void TestServer::Script(const std::string& path, std::vector<Reply> replies) {
  std::lock_guard lock(state_->mutex);
  state_->scripts[path] = std::move(replies);
  state_->served[path] = 0;
}

std::vector<ReceivedRequest> TestServer::Requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

bool TestServer::WaitUntilAnswered(std::size_t count) const {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, kAnswerWait, [&] {
    return state_->requests.size() >= count && state_->answered >= state_->requests.size();
  });
}

RefusingPort::RefusingPort() {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("refusing port: cannot bind 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace torvane::testing
