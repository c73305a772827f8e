// IndexUpdate: MASTER, EMASTER and XMASTER changed in memory and written back in step.
#include "maintenance/index_update.h"

#include <algorithm>
#include <cstring>

#include "formats/le_bytes.h"
#include "platform/files.h"

namespace ledgrix::maintenance {

using formats::EmasterRecord;
using formats::IndexEntry;
using formats::MasterRecord;
using formats::XmasterRecord;
namespace eo = formats::emaster_offset;
namespace mo = formats::master_offset;
namespace xo = formats::xmaster_offset;
namespace le = formats::le;

namespace {

// The stored date number of 4 stored bytes, for the files that hold it as an integer.
std::int32_t StoredDate(const formats::StoredNumber& stored) {
  return formats::StoredDateFromFloat(formats::DecodeMbf(stored.data()));
}

// Writes an integer date unless the field says "not set".
void SetLongUnlessNotSet(std::uint8_t* field, std::int32_t stored) {
  if (le::I32(field) != formats::kLongDateNotSet)
    le::SetI32(field, formats::LongFromStoredDate(stored));
}

void ChangeCounters(formats::MasterHeader& header, int delta) {
  header.setSymbolCount(static_cast<std::int16_t>(header.symbolCount() + delta));
  header.setFileCounter(static_cast<std::int16_t>(header.fileCounter() + delta));
}

// The 14-byte symbol, space-padded. Byte 50 is cleared only where it still holds a character
// of a longer symbol written before; bytes 50-51 are flags otherwise and stay.
void WriteMasterSymbol(MasterRecord& record, std::string_view symbol) {
  for (std::size_t i = 0; i < mo::kSymbolTextSize; ++i)
    record.bytes[mo::kSymbol + i] = i < symbol.size() ? static_cast<std::uint8_t>(symbol[i]) : ' ';
  std::uint8_t& next = record.bytes[mo::kSymbol + mo::kSymbolTextSize];
  if (next > 0x20 && next < 0x80)
    next = ' ';
}

// EMASTER's symbol and short name as MASTER's record gives them.
void CopyNamesToEmaster(const MasterRecord& m, EmasterRecord& e) {
  le::SetText(&e.bytes[eo::kSymbol], eo::kSymbolSize, m.symbolText());
  le::SetText(&e.bytes[eo::kShortName], eo::kShortNameSize, m.trimmedName());
}

// Work and backup files carry the format's upper-case name (a file of that name already on
// disk in another case is the one used).
std::string WithSuffix(const char* name, std::string_view suffix) {
  return std::string(name) + std::string(suffix);
}

}  // namespace

std::uint16_t NextXmasterNumber(const formats::XmasterFile& xmaster) {
  int next = std::max<int>(xmaster.header.nextNumber(), formats::kFirstXmasterNumber);
  for (const XmasterRecord& r : xmaster.records)
    next = std::max(next, r.fileNumber() + 1);
  return next > 0xFFFF ? 0 : static_cast<std::uint16_t>(next);
}

bool IndexUpdate::Load(const std::filesystem::path& dir, std::string* error) {
  *this = IndexUpdate{};
  if (!formats::ReadPortfolioIndex(dir, index_, error))
    return false;
  // A change made without a file that could not be read would leave that file behind.
  if (index_.ioError) {
    *error = "the index files of " + platform::Utf8FromPath(dir) + " cannot be read";
    return false;
  }
  return true;
}

bool IndexUpdate::SetDates(std::uint16_t fileNumber, const formats::StoredNumber* first,
                           const formats::StoredNumber* last) {
  bool found = false;
  for (const IndexEntry& entry : index_.entries) {
    if (entry.fileNumber() != fileNumber || entry.isDirectory)
      continue;
    found = true;
    if (entry.inXmaster()) {
      std::uint8_t* x = index_.xmasterFile.records[entry.position].bytes.data();
      if (first) {
        le::SetI32(x + xo::kFirstDate, formats::LongFromStoredDate(StoredDate(*first)));
        SetLongUnlessNotSet(x + xo::kFirstDateCopy, StoredDate(*first));
      }
      if (last)
        le::SetI32(x + xo::kLastDate, formats::LongFromStoredDate(StoredDate(*last)));
      xmasterChanged_ = true;
      continue;
    }
    MasterRecord& m = index_.master.records[entry.position];
    if (first)
      std::memcpy(&m.bytes[mo::kFirstDate], first->data(), 4);
    if (last)
      std::memcpy(&m.bytes[mo::kLastDate], last->data(), 4);
    masterChanged_ = true;
    if (!emasterFollows())
      continue;
    std::uint8_t* e = index_.emasterFile.records[entry.position].bytes.data();
    if (first) {
      formats::MbfToHost(first->data(), e + eo::kFirstDate);
      SetLongUnlessNotSet(e + eo::kFirstDateLong, StoredDate(*first));
    }
    if (last)
      formats::MbfToHost(last->data(), e + eo::kLastDate);
  }
  return found;
}

void IndexUpdate::Rename(const IndexEntry& entry, std::string_view symbol, std::string_view name) {
  if (entry.inXmaster()) {
    std::uint8_t* x = index_.xmasterFile.records[entry.position].bytes.data();
    le::SetText(x + xo::kSymbol, xo::kSymbolSize, symbol.substr(0, xo::kSymbolSize - 1));
    le::SetText(x + xo::kName, xo::kNameSize, name.substr(0, xo::kNameSize - 1));
    xmasterChanged_ = true;
    return;
  }
  MasterRecord& m = index_.master.records[entry.position];
  WriteMasterSymbol(m, symbol.substr(0, mo::kSymbolTextSize));
  m.setIssueName(name.substr(0, mo::kIssueNameSize));
  masterChanged_ = true;
  if (!emasterFollows())
    return;
  EmasterRecord& e = index_.emasterFile.records[entry.position];
  CopyNamesToEmaster(m, e);
  // The long name is kept only where the name does not fit the short one.
  const std::string_view longName =
      name.size() > mo::kIssueNameSize ? name.substr(0, eo::kLongNameSize - 1) : std::string_view{};
  le::SetText(&e.bytes[eo::kLongName], eo::kLongNameSize, longName);
}

void IndexUpdate::Remove(const IndexEntry& entry) {
  const auto at = static_cast<std::ptrdiff_t>(entry.position);
  if (entry.inXmaster()) {
    auto& records = index_.xmasterFile.records;
    records.erase(records.begin() + at);
    // The next number stays: numbers once given out are not given again.
    index_.xmasterFile.header.setRecordCount(static_cast<std::uint16_t>(records.size()));
    xmasterChanged_ = true;
    return;
  }
  index_.master.records.erase(index_.master.records.begin() + at);
  ChangeCounters(index_.master.header, -1);
  masterChanged_ = true;
  if (emasterFollows()) {
    auto& records = index_.emasterFile.records;
    records.erase(records.begin() + at);
  }
}

void IndexUpdate::AppendToMaster(const MasterRecord& record, const EmasterRecord* emasterKeep,
                                 std::uint8_t fieldBits) {
  index_.master.records.push_back(record);
  ChangeCounters(index_.master.header, +1);
  masterChanged_ = true;
  if (emasterFollows()) {
    index_.emasterFile.records.resize(index_.master.records.size() - 1);
    index_.emasterFile.records.push_back(formats::EmasterRecordFor(record, emasterKeep, fieldBits));
  }
}

std::uint16_t IndexUpdate::AppendToXmaster(XmasterRecord record) {
  formats::XmasterFile& x = index_.xmasterFile;
  const std::uint16_t number = NextXmasterNumber(x);
  if (number == 0)
    return 0;
  le::SetU16(&record.bytes[xo::kFileNumber], number);
  x.records.push_back(record);
  x.header.setRecordCount(static_cast<std::uint16_t>(x.records.size()));
  x.header.setNextNumber(number == 0xFFFF ? number : static_cast<std::uint16_t>(number + 1));
  xmasterChanged_ = true;
  return number;
}

MasterRecord& IndexUpdate::MasterRecordAt(std::size_t position) {
  masterChanged_ = true;
  symbolsTouched_.push_back(position);
  return index_.master.records[position];
}

platform::IoResult IndexUpdate::Commit(std::string_view workSuffix, std::string_view backupSuffix) {
  const auto backup = [&](const char* name) {
    return backupSuffix.empty() ? std::string() : WithSuffix(name, backupSuffix);
  };
  if (masterChanged_) {
    if (platform::IoResult written =
            platform::ReplaceFile(index_.masterPath, WithSuffix("MASTER", workSuffix),
                                  formats::MasterBytes(index_.master), backup("MASTER"));
        !written) {
      return written;
    }
    if (emasterFollows()) {
      formats::EmasterFile& e = index_.emasterFile;
      for (std::size_t position : symbolsTouched_) {
        if (position < index_.master.records.size() && position < e.records.size())
          CopyNamesToEmaster(index_.master.records[position], e.records[position]);
      }
      formats::SyncEmasterHeader(e.header, index_.master.header);
      if (platform::IoResult written =
              platform::ReplaceFile(index_.emasterPath, WithSuffix("EMASTER", workSuffix),
                                    formats::EmasterBytes(e), backup("EMASTER"));
          !written) {
        return written;
      }
    }
    masterChanged_ = false;
  }
  if (xmasterChanged_) {
    if (platform::IoResult written =
            platform::ReplaceFile(index_.xmasterPath, WithSuffix("XMASTER", workSuffix),
                                  formats::XmasterBytes(index_.xmasterFile), backup("XMASTER"));
        !written) {
      return written;
    }
    xmasterChanged_ = false;
  }
  return {};
}

}  // namespace ledgrix::maintenance
