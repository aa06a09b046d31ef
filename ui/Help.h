#pragma once

// The help file is handed to the desktop's own viewer. Every failure (no
// file, no viewer) is silent.

#include <QString>

class QWidget;

namespace help {

// Makes `path` the application's help file: F1 in any of the program's
// windows opens it. `window` carries the shortcut.
void registerHelpFile(QWidget* window, const QString& path);
// The file registered last.
QString helpFile();
// Opens `path` at its contents in the desktop's viewer. Returns whether the
// request was handed over; callers ignore it, the user sees no message.
bool showContents(const QString& path);

}  // namespace help
