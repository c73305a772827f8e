// Placeholder until the about box lands.
#include <QMessageBox>

#include "about/about_dialog.h"

namespace ledgrix::about {

void ShowAboutBox(QWidget* parent, int&, int&) {
  QMessageBox::about(parent, QStringLiteral("About Ledgrix"),
                     QStringLiteral("Ledgrix Version 3.3"));
}

}  // namespace ledgrix::about
