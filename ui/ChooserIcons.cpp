#include "ui/ChooserIcons.h"

#include "ui/Icons.h"

namespace chooser {

// The desktop's own pictures where its icon theme has them, ours otherwise.

QIcon closedFolderIcon() {
    static const QIcon icon = QIcon::fromTheme(
        QStringLiteral("folder"), icons::svgIcon(QStringLiteral(":/icons/folder-closed.svg")));
    return icon;
}

QIcon openedFolderIcon() {
    static const QIcon icon = QIcon::fromTheme(
        QStringLiteral("folder-open"), icons::svgIcon(QStringLiteral(":/icons/folder-open.svg")));
    return icon;
}

QIcon driveIcon() {
    static const QIcon icon = QIcon::fromTheme(QStringLiteral("drive-harddisk"),
                                               icons::svgIcon(QStringLiteral(":/icons/drive.svg")));
    return icon;
}

}  // namespace chooser
