#pragma once

#include <QIcon>
#include <QPixmap>

namespace icons {

// The program icon: a page with a quill, 32 x 32, in the 16 classic colours.
QPixmap programPixmap();
QIcon programIcon();
// The about box's own window icon: the same page with an "i" on it.
QIcon aboutIcon();

}  // namespace icons
