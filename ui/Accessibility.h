#pragma once

// What a screen reader is told beyond what Qt tells it: the program's plain
// windows announced as dialogs (or as a window: the help), and messages that
// are read out when a result appears away from the focus (Extract's example,
// Rename's outcome).

#include <QString>

class QWidget;

namespace accessibility {

// Installs the accessibility interfaces of the program's own windows. Call
// once the application object exists, before the first window.
void setUp();

// Reads `text` out now, wherever the focus is: `window` shows a notification
// holding it (an object nobody sees, role notification) and keeps it until the
// next one. An empty text announces nothing.
void announce(QWidget* window, const QString& text);

}  // namespace accessibility
