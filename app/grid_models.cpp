#include "app/grid_models.h"

#include <algorithm>

#include "formats/cell_text.h"
#include "formats/dates.h"

const std::array<const char*, 2> kSymbolColumnTitles = {"Symbol", "Name"};
const std::array<const char*, 7> kQuoteColumnTitles = {"Date",  "Open",   "High",         "Low",
                                                       "Close", "Volume", "Open Interest"};

namespace {

// Ascending as the sorted list view orders its texts: letters without regard to case first.
bool SymbolLess(const QString& a, const QString& b) {
  const int folded = QString::compare(a, b, Qt::CaseInsensitive);
  if (folded != 0)
    return folded < 0;
  return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

}  // namespace

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

int CSymbolsModel::InsertSorted(const QString& symbol, const QString& name) {
  const auto at = std::upper_bound(
      m_rows.begin(), m_rows.end(), symbol,
      [](const QString& s, const std::array<QString, 2>& row) { return SymbolLess(s, row[0]); });
  const int row = static_cast<int>(at - m_rows.begin());
  beginInsertRows({}, row, row);
  m_rows.insert(at, {symbol, name});
  endInsertRows();
  return row;
}

void CSymbolsModel::SetRow(int row, const QString& symbol, const QString& name) {
  if (row < 0 || row >= rowCount())
    return;
  m_rows[static_cast<std::size_t>(row)] = {symbol, name};
  Q_EMIT dataChanged(index(row, 0), index(row, 1));
}

QString CSymbolsModel::Text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column > 1)
    return {};
  return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
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
