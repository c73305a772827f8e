// Entry fields take the focus as the system's dialogs give it: a field that is reached with the
// keyboard, or that holds the focus as its dialog opens or comes back to the front, shows its
// whole text selected, so that typing replaces it; a click puts the caret where it lands.
#pragma once

class QWidget;

namespace ledgrix::commands {

// Gives every line edit below root that behaviour.
void SelectTextOnFocus(QWidget& root);

}  // namespace ledgrix::commands
