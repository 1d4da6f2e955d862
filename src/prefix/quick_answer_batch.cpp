#include "prefix/quick_answer_batch.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>
#include <unordered_map>
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
    // Its lookups answer no host: they raise no CallDataOK, and no getter reads their records.
    web_.webStopped = true;
    lookup_.SetRecordsRead(false);
  }

  QuickQueries& queries() { return queries_; }

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

// Runs `answer(index, begin, length, queries)` for each of the contiguous shares of `count`
// calls, side by side when the reader answers from its index, after `before_shares(shares)`.
// What a share throws is thrown here once all have ended.
void AnswerInShares(
    PrefixReader& reader, std::size_t count, unsigned threads,
    const std::function<void(std::size_t, std::size_t, std::size_t, QuickQueries&)>& answer,
    const std::function<void(std::size_t)>& before_shares) {
  // What other processes changed is taken in once, before the shares start.
  reader.BeginLookup();
  reader.WaitForIndex();
  std::size_t shares = 1;
  if (reader.UsesIndex()) {
    shares = std::clamp<std::size_t>(count / kFewestCallsPerThread, 1, ThreadsFor(threads));
  }
  before_shares(shares);
  const std::size_t share = (count + shares - 1) / shares;
  std::vector<std::exception_ptr> failures(shares);
  const auto answer_share = [&](std::size_t index) {
    const std::size_t begin = std::min(count, index * share);
    try {
      PrivateQuickLookup lookup(reader);
      answer(index, begin, std::min(share, count - begin), lookup.queries());
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
}

// The entities one share of the calls met, each once: by its row when the rows are the
// index's, which stay put; from the tables, whose row is read afresh for each call, once for
// each call.
struct ShareEntities {
  std::size_t begin = 0;  // the share's calls
  std::size_t length = 0;
  std::vector<const EntityRow*> rows;
  std::vector<QuickPrefixEntity> entities;
  std::unordered_map<const EntityRow*, std::int32_t> positions;
  const EntityRow* last_row = nullptr;
  std::int32_t last_position = -1;

  std::int32_t PositionOf(const EntityRow* row, bool rows_stay) {
    if (!rows_stay) return Add(row);
    // Calls in order mostly follow each other within one entity.
    if (last_position >= 0 && row == last_row) return last_position;
    const auto [at, added] = positions.try_emplace(row, static_cast<std::int32_t>(rows.size()));
    if (added) Add(row);
    last_row = row;
    last_position = at->second;
    return last_position;
  }

 private:
  std::int32_t Add(const EntityRow* row) {
    rows.push_back(row);
    AssignEntityFields(row, entities.emplace_back());
    return static_cast<std::int32_t>(rows.size() - 1);
  }
};

}  // namespace

std::size_t AnswerQuickPrefixes(PrefixReader& reader, std::span<const std::string> calls,
                                std::span<QuickPrefixAnswers> answers, unsigned threads) {
  const std::size_t count = std::min(calls.size(), answers.size());
  if (count == 0) return 0;
  AnswerInShares(
      reader, count, threads,
      [&](std::size_t, std::size_t begin, std::size_t length, QuickQueries& queries) {
        for (std::size_t i = begin; i < begin + length; ++i) {
          queries.AnswerWithoutCache(calls[i], answers[i]);
        }
      },
      [](std::size_t) {});
  return count;
}

std::size_t AnswerQuickPrefixBatch(PrefixReader& reader, std::span<const std::string> calls,
                                   QuickPrefixBatch& batch, unsigned threads) {
  const std::size_t count = calls.size();
  batch.entity.resize(count);
  batch.wpx_prefix.resize(count);
  if (count == 0) {
    batch.entities.clear();
    return 0;
  }
  bool rows_stay = false;  // known once the shares are laid out, the index waited for
  std::vector<ShareEntities> met;
  AnswerInShares(
      reader, count, threads,
      [&](std::size_t index, std::size_t begin, std::size_t length, QuickQueries& queries) {
        ShareEntities& entities = met[index];
        entities.begin = begin;
        entities.length = length;
        for (std::size_t i = begin; i < begin + length; ++i) {
          const EntityRow* row = nullptr;
          const bool matched = queries.ResolveWithoutCache(calls[i], row);
          batch.wpx_prefix[i] = queries.LastWPXPrefix();
          batch.entity[i] = matched ? entities.PositionOf(row, rows_stay) : -1;
        }
      },
      [&](std::size_t shares) {
        rows_stay = reader.UsesIndex();
        met.resize(shares);
      });
  // The shares' entities into one list, each once, and the calls' positions into it.
  std::size_t total = 0;
  for (const ShareEntities& share : met) total += share.entities.size();
  batch.entities.resize(total);
  std::unordered_map<const EntityRow*, std::int32_t> positions;
  std::size_t kept = 0;
  for (const ShareEntities& share : met) {
    std::vector<std::int32_t> moved(share.entities.size());
    for (std::size_t local = 0; local < share.entities.size(); ++local) {
      const auto [at, added] =
          positions.try_emplace(share.rows[local], static_cast<std::int32_t>(kept));
      if (added || !rows_stay) {
        batch.entities[kept] = share.entities[local];
        moved[local] = static_cast<std::int32_t>(kept++);
      } else {
        moved[local] = at->second;
      }
    }
    for (std::size_t i = share.begin; i < share.begin + share.length; ++i) {
      if (batch.entity[i] >= 0) batch.entity[i] = moved[static_cast<std::size_t>(batch.entity[i])];
    }
  }
  batch.entities.resize(kept);
  return count;
}

}  // namespace torvane
