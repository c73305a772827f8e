// A MASTER tree (the top file, sub-directory files, directory entries) through LookupSymbol and
// the read that fills the symbols grid. Input: a search text (1-byte length, then the text),
// then the archive of the tree below kFuzzRoot.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/master.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "platform/file_system.h"

namespace {

using namespace ledgrix;

// A found directory lies in the tree: below the root, no "." or ".." step, separator at the end.
void CheckFoundDir(const formats::Path& foundDir) {
  const std::string text = foundDir.generic_string();
  LEDGRIX_FUZZ_CHECK(text.rfind(std::string(fuzz::kFuzzRoot) + "/", 0) == 0);
  LEDGRIX_FUZZ_CHECK(text.back() == '/');
  for (const auto& part : foundDir) {
    LEDGRIX_FUZZ_CHECK(part != "." && part != "..");
  }
}

void Lookup(std::string_view text) {
  formats::MasterRecord record;
  formats::Path foundDir;
  const formats::StatusCode status = formats::LookupSymbol(fuzz::kFuzzRoot, text, record, foundDir);
  LEDGRIX_FUZZ_CHECK(status == formats::kOk || status == formats::kFileNotFound ||
                     status == formats::kFileRead);
  if (status == formats::kOk) {
    CheckFoundDir(foundDir);
    LEDGRIX_FUZZ_CHECK(!record.isDirectoryEntry());
    LEDGRIX_FUZZ_CHECK(record.matches(text));
    (void)formats::QuoteFilePath(foundDir, record.fileNumber(), "DAT");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string text(in.Take(in.U8() % 32));
  testing::MemoryFileSystem fs;
  fuzz::UnpackArchive(in, fs);
  platform::ScopedFileSystem installed(fs);

  Lookup(text);
  // What the symbols grid reads, and a lookup of every symbol and name it would show.
  formats::MasterFile master;
  if (formats::ReadMasterFile(std::string(fuzz::kFuzzRoot) + "/MASTER", master)) {
    LEDGRIX_FUZZ_CHECK(formats::MasterBytes(master).size() ==
                       (master.records.size() + 1) * formats::kMasterRecordSize);
    int lookups = 0;
    for (const formats::MasterRecord& record : master.records) {
      const std::string symbol = record.displaySymbol();
      const std::string name = record.displayName();
      LEDGRIX_FUZZ_CHECK(symbol.size() <= formats::master_offset::kSymbolFieldSize);
      LEDGRIX_FUZZ_CHECK(name.size() <= formats::master_offset::kIssueNameSize);
      (void)record.hasBlankSymbol();
      (void)record.periodicity();
      (void)record.storedFirstDate();
      (void)record.storedLastDate();
      if (record.isDirectoryEntry())
        (void)record.directoryName();
      if (lookups++ < 8 && !symbol.empty())
        Lookup(symbol);
    }
  }
  return 0;
}
