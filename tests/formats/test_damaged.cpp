// Damaged and hostile portfolios: every case ends in a status, never a crash or an endless search.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "formats/facts.h"
#include "formats/lookup.h"
#include "formats/series.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using std::filesystem::path;
using testing::PortfolioBuilder;
using testing::SymbolSpec;
using testing::TempDir;

SymbolSpec Spec(std::uint8_t n, std::string symbol, int quotes = 10) {
  SymbolSpec s;
  s.fileNumber = n;
  s.symbol = std::move(symbol);
  s.name = "NAME " + s.symbol;
  s.quotes = testing::MakeDailyQuotes(DayFromYmd(1999, 3, 1), quotes);
  return s;
}

MasterRecord DirEntry(const std::string& name) {
  MasterRecord r;
  r.setIssueName(name);
  std::memcpy(r.bytes.data() + master_offset::kIssueName + 11, "<DIR>", 5);
  r.setSymbolField("");
  return r;
}

void Truncate(const path& file, std::size_t size) {
  auto bytes = testing::FileBytes(file);
  bytes.resize(size);
  testing::WriteBytes(file, bytes);
}

using Build = std::function<void(const path&)>;

// IBM with a changed record, then the damage done to the written files.
Build Ibm(std::function<void(SymbolSpec&)> change, Build damage = nullptr) {
  return [=](const path& d) {
    SymbolSpec s = Spec(1, "IBM");
    if (change)
      change(s);
    PortfolioBuilder(d).Add(s).Write();
    if (damage)
      damage(d);
  };
}
Build Damaged(Build damage) {
  return Ibm(nullptr, std::move(damage));
}

struct DamageCase {
  const char* what;
  Build build;
  StatusCode lookup;              // LookupSymbol of IBM
  StatusCode load;                // LoadSeries(start -1, count 400)
  int facts;                      // ReadSeriesFacts
  const char* start = "";         // the portfolio searched, below the temporary directory
  const char* foundIn = nullptr;  // where the lookup must find IBM, when that matters
};

TEST(DamagedInput, EveryCaseGivesAStatus) {
  const DamageCase cases[] = {
      {"MASTER shorter than its header", Damaged([](const path& d) { Truncate(d / "MASTER", 20); }),
       kFileNotFound, kFileNotFound, 1},
      {"MASTER cut inside the wanted record",
       [](const path& d) {
         PortfolioBuilder(d).Add(Spec(1, "A")).Add(Spec(2, "IBM")).Write();
         Truncate(d / "MASTER", 53 * 2 + 30);
       },
       kFileNotFound, kFileNotFound, 1},
      {"MASTER cut after the wanted record",
       [](const path& d) {
         PortfolioBuilder(d).Add(Spec(1, "IBM")).Add(Spec(2, "B")).Write();
         Truncate(d / "MASTER", 53 * 2 + 30);
       },
       kOk, kOk, 0},
      {"symbolCount above the records held",
       [](const path& d) { PortfolioBuilder(d).Add(Spec(1, "IBM")).SetCounts(200, 200).Write(); },
       kOk, kOk, 0},
      {"negative symbolCount",
       [](const path& d) { PortfolioBuilder(d).Add(Spec(1, "IBM")).SetCounts(-3, 1).Write(); },
       kFileNotFound, kFileNotFound, 1},
      {"MASTER of random bytes",
       [](const path& d) {
         std::mt19937 gen(7);
         std::vector<std::uint8_t> bytes(53 * 40 + 11);
         for (auto& b : bytes)
           b = static_cast<std::uint8_t>(gen());
         testing::WriteBytes(d / "MASTER", bytes);
       },
       kFileNotFound, kFileNotFound, 1},
      {"recordLength 0", Ibm([](SymbolSpec& s) { s.recordLength = 0; }), kOk, kNoFieldLayout, 1},
      {"recordLength 80 with a DOP", Ibm([](SymbolSpec& s) { s.recordLength = 80; }), kOk,
       kNoFieldLayout, 1},
      {"fieldCount far above the record", Ibm([](SymbolSpec& s) { s.fieldCount = 120; }), kOk, kOk,
       0},
      {"DOP naming more fields than the record holds",
       Ibm(
           [](SymbolSpec& s) {
             s.fields = {kDate, kClose};
           },
           [](const path& d) {
             testing::WriteText(d / "F1.DOP",
                                "\"DATE\"\n\"CLOSE\"\n\"OPEN\"\n\"HIGH\"\n\"VOL\"\n\"OI\"\n");
           }),
       kOk, kOk, 0},
#ifndef _WIN32  // links made by the tests are POSIX links
      {"directory entry naming itself",
       [](const path& d) {
         PortfolioBuilder(d).AddDirectoryEntry("LOOP").Add(Spec(1, "A")).Write();
         std::filesystem::remove_all(d / "LOOP");
         std::filesystem::create_directory_symlink(".", d / "LOOP");
       },
       kFileNotFound, kFileNotFound, 1},
      {"many entries looping back",
       [](const path& d) {
         PortfolioBuilder b(d);
         for (int i = 0; i < 12; ++i)
           b.AddRawRecord(DirEntry("L" + std::to_string(i)));
         b.Add(Spec(1, "A")).Write();
         for (int i = 0; i < 12; ++i)
           std::filesystem::create_directory_symlink(".", d / ("L" + std::to_string(i)));
       },
       kFileNotFound, kFileNotFound, 1},
      {"entry looping back before the sub-portfolio holding IBM",
       [](const path& d) {
         PortfolioBuilder(d).AddRawRecord(DirEntry("BACK")).AddDirectoryEntry("SUB").Write();
         std::filesystem::create_directory_symlink(".", d / "BACK");
         PortfolioBuilder(d / "SUB").Add(Spec(1, "IBM")).Write();
       },
       kOk, kOk, 0, "", "SUB"},
#endif
      {"entry '..'",
       [](const path& d) {
         std::filesystem::create_directories(d / "P");
         PortfolioBuilder(d).Add(Spec(1, "IBM")).Write();
         PortfolioBuilder(d / "P").AddRawRecord(DirEntry("..")).Write();
       },
       kFileNotFound, kFileNotFound, 1, "P"},
      {"entry holding a separator",
       [](const path& d) {
         PortfolioBuilder(d).AddRawRecord(DirEntry("A/B")).AddRawRecord(DirEntry("A\\B")).Write();
         PortfolioBuilder(d / "A" / "B").Add(Spec(1, "IBM")).Write();
       },
       kFileNotFound, kFileNotFound, 1},
      {"entry naming a missing folder, then a good one",
       [](const path& d) {
         PortfolioBuilder(d).AddRawRecord(DirEntry("GONE")).AddDirectoryEntry("GOOD").Write();
         PortfolioBuilder(d / "GOOD").Add(Spec(1, "IBM")).Write();
       },
       kOk, kOk, 0},
      {"entry naming a file",
       [](const path& d) {
         PortfolioBuilder(d).AddRawRecord(DirEntry("F1.DAT")).Add(Spec(1, "A")).Write();
       },
       kFileNotFound, kFileNotFound, 1},
      {"10 000-character DOP line", Damaged([](const path& d) {
         testing::WriteText(d / "F1.DOP", "\"DATE\",0,0\n\"" + std::string(10000, 'O') +
                                              "\n\"OPEN\",0,0\n\"HIGH\"\n\"LOW\"\n\"CLOSE\"\n");
       }),
       kOk, kOk, 0},
      {"DOP ending in Ctrl-Z", Damaged([](const path& d) {
         testing::WriteText(d / "F1.DOP", testing::MakeDopText(Spec(1, "IBM")) + "\x1A");
       }),
       kOk, kOk, 0},
      {"DOP of binary junk", Damaged([](const path& d) {
         std::vector<std::uint8_t> junk(5000);
         for (std::size_t i = 0; i < junk.size(); ++i)
           junk[i] = static_cast<std::uint8_t>(i * 37);
         testing::WriteBytes(d / "F1.DOP", junk);
       }),
       kOk, kOk, 0},
      {"empty DAT", Damaged([](const path& d) { testing::WriteBytes(d / "F1.DAT", {}); }), kOk,
       kRecordNotFound, 0},
      {"DAT shorter than its header", Damaged([](const path& d) { Truncate(d / "F1.DAT", 3); }),
       kOk, kRecordNotFound, 0},
      {"DAT claiming 65 534 quotes with ten", Ibm([](SymbolSpec& s) { s.lastRecord = 65535; }), kOk,
       kOk, 0},
      {"DAT with lastRecord 0", Ibm([](SymbolSpec& s) { s.lastRecord = 0; }), kOk, kRecordNotFound,
       0},
      {"missing DAT", Damaged([](const path& d) { std::filesystem::remove(d / "F1.DAT"); }), kOk,
       kFileOpen, 1},
      {"DAT that is a directory", Damaged([](const path& d) {
         std::filesystem::remove(d / "F1.DAT");
         std::filesystem::create_directory(d / "F1.DAT");
       }),
       kOk, kFileOpen, 1},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir tmp;
    c.build(tmp.get());
    const path dir = tmp.get() / c.start;
    IndexEntry r;
    Path found;
    EXPECT_EQ(LookupSymbol(dir, "IBM", r, found), c.lookup);
    if (c.foundIn) {
      EXPECT_EQ(found, dir / c.foundIn / "");
    }
    QuoteSeries s;
    ASSERT_EQ(InitSeries(s, 400), kOk);
    EXPECT_EQ(LoadSeries(s, dir, "IBM", -1, 400), c.load);
    EXPECT_LE(s.count, s.capacity);
    SeriesFacts f;
    EXPECT_EQ(ReadSeriesFacts(dir, "IBM", f), c.facts);
    // Whatever the file holds, the loader and the facts agree on the count, even when empty.
    if (c.facts == 0) {
      ASSERT_EQ(LoadSeries(s, dir, "IBM", 0, 0), kOk);
      EXPECT_EQ(f.quoteCount, s.total);
      EXPECT_GE(s.total, 0);
    }
  }
}

// Builds a chain top/D1/D2/... of `levels` directories with the symbol in the deepest.
void BuildChain(const path& top, int levels) {
  path dir = top;
  for (int depth = 0; depth < levels; ++depth) {
    PortfolioBuilder(dir).AddDirectoryEntry("D").Add(Spec(1, "L" + std::to_string(depth))).Write();
    dir /= "D";
  }
  PortfolioBuilder(dir).Add(Spec(1, "BOTTOM")).Write();
}

TEST(DamagedInput, NestingIsFollowedUpToItsBound) {
  for (const int levels : {kMaxDirectoryDepth, kMaxDirectoryDepth + 1}) {
    TempDir tmp;
    BuildChain(tmp.get(), levels);
    IndexEntry r;
    Path found;
    EXPECT_EQ(LookupSymbol(tmp.get(), "BOTTOM", r, found),
              levels == kMaxDirectoryDepth ? kOk : kFileNotFound);
    EXPECT_EQ(LookupSymbol(tmp.get(), "L" + std::to_string(levels - 1), r, found), kOk);
  }
}

}  // namespace
}  // namespace ledgrix::formats
