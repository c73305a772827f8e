// The part of the portfolio check that looks inside one quote file, and the record view the
// check and its fixes share.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/field_layout.h"
#include "formats/index_entry.h"
#include "maintenance/portfolio_check.h"

namespace ledgrix::maintenance::check {

// The whole records of a quote file's bytes (header record first, then the quotes); fields are
// decoded where they are asked for.
class QuoteRecords {
 public:
  QuoteRecords(std::span<const std::uint8_t> bytes, int recordLength,
               const formats::FieldLayout& layout);

  std::size_t count() const { return count_; }  // whole quotes after the header
  std::size_t trailing() const { return trailing_; }
  const std::uint8_t* record(std::size_t k) const { return data_ + length_ * (k + 1); }
  std::size_t length() const { return length_; }
  bool has(formats::FieldName f) const { return offset_[f] >= 0; }
  // Byte offset of a field inside a record; -1 when the records lack it.
  int offset(formats::FieldName f) const { return offset_[f]; }
  // The field's value; -1 when the record lacks it.
  float value(std::size_t k, formats::FieldName f) const;
  // 0 for a date that cannot be represented.
  formats::QuoteDate day(std::size_t k) const;
  formats::QuoteTime time(std::size_t k) const;
  // Day and time as one number that sorts as they do; 0 for a bad date.
  std::uint32_t key(std::size_t k) const;

 private:
  const std::uint8_t* data_;
  std::size_t length_;
  std::size_t count_ = 0;
  std::size_t trailing_ = 0;
  std::array<int, formats::kFieldNameCount> offset_{};
};

// The layout the readers use for entry's records, from the bytes of its descriptor (null: none)
// and its quote file, positions beyond the record dropped. False when there is none with a date.
bool LayoutOf(const formats::IndexEntry& entry, const std::span<const std::uint8_t>* dop,
              std::span<const std::uint8_t> quotes, formats::FieldLayout& layout);

// The first and last valid day of the records (0 when none).
std::pair<formats::QuoteDate, formats::QuoteDate> DateSpan(const QuoteRecords& records);

// Checks the bytes of entry's quote file (named fileName) and appends what it finds.
void CheckQuoteFile(const formats::IndexEntry& entry, const std::string& where,
                    const std::string& fileName, const formats::FieldLayout& layout,
                    std::span<const std::uint8_t> bytes, const CheckOptions& options,
                    std::vector<Finding>& out);

}  // namespace ledgrix::maintenance::check
