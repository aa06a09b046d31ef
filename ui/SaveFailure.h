#pragma once

// Telling the user that the settings could not be saved. Each user action that
// saves settings reports its one save here; the run goes on with the values
// in memory.

#include <QString>
#include <functional>

#include "engine/Settings.h"

namespace saveFailure {

// Shows a message box naming the store and the reason when `result` failed;
// a save that worked shows nothing.
void report(const settings::SaveResult& result);

// The message for a failed save.
QString messageText(const settings::SaveResult& result);

// What shows the message: a warning box with OK over the main window, which
// returns when it is closed. Tests may put their own.
std::function<void(const QString& text)>& messageBox();

}  // namespace saveFailure
