#include "engine/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QList>
#include <QPointer>
#include <QTranslator>

namespace translations {
namespace {

QList<QPointer<QTranslator>> installed;  // by install(), for uninstall()

// A translator of `name` for `locale` from `dir`, installed; null if none.
QTranslator* installOne(const QLocale& locale, const QString& name, const QString& dir) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, name, QStringLiteral("_"), dir)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    installed.append(translator);
    return translator;
}

}  // namespace

QStringList searchPath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(programDir + QStringLiteral("/../share/quillomat/translations")),
            programDir + QStringLiteral("/translations")};
}

bool install(const QLocale& locale, const QStringList& dirs) {
    for (const QString& dir : dirs) {
        if (installOne(locale, QStringLiteral("quillomat"), dir) != nullptr) {
            // Qt's own texts only with ours, so that a window never mixes languages.
            installOne(locale, QStringLiteral("qtbase"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            return true;
        }
    }
    return false;
}

void uninstall() {
    for (const QPointer<QTranslator>& translator : std::as_const(installed)) {
        if (translator != nullptr) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    installed.clear();
}

}  // namespace translations
