#include <algorithm>
#include <array>
#include <condition_variable>
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
  QuickPrefixAnswers answers;  // one object, whose texts keep their storage from call to call
  for (const std::string& call : calls) {
    control.GetQuickPrefixAnswers(call, answers);
    if (as_json) {
      const json row = {{"call", call},
                        {"dxcc", answers.dxcc},
                        {"country", answers.country},
                        {"continent", answers.continent},
                        {"cq_zone", answers.cq_zone},
                        {"itu_zone", answers.itu_zone},
                        {"wpx_prefix", answers.wpx_prefix}};
      output += row.dump(-1, ' ', false, json::error_handler_t::replace);
      output += '\n';
      continue;
    }
    const std::string* const fields[] = {&call,           &answers.dxcc,     &answers.country,
                                         &answers.continent, &answers.cq_zone, &answers.itu_zone,
                                         &answers.wpx_prefix};
    std::size_t length = std::size(fields);  // a tab after each field but the last, a newline
    for (const std::string* field : fields) length += field->size();
    std::size_t at = output.size();
    output.resize(at + length);
    for (const std::string* field : fields) {
      field->copy(output.data() + at, field->size());
      at += field->size();
      output[at++] = '\t';
    }
    output[at - 1] = '\n';
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

// The calls of the input's lines, a batch at a time.
class CallReader {
 public:
  explicit CallReader(std::istream& in) : lines_(in) {}

  // Fills `calls` with up to kBatchCalls calls; false once the input ended or failed.
  bool Next(std::vector<std::string>& calls) {
    calls.clear();
    std::string_view line;
    while (outcome_ == LineReader::Outcome::kLine && calls.size() < kBatchCalls) {
      outcome_ = lines_.Next(line);
      if (outcome_ != LineReader::Outcome::kLine) break;
      ++line_number_;
      const std::string_view call = CallOfLine(line);
      if (!call.empty() && call.front() != '#') calls.emplace_back(call);
    }
    return outcome_ == LineReader::Outcome::kLine;
  }

  // After the input ended: 0, or 1 with the reason on `err`.
  int Status(std::ostream& err) const {
    if (outcome_ != LineReader::Outcome::kTooLong) return 0;
    err << "torvane resolve: line " << line_number_ + 1 << " is longer than "
        << (LineReader::kLongestLine >> 20) << " MB\n";
    return 1;
  }

 private:
  LineReader lines_;
  LineReader::Outcome outcome_ = LineReader::Outcome::kLine;
  std::size_t line_number_ = 0;
};

// The index-th of `shares` contiguous parts of the calls.
std::span<const std::string> ShareOf(const std::vector<std::string>& calls, std::size_t index,
                                     std::size_t shares) {
  const std::size_t share = (calls.size() + shares - 1) / shares;
  const std::size_t begin = std::min(calls.size(), index * share);
  return std::span<const std::string>(calls).subspan(begin, std::min(share, calls.size() - begin));
}

// A long input: the workers answer a batch while this thread reads the next one and writes
// the one before, so that the reading and writing cost the workers no time.
int ResolveSideBySide(const Options& options, bool as_json, unsigned jobs, CallReader& reader,
                      std::vector<std::string>& first_batch, CommandContext& context) {
  std::vector<std::unique_ptr<ResolveWorker>> workers;
  for (unsigned job = 0; job < jobs; ++job) {
    workers.push_back(std::make_unique<ResolveWorker>(options, as_json));
  }
  for (const auto& worker : workers) {
    if (!ServiceStarted(worker->Service(), "resolve", context.err)) return 1;
  }
  struct Batch {
    std::vector<std::string> calls;
    std::vector<std::string> outputs;
  };
  std::array<Batch, 2> batches;
  for (Batch& batch : batches) batch.outputs.resize(jobs);
  const auto start = [&](Batch& batch) {
    for (std::size_t index = 0; index < jobs; ++index) {
      batch.outputs[index].clear();
      workers[index]->Start(ShareOf(batch.calls, index, jobs), batch.outputs[index]);
    }
  };
  batches[0].calls = std::move(first_batch);
  bool more = true;
  start(batches[0]);
  for (std::size_t current = 0;; current ^= 1) {
    Batch& answering = batches[current];
    Batch& next = batches[current ^ 1];
    if (more) more = reader.Next(next.calls);
    else next.calls.clear();
    for (const auto& worker : workers) worker->Wait();
    const bool last = next.calls.empty();
    if (!last) start(next);
    for (const std::string& output : answering.outputs) context.out << output;
    if (last) break;
  }
  return reader.Status(context.err);
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
  CallReader reader(*in);
  std::vector<std::string> calls;
  bool more = reader.Next(calls);
  const unsigned jobs = JobsFor(arguments.jobs);
  // A short input is not worth more than one service's start-up.
  if (more && jobs > 1) {
    return ResolveSideBySide(options, arguments.json, jobs, reader, calls, context);
  }
  TorvaneControl control(options);
  if (!ServiceStarted(control, "resolve", context.err)) return 1;
  std::string output;
  for (;;) {
    output.clear();
    ResolveCalls(control, calls, arguments.json, output);
    context.out << output;
    if (!more) break;
    more = reader.Next(calls);
  }
  return reader.Status(context.err);
}

}  // namespace

void AddResolveCommand(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<ServiceOptions>();
  auto arguments = std::make_shared<ResolveArguments>();
  CLI::App* resolve =
      app.add_subcommand("resolve", "Resolve callsigns, one per line, to their entities");
  AddOptionsWhenNamed(*resolve, [&context, resolve, options, arguments] {
    resolve->add_option("FILE", arguments->file, "A file of callsigns, or - for input");
    resolve->add_flag("--json", arguments->json, "One JSON object per line");
    resolve
        ->add_option("--jobs", arguments->jobs,
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
  });
}

}  // namespace torvane::tool
