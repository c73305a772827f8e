// LookupSymbol: the portfolio lookup with which every reader and writer finds a symbol.
#pragma once

#include <filesystem>
#include <string_view>

#include "formats/index_entry.h"
#include "formats/status.h"

namespace ledgrix::formats {

// Finds a symbol by name or symbol in dir's index and in the portfolios its directory entries
// name (depth-first; at each level MASTER's records first, then XMASTER's). On success entry
// holds the matching entry and foundDir the directory that holds it (ending in a separator).
// Results: 0, kFileNotFound when no index of the tree holds it, kFileRead when a record cannot
// be read while directory entries are followed or an XMASTER that is there cannot be read.
StatusCode LookupSymbol(const Path& dir, std::string_view searchText, IndexEntry& entry,
                        Path& foundDir);

}  // namespace ledgrix::formats
