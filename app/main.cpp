// Quillomat: renames a batch of files in one directory.
#include <QApplication>

#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/Recovery.h"
#include "ui/frmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillomat"));
    QApplication::setWindowIcon(icons::programIcon());
    recovery::offerToRestoreUnfinishedBatches();

    frmMain& main = forms::frmMain();
    forms::centreOnScreen(&main);
    main.show();
    return QApplication::exec();
}
