#pragma once

// The files of a batch, as the chooser's OK takes them, and as a start with
// files named on the command line takes them the same way.

#include <QString>
#include <QStringList>

#include "engine/CommandLine.h"
#include "engine/Settings.h"

class QWidget;

namespace chosen {

// "Dir" becomes `directory`, the batch pins it (one that cannot be opened any
// more stops the Rename with 76) and `names` go to the main window's list, the
// first the example. Returns how storing "Dir" went, for the caller to report
// once its own window is out of the way.
settings::SaveResult takeFiles(const QString& directory, const QStringList& names);

// The files named on the command line become the batch, listed in the
// chooser's order. Why they cannot (files of several directories, a name that
// is no regular file) is said in a message box over `window` and on the
// error stream, and the list stays empty.
void takeCommandLine(const commandline::Request& request, QWidget* window);

}  // namespace chosen
