// A DOP text through ReadFieldLayout. Input: the record length (signed byte), the periodicity
// letter, a flags byte (bit 0: a DOP exists, bit 1: a DAT exists for the 20-byte guess), the DAT
// length and bytes, then the DOP text.
#include <cstddef>
#include <cstdint>

#include "formats/field_layout.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "platform/file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ledgrix;
  fuzz::FuzzInput in(data, size);
  const int recordLength = static_cast<std::int8_t>(in.U8());
  const char periodicity = static_cast<char>(in.U8());
  const std::uint8_t flags = in.U8();
  const std::string_view dat = in.Take(in.U8());
  const std::string_view dop = in.Rest();

  testing::MemoryFileSystem fs;
  fs.AddDirectory(fuzz::kFuzzRoot);
  const std::string dopPath = std::string(fuzz::kFuzzRoot) + "/F1.DOP";
  if (flags & 1)
    fs.AddFile(dopPath, fuzz::Bytes(dop.begin(), dop.end()));
  if (flags & 2)
    fs.AddFile(std::string(fuzz::kFuzzRoot) + "/F1.DAT", fuzz::Bytes(dat.begin(), dat.end()));
  platform::ScopedFileSystem installed(fs);

  formats::FieldLayout layout;
  layout.fieldPosition.fill(99);
  const formats::StatusCode status =
      formats::ReadFieldLayout(dopPath, recordLength, layout, periodicity);
  LEDGRIX_FUZZ_CHECK(status == formats::kOk || status == formats::kNoFieldLayout);
  if (!formats::IsUsableRecordLength(recordLength)) {
    LEDGRIX_FUZZ_CHECK(status == formats::kNoFieldLayout);
  }
  // Every position lies within the record: a reader never goes past it.
  const int fields = recordLength / 4;
  for (int name = 0; name < formats::kFieldNameCount; ++name) {
    const int position = layout.fieldPosition[static_cast<std::size_t>(name)];
    if (status == formats::kOk) {
      LEDGRIX_FUZZ_CHECK(position >= 0 && position <= fields);
    } else {
      LEDGRIX_FUZZ_CHECK(position == 0);
    }
  }
  return 0;
}
