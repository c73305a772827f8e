// Repair of blank symbol fields: the issue name is written where the symbol should be, and the
// MASTER is replaced through its ".bak" work file in one atomic step.
#include "maintenance/master_repair.h"

#include <string>

#include "formats/field_layout.h"
#include "formats/portfolio_index.h"
#include "maintenance/index_update.h"
#include "maintenance/messages.h"
#include "platform/files.h"

namespace ledgrix::maintenance {

namespace {

bool IsBlankByte(std::uint8_t b) {
  return b <= 0x20 || b >= 0x80;
}

// The symbol field gets the name up to and including its first zero byte; past a zero byte the
// field keeps its own bytes, with the blank ones zeroed.
void RepairRecord(formats::MasterRecord& record) {
  using namespace formats::master_offset;
  std::uint8_t field[kSymbolFieldSize];
  for (std::size_t i = 0; i < kSymbolFieldSize; ++i) {
    std::uint8_t b = record.bytes[kSymbol + i];
    field[i] = IsBlankByte(b) ? 0 : b;
  }
  for (std::size_t i = 0; i < kSymbolFieldSize; ++i) {
    field[i] = record.bytes[kIssueName + i];
    if (field[i] == 0)
      break;
  }
  for (std::size_t i = 0; i < kSymbolFieldSize; ++i)
    record.bytes[kSymbol + i] = field[i];
}

std::string QuestionFor(const std::filesystem::path& masterPath) {
  std::string text = kRepairQuestion;
  std::string::size_type at = text.find("%s");
  if (at != std::string::npos)
    text.replace(at, 2, platform::Utf8FromPath(masterPath));
  return text;
}

}  // namespace

int RepairMaster(const std::filesystem::path& masterPath, bool repairFlag, Prompt& prompt) {
  if (!repairFlag && !prompt.AskYesNo(QuestionFor(masterPath)))
    return 0;

  IndexUpdate update;
  std::string error;
  if (!update.Load(masterPath.parent_path(), &error))
    return 0;
  const std::size_t records = update.index().master.records.size();
  for (std::size_t i = 0; i < records; ++i) {
    if (update.index().master.records[i].hasBlankSymbol())
      RepairRecord(update.MasterRecordAt(i));
  }
  // The work file shares its name with the MASTER.BAK that other writers leave; the repair
  // overwrites that backup and renames it into place.
  return update.Commit(".bak").ok() ? 1 : 0;
}

int RebuildEmaster(const std::filesystem::path& dir, bool repairFlag, Prompt& prompt,
                   std::string* error) {
  formats::PortfolioIndex index;
  std::string problem;
  if (!formats::ReadPortfolioIndex(dir, index, &problem)) {
    if (error)
      *error = problem;
    return 0;
  }
  if (index.emaster != formats::IndexFileState::kUnusable)
    return 1;
  if (!repairFlag && !prompt.AskYesNo(EmasterRebuildQuestion(
                         platform::Utf8FromPath(index.emasterPath), index.emasterProblem)))
    return 0;

  const formats::EmasterFile& old = index.emasterFile;
  formats::EmasterFile rebuilt;
  if (index.emasterRead)
    rebuilt.header = old.header;
  for (std::size_t i = 0; i < index.master.records.size(); ++i) {
    const formats::MasterRecord& record = index.master.records[i];
    // The old record of this symbol: at the same place if it is there, else wherever it is.
    const formats::EmasterRecord* keep = nullptr;
    const auto same = [&](const formats::EmasterRecord& e) {
      return e.fileNumber() == record.fileNumber() && e.symbol() == record.symbolText();
    };
    if (i < old.records.size() && same(old.records[i])) {
      keep = &old.records[i];
    } else {
      for (const formats::EmasterRecord& e : old.records) {
        if (same(e)) {
          keep = &e;
          break;
        }
      }
    }
    std::uint8_t bits = 0;
    formats::FieldLayout layout;
    if (keep == nullptr && formats::ReadFieldLayout(
                               formats::QuoteFilePath(dir, record.fileNumber(), "DOP"),
                               record.recordLength(), layout, record.periodicity()) == formats::kOk)
      bits = formats::FieldBits(layout);
    rebuilt.records.push_back(formats::EmasterRecordFor(record, keep, bits));
  }
  formats::SyncEmasterHeader(rebuilt.header, index.master.header);
  const platform::IoResult written = platform::ReplaceFile(
      index.emasterPath, "EMASTER.NEW", formats::EmasterBytes(rebuilt), "EMASTER.BAK");
  if (!written && error)
    *error = written.message();
  return written.ok() ? 1 : 0;
}

}  // namespace ledgrix::maintenance
