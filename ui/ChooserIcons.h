#pragma once

// The small pictures of the chooser's lists, drawn in the 16 classic colours:
// an opened folder for the current path, a closed one for its subdirectories,
// and a fixed disk for the drive list.

#include <QIcon>

namespace chooser {

QIcon openedFolderIcon();
QIcon closedFolderIcon();
QIcon driveIcon();

}  // namespace chooser
