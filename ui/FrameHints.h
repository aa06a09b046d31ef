#pragma once

// What a window of fixed size asks the window manager for on X11.
//
// Window managers read a window's title-bar buttons from _MOTIF_WM_HINTS in
// two ways: the decorations field (which buttons to draw) and the functions
// field (which actions to offer, buttons or not). Qt's xcb plugin fills in
// only the functions for a title bar without buttons, lets the user resize
// every window through them, and so leaves window managers free to draw
// buttons the window does not have. These hints say it in both fields.

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

}  // namespace framehints
