#include "ui/ChosenFiles.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>

#include "engine/AppState.h"
#include "platform/Platform.h"
#include "ui/ChooserLists.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/SaveFailure.h"
#include "ui/frmMain.h"

namespace chosen {
namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(ChosenFiles)
};

void sayWhyNot(const QString& reason, QWidget* window) {
    std::fprintf(stderr, "quillomat: %s\n", reason.toLocal8Bit().constData());
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillomat"), reason, QMessageBox::Ok,
                    window);
    box.setInformativeText(Text::tr("Quillomat starts without files; choose them with Select."));
    box.setWindowIcon(icons::programIcon());
    box.exec();
}

}  // namespace

settings::SaveResult takeFiles(const QString& directory, const QStringList& names) {
    // "Dir" only says where the chooser opens next time; the batch keeps the
    // directory itself, pinned now.
    const settings::SaveResult saved = settings::write(settings::kDir, directory);
    appState().chosenDirectory = platform::current().openDirectory(directory).directory;
    forms::frmMain().takeChosenFiles(names);
    return saved;
}

void takeCommandLine(const commandline::Request& request, QWidget* window) {
    if (!request.text.isEmpty()) {
        sayWhyNot(chooser::displayName(request.text), window);
    }
    if (!request.files.isEmpty()) {
        // Named one by one, hidden or not, each is shown.
        saveFailure::report(takeFiles(request.directory, chooser::listOrder(request.files, true)));
    }
}

}  // namespace chosen
