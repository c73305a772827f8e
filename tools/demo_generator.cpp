// ledgrix-demo FOLDER: writes a small demo set of portfolios into FOLDER.
//   EQUITIES/        seven stocks and a directory entry naming INTL
//   EQUITIES/INTL/   three stocks, reached through that entry
//   FUTURES/         two contracts with open interest
// ELMR carries a 2-for-1 split that was never applied to its history; FJRD has one bad tick.
// The marker file .ledgrix-demo is written last, so an interrupted run is redone.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/master.h"
#include "formats/mbf.h"

namespace fs = std::filesystem;
namespace fmt = ledgrix::formats;

namespace {

struct Demo {
  const char* symbol;
  const char* name;
  int quotes;
  float price;
  bool openInterest;
  int splitAt = -1;    // quote index from which prices halve and volume doubles
  int badTickAt = -1;  // quote index whose close and high were keyed ten times too large
};

// A small deterministic generator, so every demo folder holds the same numbers.
class Random {
 public:
  explicit Random(std::uint32_t seed) : m_state(seed) {}
  double Next() {  // in [0, 1)
    m_state = m_state * 1664525u + 1013904223u;
    return (m_state >> 8) / 16777216.0;
  }

 private:
  std::uint32_t m_state;
};

void Put(std::vector<std::uint8_t>& out, float value) {
  const fmt::StoredNumber n = fmt::EncodeMbf(value);
  out.insert(out.end(), n.begin(), n.end());
}

void PutStored(std::vector<std::uint8_t>& out, const fmt::StoredNumber& n) {
  out.insert(out.end(), n.begin(), n.end());
}

bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

bool WriteText(const fs::path& path, const std::string& text) {
  return WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The quote file of one symbol; returns its record and fills in its first and last day.
fmt::MasterRecord WriteSymbol(const fs::path& dir, int fileNumber, const Demo& demo,
                              std::uint32_t seed, bool* ok) {
  const int fields = demo.openInterest ? 7 : 6;
  const int recordLength = fields * 4;
  std::vector<std::uint8_t> dat(static_cast<std::size_t>(recordLength), 0);
  const int lastRecord = demo.quotes + 1;
  dat[2] = static_cast<std::uint8_t>(lastRecord & 0xff);
  dat[3] = static_cast<std::uint8_t>((lastRecord >> 8) & 0xff);

  Random random(seed);
  // The series ends on the last weekday before 2024; count back to its first day.
  fmt::QuoteDate day = fmt::DayFromYmd(2023, 12, 29);
  for (int i = 1; i < demo.quotes; ++i)
    day = fmt::WeekdayBefore(day);
  const fmt::QuoteDate first = day;
  fmt::QuoteDate last = day;
  double price = demo.price;
  double interest = 20000 + 30000 * random.Next();
  for (int i = 0; i < demo.quotes; ++i) {
    price *= 1.0 + (random.Next() - 0.497) * 0.035;
    if (price < 1.0)
      price = 1.0;
    const double open = price * (1.0 + (random.Next() - 0.5) * 0.01);
    const double close = price;
    double high = std::max(open, close) * (1.0 + random.Next() * 0.012);
    const double low = std::min(open, close) * (1.0 - random.Next() * 0.012);
    double volume = std::floor(200000 + 4800000 * random.Next() * random.Next());
    double shownClose = close;
    double factor = 1.0;
    if (demo.splitAt >= 0 && i >= demo.splitAt) {
      factor = 0.5;
      volume *= 2;
    }
    if (i == demo.badTickAt) {
      shownClose = close * 10;
      high = close * 10;
    }
    interest = std::max(1000.0, interest + (random.Next() - 0.5) * 800);
    PutStored(dat, fmt::StoredFromDay(day));
    Put(dat, static_cast<float>(std::round(open * factor * 100) / 100));
    Put(dat, static_cast<float>(std::round(high * factor * 100) / 100));
    Put(dat, static_cast<float>(std::round(low * factor * 100) / 100));
    Put(dat, static_cast<float>(std::round(shownClose * factor * 100) / 100));
    Put(dat, static_cast<float>(volume));
    if (demo.openInterest)
      Put(dat, static_cast<float>(std::floor(interest)));
    last = day;
    day = fmt::WeekdayAfter(day);
  }
  const std::string number = std::to_string(fileNumber);
  *ok = WriteFile(dir / ("F" + number + ".DAT"), dat) && *ok;
  std::string dop =
      "\"DATE\",0,0\r\n\"OPEN\",5,5\r\n\"HIGH\",5,5\r\n\"LOW\",5,5\r\n"
      "\"CLOSE\",5,5\r\n\"VOL\",0,0\r\n";
  if (demo.openInterest)
    dop += "\"OI\",0,0\r\n";
  *ok = WriteText(dir / ("F" + number + ".DOP"), dop) && *ok;

  fmt::MasterRecord record;
  record.bytes.fill(0);
  record.setFileNumber(static_cast<std::uint8_t>(fileNumber));
  record.bytes[fmt::master_offset::kRecordLength] = static_cast<std::uint8_t>(recordLength);
  record.bytes[fmt::master_offset::kFieldCount] = static_cast<std::uint8_t>(fields);
  record.setIssueName(demo.name);
  const fmt::StoredNumber firstStored = fmt::StoredFromDay(first);
  const fmt::StoredNumber lastStored = fmt::StoredFromDay(last);
  std::copy(firstStored.begin(), firstStored.end(),
            record.bytes.begin() + fmt::master_offset::kFirstDate);
  std::copy(lastStored.begin(), lastStored.end(),
            record.bytes.begin() + fmt::master_offset::kLastDate);
  record.bytes[fmt::master_offset::kPeriodicity] = 'D';
  record.setSymbolField(demo.symbol);
  return record;
}

fmt::MasterRecord DirectoryEntry(const std::string& sub) {
  fmt::MasterRecord record;
  record.bytes.fill(0);
  std::string name = sub.substr(0, 8);
  name.resize(11, ' ');
  record.setIssueName(name + "<DIR>");
  record.setSymbolField(sub);
  return record;
}

bool WritePortfolio(const fs::path& dir, const std::vector<Demo>& demos, std::uint32_t seed,
                    const std::string& directoryEntry = {}) {
  fs::create_directories(dir);
  bool ok = true;
  fmt::MasterFile master;
  int fileNumber = 1;
  for (const Demo& demo : demos)
    master.records.push_back(WriteSymbol(dir, fileNumber++, demo, seed++ * 7919u, &ok));
  if (!directoryEntry.empty())
    master.records.push_back(DirectoryEntry(directoryEntry));
  const auto count = static_cast<std::int16_t>(master.records.size());
  master.header.bytes.fill(0);
  master.header.setSymbolCount(count);
  master.header.setFileCounter(count);
  return WriteFile(dir / "MASTER", fmt::MasterBytes(master)) && ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ledgrix-demo FOLDER\n");
    return 2;
  }
  const fs::path root = argv[1];
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec) {
    std::fprintf(stderr, "ledgrix-demo: cannot create %s: %s\n", root.string().c_str(),
                 ec.message().c_str());
    return 1;
  }
  bool ok = true;
  ok = WritePortfolio(root / "EQUITIES",
                      {{"ACME", "Acme Tools Inc", 3200, 42.0f, false},
                       {"BOLT", "Bolt Motors", 2800, 18.5f, false},
                       {"CRNX", "Coronix Labs", 2400, 63.0f, false},
                       {"DYNA", "Dynatek Systems", 3500, 27.0f, false},
                       {"ELMR", "Elmira Foods", 3000, 88.0f, false, 2400},
                       {"FJRD", "Fjord Shipping", 2600, 12.75f, false, -1, 2555},
                       {"GLNT", "Galant Energy", 2200, 35.0f, false}},
                      11, "INTL") &&
       ok;
  ok = WritePortfolio(root / "EQUITIES" / "INTL",
                      {{"HNSA", "Hansa Chemie AG", 2500, 54.0f, false},
                       {"KIWI", "Kiwi Dairy Ltd", 2000, 9.8f, false},
                       {"MAPL", "Maple Rail Corp", 3100, 71.0f, false}},
                      31) &&
       ok;
  ok = WritePortfolio(root / "FUTURES",
                      {{"CRUDE", "Crude Oil Cont.", 3400, 61.0f, true},
                       {"GOLD", "Gold Cont.", 3400, 1180.0f, true}},
                      47) &&
       ok;
  if (!ok) {
    std::fprintf(stderr, "ledgrix-demo: could not write every file under %s\n",
                 root.string().c_str());
    return 1;
  }
  if (!WriteText(root / ".ledgrix-demo", "Demo portfolios written by ledgrix-demo.\n"))
    return 1;
  std::printf("Demo portfolios written to %s\n", root.string().c_str());
  return 0;
}
