// Repair of blank symbol fields: the issue name is written where the symbol should be, and the
// MASTER is replaced through its ".bak" work file in one atomic step.
#include "maintenance/master_repair.h"

#include <string>

#include "formats/master.h"
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
    text.replace(at, 2, masterPath.string());
  return text;
}

}  // namespace

int RepairMaster(const std::filesystem::path& masterPath, bool repairFlag, Prompt& prompt) {
  if (!repairFlag && !prompt.AskYesNo(QuestionFor(masterPath)))
    return 0;

  formats::MasterFile master;
  if (!formats::ReadMasterFile(masterPath, master))
    return 0;
  for (auto& record : master.records) {
    if (record.hasBlankSymbol())
      RepairRecord(record);
  }
  // The work file shares its name with the MASTER.BAK that other writers leave; the repair
  // overwrites that backup and renames it into place.
  platform::IoResult replaced = platform::ReplaceFile(
      masterPath, masterPath.filename().string() + ".bak", formats::MasterBytes(master));
  return replaced.ok() ? 1 : 0;
}

}  // namespace ledgrix::maintenance
