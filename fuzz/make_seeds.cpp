// Writes the seed corpora of the fuzz targets from portfolios made by the fixture builder:
//   ledgrix-fuzz-seeds <corpus folder>   (one sub-folder per target)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/master.h"
#include "fuzz/fuzz_input.h"
#include "maintenance/quote_rewrite.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;
using namespace ledgrix::testing;
using fuzz::Bytes;
namespace fs = std::filesystem;

fs::path gOut;

void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
  fs::create_directories(gOut / target);
  WriteBytes(gOut / target / name, bytes);
}

void U8(Bytes& b, int v) {
  b.push_back(static_cast<std::uint8_t>(v));
}
void U16(Bytes& b, int v) {
  U8(b, v & 0xFF);
  U8(b, (v >> 8) & 0xFF);
}
void F32(Bytes& b, float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  U16(b, static_cast<int>(bits & 0xFFFF));
  U16(b, static_cast<int>(bits >> 16));
}
void Text(Bytes& b, const std::string& text) {
  b.insert(b.end(), text.begin(), text.end());
}
void ShortText(Bytes& b, const std::string& text) {
  U8(b, static_cast<int>(text.size()));
  Text(b, text);
}

// Every file below dir as archive entries, names relative to dir.
Bytes Pack(const fs::path& dir) {
  Bytes archive;
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file())
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    fuzz::AppendEntry(archive, file.lexically_relative(dir).generic_string(), FileBytes(file));
  }
  fuzz::AppendEnd(archive);
  return archive;
}

formats::QuoteDate Day(int y, int m, int d) {
  return formats::DayFromYmd(y, m, d);
}

SymbolSpec Spec(std::uint16_t n, std::string symbol, std::string name, std::vector<Quote> quotes) {
  SymbolSpec s;
  s.fileNumber = n;
  s.symbol = std::move(symbol);
  s.name = std::move(name);
  s.quotes = std::move(quotes);
  return s;
}

struct Portfolio {
  std::string name;
  Bytes archive;
};

// The portfolios every multi-file target starts from.
std::vector<Portfolio> Portfolios() {
  std::vector<Portfolio> out;
  auto add = [&](const std::string& name, const std::function<void(const fs::path&)>& build) {
    TempDir temp;
    build(temp.get());
    out.push_back({name, Pack(temp.get())});
  };
  add("plain", [](const fs::path& d) {
    PortfolioBuilder(d)
        .Add(Spec(1, "AAA", "Alpha Inc", MakeDailyQuotes(Day(98, 1, 5), 8)))
        .Add(Spec(2, "BB C", "Beta Two", MakeDailyQuotes(Day(99, 12, 27), 5)))
        .Write();
  });
  add("no-dop", [](const fs::path& d) {
    SymbolSpec s = Spec(3, "NODOP", "No Descriptor", MakeDailyQuotes(Day(101, 3, 1), 4));
    s.writeDop = false;
    SymbolSpec twenty = Spec(4, "TWENTY", "Twenty Bytes", MakeDailyQuotes(Day(97, 6, 2), 3));
    twenty.fields = {formats::kDate, formats::kHigh, formats::kLow, formats::kClose, formats::kVol};
    twenty.writeDop = false;
    PortfolioBuilder(d).Add(s).Add(twenty).Write();
  });
  add("sub-portfolios", [](const fs::path& d) {
    PortfolioBuilder(d / "SUB/DEEP")
        .Add(Spec(1, "DEEP", "Deep Down", MakeDailyQuotes(Day(100, 1, 3), 3)))
        .Write();
    PortfolioBuilder(d / "SUB")
        .Add(Spec(2, "SUBSYM", "In A Sub", MakeDailyQuotes(Day(96, 4, 1), 3)))
        .AddDirectoryEntry("DEEP")
        .Write();
    PortfolioBuilder(d)
        .AddDirectoryEntry("SUB")
        .Add(Spec(1, "TOP", "Top Level", MakeDailyQuotes(Day(98, 1, 5), 2)))
        .Write();
  });
  add("intraday", [](const fs::path& d) {
    SymbolSpec s = Spec(1, "MINUTE", "Intraday", {});
    s.periodicity = 'I';
    s.fields = {formats::kDate, formats::kTime,  formats::kOpen, formats::kHigh,
                formats::kLow,  formats::kClose, formats::kVol};
    for (int i = 0; i < 6; ++i) {
      Quote q;
      q.date = Day(103, 5, 5 + i / 3);
      q.time = static_cast<formats::QuoteTime>(9 * 1800 + 30 * 30 + i % 3 * 30);
      q.open = q.high = q.low = q.close = 10.0f + static_cast<float>(i);
      q.volume = 100;
      s.quotes.push_back(q);
    }
    s.writeDop = false;
    PortfolioBuilder(d).Add(s).Write();
  });
  add("damaged", [](const fs::path& d) {
    SymbolSpec shortFile = Spec(1, "SHORT", "Short File", MakeDailyQuotes(Day(99, 1, 4), 3));
    shortFile.lastRecord = 40;  // claims more quotes than the file holds
    formats::MasterRecord blank = MakeMasterRecord(Spec(2, "", "Blank Symbol", {}));
    formats::MasterRecord dotdot;
    dotdot.setIssueName("..");
    std::memcpy(dotdot.bytes.data() + formats::master_offset::kIssueName + 11, "<DIR>", 5);
    PortfolioBuilder(d)
        .Add(shortFile)
        .AddRawRecord(blank)
        .AddRawRecord(dotdot)
        .SetCounts(9, 3)
        .Write();
  });
  add("extended", [](const fs::path& d) {
    SymbolSpec longName = Spec(1, "LNG", "Long Named", MakeDailyQuotes(Day(99, 2, 1), 4));
    longName.longName = "Long Named Holdings International";
    SymbolSpec six = Spec(300, "XQ", "Extended societ\xE0", MakeDailyQuotes(Day(109, 7, 20), 5));
    six.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                  formats::kLow,  formats::kClose, formats::kVol};
    six.writeDop = false;
    PortfolioBuilder(d)
        .Add(longName)
        .Add(Spec(256, "XA", "First Extended", MakeDailyQuotes(Day(98, 1, 5), 3)))
        .Add(six)
        .WithEmaster()
        .Write();
  });
  return out;
}

void MasterTreeSeeds(const std::vector<Portfolio>& portfolios) {
  const char* const texts[][2] = {{"AAA", "bb c"},           {"NODOP", "Twenty Bytes"},
                                  {"DEEP", "subsym"},        {"MINUTE", "none"},
                                  {"SHORT", "Blank Symbol"}, {"XQ", "long named"}};
  for (std::size_t i = 0; i < portfolios.size(); ++i) {
    for (int k = 0; k < 2; ++k) {
      Bytes b;
      ShortText(b, texts[i][k]);
      Text(b, std::string(portfolios[i].archive.begin(), portfolios[i].archive.end()));
      Put("fuzz_master_tree", portfolios[i].name + "-" + std::to_string(k), b);
    }
  }
}

void SeriesSeeds(const std::vector<Portfolio>& portfolios) {
  const char* const symbols[] = {"AAA", "NODOP", "DEEP", "MINUTE", "SHORT", "XQ"};
  int i = 0;
  for (const Portfolio& p : portfolios) {
    Bytes b;
    ShortText(b, symbols[i++ % 6]);
    const int windows[4][3] = {{400, 0, 400}, {1, -1, 1}, {2322, 0, -1}, {10, 3, 5}};
    for (const auto& w : windows) {
      U16(b, w[0]);
      U16(b, w[1] & 0xFFFF);
      U16(b, w[2] & 0xFFFF);
    }
    U16(b, Day(98, 1, 7));
    U16(b, 0);
    Text(b, std::string(p.archive.begin(), p.archive.end()));
    Put("fuzz_series", p.name, b);
  }
}

void RewriteSeeds(const std::vector<Portfolio>& portfolios) {
  struct Case {
    const char* name;
    int portfolio;
    const char* symbol;
    int op;
    formats::QuoteDate first, last;
  };
  const formats::QuoteDate jan5 = Day(98, 1, 5), jan7 = Day(98, 1, 7), jan14 = Day(98, 1, 14);
  const Case cases[] = {
      {"set", 0, "AAA", maintenance::kSet, jan7, jan7},
      {"scale", 0, "AAA", maintenance::kScale, 0, jan7},
      {"delete-oldest", 0, "AAA", maintenance::kDelete, jan5, jan5},
      {"delete-newest", 0, "AAA", maintenance::kDelete, jan14, jan14},
      {"delete-middle", 0, "AAA", maintenance::kDelete, jan7, jan7},
      {"insert", 0, "AAA", maintenance::kInsert, jan5, jan5},
      {"delete-sub", 2, "DEEP", maintenance::kDelete, Day(100, 1, 3), Day(100, 1, 3)},
      {"set-twenty", 1, "TWENTY", maintenance::kSet, 0, 65535},
      {"delete-intraday", 3, "MINUTE", maintenance::kDelete, Day(103, 5, 5), Day(103, 5, 5)},
      {"insert-short", 4, "SHORT", maintenance::kInsert, 0, 65535},
      {"delete-extended", 5, "XQ", maintenance::kDelete, Day(109, 7, 20), Day(109, 7, 20)},
      {"delete-emaster", 5, "LNG", maintenance::kDelete, Day(99, 2, 1), Day(99, 2, 1)},
  };
  for (const Case& c : cases) {
    Bytes b;
    U8(b, c.op);
    U16(b, c.first);
    U16(b, c.last);
    for (float v : {2.0f, 2.0f, 2.0f, 2.0f, 0.5f, 0.5f})
      F32(b, v);
    ShortText(b, c.symbol);
    const Bytes& archive = portfolios[static_cast<std::size_t>(c.portfolio)].archive;
    Text(b, std::string(archive.begin(), archive.end()));
    Put("fuzz_rewrite_roundtrip", c.name, b);
  }
}

void DopSeeds() {
  SymbolSpec all = Spec(1, "A", "A", MakeDailyQuotes(Day(98, 1, 5), 2));
  SymbolSpec twenty = all;
  twenty.fields = {formats::kDate, formats::kOpen, formats::kHigh, formats::kLow, formats::kClose};
  struct Case {
    const char* name;
    int recordLength;
    char periodicity;
    int flags;
    Bytes dat;
    std::string dop;
  };
  const std::vector<Case> cases = {
      {"builder-dop", 28, 'D', 1, {}, MakeDopText(all)},
      {"reordered",
       24,
       'D',
       1,
       {},
       "\"CLOSE\",2,2\r\n\"DATE\",0,0\r\n\"VOLUME\",0,0\r\n\"open\",-3,-3\r\n\"HIGH\",2,2\r\n"
       "\"LOW\",2,2\r\n"},
      {"unknown-names",
       16,
       'D',
       1,
       {},
       "\"DATE\",0,0\n\"BOGUS\",1,1\n\"CLOSE\",100,1000\nignored\n"},
      {"beyond-record", 8, 'D', 1, {}, "\"DATE\"\n\"OPEN\"\n\"HIGH\"\n\"LOW\"\n\"CLOSE\"\n"},
      {"twenty-guess", 20, 'D', 2, MakeQuoteFile(twenty), ""},
      {"intraday-28", 28, 'I', 0, {}, ""},
      {"intraday-32", 32, 'I', 0, {}, ""},
      {"odd-length", 30, 'D', 1, {}, "\"DATE\",0,0\n"},
  };
  for (const Case& c : cases) {
    Bytes b;
    U8(b, c.recordLength);
    U8(b, c.periodicity);
    U8(b, c.flags);
    const std::size_t datSize = std::min<std::size_t>(c.dat.size(), 255);
    U8(b, static_cast<int>(datSize));
    // Byte by byte: GCC 12 takes an insert of an empty range for an over-read.
    for (std::size_t i = 0; i < datSize; ++i)
      b.push_back(c.dat[i]);
    Text(b, c.dop);
    Put("fuzz_dop", c.name, b);
  }
}

void DateSeeds() {
  const char* const texts[] = {"01/02/98", "1/2/98",      "1998/01/02", "01/02/1998", "980102",
                               "19980102", "010298",      "01021998",   "020198",     "02011998",
                               "12/31/59", " \"01-02-98", "2/29/2000",  "00/00/00",   "13/45/99"};
  int i = 0;
  for (const char* text : texts) {
    Bytes b;
    U8(b, i % 2 ? '-' : '/');
    U16(b, i * 4111 + 1);
    Text(b, text);
    Put("fuzz_dates", "date-" + std::to_string(i++), b);
  }
}

void IniSeeds() {
  const char* const inis[] = {
      "[Screen]\nx=10\ny=20\ncx=800\ncy=600\n",
      "[Settings]\nDrive=/\n[Search]\nLimit=1\nName=/home/user/data\nMasterFix=0\n",
      "x=before any header\n[ Spaced ] \nname = value\n[Bad] tail\n=empty name\nend=\n",
      "[XportSel]\r\nStarter=output.txt\r\nDelim=2\r\nTitle=1\r\n[Edit]\r\nDate=01/02/98\r\n",
  };
  int i = 0;
  for (const char* ini : inis) {
    Bytes b;
    Text(b, ini);
    Put("fuzz_ini", "ini-" + std::to_string(i++), b);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  gOut = argv[1];
  const std::vector<Portfolio> portfolios = Portfolios();
  MasterTreeSeeds(portfolios);
  SeriesSeeds(portfolios);
  RewriteSeeds(portfolios);
  DopSeeds();
  DateSeeds();
  IniSeeds();
  return 0;
}
