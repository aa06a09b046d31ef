#include "ui/Help.h"

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

void showContents() {
    HelpWindow& window = forms::helpWindow();
    window.showContents();
}

}  // namespace help
