#include "ui/SaveFailure.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "engine/Settings.h"
#include "ui/Forms.h"

namespace saveFailure {
namespace {

void showWarning(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillomat"), text, QMessageBox::Ok,
                    forms::loaded(forms::Form::Main));
    box.exec();
}

// The message for a failed save.
QString messageText(const platform::Status& saved) {
    // A failure the system gave no code for is named by its number.
    const QString reason = saved.reason().isEmpty()
                               ? QStringLiteral("Error # %1").arg(errorNumber(saved.error))
                               : saved.reason();
    return QCoreApplication::translate("SaveFailure",
                                       "The settings could not be saved to %1:\n%2.\n\n"
                                       "The new values stay in use until Quillomat is closed; "
                                       "the file keeps its earlier values.")
        .arg(settings::storeLocation(settings::kAppName), reason);
}

}  // namespace

void report(const platform::Status& saved) {
    if (!saved.ok()) {
        messageBox()(messageText(saved));
    }
}

std::function<void(const QString& text)>& messageBox() {
    static std::function<void(const QString&)> show = &showWarning;
    return show;
}

}  // namespace saveFailure
