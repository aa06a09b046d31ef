#include "ui/SaveFailure.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "ui/Forms.h"
#include "ui/frmMain.h"

namespace saveFailure {
namespace {

void showWarning(const QString& text) {
    QWidget* parent = forms::isLoaded(forms::Form::Main) ? &forms::frmMain() : nullptr;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillomat"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

}  // namespace

QString messageText(const settings::SaveResult& result) {
    return QCoreApplication::translate("SaveFailure",
                                       "The settings could not be saved to %1:\n%2.\n\n"
                                       "The new values stay in use until Quillomat is closed; "
                                       "the file keeps its earlier values.")
        .arg(result.file, result.reason);
}

void report(const settings::SaveResult& result) {
    if (!result.ok) {
        messageBox()(messageText(result));
    }
}

std::function<void(const QString& text)>& messageBox() {
    static std::function<void(const QString&)> show = &showWarning;
    return show;
}

}  // namespace saveFailure
