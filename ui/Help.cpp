#include "ui/Help.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "ui/Forms.h"
#include "ui/HelpWindow.h"

namespace help {

void registerHelpKey(QWidget* window) {
    if (window->findChild<QShortcut*>(QStringLiteral("helpShortcut")) != nullptr) {
        return;
    }
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setObjectName(QStringLiteral("helpShortcut"));
    f1->setContext(Qt::ApplicationShortcut);
    QObject::connect(f1, &QShortcut::activated, [] { showContents(); });
}

QString guideHtml() {
    // The guide of the program's language: its translation names the file.
    QFile guide(QStringLiteral(":/help/") + QCoreApplication::translate("HelpGuide", "guide.html"));
    if (!guide.exists()) {
        guide.setFileName(QStringLiteral(":/help/guide.html"));
    }
    return guide.open(QIODevice::ReadOnly) ? QString::fromUtf8(guide.readAll()) : QString();
}

void showContents() {
    forms::helpWindow().showContents();
}

}  // namespace help
