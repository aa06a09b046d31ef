#pragma once

// The program's windows, each a single instance reached by name.
// The first touch of a window creates it from its design and runs its
// Form_Load before returning; unload() forgets the instance at once (the next
// touch, even in the same handler, gets a fresh window from the design) and
// deletes the old widget later.

class frmMain;
class frmDir;
class frmOptions;
class frmAbout;
class frmPreview;
class frmNaming;
class HelpWindow;
#include <QRect>
#include <Qt>

class QFont;
class QIcon;
class QLabel;
class QWidget;

namespace forms {

// The registry's table (Forms.cpp) follows this order.
enum class Form { Main, Dir, Options, About, Preview, Naming, Help };

::frmMain& frmMain();
::frmDir& frmDir();
::frmOptions& frmOptions();
::frmAbout& frmAbout();
::frmPreview& frmPreview();
::frmNaming& frmNaming();
::HelpWindow& helpWindow();

bool isLoaded(Form form);
// The loaded window of `form`, or null; it is not loaded by asking.
QWidget* loaded(Form form);
// Hides the window and discards it; nothing happens when it is not loaded.
void unload(Form form);
// Unloads `form` when `window` is its loaded instance; false (and nothing
// done) when it is not.
bool unloadIfInstance(Form form, const QWidget* window);
// Unloads every window but the main one.
void unloadDialogs();

// Shows a modeless window, or brings it to the front when it is already shown.
void showModeless(QWidget& window);

// The font the designs are drawn for: MS Sans Serif 8 pt, or the nearest
// sans-serif font of the same metrics that the system has.
QFont designFont(double pointSize = 8);

// Gives a dialog the frame its design asks for: the design font, a title bar
// with the buttons in `buttons` only (system menu, close box), a fixed size
// (the design's client size) and its window icon. On X11 the window manager
// is told the buttons and that the size is fixed in every way it may read them.
void setUpDialogFrame(QWidget* dialog, Qt::WindowFlags buttons, const QIcon& icon);

// Moves `window`, frame and all, to the centre of the screen it is on (or the
// primary screen). A window not yet framed is centred by its client size now
// and once more, by its outer frame, when a window manager has framed it.
void centreOnScreen(QWidget* window);

// Shows `text` in `label` as it is, never "&" as a shortcut mark, on one
// line: where it is wider than the label, elided in the middle (again as the
// label is resized) with the whole text as its tool tip. The label takes the
// room its layout gives it and never widens its window.
void showWholeText(QLabel* label, const QString& text);

// Puts `window` beside `owner`, clear of `keepClear` (global coordinates):
// right of the owner, else below it, where the screen holds it whole;
// otherwise on the side of `keepClear` with the most room, shrunk to that
// room as far as it may be. Never off the screen. Clear of `rather` too
// where the screen has room for that.
void placeBeside(QWidget* window, const QWidget& owner, const QRect& keepClear,
                 const QRect& rather = QRect());
// Moves `window` (its frame) to `place`'s corner and gives it `place`'s size
// (inside the frame), pulled onto the screen where it would hang off.
void restorePlace(QWidget* window, const QRect& place);

}  // namespace forms
