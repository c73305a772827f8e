#include "app/grid_models.h"

#include <algorithm>

#include "formats/cell_text.h"
#include "formats/dates.h"
#include "formats/series.h"

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
  m_values.clear();
  m_shown = 0;
  endResetModel();
}

void CQuotesModel::Reserve(int rows) {
  if (rows <= 0)
    return;
  m_dates.reserve(static_cast<std::size_t>(rows));
  m_values.reserve(static_cast<std::size_t>(rows));
}

void CQuotesModel::AddPendingNewestFirst(const ledgrix::formats::QuoteSeries& window, int count) {
  const std::size_t base = m_dates.size();
  const auto n = static_cast<std::size_t>(count);
  m_dates.resize(base + n);
  m_values.resize(base + n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t k = n - 1 - i;
    m_dates[base + i] = window.date[k];
    for (std::size_t f = 0; f < 6; ++f)
      m_values[base + i][f] = window.values[f][k];
  }
}

void CQuotesModel::Flush() {
  const int total = static_cast<int>(m_dates.size());
  if (total == m_shown)
    return;
  beginInsertRows({}, m_shown, total - 1);
  m_shown = total;
  endInsertRows();
}

QString CQuotesModel::Text(int row, int column) const {
  if (row < 0 || row >= m_shown || column < 0 || column >= kColumns)
    return {};
  const auto r = static_cast<std::size_t>(row);
  if (column == 0)
    return QString::fromStdString(ledgrix::formats::DisplayDate(m_dates[r]));
  const float value = m_values[r][static_cast<std::size_t>(column - 1)];
  return QString::fromStdString(column <= 4 ? ledgrix::formats::PriceText(value)
                                            : ledgrix::formats::VolumeText(value));
}
