// ImportQuotes: the quote file built in memory (from the text alone, or merged with the old
// records byte for byte), written through a work file, then the index through IndexUpdate.
#include "maintenance/quote_import.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <vector>

#include "formats/le_bytes.h"
#include "formats/lookup.h"
#include "formats/portfolio_index.h"
#include "formats/quote_files.h"
#include "formats/series.h"
#include "maintenance/index_update.h"
#include "maintenance/messages.h"
#include "maintenance/symbol_ops.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace ledgrix::maintenance {

using formats::FieldLayout;
using formats::FieldName;
using formats::IndexEntry;
using std::filesystem::path;
namespace le = formats::le;

namespace {

ImportOutcome Refused(std::string message) {
  ImportOutcome outcome;
  outcome.message = std::move(message);
  return outcome;
}

std::string UpperTrimmed(std::string_view text) {
  const char* space = " \t\r\n";
  const std::size_t begin = text.find_first_not_of(space);
  if (begin == std::string_view::npos)
    return {};
  std::string s(text.substr(begin, text.find_last_not_of(space) - begin + 1));
  for (char& c : s)
    c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return s;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
         });
}

// The record layout of a new symbol: DATE, TIME for intraday text, then the text's columns.
FieldLayout NewLayout(const QuoteText& text) {
  return formats::LayoutFromBits(text.fieldBits());
}

int RecordLengthOf(const FieldLayout& layout) {
  int fields = 0;
  for (std::int16_t p : layout.fieldPosition)
    fields = std::max<int>(fields, p);
  return fields * 4;
}

// Whether the reader finds layout without a descriptor: the four layouts a record length names.
bool NeedsDescriptor(const QuoteText& text) {
  const std::uint8_t bits = text.fieldBits();
  return bits != 0x7F && bits != 0x3F && bits != 0xFF && bits != 0xBF;
}

std::vector<std::uint8_t> DescriptorBytes(const FieldLayout& layout) {
  std::string dop;
  for (int position = 1; position <= formats::kMaxFields; ++position) {
    for (int f = 0; f < formats::kFieldNameCount; ++f) {
      if (layout.fieldPosition[static_cast<std::size_t>(f)] == position)
        dop += "\"" + std::string(formats::kFieldNames[static_cast<std::size_t>(f)]) + "\",0,0\r\n";
    }
  }
  return {dop.begin(), dop.end()};
}

void PutNumber(std::uint8_t* record, const FieldLayout& layout, FieldName field, float value) {
  const int position = layout.fieldPosition[field];
  if (position == 0)
    return;
  const formats::StoredNumber stored = formats::EncodeMbf(value);
  std::memcpy(record + (position - 1) * 4, stored.data(), 4);
}

float TimeNumber(formats::QuoteTime time) {
  const formats::Hms hms = formats::HmsFromTime(time);
  return static_cast<float>(hms.hours * 10000 + hms.minutes * 100 + hms.seconds);
}

// Writes quote's date, time and the fields the text gives into record.
void PutQuote(std::uint8_t* record, const FieldLayout& layout, const QuoteText& text,
              const TextQuote& quote) {
  if (const int p = layout.fieldPosition[formats::kDate]; p != 0) {
    const formats::StoredNumber date = formats::StoredFromDay(quote.date);
    std::memcpy(record + (p - 1) * 4, date.data(), 4);
  }
  if (text.has[formats::kTime])
    PutNumber(record, layout, formats::kTime, TimeNumber(quote.time));
  for (int f = formats::kOpen; f < formats::kFieldNameCount; ++f) {
    if (text.has[static_cast<std::size_t>(f)])
      PutNumber(record, layout, static_cast<FieldName>(f),
                quote.values[static_cast<std::size_t>(f - formats::kOpen)]);
  }
}

// The (date, time) of a stored record, as one number for ordering.
std::uint32_t KeyOfRecord(const std::uint8_t* record, const FieldLayout& layout) {
  const auto field = [&](FieldName f) {
    const int p = layout.fieldPosition[f];
    return p == 0 ? 0.0f : formats::DecodeMbf(record + (p - 1) * 4);
  };
  return (static_cast<std::uint32_t>(formats::DayFromStored(field(formats::kDate))) << 16) |
         formats::TimeFromStored(field(formats::kTime));
}

std::uint32_t KeyOfQuote(const TextQuote& q) {
  return (static_cast<std::uint32_t>(q.date) << 16) | q.time;
}

// A whole quote file: header then records, lastRecord in step.
struct QuoteFile {
  int recordLength = 0;
  std::vector<std::uint8_t> bytes;
  std::size_t count() const { return bytes.size() / static_cast<std::size_t>(recordLength) - 1; }
  std::uint8_t* Append() {
    bytes.resize(bytes.size() + static_cast<std::size_t>(recordLength));
    return bytes.data() + bytes.size() - recordLength;
  }
  void Finish() { le::SetU16(&bytes[2], static_cast<std::uint16_t>(count() + 1)); }
  const std::uint8_t* record(std::size_t i) const {
    return bytes.data() + (i + 1) * static_cast<std::size_t>(recordLength);
  }
};

// The refusal when the text has a column the layout cannot hold (a column of zeros is let go).
std::string Unkeepable(const QuoteText& text, const FieldLayout& layout, const path& dat) {
  for (int f = formats::kTime; f < formats::kFieldNameCount; ++f) {
    if (!text.has[static_cast<std::size_t>(f)] || layout.has(static_cast<FieldName>(f)))
      continue;
    const bool values =
        std::any_of(text.quotes.begin(), text.quotes.end(), [&](const TextQuote& q) {
          return f == formats::kTime ? q.time != 0
                                     : q.values[static_cast<std::size_t>(f - formats::kOpen)] != 0;
        });
    if (values)
      return ImportColumnNotHeldMessage(platform::Utf8FromPath(dat.filename()),
                                        formats::kFieldNames[static_cast<std::size_t>(f)]);
  }
  return {};
}

// The new quote file of an existing symbol: the text's quotes, merged with the old ones.
QuoteFile RewrittenFile(const std::vector<std::uint8_t>& old, int recordLength,
                        const FieldLayout& layout, const QuoteText& text, bool merge) {
  QuoteFile out;
  out.recordLength = recordLength;
  const std::size_t rl = static_cast<std::size_t>(recordLength);
  out.bytes.assign(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(rl));
  QuoteFile before;
  before.recordLength = recordLength;
  const std::size_t stated = le::U16(&old[2]) > 0 ? le::U16(&old[2]) - 1u : 0u;
  before.bytes.assign(
      old.begin(),
      old.begin() + static_cast<std::ptrdiff_t>(rl * (1 + std::min(stated, old.size() / rl - 1))));
  std::vector<std::pair<std::uint32_t, std::size_t>> oldKeys;
  for (std::size_t i = 0; i < before.count(); ++i)
    oldKeys.emplace_back(KeyOfRecord(before.record(i), layout), i);
  std::stable_sort(oldKeys.begin(), oldKeys.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  std::size_t k = 0;
  for (const TextQuote& q : text.quotes) {
    const std::uint32_t key = KeyOfQuote(q);
    while (merge && k < oldKeys.size() && oldKeys[k].first < key)
      std::memcpy(out.Append(), before.record(oldKeys[k++].second), rl);
    std::uint8_t* record = out.Append();
    if (merge && k < oldKeys.size() && oldKeys[k].first == key)
      std::memcpy(record, before.record(oldKeys[k++].second), rl);
    PutQuote(record, layout, text, q);
  }
  while (merge && k < oldKeys.size())
    std::memcpy(out.Append(), before.record(oldKeys[k++].second), rl);
  out.Finish();
  return out;
}

// Minutes between quotes of one day at their closest: the interval of intraday data.
std::uint16_t IntervalOf(const QuoteText& text) {
  int best = 0;
  for (std::size_t i = 1; i < text.quotes.size(); ++i) {
    const TextQuote& a = text.quotes[i - 1];
    const TextQuote& b = text.quotes[i];
    const int minutes = (b.time - a.time) / 30;
    if (a.date == b.date && minutes > 0 && (best == 0 || minutes < best))
      best = minutes;
  }
  return static_cast<std::uint16_t>(best);
}

ImportOutcome AddNewSymbol(IndexUpdate& update, const std::string& symbol, std::string_view name,
                           const QuoteText& text, bool created) {
  const path& dir = update.index().dir;
  std::uint16_t number = 0;
  const Room room = created ? Room::kMaster : update.RoomForSymbol(&number);
  // A folder without MASTER that holds quote files may have lost its MASTER: they stay.
  if (created) {
    number = 1;
    while (number < 255 && (platform::FileExists(formats::QuoteDataPath(dir, number)) ||
                            platform::FileExists(formats::QuoteFilePath(dir, number, "DOP"))))
      ++number;
  }
  if (room == Room::kFull)
    return Refused(kFullMessage);
  if (room == Room::kXmasterUnusable)
    return Refused(ImportXmasterUnusableMessage(platform::Utf8FromPath(update.index().xmasterPath),
                                                update.index().xmasterProblem));
  const bool longNames = room == Room::kXmaster || update.emasterFollows();
  const std::size_t limit = longNames ? formats::kLongNameLength : formats::kShortNameLength;
  if (name.size() > limit)
    return Refused(NameTooLongMessage(limit));

  const FieldLayout layout = NewLayout(text);
  QuoteFile file;
  file.recordLength = RecordLengthOf(layout);
  file.bytes.assign(static_cast<std::size_t>(file.recordLength), 0);
  for (const TextQuote& q : text.quotes)
    PutQuote(file.Append(), layout, text, q);
  file.Finish();

  const path dat = formats::QuoteDataPath(dir, number);
  if (platform::IoResult written =
          platform::WriteFileAtomically(dat, formats::QuoteFileName(number, "NEW"), file.bytes);
      !written)
    return Refused(ImportWriteFailedMessage(platform::Utf8FromPath(dat), written.message()));
  // A descriptor left under this number by an earlier symbol would misread the new records.
  const path dop = formats::QuoteFilePath(dir, number, "DOP");
  const platform::IoResult descriptor =
      NeedsDescriptor(text)
          ? platform::WriteFileAtomically(dop, formats::QuoteFileName(number, "NEW"),
                                          DescriptorBytes(layout))
          : platform::DeleteFileIfPresent(dop);
  if (!descriptor)
    return Refused(ImportWriteFailedMessage(platform::Utf8FromPath(dop), descriptor.message()));

  const TextQuote& first = text.quotes.front();
  const TextQuote& last = text.quotes.back();
  const char periodicity = text.intraday() ? 'I' : 'D';
  const std::uint16_t interval = text.intraday() ? IntervalOf(text) : 0;
  const auto storedDate = [](formats::QuoteDate day) {
    return formats::StoredDateFromFloat(formats::StoredValueFromDay(day));
  };
  if (room == Room::kXmaster) {
    namespace xo = formats::xmaster_offset;
    formats::XmasterRecord x;
    std::uint8_t* b = x.bytes.data();
    b[xo::kMarker] = 0x01;
    le::SetText(b + xo::kSymbol, xo::kSymbolSize, symbol);
    le::SetText(b + xo::kName, xo::kNameSize, name);
    b[xo::kPeriodicity] = static_cast<std::uint8_t>(periodicity);
    le::SetU16(b + xo::kInterval, interval);
    b[xo::kFieldBits] = text.fieldBits();
    le::SetI32(b + xo::kFirstDateCopy, formats::LongFromStoredDate(storedDate(first.date)));
    le::SetI32(b + xo::kFirstDate, formats::LongFromStoredDate(storedDate(first.date)));
    le::SetI32(b + xo::kLastDate, formats::LongFromStoredDate(storedDate(last.date)));
    const formats::XmasterFile& xf = update.index().xmasterFile;
    if (!xf.records.empty()) {
      std::copy_n(xf.records.front().bytes.begin() + xo::kStamp, xo::kStampSize,
                  x.bytes.begin() + xo::kStamp);
    }
    update.AppendToXmaster(x);
  } else {
    namespace mo = formats::master_offset;
    namespace eo = formats::emaster_offset;
    formats::MasterRecord r;
    r.setFileNumber(static_cast<std::uint8_t>(number));
    r.bytes[1] = 0x65;  // what every writer of the format puts here
    r.bytes[mo::kRecordLength] = static_cast<std::uint8_t>(file.recordLength);
    r.bytes[mo::kFieldCount] = static_cast<std::uint8_t>(file.recordLength / 4);
    r.setIssueName(name.substr(0, mo::kIssueNameSize));
    const formats::StoredNumber firstStored = formats::StoredFromDay(first.date);
    const formats::StoredNumber lastStored = formats::StoredFromDay(last.date);
    std::copy(firstStored.begin(), firstStored.end(), r.bytes.begin() + mo::kFirstDate);
    std::copy(lastStored.begin(), lastStored.end(), r.bytes.begin() + mo::kLastDate);
    r.bytes[mo::kPeriodicity] = static_cast<std::uint8_t>(periodicity);
    le::SetU16(&r.bytes[mo::kPeriodicity + 1], interval);
    r.setSymbolField(symbol);
    // What EMASTER holds beyond MASTER: the long name, the interval and the times.
    formats::EmasterRecord keep;
    if (name.size() > mo::kIssueNameSize)
      le::SetText(&keep.bytes[eo::kLongName], eo::kLongNameSize, name);
    le::SetU16(&keep.bytes[eo::kInterval], interval);
    if (text.intraday()) {
      le::SetF32(&keep.bytes[eo::kFirstTime], TimeNumber(first.time));
      le::SetF32(&keep.bytes[eo::kLastTime], TimeNumber(last.time));
    }
    update.AppendToMaster(r, &keep, text.fieldBits());
  }
  if (platform::IoResult written = update.Commit(".~NU"); !written)
    return Refused(ImportWriteFailedMessage(platform::Utf8FromPath(update.index().masterPath),
                                            written.message()));
  ImportOutcome outcome;
  outcome.ok = true;
  outcome.createdPortfolio = created;
  outcome.key = {
      room == Room::kXmaster ? formats::IndexFile::kXmaster : formats::IndexFile::kMaster, number};
  outcome.symbol = symbol;
  outcome.quotes = text.quotes.size();
  return outcome;
}

ImportOutcome IntoExisting(IndexUpdate& update, const IndexEntry& entry, std::string_view name,
                           const QuoteText& text, bool merge) {
  const path& dir = update.index().dir;
  const formats::QuoteFiles files = formats::ResolveQuoteFiles(dir, entry.fileNumber());
  FieldLayout layout;
  if (formats::ReadFieldLayoutResolved(files, entry.recordLength, layout, entry.periodicity,
                                       entry.fieldBits) != formats::kOk ||
      !layout.has(formats::kDate))
    return Refused(ImportNoLayoutMessage(platform::Utf8FromPath(files.dat)));
  if (std::string refusal = Unkeepable(text, layout, files.dat); !refusal.empty())
    return Refused(refusal);
  if (!name.empty() && name.size() > formats::NameLimit(update.index(), entry))
    return Refused(NameTooLongMessage(formats::NameLimit(update.index(), entry)));

  std::vector<std::uint8_t> old;
  const std::size_t rl = static_cast<std::size_t>(entry.recordLength);
  if (files.datExists) {
    std::string error;
    if (!platform::ReadWholeFile(files.dat, old, &error))
      return Refused(ImportReadFailedMessage(platform::Utf8FromPath(files.dat), error));
  }
  if (old.size() < rl)
    old.assign(rl, 0);
  const QuoteFile file = RewrittenFile(old, entry.recordLength, layout, text, merge);
  if (file.count() > static_cast<std::size_t>(formats::kMaxQuotes))
    return Refused(ImportTooManyQuotesMessage(file.count()));

  const int n = entry.fileNumber();
  if (platform::IoResult written =
          platform::ReplaceFile(files.dat, formats::QuoteFileName(n, "NEW"), file.bytes,
                                formats::QuoteFileName(n, "BAK"));
      !written)
    return Refused(ImportWriteFailedMessage(platform::Utf8FromPath(files.dat), written.message()));

  const formats::StoredNumber first = formats::StoredFromDay(formats::DayFromStored(
      formats::DecodeMbf(file.record(0) + (layout.fieldPosition[0] - 1) * 4)));
  const formats::StoredNumber last = formats::StoredFromDay(formats::DayFromStored(
      formats::DecodeMbf(file.record(file.count() - 1) + (layout.fieldPosition[0] - 1) * 4)));
  update.SetDates(entry.fileNumber(), &first, &last);
  if (!name.empty() && name != entry.shownName()) {
    const std::string symbol = entry.inXmaster() ? entry.fullSymbol : entry.master.symbolText();
    update.Rename(entry, symbol, name);
  }
  if (platform::IoResult written = update.Commit(".NEW", ".BAK"); !written)
    return Refused(ImportWriteFailedMessage(platform::Utf8FromPath(update.index().masterPath),
                                            written.message()));
  ImportOutcome outcome;
  outcome.ok = true;
  outcome.key = entry.key;
  outcome.symbol = entry.symbol;
  outcome.quotes = file.count();
  return outcome;
}

}  // namespace

ImportOutcome ImportQuotes(const path& dir, std::string_view symbolText, std::string_view name,
                           const QuoteText& text, ImportMode mode) {
  const std::string symbol = UpperTrimmed(symbolText);
  if (symbol.empty())
    return Refused(kMustEnterSymbol);
  if (symbol.size() > formats::kMaxSymbolLength)
    return Refused(SymbolTooLongMessage(symbol));
  if (std::any_of(symbol.begin(), symbol.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x80;
      }))
    return Refused(ImportSymbolCharactersMessage(symbol));
  if (text.quotes.empty())
    return Refused(ImportNoQuotesMessage());

  IndexUpdate update;
  const bool created = !platform::FileExists(platform::ResolveName(dir, "MASTER"));
  if (created) {
    if (mode != ImportMode::kNewSymbol)
      return Refused(ImportSymbolMissingMessage(symbol, platform::Utf8FromPath(dir)));
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
      return Refused(ImportWriteFailedMessage(platform::Utf8FromPath(dir), ec.message()));
    update.Create(dir);
    return AddNewSymbol(update, symbol, name, text, true);
  }
  std::string error;
  if (!update.Load(dir, &error))
    return Refused(error);
  // A MASTER that announces more or fewer records than it holds is shown as a failure; a
  // record added to it would be counted wrong.
  const formats::MasterFile& master = update.index().master;
  if (master.header.symbolCount() != static_cast<int>(master.records.size()) ||
      master.trailingBytes)
    return Refused(ImportDamagedMasterMessage(platform::Utf8FromPath(update.index().masterPath)));

  const IndexEntry* found = nullptr;
  for (const IndexEntry& e : update.index().entries) {
    if (!e.isDirectory && EqualsIgnoringCase(e.symbol, symbol)) {
      found = &e;
      break;
    }
  }
  if (mode == ImportMode::kNewSymbol) {
    IndexEntry match;
    path matchDir;
    const formats::StatusCode lookup = formats::LookupSymbol(dir, symbol, match, matchDir);
    if (found != nullptr || lookup == formats::kOk) {
      // The addition's own refusal, with the symbol and the directory for its two blanks.
      std::string message = kDuplicateMessage;
      message.replace(message.find("%s"), 2, symbol);
      message.replace(message.find("%s"), 2, platform::Utf8FromPath(dir));
      return Refused(message);
    }
    return AddNewSymbol(update, symbol, name, text, false);
  }
  if (found == nullptr)
    return Refused(ImportSymbolMissingMessage(symbol, platform::Utf8FromPath(dir)));
  const IndexEntry entry = *found;
  return IntoExisting(update, entry, name, text, mode == ImportMode::kMerge);
}

}  // namespace ledgrix::maintenance
