#include "tests/support/independent_reader.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

namespace ledgrix::testing::independent {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The files of a directory by their upper-case names (names are compared without case).
using Listing = std::map<std::string, std::filesystem::path>;

Listing List(const std::filesystem::path& dir) {
  Listing files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    for (char& c : name)
      c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    files[name] = entry.path();
  }
  return files;
}

std::filesystem::path Find(const Listing& files, const std::string& upper) {
  const auto it = files.find(upper);
  return it == files.end() ? std::filesystem::path() : it->second;
}

Bytes Load(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned U16(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8);
}

long I32(const Bytes& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                   (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

float Ieee(const Bytes& b, std::size_t at) {
  float f;
  std::memcpy(&f, b.data() + at, 4);
  return f;
}

// Microsoft Binary Format: exponent in byte 3 (bias 129), sign in bit 7 of byte 2.
float Mbf(const Bytes& b, std::size_t at) {
  if (b[at + 3] == 0)
    return 0;
  const std::uint32_t bits = ((b[at + 2] & 0x80u) << 24) |
                             (static_cast<std::uint32_t>(b[at + 3] - 2) << 23) |
                             ((b[at + 2] & 0x7Fu) << 16) | (b[at + 1] << 8) | b[at];
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

long LongOf(float yymmdd) {
  return yymmdd > 0 ? static_cast<long>(yymmdd) + 19000000 : 0;
}

std::string Text(const Bytes& b, std::size_t at, std::size_t size) {
  std::string s;
  for (std::size_t i = 0; i < size && b[at + i] != 0; ++i)
    s.push_back(static_cast<char>(b[at + i]));
  while (!s.empty() && s.back() == ' ')
    s.pop_back();
  return s;
}

void ReadQuotes(const Listing& dir, Symbol& s, std::size_t recordLength) {
  const std::string name = "F" + std::to_string(s.number) + (s.number > 255 ? ".MWD" : ".DAT");
  const std::filesystem::path file = Find(dir, name);
  s.hasQuoteFile = !file.empty();
  if (!s.hasQuoteFile || recordLength < 20)
    return;
  const Bytes b = Load(file);
  if (b.size() < 4)
    return;
  const std::size_t count = U16(b, 2) > 0 ? U16(b, 2) - 1 : 0;
  for (std::size_t i = 0; i < count && (i + 2) * recordLength <= b.size(); ++i) {
    const std::size_t at = (i + 1) * recordLength;
    s.quotes.push_back({LongOf(Mbf(b, at)), Mbf(b, at + 16)});
  }
}

}  // namespace

Portfolio Read(const std::filesystem::path& folder) {
  Portfolio p;
  const Listing dir = List(folder);
  const auto problem = [&](const std::string& text) { p.problems.push_back(text); };
  const Bytes master = Load(Find(dir, "MASTER"));
  if (master.size() < 53) {
    problem("no MASTER");
    return p;
  }
  p.masterCount = static_cast<std::int16_t>(U16(master, 0));
  const std::size_t records = master.size() / 53 - 1;
  if (static_cast<std::size_t>(p.masterCount) != records)
    problem("MASTER counts " + std::to_string(p.masterCount) + " of " + std::to_string(records));
  for (std::size_t i = 0; i < records; ++i) {
    const std::size_t at = 53 * (i + 1);
    Symbol s;
    s.number = master[at];
    s.symbol = Text(master, at + 36, 14);
    s.name = Text(master, at + 7, 16);
    s.firstDate = LongOf(Mbf(master, at + 25));
    s.lastDate = LongOf(Mbf(master, at + 29));
    ReadQuotes(dir, s, master[at + 3]);
    p.symbols.push_back(s);
  }

  const std::filesystem::path emasterFile = Find(dir, "EMASTER");
  if (!emasterFile.empty()) {
    const Bytes e = Load(emasterFile);
    if (e.size() < 192 || U16(e, 0) != records || e.size() < 192 * (records + 1) ||
        U16(e, 2) != U16(master, 2)) {
      problem("EMASTER's header or size is not MASTER's");
    } else {
      for (std::size_t i = 0; i < records; ++i) {
        const std::size_t at = 192 * (i + 1);
        Symbol& s = p.symbols[i];
        const std::string where = "EMASTER record " + std::to_string(i + 1) + ": ";
        if (e[at + 2] != s.number || Text(e, at + 11, 14) != s.symbol ||
            Text(e, at + 32, 16) != s.name)
          problem(where + "names another symbol than MASTER");
        if (Ieee(e, at + 64) != Mbf(master, 53 * (i + 1) + 25) ||
            Ieee(e, at + 72) != Mbf(master, 53 * (i + 1) + 29))
          problem(where + "dates differ from MASTER's");
        const long firstLong = I32(e, at + 126);
        if (firstLong != 19000101 && firstLong != s.firstDate)
          problem(where + "integer first date differs");
        s.longName = Text(e, at + 139, 45);
      }
    }
  }

  const std::filesystem::path xmasterFile = Find(dir, "XMASTER");
  if (!xmasterFile.empty()) {
    const Bytes x = Load(xmasterFile);
    const std::uint8_t magic[] = {0x5D, 0xFE, 0x58, 0x4D};
    if (x.size() < 150 || std::memcmp(x.data(), magic, 4) != 0) {
      problem("XMASTER has no header");
      return p;
    }
    const std::size_t count = U16(x, 10);
    p.xmasterNext = static_cast<int>(U16(x, 18));
    if (U16(x, 14) != count || x.size() < 150 * (count + 1))
      problem("XMASTER's counts disagree with its records");
    int previous = 255;
    for (std::size_t i = 0; i < count && 150 * (i + 2) <= x.size(); ++i) {
      const std::size_t at = 150 * (i + 1);
      Symbol s;
      s.inXmaster = true;
      s.number = static_cast<int>(U16(x, at + 65));
      s.symbol = Text(x, at + 1, 14);
      s.name = s.longName = Text(x, at + 16, 45);
      s.firstDate = I32(x, at + 108);
      s.lastDate = I32(x, at + 116);
      if (s.number <= previous)
        problem("XMASTER's file numbers do not ascend at " + std::to_string(s.number));
      previous = s.number;
      const long copy = I32(x, at + 104);
      if (copy != 19000101 && copy != s.firstDate)
        problem("XMASTER's two first dates of " + s.symbol + " differ");
      int bits = 0;
      for (int b = x[at + 70]; b != 0; b >>= 1)
        bits += b & 1;
      ReadQuotes(dir, s, static_cast<std::size_t>(4 * bits));
      p.symbols.push_back(s);
    }
    if (p.xmasterNext <= previous)
      problem("XMASTER's next number is not above its highest");
  }
  for (const Symbol& s : p.symbols) {
    if (!s.hasQuoteFile && !s.symbol.empty())
      problem("no quote file for " + s.symbol);
  }
  return p;
}

}  // namespace ledgrix::testing::independent
