#pragma once

// The user guide, built into the program in English and German, in a
// "Quillomat Help" window of its own: Help > Help and F1 open it, with no
// viewer or file of the desktop's involved.

#include <QString>

class QWidget;

namespace help {

// F1 in any of the program's windows opens the guide. `window` carries the
// shortcut.
void registerHelpKey(QWidget* window);
// Opens the guide at its contents, or brings its window to the front.
void showContents();
// The guide as HTML, in the program's language.
QString guideHtml();

}  // namespace help
