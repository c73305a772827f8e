#include "about/about_dialog.h"

#include "about/about_box.h"

namespace ledgrix::about {

void ShowAboutBox(QWidget* parent, int& mailVisited, int& webVisited) {
  CAboutDialog dialog(mailVisited, webVisited, parent);
  dialog.exec();
}

}  // namespace ledgrix::about
