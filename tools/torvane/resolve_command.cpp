#include <algorithm>
#include <array>
#include <fstream>
#include <future>
#include <istream>
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
  unsigned jobs = 0;  // threads; 0: one per processor, at most kMostJobs
};

constexpr unsigned kMostJobs = 8;
// Calls resolved at once: enough that the service gives two threads a batch, and few enough
// that the batches' memory is used again rather than faulted in afresh. Over MASTER.SCP,
// twice as many cost 600 more page faults and 2.6 ms more processor time; half as many are
// resolved on one thread.
constexpr std::size_t kBatchCalls = 4096;

// The callsign of a line: its first word, so that a blank never becomes part of a call.
// (A plain test per character: the library's search for any of a set of characters runs a
// search of the set for each one.)
std::string_view CallOfLine(std::string_view line) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
  };
  std::size_t start = 0;
  while (start < line.size() && blank(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !blank(line[end])) ++end;
  return line.substr(start, end - start);
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

// Appends a line per call to `output`: the entity that decides it, or empty entity fields
// for a call that matches no prefix.
void FormatAnswers(std::span<const std::string> calls, const QuickPrefixBatch& answers,
                   bool as_json, std::string& output) {
  static const QuickPrefixEntity kNoEntity{"0", "", "", "", ""};
  const auto entity_of = [&](std::size_t call) -> const QuickPrefixEntity& {
    const std::int32_t position = answers.entity[call];
    return position >= 0 ? answers.entities[static_cast<std::size_t>(position)] : kNoEntity;
  };
  if (as_json) {
    for (std::size_t i = 0; i < calls.size(); ++i) {
      const QuickPrefixEntity& entity = entity_of(i);
      const json row = {{"call", calls[i]},
                        {"dxcc", entity.dxcc},
                        {"country", entity.country},
                        {"continent", entity.continent},
                        {"cq_zone", entity.cq_zone},
                        {"itu_zone", entity.itu_zone},
                        {"wpx_prefix", answers.wpx_prefix[i]}};
      output += row.dump(-1, ' ', false, json::error_handler_t::replace);
      output += '\n';
    }
    return;
  }
  // Each entity's fields between tabs once; a line is then the call, its entity's fields and
  // its WPX prefix.
  const auto fields_of = [](const QuickPrefixEntity& entity) {
    std::string fields;
    for (const std::string* field : {&entity.dxcc, &entity.country, &entity.continent,
                                     &entity.cq_zone, &entity.itu_zone}) {
      fields += '\t';
      fields += *field;
    }
    fields += '\t';
    return fields;
  };
  std::vector<std::string> entity_fields;
  entity_fields.reserve(answers.entities.size());
  for (const QuickPrefixEntity& entity : answers.entities) {
    entity_fields.push_back(fields_of(entity));
  }
  const std::string no_entity_fields = fields_of(kNoEntity);
  const auto line_fields = [&](std::size_t call) -> const std::string& {
    const std::int32_t position = answers.entity[call];
    return position >= 0 ? entity_fields[static_cast<std::size_t>(position)] : no_entity_fields;
  };
  // The length of all the lines first, so that the text grows once: growing it line by line
  // cost more than writing the lines.
  std::size_t length = 0;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    length += calls[i].size() + line_fields(i).size() + answers.wpx_prefix[i].size() + 1;
  }
  const std::size_t start = output.size();
  output.resize(start + length);
  char* next = output.data() + start;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    for (const std::string* part : {&calls[i], &line_fields(i), &answers.wpx_prefix[i]}) {
      next = std::copy(part->begin(), part->end(), next);
    }
    *next++ = '\n';
  }
}

unsigned ThreadsFor(unsigned asked) {
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

// Batches go through two stages side by side: while the service resolves a batch on its
// threads, another thread formats and writes the batch before it and reads the one after the
// next.
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
  // Opened first: the service reads its prefix tables while the first calls are read.
  std::optional<TorvaneControl> control(std::in_place, options);
  if (!ServiceStarted(*control, "resolve", context.err)) return 1;
  const unsigned threads = ThreadsFor(arguments.jobs);
  CallReader reader(*in);
  std::array<std::vector<std::string>, 3> calls;  // a batch resolved, one written, one read
  // A batch's answers, and the last batch's as it is written. Reused, so that their texts
  // keep their storage.
  std::array<QuickPrefixBatch, 2> answers;
  std::string output;
  bool more = reader.Next(calls[0]);
  // `more`, the reader, the output and the batches it reads into or writes belong to the
  // input-output task until it is waited for.
  std::future<void> input_output = std::async(std::launch::async, [&] {
    if (more) more = reader.Next(calls[1]);
  });
  for (std::size_t batch = 0; !calls[batch % 3].empty(); ++batch) {
    const std::vector<std::string>& resolving = calls[batch % 3];
    QuickPrefixBatch& resolved = answers[batch % 2];
    const bool answered =
        control->GetQuickPrefixBatch(resolving, resolved, threads) == resolving.size();
    input_output.get();
    if (!answered) {
      // The lines before were written; none is made up for calls the service did not answer.
      context.err << "torvane resolve: the service failed while resolving a batch of calls\n";
      return 1;
    }
    input_output = std::async(
        std::launch::async,
        [&, written = std::span<const std::string>(resolving),
         answered = &resolved,
         after_next = &calls[(batch + 2) % 3]] {
          output.clear();
          FormatAnswers(written, *answered, arguments.json, output);
          context.out << output;
          after_next->clear();
          if (more) more = reader.Next(*after_next);
        });
  }
  // The service closes while the last batch is written.
  control.reset();
  input_output.get();
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
                     "Threads resolving side by side over the service's one copy of the "
                     "prefix tables (default: one per processor; a short input uses fewer)")
        ->check(CLI::Range(1u, kMostJobs));
    options->Register(*resolve);
    RunAfterCheckingOptions(*resolve, context, options, "resolve", [&context, options, arguments] {
      return Resolve(*arguments, *options, context);
    });
  });
}

}  // namespace torvane::tool
