#include "about/about_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "about/static_link.h"

namespace {
constexpr int kIconSize = 32;

QLabel* CentredLabel(const QString& text, const QString& objectName, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(objectName);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

QGroupBox* Group(const QString& title, const QString& objectName, QWidget* content,
                 QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(objectName);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(content);
  return group;
}
}  // namespace

QString CAboutDialog::LegalText() {
  return QStringLiteral("This program is protected by US and international copyright law.") +
         QStringLiteral("\n\n") +
         QStringLiteral("MetaStock is a\nregistered trademark of\nEQUIS International Inc.") +
         QStringLiteral("  CompuTrac is a\nregistered trademark of\nDow Jones Telerate");
}

CAboutDialog::CAboutDialog(int& mailVisited, int& webVisited, QWidget* parent)
    : QDialog(parent),
      m_mailLink(new CStaticLink(QString::fromLatin1(ledgrix::about::kMailAddress), this)),
      m_webLink(new CStaticLink(QString::fromLatin1(ledgrix::about::kWebAddress), this)),
      m_legalText(LegalText()) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral("About Ledgrix"));

  m_mailLink->setObjectName(QStringLiteral("mailLink"));
  m_mailLink->setAlignment(Qt::AlignCenter);
  m_mailLink->setVisitedFlag(&mailVisited);
  m_webLink->setObjectName(QStringLiteral("webLink"));
  m_webLink->setAlignment(Qt::AlignCenter);
  m_webLink->setVisitedFlag(&webVisited);

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("iconLabel"));
  icon->setAlignment(Qt::AlignCenter);
  const QIcon appIcon = QApplication::windowIcon();
  if (!appIcon.isNull())
    icon->setPixmap(appIcon.pixmap(kIconSize, kIconSize));

  auto* legal = CentredLabel(m_legalText, QStringLiteral("legalText"), this);
  auto* does = CentredLabel(QStringLiteral("Edits data in MetaStock or CompuTrac format"),
                            QStringLiteral("purposeText"), this);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(icon);
  layout->addWidget(
      CentredLabel(QStringLiteral("Ledgrix Version 3.3"), QStringLiteral("versionText"), this));
  layout->addWidget(
      CentredLabel(QStringLiteral("A 32 bit application"), QStringLiteral("buildText"), this));
  layout->addWidget(
      Group(QStringLiteral("What Ledgrix Does"), QStringLiteral("purposeGroup"), does, this));
  layout->addWidget(
      Group(QStringLiteral("Legal Stuff"), QStringLiteral("legalGroup"), legal, this));
  layout->addWidget(m_mailLink);
  layout->addWidget(m_webLink);
  layout->addWidget(buttons);
}
