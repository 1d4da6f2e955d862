#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "prefix/prefix_reader.h"
#include "torvane/torvane_control.h"

namespace torvane {

// Answers many calls, each as QuickQueries::GetQuickPrefixAnswers answers it, with lookups of
// their own beside the service's: they raise no events and leave the getters' records and
// the one-call cache as they were. When `reader` answers from its index, up to `threads`
// threads (0: one per processor) each answer a contiguous share of the calls; without one,
// the calls are answered on this thread, which alone may touch the tables. Fills the first
// min(calls, answers) answers and returns that count.
std::size_t AnswerQuickPrefixes(PrefixReader& reader, std::span<const std::string> calls,
                                std::span<QuickPrefixAnswers> answers, unsigned threads);

// The same answers for all the calls with each entity once, into `batch` (see
// QuickPrefixBatch). Returns the number of calls.
std::size_t AnswerQuickPrefixBatch(PrefixReader& reader, std::span<const std::string> calls,
                                   QuickPrefixBatch& batch, unsigned threads);

}  // namespace torvane
