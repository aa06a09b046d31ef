#pragma once

#include <QIcon>
#include <QPixmap>

namespace icons {

// An icon drawn from an SVG file (a resource path such as ":/icons/drive.svg")
// at whatever size and device pixel ratio it is asked for, so it stays sharp
// on a high-DPI screen instead of being a small picture scaled up.
QIcon svgIcon(const QString& file);

// The program icon: a page with a quill, from pictures of it at the usual
// sizes up to 128 pixels.
QIcon programIcon();
// The program icon as a 32 x 32 picture for a widget shown at
// `devicePixelRatio` device pixels per pixel.
QPixmap programPixmap(qreal devicePixelRatio);
// The about box's own window icon: the same page with an "i" on it.
QIcon aboutIcon();

}  // namespace icons
