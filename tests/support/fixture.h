// Builds real portfolios (MASTER, EMASTER, XMASTER, F<n>.DAT/.MWD, F<n>.DOP bytes) in temporary
// directories.
// Every test of the project makes its data here; nothing mocks the formats.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/field_layout.h"
#include "formats/master.h"

namespace ledgrix::testing {

using std::filesystem::path;

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const path& get() const { return path_; }
  path operator/(const std::string& name) const { return path_ / name; }

 private:
  path path_;
};

// One quote with calendar values; fields a layout lacks are not written.
struct Quote {
  formats::QuoteDate date = 0;
  formats::QuoteTime time = 0;
  float open = 0, high = 0, low = 0, close = 0, volume = 0, openInterest = 0;
};

// `count` daily quotes on weekdays from `first` on, prices walking around `price`.
std::vector<Quote> MakeDailyQuotes(formats::QuoteDate first, int count, float price = 50.0f);

struct SymbolSpec {
  // 1-255: a MASTER record and F<n>.DAT; above: an XMASTER record and F<n>.MWD.
  std::uint16_t fileNumber = 1;
  std::string symbol;  // written space-padded into the 14-byte symbolText (+2 bytes)
  std::string name;    // written space-padded into the 16-byte issueName
  // EMASTER's long name of a MASTER symbol; XMASTER's name (default: name).
  std::string longName;
  char periodicity = 'D';
  // Field order of the records; DATE, OPEN, HIGH, LOW, CLOSE, VOL, OI by default.
  std::vector<formats::FieldName> fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                                            formats::kLow,  formats::kClose, formats::kVol,
                                            formats::kOi};
  bool writeDop = true;             // false: readers fall back to the synthetic layout
  std::optional<int> recordLength;  // default fields.size() * 4
  std::optional<int> fieldCount;    // default fields.size()
  std::optional<int> lastRecord;    // default quotes.size() + 1
  std::vector<Quote> quotes;
  // MASTER dates: default the first and last quote's date.
  std::optional<formats::QuoteDate> firstDate, lastDate;
};

// Writes one portfolio directory. Records go into MASTER in the order they were added.
class PortfolioBuilder {
 public:
  explicit PortfolioBuilder(path dir);

  PortfolioBuilder& Add(const SymbolSpec& spec);
  // Adds each of specs, in order.
  PortfolioBuilder& AddAll(const std::vector<SymbolSpec>& specs);
  // A directory entry naming sub (at most 8 characters), which gets a MASTER of its own: the one
  // a PortfolioBuilder on dir()/sub writes, else an empty one.
  PortfolioBuilder& AddDirectoryEntry(const std::string& sub);
  // Raw 53-byte record, for damaged or unusual MASTERs.
  PortfolioBuilder& AddRawRecord(const formats::MasterRecord& record);
  // Header counters; default both equal to the number of records.
  PortfolioBuilder& SetCounts(std::int16_t symbolCount, std::int16_t fileCounter);
  // Writes an EMASTER in step with MASTER (name on disk as given).
  PortfolioBuilder& WithEmaster(const std::string& name = "EMASTER");
  // Writes an XMASTER (also without symbols above 255); next: its next number (default: the
  // highest number + 1, at least 256).
  PortfolioBuilder& WithXmaster(const std::string& name = "XMASTER",
                                std::optional<std::uint16_t> next = std::nullopt);
  // File names on disk: default "MASTER", "F<n>.DAT", "F<n>.DOP".
  PortfolioBuilder& SetMasterName(const std::string& name);
  PortfolioBuilder& SetLowerCaseQuoteFiles(bool lower);

  // Writes MASTER and every symbol's files; returns the directory.
  const path& Write();

  const path& dir() const { return dir_; }
  path masterPath() const { return dir_ / masterName_; }

 private:
  path dir_;
  std::string masterName_ = "MASTER";
  bool lowerCaseQuoteFiles_ = false;
  std::optional<std::pair<std::int16_t, std::int16_t>> counts_;
  std::vector<formats::MasterRecord> records_;
  std::vector<std::pair<std::string, std::uint8_t>> emasterExtras_;  // long name, field bits
  std::vector<SymbolSpec> specs_;
  std::optional<std::string> emasterName_;
  std::optional<std::string> xmasterName_;
  std::optional<std::uint16_t> xmasterNext_;
  std::vector<std::string> subdirs_;
};

// The record a SymbolSpec is written as (stored form).
formats::MasterRecord MakeMasterRecord(const SymbolSpec& spec);
// The bytes of F<n>.DAT / F<n>.DOP for a spec.
std::vector<std::uint8_t> MakeQuoteFile(const SymbolSpec& spec);
std::string MakeDopText(const SymbolSpec& spec);

// Reads a whole file (empty when it does not exist); for before/after comparisons.
std::vector<std::uint8_t> FileBytes(const path& file);
void WriteBytes(const path& file, const std::vector<std::uint8_t>& bytes);
void WriteText(const path& file, const std::string& text);

// Where the shared real sample portfolios are, when present.
std::optional<path> SamplesDir();

// Copies the files of a sample folder (not its sub-folders) into `to`, made writable: the
// samples are read-only, and Windows refuses to replace a read-only file.
void CopyWritable(const path& from, const path& to);

}  // namespace ledgrix::testing
