// The search of a portfolio for unrecorded splits: adjacent quotes whose closes differ by a
// typical split ratio across a price gap.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/series.h"

namespace ledgrix::maintenance {

// (new, old) share pairs tried, in this order.
inline constexpr std::array<std::pair<int, int>, 8> kSplitRatios = {
    {{1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {4, 1}}};
inline constexpr int kSplitPageSize = 400;

// The (new, old) share pair that two adjacent quotes suggest: their closes differ by that ratio
// across a price gap. {0, 0} when they suggest none.
std::pair<int, int> SplitCandidateRatio(float olderClose, float newerClose, float olderLow,
                                        float olderHigh, float newerLow, float newerHigh);
// The result line "%s possible %d for %d split on %s" (date: the newer quote's).
std::string SplitCandidateLine(const std::string& symbol, int p, int q, formats::QuoteDate date);

// Tests quotes k and k + 1 of series; on a candidate returns its result line, else an empty text.
std::string TestSplitCandidate(const formats::QuoteSeries& series, int k);

// What the search reports while it runs (any of these may be empty).
struct SplitSearchEvents {
  std::function<void(const std::string& line)> onCandidate;
  std::function<void(const std::string& symbol)> onSymbolDone;
  // A symbol with fewer than 2 quotes: the message text to show.
  std::function<void(const std::string& message)> onTooFewQuotes;
  // The symbol whose quotes could not be read (its count or a page); the search ends with
  // kReadError right after.
  std::function<void(const std::string& symbol)> onReadError;
};

enum class SplitSearchEnd { kDone, kReadError, kNoStorage };

// Searches every symbol of symbols (display symbols, in grid order) in dir.
// found is set when any candidate was reported.
SplitSearchEnd RunSplitSearch(const std::filesystem::path& dir,
                              const std::vector<std::string>& symbols,
                              const SplitSearchEvents& events, bool& found);

}  // namespace ledgrix::maintenance
