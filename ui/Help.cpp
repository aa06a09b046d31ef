#include "ui/Help.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QShortcut>
#include <QUrl>
#include <QWidget>

namespace help {
namespace {

QString& registeredFile() {
    static QString file;
    return file;
}

}  // namespace

void registerHelpFile(QWidget* window, const QString& path) {
    registeredFile() = path;
    auto* f1 = window->findChild<QShortcut*>(QStringLiteral("helpShortcut"));
    if (f1 == nullptr) {
        f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
        f1->setObjectName(QStringLiteral("helpShortcut"));
        f1->setContext(Qt::ApplicationShortcut);
        QObject::connect(f1, &QShortcut::activated, [] { showContents(registeredFile()); });
    }
}

QString helpFile() {
    return registeredFile();
}

bool showContents(const QString& path) {
    // A missing file would only make the viewer complain in a window of its own.
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace help
