#pragma once

// The program speaks the language of the system's locale where a translation
// of it is installed, and its own English texts otherwise.

#include <QStringList>

namespace translations {

// Where the program's translations are looked for, in order: the install
// location beside the program (<prefix>/share/quillomat/translations when the
// program is <prefix>/bin/quillomat) and the build tree's translations folder.
QStringList searchPath();

// Installs the program's translation and Qt's own (standard buttons such as
// "Yes" and "No") for the system locale. Returns whether the program's own
// translation was found. Call once the application object exists.
bool install();

}  // namespace translations
