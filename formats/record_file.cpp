#include "formats/record_file.h"

#include "platform/files.h"

namespace ledgrix::formats {

bool ReadCountedRecords(const std::filesystem::path& path, std::size_t recordSize,
                        const std::function<bool(const std::uint8_t* header, std::size_t& count,
                                                 std::string* problem)>& countOf,
                        std::vector<std::uint8_t>& bytes, std::string* problem, bool* ioError) {
  const auto failed = [&](const char* what) {
    *problem = what;
    if (ioError)
      *ioError = true;
    return false;
  };
  auto in = platform::OpenResolved(path);
  if (!in)
    return failed("cannot be opened");
  std::vector<std::uint8_t> out(recordSize);
  const std::size_t header = in->ReadUpTo(out.data(), recordSize);
  if (in->failed())
    return failed("cannot be read");
  if (header < recordSize) {
    *problem = "is shorter than its " + std::to_string(recordSize) + "-byte header (" +
               std::to_string(header) + " bytes)";
    return false;
  }
  std::size_t count = 0;
  if (!countOf(out.data(), count, problem))
    return false;
  out.resize(recordSize * (count + 1));
  const std::size_t got = in->ReadUpTo(out.data() + recordSize, recordSize * count);
  if (in->failed())
    return failed("cannot be read");
  if (got < recordSize * count) {
    *problem = "holds " + std::to_string(got / recordSize) + " of the " + std::to_string(count) +
               " records its header counts";
    return false;
  }
  bytes = std::move(out);
  return true;
}

}  // namespace ledgrix::formats
