#include "ui/Forms.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>
#include <utility>

#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"
#include "ui/frmPreview.h"

namespace forms {
namespace {

template <class T>
T*& instance() {
    static T* window = nullptr;
    return window;
}

template <class T>
T& load() {
    T*& window = instance<T>();
    if (window == nullptr) {
        // Registered before Form_Load, so a load handler that touches its own
        // window by name finds this instance instead of creating another.
        window = new T;
        window->Form_Load();
    }
    return *window;
}

template <class T>
void discard() {
    T* window = std::exchange(instance<T>(), nullptr);
    if (window != nullptr) {
        window->hide();
        window->deleteLater();
    }
}

}  // namespace

::frmMain& frmMain() {
    return load<::frmMain>();
}
::frmDir& frmDir() {
    return load<::frmDir>();
}
::frmOptions& frmOptions() {
    return load<::frmOptions>();
}
::frmAbout& frmAbout() {
    return load<::frmAbout>();
}
::frmPreview& frmPreview() {
    return load<::frmPreview>();
}

bool isLoaded(Form form) {
    switch (form) {
        case Form::Main:
            return instance<::frmMain>() != nullptr;
        case Form::Dir:
            return instance<::frmDir>() != nullptr;
        case Form::Options:
            return instance<::frmOptions>() != nullptr;
        case Form::About:
            return instance<::frmAbout>() != nullptr;
        case Form::Preview:
            return instance<::frmPreview>() != nullptr;
    }
    return false;
}

void unload(Form form) {
    switch (form) {
        case Form::Main:
            discard<::frmMain>();
            break;
        case Form::Dir:
            discard<::frmDir>();
            break;
        case Form::Options:
            discard<::frmOptions>();
            break;
        case Form::About:
            discard<::frmAbout>();
            break;
        case Form::Preview:
            discard<::frmPreview>();
            break;
    }
}

void unloadDialogs() {
    unload(Form::Dir);
    unload(Form::Options);
    unload(Form::About);
    unload(Form::Preview);
}

QFont designFont(double pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Sans Serif")});
    font.setPointSizeF(pointSize);
    // The stand-ins run wider than MS Sans Serif; a sixteenth smaller keeps
    // every design text inside its control.
    const QString family = QFontInfo(font).family();
    if (!family.contains(QLatin1String("Sans Serif")) || family == QLatin1String("Sans Serif")) {
        font.setPointSizeF(pointSize * 15 / 16);
    }
    return font;
}

void setUpDialogFrame(QWidget* dialog, Qt::WindowFlags buttons, const QIcon& icon) {
    dialog->setFont(designFont());
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | buttons);
    dialog->setFixedSize(dialog->size());
    dialog->setWindowIcon(icon);
}

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    const QSize outer = window->frameGeometry().size();
    window->move(area.x() + (area.width() - outer.width()) / 2,
                 area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace forms
