#pragma once

#include <QIcon>
#include <QPixmap>

namespace icons {

// The program icon: a page with a quill, from pictures of it at the usual
// sizes up to 128 pixels.
QIcon programIcon();
// The program icon as a 32 x 32 picture for a widget shown at
// `devicePixelRatio` device pixels per pixel.
QPixmap programPixmap(qreal devicePixelRatio);

}  // namespace icons
