#include "commands/quotes/split_search_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QVBoxLayout>

#include "app/wait_cursor.h"
#include "commands/command_host.h"
#include "commands/symbols/record_text.h"
#include "formats/master.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"
#include "maintenance/split_search.h"

namespace {

constexpr int kStatusLimit = 25;

QString AskSavePath(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.selectFile(QStringLiteral("result.txt"));
  dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  return dialog.selectedFiles().constFirst();
}

QPushButton* Button(const char* text, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

CSplitSearchDialog::CSplitSearchDialog(CommandHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_savePath(AskSavePath) {
  setObjectName(QStringLiteral("splitSearchDialog"));
  setWindowTitle(QStringLiteral("Split Search"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);

  auto* search = Button("Search", "searchButton", this);
  auto* close = Button("Close", "closeButton", this);
  m_saveAs = Button("Save As...", "saveAsButton", this);
  m_saveAs->setEnabled(false);

  auto* group = new QGroupBox(QStringLiteral("Search Results"), this);
  m_results = new QListWidget(group);
  m_results->setObjectName(QStringLiteral("resultList"));
  m_results->setSortingEnabled(false);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_results);

  m_status = new QLabel(QStringLiteral(" "), this);
  m_status->setObjectName(QStringLiteral("statusText"));
  auto* note =
      new QLabel(QStringLiteral("Search results should be confirmed before editing data."), this);
  note->setObjectName(QStringLiteral("noteText"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(search);
  buttons->addWidget(m_saveAs);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note);
  layout->addWidget(group);
  layout->addWidget(m_status);
  layout->addLayout(buttons);

  connect(search, &QPushButton::clicked, this, &CSplitSearchDialog::RunSplitSearch);
  connect(m_saveAs, &QPushButton::clicked, this, &CSplitSearchDialog::SaveSplitResults);
  connect(close, &QPushButton::clicked, this, &CSplitSearchDialog::close);

  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
  // Close, Escape and the close box all end in done(); the view learns of it there, while it
  // surely still exists (the window is deleted later, possibly along with the view).
  connect(this, &QDialog::finished, this, [this] { m_host.setSplitSearchOpen(false); });
  m_host.setSplitSearchOpen(true);
}

QStringList CSplitSearchDialog::results() const {
  QStringList lines;
  for (int i = 0; i < m_results->count(); ++i)
    lines << m_results->item(i)->text();
  return lines;
}

void CSplitSearchDialog::SetStatus(const QString& text) {
  m_status->setText(text.left(kStatusLimit));
  m_status->repaint();  // the search holds the event loop; show where it is now
}

void CSplitSearchDialog::RunSplitSearch() {
  std::vector<std::string> symbols;
  for (int row = 0; row < m_host.symbolRowCount(); ++row) {
    // A sub-portfolio's row holds no quotes of its own.
    if (ledgrix::formats::IsDirectoryEntryName(
            ledgrix::commands::RecordBytes(m_host.symbolCellText(row, 1))))
      continue;
    symbols.push_back(ledgrix::commands::RecordBytes(m_host.symbolCellText(row, 0)));
  }

  ledgrix::maintenance::SplitSearchEvents events;
  events.onCandidate = [this](const std::string& line) {
    // Results add up over searches; the list is never cleared.
    m_results->addItem(QString::fromLatin1(line.c_str()));
    m_saveAs->setEnabled(true);
  };
  events.onSymbolDone = [this](const std::string& symbol) {
    SetStatus(QString::fromLatin1(symbol.c_str()));
  };
  events.onTooFewQuotes = [this](const std::string& message) { m_host.prompt().Message(message); };
  std::string unreadable;
  events.onReadError = [&unreadable](const std::string& symbol) { unreadable = symbol; };

  bool found = false;
  ledgrix::maintenance::SplitSearchEnd end;
  {
    CWaitCursor wait;
    end = ledgrix::maintenance::RunSplitSearch(ledgrix::commands::FsPath(m_host.portfolioDir()),
                                               symbols, events, found);
  }
  switch (end) {
    case ledgrix::maintenance::SplitSearchEnd::kNoStorage:
      m_host.prompt().Message(ledgrix::maintenance::kTooManyBars);
      return;
    case ledgrix::maintenance::SplitSearchEnd::kReadError:
      m_host.prompt().Message(ledgrix::maintenance::SplitSearchUnreadableMessage(unreadable));
      return;
    case ledgrix::maintenance::SplitSearchEnd::kDone:
      break;
  }
  SetStatus(QStringLiteral("Done search"));
  QApplication::beep();
  if (!found)
    m_host.prompt().Message(ledgrix::maintenance::kNoCandidateSplits);
}

void CSplitSearchDialog::SaveSplitResults() {
  const QString path = m_savePath ? m_savePath(this) : QString();
  if (path.isEmpty())
    return;
  // Written beside the target and renamed into place, so a failure leaves no partial file.
  QSaveFile file(path);
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Text);
  for (const QString& line : results()) {
    if (!ok)
      break;
    const QByteArray bytes = line.toLatin1() + '\n';
    ok = file.write(bytes) == bytes.size();
  }
  if (ok)
    ok = file.commit();
  if (!ok) {
    file.cancelWriting();
    const std::string message = ledgrix::maintenance::SearchSaveFailedMessage(
                                    QDir::toNativeSeparators(path).toStdString()) +
                                "\n" + file.errorString().toStdString();
    m_host.prompt().Message(message, ledgrix::maintenance::PromptIcon::kStop);
  }
}
