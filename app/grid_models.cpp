#include "app/grid_models.h"

#include <algorithm>

#include "commands/symbols/record_text.h"
#include "formats/cell_text.h"
#include "formats/dates.h"
#include "formats/series.h"

const std::array<const char*, 2> kSymbolColumnTitles = {"Symbol", "Name"};
const std::array<const char*, 7> kQuoteColumnTitles = {"Date",  "Open",   "High",         "Low",
                                                       "Close", "Volume", "Open Interest"};

int CSymbolsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CSymbolsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant CSymbolsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid())
    return {};
  return Text(index.row(), index.column());
}

QVariant CSymbolsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section > 1)
    return {};
  return QString::fromLatin1(kSymbolColumnTitles[static_cast<std::size_t>(section)]);
}

void CSymbolsModel::Clear() {
  if (m_rows.empty())
    return;
  beginResetModel();
  m_rows.clear();
  endResetModel();
}

namespace {

// A character of a Windows-1252 text as the sorted list view compares it: folded first.
char16_t Folded(unsigned char b) {
  if (b < 0x80)
    return static_cast<char16_t>(b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
  return QChar(ledgrix::formats::Windows1252ToUnicode(b)).toCaseFolded().unicode();
}

// Ascending as the sorted list view orders its texts: letters without regard to case first,
// then by their characters.
bool SymbolLess(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t x = Folded(static_cast<unsigned char>(a[i]));
    const char16_t y = Folded(static_cast<unsigned char>(b[i]));
    if (x != y)
      return x < y;
  }
  if (a.size() != b.size())
    return a.size() < b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t x = ledgrix::formats::Windows1252ToUnicode(static_cast<unsigned char>(a[i]));
    const char16_t y = ledgrix::formats::Windows1252ToUnicode(static_cast<unsigned char>(b[i]));
    if (x != y)
      return x < y;
  }
  return false;
}

}  // namespace

void CSymbolsModel::SetRows(std::vector<SymbolRowData> rows) {
  // One sort of the whole list (a sorted insert per row moves half the rows each time), of
  // their places rather than the rows themselves.
  std::vector<std::uint32_t> order(rows.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<std::uint32_t>(i);
  // Symbols are ASCII (only a repaired record's name may not be): their folded keys are made
  // once and compared as bytes.
  const bool ascii = std::all_of(rows.begin(), rows.end(), [](const SymbolRowData& row) {
    return std::all_of(row.symbol.begin(), row.symbol.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  });
  if (ascii) {
    std::vector<std::string> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      keys[i] = rows[i].symbol;
      for (char& c : keys[i])
        c = static_cast<char>(Folded(static_cast<unsigned char>(c)));
    }
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      const int folded = keys[a].compare(keys[b]);
      return folded != 0 ? folded < 0 : rows[a].symbol < rows[b].symbol;
    });
  } else {
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return SymbolLess(rows[a].symbol, rows[b].symbol);
    });
  }
  std::vector<SymbolRowData> sorted;
  sorted.reserve(rows.size());
  for (const std::uint32_t i : order)
    sorted.push_back(std::move(rows[i]));
  beginResetModel();
  m_rows.swap(sorted);
  endResetModel();
}

void CSymbolsModel::SetRow(int row, const QString& symbol, const QString& name) {
  if (row < 0 || row >= rowCount())
    return;
  SymbolRowData& data = m_rows[static_cast<std::size_t>(row)];
  data.symbol = ledgrix::commands::ToWindows1252(symbol).value_or(std::string());
  data.name = ledgrix::commands::ToWindows1252(name).value_or(std::string());
  Q_EMIT dataChanged(index(row, 0), index(row, 1));
}

QString CSymbolsModel::Text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column > 1)
    return {};
  const SymbolRowData& data = m_rows[static_cast<std::size_t>(row)];
  return ledgrix::commands::FromWindows1252(column == 0 ? data.symbol : data.name);
}

const SymbolRowData* CSymbolsModel::Row(int row) const {
  if (row < 0 || row >= rowCount())
    return nullptr;
  return &m_rows[static_cast<std::size_t>(row)];
}

int CQuotesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_shown;
}

int CQuotesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant CQuotesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid())
    return {};
  return Text(index.row(), index.column());
}

QVariant CQuotesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
      section >= kColumns)
    return {};
  return QString::fromLatin1(kQuoteColumnTitles[static_cast<std::size_t>(section)]);
}

void CQuotesModel::Clear() {
  beginResetModel();
  m_dates.clear();
  m_times.clear();
  for (auto& column : m_values)
    column.clear();
  m_pending.clear();
  m_shown = 0;
  endResetModel();
}

void CQuotesModel::Reserve(int rows) {
  if (rows <= 0)
    return;
  m_dates.reserve(static_cast<std::size_t>(rows));
  m_times.reserve(static_cast<std::size_t>(rows));
  for (auto& column : m_values)
    column.reserve(static_cast<std::size_t>(rows));
}

void CQuotesModel::AddPending(std::uint16_t date, const std::array<float, 6>& values,
                              std::uint16_t time) {
  m_pending.push_back({date, time, values});
}

void CQuotesModel::AddPendingNewestFirst(const ledgrix::formats::QuoteSeries& window, int count) {
  for (int k = count - 1; k >= 0; --k) {
    const auto at = static_cast<std::size_t>(k);
    Row& row = m_pending.emplace_back();
    row.date = window.date[at];
    row.time = window.time[at];
    for (std::size_t f = 0; f < row.values.size(); ++f)
      row.values[f] = window.values[f][at];
  }
}

void CQuotesModel::Flush() {
  if (m_pending.empty())
    return;
  // The rows go into the columns a column at a time.
  const std::size_t from = m_dates.size();
  const std::size_t added = m_pending.size();
  m_dates.resize(from + added);
  m_times.resize(from + added);
  for (auto& column : m_values)
    column.resize(from + added);
  for (std::size_t k = 0; k < added; ++k) {
    m_dates[from + k] = m_pending[k].date;
    m_times[from + k] = m_pending[k].time;
  }
  for (std::size_t f = 0; f < m_values.size(); ++f)
    for (std::size_t k = 0; k < added; ++k)
      m_values[f][from + k] = m_pending[k].values[f];
  m_pending.clear();
  beginInsertRows({}, m_shown, m_shown + static_cast<int>(added) - 1);
  m_shown += static_cast<int>(added);
  endInsertRows();
}

QString CQuotesModel::Text(int row, int column) const {
  if (row < 0 || row >= m_shown || column < 0 || column >= kColumns)
    return {};
  const auto r = static_cast<std::size_t>(row);
  if (column == 0)
    return QString::fromStdString(ledgrix::formats::DisplayDate(m_dates[r]));
  const float value = m_values[static_cast<std::size_t>(column - 1)][r];
  return QString::fromStdString(column <= 4 ? ledgrix::formats::PriceText(value)
                                            : ledgrix::formats::VolumeText(value));
}

ChartData CQuotesModel::Columns() const {
  const auto shown = static_cast<std::size_t>(m_shown);
  std::array<std::span<const float>, 6> values;
  for (std::size_t f = 0; f < values.size(); ++f)
    values[f] = std::span<const float>(m_values[f].data(), shown);
  return ChartData(std::span<const std::uint16_t>(m_dates.data(), shown),
                   std::span<const std::uint16_t>(m_times.data(), shown), values);
}
