#include "tests/commands/quotes/fake_quote_host.h"

#include "formats/cell_text.h"
#include "formats/series.h"

namespace ledgrix::testing {

FakeQuoteHost::FakeQuoteHost(const std::filesystem::path& dir, QStringList symbols, int selSymbol)
    : m_dir(QString::fromStdString(dir.string())),
      m_symbols(std::move(symbols)),
      m_selSymbol(selSymbol),
      m_iniFile(dir / "settings-under-test.ini"),
      m_settings(std::make_unique<CSettingsStore>(QString::fromStdString(m_iniFile.string()))) {
  FillQuotesGrid(0);
  quoteFills = 0;
}

FakeQuoteHost::~FakeQuoteHost() = default;

QString FakeQuoteHost::symbolCellText(int row, int column) const {
  if (row < 0 || row >= m_symbols.size())
    return {};
  return column == 0 ? m_symbols[row] : QString();
}

QString FakeQuoteHost::quoteCellText(int row, int column) const {
  if (row < 0 || row >= quoteRowCount() || column < 0 || column > 6)
    return {};
  return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void FakeQuoteHost::FillQuotesGrid(int row) {
  ++quoteFills;
  m_rows.clear();
  formats::QuoteSeries series;
  formats::InitSeries(series, formats::kMaxAutoBars);
  const std::string symbolText = symbol().toStdString();
  if (formats::LoadSeries(series, m_dir.toStdString(), symbolText, 0, -1) == formats::kOk) {
    for (int k = series.count - 1; k >= 0; --k) {
      const auto i = static_cast<std::size_t>(k);
      std::array<QString, 7> texts;
      texts[0] = QString::fromStdString(formats::DisplayDate(series.date[i]));
      for (std::size_t f = 0; f < 4; ++f)
        texts[f + 1] = QString::fromStdString(formats::PriceText(series.values[f][i]));
      texts[5] = QString::fromStdString(formats::VolumeText(series.values[4][i]));
      texts[6] = QString::fromStdString(formats::VolumeText(series.values[5][i]));
      m_rows.push_back(texts);
    }
  }
  formats::FreeSeries(series);
  m_firstDate = m_rows.empty() ? QString() : m_rows.back()[0];
  m_lastDate = m_rows.empty() ? QString() : m_rows.front()[0];
  m_selQuote = row;
}

QString FakeQuoteHost::Setting(const char* section, const char* name) const {
  return m_settings->GetString(QString::fromLatin1(section), QString::fromLatin1(name),
                               QStringLiteral("<unset>"));
}

QStringList FakeQuoteHost::Row(int row) const {
  QStringList texts;
  for (int c = 0; c < 7; ++c)
    texts << quoteCellText(row, c);
  return texts;
}

}  // namespace ledgrix::testing
