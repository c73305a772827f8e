#include "commands/quotes/series_facts_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <array>

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
  const auto row = [&](const char* label, const QString& text, const char* objectName) {
    form->addRow(QString::fromLatin1(label), Value(text, objectName, group));
  };
  row("File number", Number(facts.fileNumber), "fileNumberText");
  row("DAT file record length", Number(facts.recordLength), "recordLengthText");
  row("DAT file number of fields", Number(facts.fieldCount), "fieldCountText");
  row("Number of quotes", Number(facts.quoteCount), "quoteCountText");
  row("Name of issue", QString::fromLatin1(facts.issueName.c_str()), "issueNameText");
  row("First date in file", StoredDate(facts.firstDate), "firstDateText");
  row("Last date in file", StoredDate(facts.lastDate), "lastDateText");
  row("Data format", QString::fromLatin1(facts.periodicityText.c_str()), "dataFormatText");
  row("Symbol", QString::fromLatin1(facts.symbol.c_str()), "symbolText");
  return group;
}

QGroupBox* DopGroup(const SeriesFacts& facts, QWidget* parent) {
  // Rows in the descriptor's order; the object names follow the field names.
  struct Row {
    const char* label;
    int field;
    const char* name;
  };
  static constexpr std::array<Row, 8> kRows = {{{"Date", 0, "date"},
                                                {"Time", 1, "time"},
                                                {"Open", 2, "open"},
                                                {"High", 3, "high"},
                                                {"Low", 4, "low"},
                                                {"Close", 5, "close"},
                                                {"Vol", 6, "vol"},
                                                {"OI", 7, "oi"}}};
  auto* group = new QGroupBox(QStringLiteral("Data from DOP file (may be synthetic)"), parent);
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(QStringLiteral("Field"), group), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Input"), group), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Display"), group), 0, 2);
  int line = 1;
  for (const Row& row : kRows) {
    const auto field = static_cast<std::size_t>(row.field);
    const QByteArray input = QByteArray(row.name) + "InputText";
    const QByteArray display = QByteArray(row.name) + "DisplayText";
    grid->addWidget(new QLabel(QString::fromLatin1(row.label), group), line, 0);
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
  pathRow->addRow(QStringLiteral("Path:"), path);

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
