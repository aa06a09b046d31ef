#pragma once

// The application's style, with what start-up does not need left for later.

namespace startup {

// Wraps the application's style (whichever the desktop or -style chose) so
// that the icons of the menu bar's overflow button are read only when the
// button is first drawn. The menu bar asks for them as it is made, and
// reading that picture loads every image-format plugin of the system: about
// a millisecond of start-up for a button a fixed-size window never shows.
void deferOverflowIcons();

}  // namespace startup
