#include "commands/symbols/move_symbol_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QLabel* AddLabel(QVBoxLayout* layout, const QString& text, const QString& objectName,
                 QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(objectName);
  layout->addWidget(label);
  return label;
}
}  // namespace

CMoveSymbolDialog::CMoveSymbolDialog(const QString& symbol, const QString& name,
                                     const QString& portfolioDir, const QStringList& portfolios,
                                     int current, bool moveMode, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_moveMode(moveMode) {
  setObjectName(QStringLiteral("moveSymbolDialog"));
  setWindowTitle(moveMode ? QStringLiteral("Move Symbol") : QStringLiteral("Copy Symbol"));

  auto* layout = new QVBoxLayout(this);
  AddLabel(layout, QStringLiteral("You have chosen Symbol:"), QStringLiteral("symbolCaption"),
           this);
  AddLabel(layout, symbol, QStringLiteral("symbolText"), this);
  AddLabel(layout, QStringLiteral("with Name:"), QStringLiteral("nameCaption"), this);
  AddLabel(layout, name, QStringLiteral("nameText"), this);
  AddLabel(layout, QStringLiteral("presently in Portfolio:"), QStringLiteral("portfolioCaption"),
           this);
  AddLabel(layout, portfolioDir, QStringLiteral("portfolioText"), this);
  AddLabel(layout, QStringLiteral("Select destination portfolio and click OK"),
           QStringLiteral("destinationCaption"), this);

  // Every portfolio but the current one, sorted as a sorted list box sorts: ignoring case.
  QStringList others;
  for (int i = 0; i < portfolios.size(); ++i) {
    if (i != current)
      others.append(portfolios.at(i));
  }
  std::stable_sort(others.begin(), others.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  m_list->setObjectName(QStringLiteral("destinationList"));
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_list->addItems(others);
  if (m_list->count() > 0)
    m_list->setCurrentRow(0);
  layout->addWidget(m_list);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CMoveSymbolDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CMoveSymbolDialog::accept() {
  const QList<QListWidgetItem*> selected = m_list->selectedItems();
  if (!selected.isEmpty())
    m_destination = selected.front()->text();
  QDialog::accept();
}
