#include "engine/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace translations {

QStringList searchPath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(programDir + QStringLiteral("/../share/quillomat/translations")),
            programDir + QStringLiteral("/translations")};
}

bool install() {
    const QLocale locale;
    auto* own = new QTranslator(QCoreApplication::instance());
    bool found = false;
    for (const QString& dir : searchPath()) {
        if (own->load(locale, QStringLiteral("quillomat"), QStringLiteral("_"), dir)) {
            found = true;
            break;
        }
    }
    if (!found) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    } else {
        delete qt;
    }
    return true;
}

}  // namespace translations
