#include "ui/ChooserIcons.h"

namespace chooser {

// The desktop's own pictures where its icon theme has them, ours otherwise:
// drawn from SVG by Qt's SVG icon engine (a plugin of the Qt SVG module)
// afresh for each size and pixel ratio, so they stay sharp on a high-DPI
// screen.

QIcon closedFolderIcon() {
    static const QIcon icon = QIcon::fromTheme(QStringLiteral("folder"),
                                               QIcon(QStringLiteral(":/icons/folder-closed.svg")));
    return icon;
}

QIcon openedFolderIcon() {
    static const QIcon icon = QIcon::fromTheme(QStringLiteral("folder-open"),
                                               QIcon(QStringLiteral(":/icons/folder-open.svg")));
    return icon;
}

QIcon driveIcon() {
    static const QIcon icon = QIcon::fromTheme(QStringLiteral("drive-harddisk"),
                                               QIcon(QStringLiteral(":/icons/drive.svg")));
    return icon;
}

}  // namespace chooser
