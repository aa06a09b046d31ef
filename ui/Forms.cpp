#include "ui/Forms.h"

#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>
#include <type_traits>
#include <utility>

#include "ui/FrameHints.h"
#include "ui/HelpWindow.h"
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

// The dialogs the main window opens are its own (frmMain::adopt).
template <class T>
constexpr bool kOwnedByMain = std::is_same_v<T, ::frmDir> || std::is_same_v<T, ::frmOptions> ||
                              std::is_same_v<T, ::frmPreview> || std::is_same_v<T, ::frmAbout>;

template <class T>
void adoptByMain() {
    if (instance<::frmMain>() != nullptr && instance<T>() != nullptr) {
        instance<::frmMain>()->adopt(*instance<T>());
    }
}

template <class T>
T& load() {
    T*& window = instance<T>();
    if (window == nullptr) {
        // Registered before Form_Load, so a load handler that touches its own
        // window by name finds this instance instead of creating another.
        window = new T;
        if constexpr (kOwnedByMain<T>) {
            adoptByMain<T>();
        }
        if constexpr (std::is_same_v<T, ::frmMain>) {
            adoptByMain<::frmDir>();
            adoptByMain<::frmOptions>();
            adoptByMain<::frmPreview>();
            adoptByMain<::frmAbout>();
        }
        window->Form_Load();
    }
    return *window;
}

template <class T>
void discard() {
    if constexpr (std::is_same_v<T, ::frmMain>) {
        unloadDialogs();  // its own go with it
    }
    T* window = std::exchange(instance<T>(), nullptr);
    if (window != nullptr) {
        window->hide();
        window->deleteLater();
    }
}

// Centres the window's outer frame on its screen (the primary screen before
// the window has one).
void placeAtCentre(QWidget* window) {
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

bool isFramed(const QWidget* window) {
    return window->frameGeometry() != window->geometry();
}

// Until a window manager has put its frame round a window, the window's outer
// size is its client size, and a window centred by that size sits off centre
// by half the frame. This centres it once more when the frame is known, then
// goes. A window hidden before it got a frame (no window manager draws one)
// stays where it was put.
class CentreWhenFramed : public QObject {
    Q_OBJECT

  public:
    explicit CentreWhenFramed(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_) {
            const QEvent::Type type = event->type();
            if ((type == QEvent::Move || type == QEvent::Resize) && window_->isVisible() &&
                isFramed(window_)) {
                window_->removeEventFilter(this);
                placeAtCentre(window_);
                deleteLater();
            } else if (type == QEvent::Hide) {
                window_->removeEventFilter(this);
                deleteLater();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* window_;
};

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
::HelpWindow& helpWindow() {
    return load<::HelpWindow>();
}

namespace {

// Calls `f` with a null pointer of the window class of `form`.
template <class F>
auto withClass(Form form, F&& f) {
    switch (form) {
        case Form::Dir:
            return f(static_cast<::frmDir*>(nullptr));
        case Form::Options:
            return f(static_cast<::frmOptions*>(nullptr));
        case Form::About:
            return f(static_cast<::frmAbout*>(nullptr));
        case Form::Preview:
            return f(static_cast<::frmPreview*>(nullptr));
        case Form::Help:
            return f(static_cast<::HelpWindow*>(nullptr));
        case Form::Main:
            break;
    }
    return f(static_cast<::frmMain*>(nullptr));
}

}  // namespace

bool isLoaded(Form form) {
    return withClass(form, [](auto* window) {
        return instance<std::remove_pointer_t<decltype(window)>>() != nullptr;
    });
}

void unload(Form form) {
    withClass(form, [](auto* window) { discard<std::remove_pointer_t<decltype(window)>>(); });
}

void unloadDialogs() {
    unload(Form::Dir);
    unload(Form::Options);
    unload(Form::About);
    unload(Form::Preview);
    unload(Form::Help);
}

QFont designFont(double pointSize) {
    // MS Sans Serif where it is installed, else the first stand-in there is:
    // looked up once in the font database, which is quicker than letting
    // the font matching try every family that is missing.
    static const std::pair<QString, bool> family = [] {
        for (const char* name :
             {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial"}) {
            if (QFontDatabase::hasFamily(QLatin1String(name))) {
                return std::pair{QString::fromLatin1(name),
                                 QByteArray(name).contains("Sans Serif")};
            }
        }
        return std::pair{QStringLiteral("Sans Serif"), false};
    }();
    QFont font(family.first);
    // The stand-ins run wider than MS Sans Serif; a sixteenth smaller keeps
    // every design text inside its control.
    font.setPointSizeF(family.second ? pointSize : pointSize * 15 / 16);
    return font;
}

void setUpDialogFrame(QWidget* dialog, Qt::WindowFlags buttons, const QIcon& icon) {
    dialog->setFont(designFont());
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | buttons);
    // Minimum and maximum alike: no window manager offers to resize or
    // maximise the dialog.
    dialog->setFixedSize(dialog->size());
    dialog->setWindowIcon(icon);
    framehints::keep(dialog, framehints::fixedWindow(buttons));
}

void centreOnScreen(QWidget* window) {
    placeAtCentre(window);
    if (!isFramed(window) &&
        window->findChild<CentreWhenFramed*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        new CentreWhenFramed(window);
    }
}

}  // namespace forms

#include "Forms.moc"
