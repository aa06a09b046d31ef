#pragma once

// The small pictures of the chooser's lists: an opened folder for the current
// path, a closed one for its subdirectories, and a fixed disk for the drive
// list. Taken from the desktop's icon theme when it has them.

#include <QIcon>

namespace chooser {

QIcon openedFolderIcon();
QIcon closedFolderIcon();
QIcon driveIcon();

}  // namespace chooser
