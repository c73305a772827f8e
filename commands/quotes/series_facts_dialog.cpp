#include "commands/quotes/series_facts_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <array>

#include "commands/symbols/record_text.h"
#include "maintenance/messages.h"

namespace {

using ledgrix::formats::SeriesFacts;

constexpr int kPathLimit = 300;

QString Number(int value) {
  return QString::asprintf("%d", value);
}
// The stored date number, at least six characters, no decimals.
QString StoredDate(float value) {
  return QString::asprintf("%6.0f", static_cast<double>(value));
}

QLabel* Value(const QString& text, const char* objectName, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(objectName));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QGroupBox* MasterAndDatGroup(const SeriesFacts& facts, QWidget* parent) {
  auto* group = new QGroupBox(QStringLiteral("Data from Master and DAT files"), parent);
  auto* form = new QFormLayout(group);
  const auto& labels = ledgrix::maintenance::kFactsValueLabels;
  const std::array<QString, labels.size()> values = {
      Number(facts.fileNumber),
      Number(facts.recordLength),
      Number(facts.fieldCount),
      Number(facts.quoteCount),
      ledgrix::commands::FromWindows1252(facts.issueName),
      StoredDate(facts.firstDate),
      StoredDate(facts.lastDate),
      QString::fromLatin1(facts.periodicityText.c_str()),
      QString::fromLatin1(facts.symbol.c_str()),
      ledgrix::commands::FromWindows1252(facts.longName),
      QString::fromLatin1(facts.indexFile.c_str())};
  static constexpr std::array<const char*, labels.size()> kObjectNames = {
      "fileNumberText", "recordLengthText", "fieldCountText", "quoteCountText",
      "issueNameText",  "firstDateText",    "lastDateText",   "dataFormatText",
      "symbolText",     "longNameText",     "indexFileText"};
  for (std::size_t i = 0; i < labels.size(); ++i)
    form->addRow(QString::fromLatin1(labels[i]), Value(values[i], kObjectNames[i], group));
  return group;
}

QGroupBox* DopGroup(const SeriesFacts& facts, QWidget* parent) {
  // Rows in the descriptor's order; the object names follow the field names.
  const auto& labels = ledgrix::maintenance::kDopFieldLabels;
  static constexpr std::array<const char*, labels.size()> kNames = {"date", "time",  "open", "high",
                                                                    "low",  "close", "vol",  "oi"};
  auto* group = new QGroupBox(QStringLiteral("Data from DOP file (may be synthetic)"), parent);
  auto* grid = new QGridLayout(group);
  const auto& columns = ledgrix::maintenance::kDopColumnLabels;
  for (std::size_t c = 0; c < columns.size(); ++c)
    grid->addWidget(new QLabel(QString::fromLatin1(columns[c]), group), 0, static_cast<int>(c));
  int line = 1;
  for (std::size_t field = 0; field < labels.size(); ++field) {
    const QByteArray input = QByteArray(kNames[field]) + "InputText";
    const QByteArray display = QByteArray(kNames[field]) + "DisplayText";
    grid->addWidget(new QLabel(QString::fromLatin1(labels[field]), group), line, 0);
    grid->addWidget(
        Value(QString::fromLatin1(facts.inputText[field].c_str()), input.constData(), group), line,
        1);
    grid->addWidget(
        Value(QString::fromLatin1(facts.displayText[field].c_str()), display.constData(), group),
        line, 2);
    ++line;
  }
  return group;
}

}  // namespace

CSeriesFactsDialog::CSeriesFactsDialog(const SeriesFacts& facts, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("seriesFactsDialog"));
  setWindowTitle(QStringLiteral("About Selected Quote Series"));

  auto* pathRow = new QFormLayout;
  auto* path = Value(QString::fromStdString(facts.path).left(kPathLimit), "pathText", this);
  pathRow->addRow(QString::fromLatin1(ledgrix::maintenance::kFactsPathLabel) + u':', path);

  auto* groups = new QHBoxLayout;
  groups->addWidget(MasterAndDatGroup(facts, this));
  groups->addWidget(DopGroup(facts, this));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CSeriesFactsDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pathRow);
  layout->addLayout(groups);
  layout->addWidget(buttons);
}
