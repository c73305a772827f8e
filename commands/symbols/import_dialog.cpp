#include "commands/symbols/import_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/symbols/record_text.h"
#include "formats/cell_text.h"
#include "formats/portfolio_index.h"
#include "maintenance/messages.h"
#include "platform/files.h"

namespace mt = ledgrix::maintenance;
namespace fmt = ledgrix::formats;

namespace {

constexpr int kPreviewRows = 12;

}  // namespace

CImportDialog::CImportDialog(const QString& shownSymbol, mt::Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      m_prompt(prompt),
      m_chooseFile(&CImportDialog::ChooseOpenFile),
      m_shownSymbol(shownSymbol),
      m_pathEdit(new QLineEdit(this)),
      m_preview(new QTableWidget(this)),
      m_status(new QLabel(this)),
      m_symbolEdit(new QLineEdit(this)),
      m_nameEdit(new QLineEdit(this)),
      m_modeGroup(new QButtonGroup(this)) {
  setObjectName(QStringLiteral("importDialog"));
  setWindowTitle(QString::fromLatin1(mt::kImportTitle));

  m_pathEdit->setObjectName(QStringLiteral("pathEdit"));
  connect(m_pathEdit, &QLineEdit::editingFinished, this, &CImportDialog::LoadFile);
  m_pathEdit->installEventFilter(this);
  auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
  browse->setObjectName(QStringLiteral("browseButton"));
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, &CImportDialog::OnBrowse);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(new QLabel(QStringLiteral("&File:"), this));
  pathRow->addWidget(m_pathEdit, 1);
  pathRow->addWidget(browse);
  static_cast<QLabel*>(pathRow->itemAt(0)->widget())->setBuddy(m_pathEdit);

  m_preview->setObjectName(QStringLiteral("previewTable"));
  m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_preview->setSelectionMode(QAbstractItemView::NoSelection);
  // Shown, not edited: Tab goes from the file on to the symbol and name.
  m_preview->setFocusPolicy(Qt::NoFocus);
  m_preview->verticalHeader()->hide();
  m_preview->setMinimumSize(560, 220);
  m_status->setObjectName(QStringLiteral("previewStatus"));
  m_status->setWordWrap(true);
  m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_status->setText(QStringLiteral("Choose a text file of quotes."));

  m_symbolEdit->setObjectName(QStringLiteral("symbolEdit"));
  m_symbolEdit->setMaxLength(static_cast<int>(fmt::kMaxSymbolLength));
  m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
  m_nameEdit->setMaxLength(static_cast<int>(fmt::kLongNameLength));
  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Symbol:"), m_symbolEdit);
  fields->addRow(QStringLiteral("&Name:"), m_nameEdit);

  auto* modeBox = new QGroupBox(QStringLiteral("Quotes go"), this);
  auto* modeLayout = new QVBoxLayout(modeBox);
  const char* texts[] = {"Into a &new symbol", "&Replace the symbol's quotes",
                         "&Merge: add the dates it lacks, replace the others"};
  const char* names[] = {"newRadio", "replaceRadio", "mergeRadio"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(texts[i]), modeBox);
    radio->setObjectName(QString::fromLatin1(names[i]));
    m_modeGroup->addButton(radio, i);
    modeLayout->addWidget(radio);
  }
  m_modeGroup->button(0)->setChecked(true);
  connect(m_modeGroup, &QButtonGroup::idClicked, this, &CImportDialog::OnModeChosen);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CImportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  setTabOrder(m_pathEdit, browse);
  setTabOrder(browse, m_symbolEdit);
  setTabOrder(m_symbolEdit, m_nameEdit);

  auto* lower = new QHBoxLayout;
  lower->addLayout(fields, 1);
  lower->addWidget(modeBox);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pathRow);
  layout->addWidget(m_preview, 1);
  layout->addWidget(m_status);
  layout->addLayout(lower);
  layout->addWidget(buttons);
}

bool CImportDialog::eventFilter(QObject* watched, QEvent* event) {
  // Enter in the path field shows the preview; it does not press OK.
  if (watched == m_pathEdit && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      LoadFile();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

mt::ImportMode CImportDialog::mode() const {
  switch (m_modeGroup->checkedId()) {
    case 1:
      return mt::ImportMode::kReplace;
    case 2:
      return mt::ImportMode::kMerge;
    default:
      return mt::ImportMode::kNewSymbol;
  }
}

void CImportDialog::OnBrowse() {
  const QString chosen = m_chooseFile ? m_chooseFile(this, m_pathEdit->text()) : QString();
  if (chosen.isEmpty())
    return;
  m_pathEdit->setText(chosen);
  LoadFile();
}

void CImportDialog::OnModeChosen() {
  // Replace and merge act on an existing symbol: the one shown is the likely one.
  if (mode() != mt::ImportMode::kNewSymbol && m_symbolEdit->text().isEmpty())
    m_symbolEdit->setText(m_shownSymbol);
}

void CImportDialog::LoadFile() {
  const QString path = m_pathEdit->text();
  if (path == m_loadedPath)
    return;
  m_loadedPath = path;
  m_readable = false;
  m_preview->clear();
  m_preview->setRowCount(0);
  m_preview->setColumnCount(0);
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ledgrix::platform::ReadWholeFile(ledgrix::commands::FsPath(path), bytes, &error)) {
    m_problems = mt::ImportReadFailedMessage(path.toStdString(), error);
    m_status->setText(QString::fromStdString(m_problems));
    return;
  }
  std::vector<mt::TextProblem> problems;
  m_readable =
      mt::ReadQuoteText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                        m_quotes, problems);
  if (!m_readable) {
    m_problems = mt::ImportTextProblemsMessage(path.toStdString(), mt::DescribeProblems(problems));
    m_status->setText(QString::fromStdString(m_problems));
    return;
  }

  // The columns the text gives, in the quote file's order.
  std::vector<int> fields;
  QStringList titles;
  for (int f = 0; f < fmt::kFieldNameCount; ++f) {
    if (m_quotes.has[static_cast<std::size_t>(f)]) {
      fields.push_back(f);
      titles << QString::fromLatin1(
          fmt::kFieldNames[static_cast<std::size_t>(f)].data(),
          static_cast<qsizetype>(fmt::kFieldNames[static_cast<std::size_t>(f)].size()));
    }
  }
  const int rows = std::min<int>(kPreviewRows, static_cast<int>(m_quotes.quotes.size()));
  m_preview->setColumnCount(static_cast<int>(fields.size()));
  m_preview->setHorizontalHeaderLabels(titles);
  m_preview->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    const mt::TextQuote& q = m_quotes.quotes[static_cast<std::size_t>(r)];
    for (std::size_t c = 0; c < fields.size(); ++c) {
      const int f = fields[c];
      std::string text;
      if (f == fmt::kDate) {
        text = fmt::DisplayDate(q.date);
      } else if (f == fmt::kTime) {
        const fmt::Hms t = fmt::HmsFromTime(q.time);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hours, t.minutes, t.seconds);
        text = buffer;
      } else {
        const float value = q.values[static_cast<std::size_t>(f - fmt::kOpen)];
        text = f < fmt::kVol ? fmt::PriceText(value) : fmt::VolumeText(value);
      }
      m_preview->setItem(r, static_cast<int>(c),
                         new QTableWidgetItem(QString::fromStdString(text)));
    }
  }
  m_preview->resizeColumnsToContents();
  QString status = QStringLiteral("%1 quotes from %2 to %3.")
                       .arg(m_quotes.quotes.size())
                       .arg(QString::fromStdString(fmt::DisplayDate(m_quotes.quotes.front().date)),
                            QString::fromStdString(fmt::DisplayDate(m_quotes.quotes.back().date)));
  for (const std::string& ignored : m_quotes.ignoredColumns)
    status += QStringLiteral(" Column \"%1\" is left out.").arg(QString::fromStdString(ignored));
  m_status->setText(status);
}

void CImportDialog::accept() {
  LoadFile();
  if (!m_readable) {
    m_prompt.Message(m_loadedPath.isEmpty() ? "Choose a text file of quotes." : m_problems,
                     mt::PromptIcon::kStop);
    return;
  }
  const QString symbol = m_symbolEdit->text().trimmed().toUpper();
  if (symbol.isEmpty()) {
    m_prompt.Message(mt::kMustEnterSymbol, mt::PromptIcon::kStop);
    m_symbolEdit->setFocus();
    return;
  }
  const std::optional<std::string> name = ledgrix::commands::ToWindows1252(m_nameEdit->text());
  if (!name) {
    m_prompt.Message(mt::UnencodableMessage(
                         ledgrix::commands::FirstUnencodable(m_nameEdit->text()).toStdString()),
                     mt::PromptIcon::kStop);
    m_nameEdit->setFocus();
    return;
  }
  m_symbol = ledgrix::commands::RecordBytes(symbol);
  m_name = *name;
  QDialog::accept();
}

QString CImportDialog::ChooseOpenFile(QWidget* parent, const QString& current) {
  return QFileDialog::getOpenFileName(
      parent, QString::fromLatin1(mt::kImportTitle), current,
      QStringLiteral("Text Files (*.txt *.csv *.prn);;All Files (*)"));
}
