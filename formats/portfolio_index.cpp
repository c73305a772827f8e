// ReadPortfolioIndex: MASTER as the source, EMASTER's long names when it is in step, XMASTER's
// symbols when it is usable.
#include "formats/portfolio_index.h"

#include <cstring>

#include "formats/mbf.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

using std::filesystem::path;

path DirOrCurrent(const path& dir) {
  return dir.empty() ? path(".") : dir;
}

// The IEEE bytes of a MASTER date: what EMASTER holds for it.
std::array<std::uint8_t, 4> HostBytes(const MasterRecord& record, std::size_t offset) {
  std::array<std::uint8_t, 4> out{};
  MbfToHost(record.bytes.data() + offset, out.data());
  return out;
}

// The fields a record of this length and periodicity holds without a descriptor.
std::uint8_t DefaultFieldBits(int recordLength, char periodicity) {
  if (periodicity == 'I' && (recordLength == 28 || recordLength == 32))
    return recordLength == 28 ? 0xBF : 0xFF;
  switch (recordLength) {
    case 8:
      return 0x09;
    case 12:
      return 0x19;
    case 16:
      return 0x0F;
    case 20:
      return 0x1F;
    case 24:
      return 0x3F;
    case 28:
      return 0x7F;
    default:
      return 0;
  }
}

bool SameDate(const MasterRecord& m, std::size_t masterOffset, const EmasterRecord& e,
              std::size_t emasterOffset) {
  return HostBytes(m, masterOffset) ==
         std::array<std::uint8_t, 4>{e.bytes[emasterOffset], e.bytes[emasterOffset + 1],
                                     e.bytes[emasterOffset + 2], e.bytes[emasterOffset + 3]};
}

std::string Number(std::size_t n) {
  return std::to_string(n);
}

}  // namespace

const IndexEntry* PortfolioIndex::Find(SymbolKey key) const {
  for (const IndexEntry& e : entries) {
    if (e.key == key && !e.isDirectory)
      return &e;
  }
  return nullptr;
}

const IndexEntry* PortfolioIndex::Match(std::string_view searchText) const {
  for (const IndexEntry& e : entries) {
    if (!e.isDirectory && e.matches(searchText))
      return &e;
  }
  return nullptr;
}

const IndexEntry* PortfolioIndex::FindBySymbol(std::string_view symbol) const {
  for (const IndexEntry& e : entries) {
    if (e.symbol == symbol)
      return &e;
  }
  return nullptr;
}

std::size_t NameLimit(const PortfolioIndex& index, const IndexEntry& entry) {
  return entry.inXmaster() || index.emaster == IndexFileState::kUsable ? kLongNameLength
                                                                       : kShortNameLength;
}

std::size_t PortfolioIndex::xmasterCount() const {
  std::size_t n = 0;
  for (const IndexEntry& e : entries)
    n += e.inXmaster() ? 1 : 0;
  return n;
}

bool EmasterInStep(const EmasterFile& emaster, const MasterFile& master, std::string* why) {
  using namespace master_offset;
  const std::size_t n = master.records.size();
  if (emaster.header.recordCount() != n || emaster.records.size() < n) {
    *why =
        "it counts " + Number(emaster.header.recordCount()) + " records, MASTER holds " + Number(n);
    return false;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const MasterRecord& m = master.records[i];
    const EmasterRecord& e = emaster.records[i];
    const char* what = nullptr;
    if (e.fileNumber() != m.fileNumber())
      what = "file number";
    else if (e.symbol() != m.symbolText())
      what = "symbol";
    else if (e.shortName() != m.trimmedName())
      what = "name";
    else if (!SameDate(m, kFirstDate, e, emaster_offset::kFirstDate) ||
             !SameDate(m, kLastDate, e, emaster_offset::kLastDate))
      what = "dates";
    if (what) {
      *why = "record " + Number(i + 1) + " differs from MASTER's in its " + what;
      return false;
    }
  }
  return true;
}

EmasterRecord EmasterRecordFor(const MasterRecord& record, const EmasterRecord* keep,
                               std::uint8_t fieldBits) {
  using namespace emaster_offset;
  EmasterRecord e = keep ? *keep : EmasterRecord{};
  std::uint8_t* b = e.bytes.data();
  b[kTag] = '6';
  b[kTag + 1] = '6';
  b[kFileNumber] = record.fileNumber();
  b[kFileNumber + 1] = 0;
  b[kFieldCount] = static_cast<std::uint8_t>(record.fieldCount());
  if (fieldBits == 0 && keep == nullptr)
    fieldBits = DefaultFieldBits(record.recordLength(), record.periodicity());
  if (fieldBits != 0)
    b[kFieldBits] = fieldBits;
  const std::uint8_t flag = record.bytes[51];
  b[kFlag] = (flag == ' ' || flag == '*') ? flag : (keep ? b[kFlag] : ' ');
  const std::string shortName = record.trimmedName();
  le::SetText(b + kSymbol, kSymbolSize, record.symbolText());
  le::SetText(b + kShortName, kShortNameSize, shortName);
  b[kPeriodicity] = static_cast<std::uint8_t>(record.periodicity());
  MbfToHost(record.bytes.data() + master_offset::kFirstDate, b + kFirstDate);
  MbfToHost(record.bytes.data() + master_offset::kLastDate, b + kLastDate);
  const std::int32_t first = StoredDateFromFloat(record.storedFirstDate());
  if (!keep || e.firstDateLong() != kLongDateNotSet)
    le::SetI32(b + kFirstDateLong, LongFromStoredDate(first));
  // A long name begins with the short name; one that does not belongs to another name.
  const std::string longName = e.longName();
  if (longName.size() <= shortName.size() || longName.compare(0, shortName.size(), shortName) != 0)
    le::SetText(b + kLongName, kLongNameSize, "");
  return e;
}

void SyncEmasterHeader(EmasterHeader& header, const MasterHeader& master) {
  std::memcpy(header.bytes.data(), master.bytes.data(), 4);
  std::memcpy(header.bytes.data() + emaster_offset::kSerial, master.bytes.data() + 49, 4);
}

bool ReadPortfolioIndex(const path& dir, PortfolioIndex& index, std::string* problem) {
  PortfolioIndex out;
  out.dir = dir;
  const path folder = DirOrCurrent(dir);
  out.masterPath = platform::ResolveName(folder, "MASTER");
  if (!ReadMasterFile(out.masterPath, out.master)) {
    if (problem)
      *problem = platform::Utf8FromPath(out.masterPath) + " cannot be read";
    return false;
  }
  for (std::size_t i = 0; i < out.master.records.size(); ++i)
    out.entries.push_back(EntryFromMaster(out.master.records[i], i));

  const path emaster = platform::ResolveName(folder, "EMASTER");
  if (platform::FileExists(emaster)) {
    out.emasterPath = emaster;
    std::string why;
    out.emasterRead = ReadEmasterFile(emaster, out.emasterFile, &why, &out.ioError);
    if (!out.emasterRead)
      why = "it " + why;
    if (out.emasterRead && EmasterInStep(out.emasterFile, out.master, &why)) {
      out.emaster = IndexFileState::kUsable;
      for (std::size_t i = 0; i < out.master.records.size(); ++i) {
        out.entries[i].longName = out.emasterFile.records[i].longName();
        out.entries[i].fieldBits = out.emasterFile.records[i].fieldBits();
      }
    } else {
      out.emaster = IndexFileState::kUnusable;
      out.emasterProblem = why;
    }
  }

  const path xmaster = platform::ResolveName(folder, "XMASTER");
  if (platform::FileExists(xmaster)) {
    out.xmasterPath = xmaster;
    std::string why;
    if (!ReadXmasterFile(xmaster, out.xmasterFile, &why, &out.ioError)) {
      out.xmaster = IndexFileState::kUnusable;
      out.xmasterProblem = why;
    } else {
      out.xmaster = IndexFileState::kUsable;
      // A number MASTER's range holds, or one listed twice, would name another symbol's files.
      std::vector<bool> seen(0x10000);
      std::size_t skipped = 0;
      out.entries.reserve(out.entries.size() + out.xmasterFile.records.size());
      for (std::size_t i = 0; i < out.xmasterFile.records.size(); ++i) {
        const XmasterRecord& r = out.xmasterFile.records[i];
        if (r.fileNumber() < kFirstXmasterNumber || seen[r.fileNumber()]) {
          ++skipped;
          continue;
        }
        seen[r.fileNumber()] = true;
        out.entries.push_back(EntryFromXmaster(r, i));
      }
      if (skipped > 0)
        out.xmasterProblem = Number(skipped) + " record(s) with a file number below " +
                             Number(kFirstXmasterNumber) + " or listed twice were left out";
    }
  }
  index = std::move(out);
  return true;
}

}  // namespace ledgrix::formats
