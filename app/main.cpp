// Quillomat: renames a batch of files in one directory.
#include <QApplication>

#include "engine/AppState.h"
#include "engine/CommandLine.h"
#include "engine/Translations.h"
#include "engine/Version.h"
#include "ui/Accessibility.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/Recovery.h"
#include "ui/StartupStyle.h"
#include "ui/frmMain.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("Quillomat"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version::kText));
    // Help, version and usage errors answer on the terminal, display or not.
    const commandline::Request request = commandline::readBeforeWindows(argc, argv);
    if (request.action != commandline::Request::Action::Start) {
        return commandline::answer(request);
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillomat.Quillomat"));
    translations::install();
    accessibility::setUp();
    appState().chooserStartDirectory = request.directory;
    startup::deferOverflowIcons();
    QApplication::setWindowIcon(icons::programIcon());
    recovery::offerToRestoreUnfinishedBatches();

    frmMain& main = forms::frmMain();
    forms::centreOnScreen(&main);
    main.show();
    main.takeCommandLine(request);
    return QApplication::exec();
}
