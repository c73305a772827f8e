// A portfolio tree (MASTER, EMASTER, XMASTER at the top and in sub-directories, directory
// entries) through LookupSymbol and the joined index that fills the symbols grid. Input: a
// search text (1-byte length, then the text), then the archive of the tree below kFuzzRoot.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/lookup.h"
#include "formats/portfolio_index.h"
#include "formats/windows1252.h"
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
  formats::IndexEntry entry;
  formats::Path foundDir;
  const formats::StatusCode status = formats::LookupSymbol(fuzz::kFuzzRoot, text, entry, foundDir);
  LEDGRIX_FUZZ_CHECK(status == formats::kOk || status == formats::kFileNotFound ||
                     status == formats::kFileRead);
  if (status == formats::kOk) {
    CheckFoundDir(foundDir);
    LEDGRIX_FUZZ_CHECK(!entry.isDirectory);
    LEDGRIX_FUZZ_CHECK(entry.matches(text));
    // XMASTER numbers never name MASTER's quote files.
    LEDGRIX_FUZZ_CHECK(!entry.inXmaster() || entry.fileNumber() > formats::kMaxSymbols);
    (void)formats::QuoteDataPath(foundDir, entry.fileNumber());
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
  formats::PortfolioIndex index;
  if (formats::ReadPortfolioIndex(fuzz::kFuzzRoot, index)) {
    const formats::MasterFile& master = index.master;
    LEDGRIX_FUZZ_CHECK(formats::MasterBytes(master).size() ==
                       (master.records.size() + 1) * formats::kMasterRecordSize);
    LEDGRIX_FUZZ_CHECK(index.entries.size() >= master.records.size());
    if (index.emaster == formats::IndexFileState::kUsable)
      LEDGRIX_FUZZ_CHECK(index.emasterFile.records.size() >= master.records.size());
    if (index.xmaster == formats::IndexFileState::kUsable) {
      LEDGRIX_FUZZ_CHECK(formats::XmasterBytes(index.xmasterFile).size() ==
                         (index.xmasterFile.records.size() + 1) * formats::kXmasterRecordSize);
    }
    int lookups = 0;
    for (const formats::IndexEntry& entry : index.entries) {
      LEDGRIX_FUZZ_CHECK(entry.symbol.size() <= formats::master_offset::kSymbolFieldSize);
      LEDGRIX_FUZZ_CHECK(entry.shownName().size() <= formats::kLongNameLength);
      LEDGRIX_FUZZ_CHECK(formats::Utf8ToWindows1252(
                             formats::Windows1252ToUtf8(entry.shownName())) == entry.shownName());
      (void)formats::RecordLengthOfBits(entry.fieldBits);
      if (!entry.inXmaster()) {
        const formats::MasterRecord& record = entry.master;
        LEDGRIX_FUZZ_CHECK(record.displayName().size() <= formats::master_offset::kIssueNameSize);
        (void)record.hasBlankSymbol();
        if (record.isDirectoryEntry())
          (void)record.directoryName();
        // The mirror a writer would make of it is in step with it.
        const formats::EmasterRecord mirror = formats::EmasterRecordFor(record, nullptr, 0);
        LEDGRIX_FUZZ_CHECK(mirror.fileNumber() == record.fileNumber());
        LEDGRIX_FUZZ_CHECK(mirror.symbol() == record.symbolText());
      }
      if (lookups++ < 8 && !entry.symbol.empty())
        Lookup(entry.symbol);
    }
  }
  return 0;
}
