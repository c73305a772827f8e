// Help > About: the about box with its mail and web links.
#pragma once

class QWidget;

namespace ledgrix::about {

// mailVisited/webVisited: the application's flags, which outlive every opening of the box.
void ShowAboutBox(QWidget* parent, int& mailVisited, int& webVisited);

}  // namespace ledgrix::about
