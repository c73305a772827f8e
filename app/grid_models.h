// The two grids' models: the symbols grid keeps its rows sorted by symbol; the quotes grid holds
// the loaded columns (date, time and six numbers) and makes the cell texts when asked; the chart
// reads the same columns.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/chart_data.h"
#include "formats/index_entry.h"

// One row of the symbols grid: its two texts as the files hold them (Windows-1252, decoded only
// when shown) and the index entry it shows.
struct SymbolRowData {
  std::string symbol;
  std::string name;
  ledgrix::formats::SymbolKey key;
  bool isDirectory = false;
  int nameLimit = 16;  // the longest name the entry holds
};

namespace ledgrix::formats {
struct QuoteSeries;
}

class CSymbolsModel final : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Clear();
  // Every row at once, sorted by ascending symbol as a sorted list view places them.
  void SetRows(std::vector<SymbolRowData> rows);
  // New texts of a row (characters Windows-1252 holds).
  void SetRow(int row, const QString& symbol, const QString& name);
  QString Text(int row, int column) const;
  const SymbolRowData* Row(int row) const;

 private:
  std::vector<SymbolRowData> m_rows;
};

class CQuotesModel final : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  static constexpr int kColumns = 7;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Clear();
  // Room for the rows a fill announces.
  void Reserve(int rows);
  // Rows are added at the end, held back until Flush tells the views.
  void AddPending(std::uint16_t date, const std::array<float, 6>& values, std::uint16_t time = 0);
  // The first count quotes of window, newest (the last) first.
  void AddPendingNewestFirst(const ledgrix::formats::QuoteSeries& window, int count);
  void Flush();
  int PendingCount() const { return static_cast<int>(m_pending.size()); }
  QString Text(int row, int column) const;
  // The shown rows' columns; valid until the model next changes.
  ChartData Columns() const;

 private:
  std::vector<std::uint16_t> m_dates;
  std::vector<std::uint16_t> m_times;
  std::array<std::vector<float>, 6> m_values;  // OPEN, HIGH, LOW, CLOSE, VOL, OI
  struct Row {
    std::uint16_t date;
    std::uint16_t time;
    std::array<float, 6> values;
  };
  std::vector<Row> m_pending;
  int m_shown = 0;  // rows the views know of
};

extern const std::array<const char*, 2> kSymbolColumnTitles;
extern const std::array<const char*, 7> kQuoteColumnTitles;
