#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/torvane/commands.h"
#include "tools/torvane/service_options.h"
#include "torvane/torvane_control.h"

namespace torvane::tool {

namespace {

using json = nlohmann::ordered_json;

struct ResolveArguments {
  std::string file = "-";
  bool json = false;
  unsigned jobs = 0;  // 0: one per processor, at most kMostJobs
};

constexpr unsigned kMostJobs = 8;
// Calls read before they are shared out: enough that each service's start-up is paid for.
constexpr std::size_t kBatchCalls = 16384;
constexpr std::uintmax_t kLongInputBytes = 4 * kBatchCalls * 8;

// The callsign of a line: its first word, so that a blank never becomes part of a call.
std::string_view CallOfLine(std::string_view line) {
  constexpr std::string_view kBlanks = " \t\r\v\f";
  const std::size_t start = line.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  const std::size_t end = line.find_first_of(kBlanks, start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

// The lines of a stream, a block at a time. A line longer than kLongestLine is an error
// rather than a reason to fill the memory (an endless input without a newline).
class LineReader {
 public:
  static constexpr std::size_t kLongestLine = std::size_t{16} << 20;

  explicit LineReader(std::istream& in) : in_(in) {}

  enum class Outcome { kLine, kEnd, kTooLong };
  Outcome Next(std::string_view& line) {
    for (;;) {
      const std::size_t end = buffer_.find('\n', start_);
      if (end != std::string::npos) {
        line = std::string_view(buffer_).substr(start_, end - start_);
        start_ = end + 1;
        return Outcome::kLine;
      }
      if (buffer_.size() - start_ > kLongestLine) return Outcome::kTooLong;
      if (ended_) {
        if (start_ == buffer_.size()) return Outcome::kEnd;
        line = std::string_view(buffer_).substr(start_);
        start_ = buffer_.size();
        return Outcome::kLine;
      }
      buffer_.erase(0, start_);
      start_ = 0;
      const std::size_t kept = buffer_.size();
      buffer_.resize(kept + kBlock);
      in_.read(buffer_.data() + kept, static_cast<std::streamsize>(kBlock));
      buffer_.resize(kept + static_cast<std::size_t>(in_.gcount()));
      ended_ = !in_;
    }
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  std::istream& in_;
  std::string buffer_;
  std::size_t start_ = 0;
  bool ended_ = false;
};

// One output line per call: the entity that decides it. A call that matches no prefix gets
// empty entity fields.
void ResolveCalls(TorvaneControl& control, std::span<const std::string> calls, bool as_json,
                  std::string& output) {
  for (const std::string& call : calls) {
    const QuickPrefixAnswers answers = control.GetQuickPrefixAnswers(call);
    if (as_json) {
      const json row = {{"call", call},
                        {"dxcc", answers.dxcc},
                        {"country", answers.country},
                        {"continent", answers.continent},
                        {"cq_zone", answers.cq_zone},
                        {"itu_zone", answers.itu_zone},
                        {"wpx_prefix", answers.wpx_prefix}};
      output += row.dump(-1, ' ', false, json::error_handler_t::replace);
    } else {
      for (const std::string* field :
           {&call, &answers.dxcc, &answers.country, &answers.continent, &answers.cq_zone,
            &answers.itu_zone}) {
        output += *field;
        output += '\t';
      }
      output += answers.wpx_prefix;
    }
    output += '\n';
  }
}

// A thread with a service of its own, which it makes when it starts: the services are not
// shared between threads. The answers depend on the call alone, so that a share of the calls
// is answered as it would be in one sequence.
class ResolveWorker {
 public:
  ResolveWorker(const Options& options, bool as_json)
      : as_json_(as_json), thread_([this, options] { Run(options); }) {}

  ~ResolveWorker() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  ResolveWorker(const ResolveWorker&) = delete;
  ResolveWorker& operator=(const ResolveWorker&) = delete;

  // Waits until the service exists; its start-up status then tells whether it started.
  const TorvaneControl& Service() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return control_ != nullptr; });
    return *control_;
  }

  // Resolves the calls into `output` on the worker's thread; Wait() for the end.
  void Start(std::span<const std::string> calls, std::string& output) {
    {
      std::lock_guard lock(mutex_);
      calls_ = calls;
      output_ = &output;
      busy_ = true;
    }
    changed_.notify_all();
  }

  void Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
  }

 private:
  void Run(const Options& options) {
    auto control = std::make_unique<TorvaneControl>(options);
    std::unique_lock lock(mutex_);
    control_ = std::move(control);
    changed_.notify_all();
    for (;;) {
      changed_.wait(lock, [&] { return busy_ || quit_; });
      if (quit_) break;
      lock.unlock();
      ResolveCalls(*control_, calls_, as_json_, *output_);
      lock.lock();
      busy_ = false;
      changed_.notify_all();
    }
    // The service ends on the thread that made it.
    control_.reset();
  }

  const bool as_json_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::unique_ptr<TorvaneControl> control_;
  std::span<const std::string> calls_;
  std::string* output_ = nullptr;
  bool busy_ = false;
  bool quit_ = false;
  std::thread thread_;  // last: starts once the members it uses exist
};

unsigned JobsFor(unsigned asked) {
  if (asked > 0) return std::min(asked, kMostJobs);
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMostJobs);
}


int Resolve(const ResolveArguments& arguments, ServiceOptions& service_options,
            CommandContext& context) {
  std::ifstream file;
  std::istream* in = &context.in;
  if (arguments.file != "-") {
    file.open(arguments.file);
    if (!file) {
      context.err << "torvane resolve: cannot read " << arguments.file << '\n';
      return 1;
    }
    in = &file;
  }
  const Options options = service_options.Build();
  if (!HasPrefixDatabase(options, "resolve", context.err)) return 1;
  const unsigned jobs = JobsFor(arguments.jobs);
  std::vector<std::unique_ptr<ResolveWorker>> workers;
  const auto start_workers = [&] {
    for (unsigned job = 1; job < jobs; ++job) {
      workers.push_back(std::make_unique<ResolveWorker>(options, arguments.json));
    }
  };
  // A long file is worth the other services at once, so that they start beside this one.
  std::error_code size_error;
  if (arguments.file != "-" &&
      std::filesystem::file_size(arguments.file, size_error) >= kLongInputBytes && !size_error) {
    start_workers();
  }
  TorvaneControl control(options);
  if (!ServiceStarted(control, "resolve", context.err)) return 1;
  for (const auto& worker : workers) {
    if (!ServiceStarted(worker->Service(), "resolve", context.err)) return 1;
  }

  std::vector<std::string> outputs(jobs);
  LineReader lines(*in);
  std::vector<std::string> calls;
  std::size_t line_number = 0;
  LineReader::Outcome outcome = LineReader::Outcome::kLine;
  while (outcome == LineReader::Outcome::kLine) {
    calls.clear();
    std::string_view line;
    while (calls.size() < kBatchCalls && (outcome = lines.Next(line)) == LineReader::Outcome::kLine) {
      ++line_number;
      const std::string_view call = CallOfLine(line);
      if (!call.empty() && call.front() != '#') calls.emplace_back(call);
    }
    // A short input is not worth a second service's start-up.
    if (workers.empty() && calls.size() == kBatchCalls) {
      start_workers();
      for (const auto& worker : workers) {
        if (!ServiceStarted(worker->Service(), "resolve", context.err)) return 1;
      }
    }
    // Contiguous shares, answered side by side and written in order.
    const std::size_t shares = workers.size() + 1;
    const std::size_t share = (calls.size() + shares - 1) / shares;
    const auto share_of = [&](std::size_t index) {
      const std::size_t begin = std::min(calls.size(), index * share);
      return std::span<const std::string>(calls).subspan(
          begin, std::min(share, calls.size() - begin));
    };
    for (std::size_t index = 1; index < shares; ++index) {
      outputs[index].clear();
      workers[index - 1]->Start(share_of(index), outputs[index]);
    }
    outputs[0].clear();
    ResolveCalls(control, share_of(0), arguments.json, outputs[0]);
    for (const auto& worker : workers) worker->Wait();
    for (std::size_t index = 0; index < shares; ++index) context.out << outputs[index];
  }
  if (outcome == LineReader::Outcome::kTooLong) {
    context.err << "torvane resolve: line " << line_number + 1 << " is longer than "
                << (LineReader::kLongestLine >> 20) << " MB\n";
    return 1;
  }
  return 0;
}

}  // namespace

void AddResolveCommand(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<ServiceOptions>();
  auto arguments = std::make_shared<ResolveArguments>();
  CLI::App* resolve =
      app.add_subcommand("resolve", "Resolve callsigns, one per line, to their entities");
  resolve->add_option("FILE", arguments->file, "A file of callsigns, or - for input");
  resolve->add_flag("--json", arguments->json, "One JSON object per line");
  resolve->add_option("--jobs", arguments->jobs,
                      "Services answering side by side, each on a thread of its own "
                      "(default: one per processor; a short input uses one)")
      ->check(CLI::Range(1u, kMostJobs));
  options->Register(*resolve);
  resolve->callback([&context, options, arguments] {
    if (!options->Validate("resolve", context.err)) {
      context.status = 2;
      return;
    }
    context.status = Resolve(*arguments, *options, context);
  });
}

}  // namespace torvane::tool
