#pragma once

// What a window of fixed size asks the window manager for on X11.
//
// Window managers read a window's title-bar buttons from _MOTIF_WM_HINTS in
// two ways: the decorations field (which buttons to draw) and the functions
// field (which actions to offer, by button or by key). For a title bar without
// buttons Qt's xcb plugin sends the functions field alone, which many window
// managers read as "draw every button", and it offers resizing to every
// window. These hints give both fields, and no resizing.

#include <Qt>
#include <QtGlobal>

class QWidget;

namespace framehints {

// The fields of _MOTIF_WM_HINTS that carry meaning (the property holds five).
struct Motif {
    quint32 flags = 0;
    quint32 functions = 0;
    quint32 decorations = 0;
};

// The hints of a window that has a title bar, cannot be resized or maximised
// and carries exactly the title-bar buttons in `buttons`
// (Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
// Qt::WindowCloseButtonHint; a maximise button is never offered).
Motif fixedWindow(Qt::WindowFlags buttons);

// From now on `window` tells the window manager `hints` each time it is shown,
// before the window manager maps it. Does nothing where the windows are not on
// an X server.
void keep(QWidget* window, const Motif& hints);

// Sends what the program has asked of the X server so far (a window shown,
// painted) now, where no event loop runs to send it. Does nothing elsewhere.
void sendNow();

}  // namespace framehints
