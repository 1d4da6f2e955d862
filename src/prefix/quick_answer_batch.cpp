#include "prefix/quick_answer_batch.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "core/events.h"
#include "core/net/web_state.h"
#include "lookup/call_cache.h"
#include "prefix/prefix_lookup.h"
#include "prefix/quick_queries.h"

namespace torvane {

namespace {

// Starting a thread costs about as much as a few hundred lookups.
constexpr std::size_t kFewestCallsPerThread = 2048;
constexpr unsigned kMostThreads = 64;

// A quick lookup with records of its own over a frozen copy of the service's reader.
class PrivateQuickLookup {
 public:
  explicit PrivateQuickLookup(const PrefixReader& current)
      : reader_(current, PrefixReader::Frozen{}) {
    // Its lookups answer no host: they raise no CallDataOK.
    web_.webStopped = true;
  }

  void Answer(std::span<const std::string> calls, std::span<QuickPrefixAnswers> answers) {
    for (std::size_t i = 0; i < calls.size(); ++i) {
      queries_.AnswerWithoutCache(calls[i], answers[i]);
    }
  }

 private:
  PrefixReader reader_;
  WebState web_;
  EventDispatcher events_{nullptr};
  PrefixLookup lookup_{reader_, web_, events_};
  CallCache cache_{lookup_, web_, events_};
  QuickQueries queries_{cache_, lookup_};
};

unsigned ThreadsFor(unsigned asked) {
  const unsigned threads = asked > 0 ? asked : std::thread::hardware_concurrency();
  return std::clamp(threads, 1u, kMostThreads);
}

}  // namespace

std::size_t AnswerQuickPrefixes(PrefixReader& reader, std::span<const std::string> calls,
                                std::span<QuickPrefixAnswers> answers, unsigned threads) {
  const std::size_t count = std::min(calls.size(), answers.size());
  if (count == 0) return 0;
  // What other processes changed is taken in once, before the shares start.
  reader.BeginLookup();
  reader.WaitForIndex();
  std::size_t shares = 1;
  if (reader.UsesIndex()) {
    shares = std::clamp<std::size_t>(count / kFewestCallsPerThread, 1, ThreadsFor(threads));
  }
  const std::size_t share = (count + shares - 1) / shares;
  std::vector<std::exception_ptr> failures(shares);
  const auto answer_share = [&](std::size_t index) {
    const std::size_t begin = std::min(count, index * share);
    const std::size_t length = std::min(share, count - begin);
    try {
      PrivateQuickLookup lookup(reader);
      lookup.Answer(calls.subspan(begin, length), answers.subspan(begin, length));
    } catch (...) {
      failures[index] = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(shares);  // no allocation once threads run, which would end them unjoined
  std::size_t started = 1;
  for (; started < shares; ++started) {
    try {
      helpers.emplace_back(answer_share, started);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: this thread answers the rest
    }
  }
  answer_share(0);
  for (std::size_t index = started; index < shares; ++index) answer_share(index);
  for (std::thread& helper : helpers) helper.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
  return count;
}

}  // namespace torvane
