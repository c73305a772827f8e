#include "commands/symbols/delete_symbol_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDeleteSymbolDialog::CDeleteSymbolDialog(const QString& symbol, QWidget* parent)
    : QDialog(parent), m_symbolLabel(new QLabel(symbol.left(100), this)) {
  setObjectName(QStringLiteral("deleteSymbolDialog"));
  setWindowTitle(QStringLiteral("Delete Symbol"));

  auto* group = new QGroupBox(QStringLiteral("Selected Symbol to Delete:"), this);
  group->setObjectName(QStringLiteral("selectedSymbolGroup"));
  m_symbolLabel->setObjectName(QStringLiteral("symbolText"));
  m_symbolLabel->setAlignment(Qt::AlignCenter);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_symbolLabel);

  auto* question =
      new QLabel(QStringLiteral("Are you sure you want to delete the Symbol shown above? "), this);
  question->setObjectName(QStringLiteral("question"));
  question->setWordWrap(true);

  auto* yes = new QPushButton(QStringLiteral("Yes"), this);
  yes->setObjectName(QStringLiteral("yesButton"));
  auto* no = new QPushButton(QStringLiteral("No"), this);
  no->setObjectName(QStringLiteral("noButton"));
  // No is the default: Enter must not delete anything.
  yes->setAutoDefault(false);
  no->setDefault(true);
  connect(yes, &QPushButton::clicked, this, &QDialog::accept);
  connect(no, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(yes);
  buttons->addWidget(no);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(question);
  layout->addLayout(buttons);
}
