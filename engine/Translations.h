#pragma once

// The program speaks the language of the system's locale where a translation
// of it is installed, and its own English texts otherwise.

#include <QLocale>
#include <QStringList>

namespace translations {

// Where the program's translations are looked for, in order: the install
// location beside the program (<prefix>/share/quillomat/translations when the
// program is <prefix>/bin/quillomat) and the build tree's translations folder.
QStringList searchPath();

// Installs the program's translation for `locale` from the first folder of
// `dirs` that has one, and then Qt's own (standard buttons such as "Yes" and
// "No"). Returns whether the program's own translation was found; without it
// nothing is installed and every text stays English. Call once the
// application object exists.
bool install(const QLocale& locale = QLocale(), const QStringList& dirs = searchPath());
// Takes away what install() put in place.
void uninstall();

}  // namespace translations
