#pragma once

// Telling the user that the settings could not be saved. Each user action that
// saves settings reports its one save here; the run goes on with the values
// in memory.

#include <QString>
#include <functional>

#include "platform/Platform.h"

namespace saveFailure {

// Shows a message box naming the program's store and the reason when `saved`
// failed; a save that worked shows nothing.
void report(const platform::Status& saved);

// What shows the message: a warning box with OK over the main window, which
// returns when it is closed. Tests may put their own.
std::function<void(const QString& text)>& messageBox();

}  // namespace saveFailure
