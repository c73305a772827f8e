// Bounded reads of the index files that are a header followed by the records it counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ledgrix::formats {

// Reads a header of recordSize bytes, asks countOf how many records it announces (nullopt:
// the header is refused, with *problem set by countOf) and reads exactly that many records
// after it; nothing past them is read. bytes receives header and records. False with the
// reason in *problem when the file cannot be opened or read or is shorter than announced;
// *ioError (when given) tells a failed open or read from a file that is merely damaged.
bool ReadCountedRecords(const std::filesystem::path& path, std::size_t recordSize,
                        const std::function<bool(const std::uint8_t* header, std::size_t& count,
                                                 std::string* problem)>& countOf,
                        std::vector<std::uint8_t>& bytes, std::string* problem,
                        bool* ioError = nullptr);

}  // namespace ledgrix::formats
