// Ledgrix: finds, browses and corrects stock-quote portfolios.
#include <QApplication>

#include "app/ledgrix_app.h"

int main(int argc, char* argv[]) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ledgrix"));
  QApplication::setOrganizationName(QStringLiteral("Brookvale Software"));
  // Lets the desktop match the windows to the installed entry and its icon.
  QApplication::setDesktopFileName(QStringLiteral("example.ledgrix.Ledgrix"));
  CLedgrixApp app;
  if (!app.InitInstance())
    return 1;
  return app.ExitInstance(QApplication::exec());
}
