#include "ui/Forms.h"

#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <type_traits>
#include <utility>

#include "ui/FrameHints.h"
#include "ui/HelpWindow.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmNaming.h"
#include "ui/frmOptions.h"
#include "ui/frmPreview.h"

namespace forms {
namespace {

template <class T>
T*& instance() {
    static T* window = nullptr;
    return window;
}

// The dialogs the main window opens are its own (frmMain::adopt): each of
// `Dialogs` that is loaded, when the main window is.
template <class... Dialogs>
void adoptByMain() {
    if (::frmMain* main = instance<::frmMain>()) {
        ((instance<Dialogs>() != nullptr ? main->adopt(*instance<Dialogs>()) : void()), ...);
    }
}

template <class T>
T& load() {
    T*& window = instance<T>();
    if (window == nullptr) {
        // Registered before Form_Load, so a load handler that touches its own
        // window by name finds this instance instead of creating another.
        window = new T;
        if constexpr (std::is_same_v<T, ::frmMain>) {
            adoptByMain<::frmDir, ::frmOptions, ::frmPreview, ::frmAbout, ::frmNaming>();
        } else if constexpr (!std::is_same_v<T, ::HelpWindow>) {
            adoptByMain<T>();
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
    if (T* window = std::exchange(instance<T>(), nullptr)) {
        window->hide();
        window->deleteLater();
    }
}

// Centres the window's outer frame on its screen (the primary screen before
// the window has one).
QScreen* screenOf(const QWidget& window) {
    return window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
}

void placeAtCentre(QWidget* window) {
    QScreen* screen = screenOf(*window);
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
::frmNaming& frmNaming() {
    return load<::frmNaming>();
}
::HelpWindow& helpWindow() {
    return load<::HelpWindow>();
}

namespace {

// What the registry does with each window, in the order of Form.
struct Entry {
    QWidget* (*loaded)();
    void (*discard)();
};

template <class T>
constexpr Entry kEntry{[]() -> QWidget* { return instance<T>(); }, &discard<T>};

constexpr Entry kEntries[] = {kEntry<::frmMain>,   kEntry<::frmDir>,     kEntry<::frmOptions>,
                              kEntry<::frmAbout>,  kEntry<::frmPreview>, kEntry<::frmNaming>,
                              kEntry<::HelpWindow>};
static_assert(std::size(kEntries) == static_cast<size_t>(Form::Help) + 1, "one entry per Form");

}  // namespace

QWidget* loaded(Form form) {
    return kEntries[static_cast<int>(form)].loaded();
}

bool isLoaded(Form form) {
    return loaded(form) != nullptr;
}

void unload(Form form) {
    kEntries[static_cast<int>(form)].discard();
}

bool unloadIfInstance(Form form, const QWidget* window) {
    if (loaded(form) != window) {
        return false;
    }
    unload(form);
    return true;
}

void unloadDialogs() {
    for (int form = static_cast<int>(Form::Dir); form <= static_cast<int>(Form::Help); ++form) {
        unload(static_cast<Form>(form));
    }
}

void showModeless(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
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

namespace {

QRect availableArea(const QWidget& widget) {
    QScreen* screen = screenOf(widget);
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// The window manager's frame round `window`; before it has one, the frame of
// `like`, which the same window manager drew.
QMargins frameOf(const QWidget& window, const QWidget& like) {
    const QWidget& framed = isFramed(&window) ? window : like;
    const QRect outer = framed.frameGeometry();
    const QRect inner = framed.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// `place` moved into `room` as far as it fits.
QRect pulledInto(QRect place, const QRect& room) {
    place.moveLeft(std::max(room.left(), std::min(place.left(), room.right() + 1 - place.width())));
    place.moveTop(std::max(room.top(), std::min(place.top(), room.bottom() + 1 - place.height())));
    return place;
}

void setOuterGeometry(QWidget* window, const QRect& outer, const QMargins& frame) {
    window->resize(outer.size().shrunkBy(frame));
    window->move(outer.topLeft());  // a window's position is its frame's
}

// Elides a label's whole text (its property "wholeText") to its width.
class ElideToWidth : public QObject {
  public:
    explicit ElideToWidth(QLabel* label) : QObject(label) { label->installEventFilter(this); }

    static void show(QLabel* label) {
        const QString whole = label->property("wholeText").toString();
        const QString shown =
            label->fontMetrics().elidedText(whole, Qt::ElideMiddle, label->contentsRect().width());
        // A label with a buddy reads "&" as a shortcut mark; "&&" shows "&".
        label->setText(
            label->buddy() != nullptr ? QString(shown).replace(u'&', QStringLiteral("&&")) : shown);
        label->setToolTip(shown == whole ? QString() : whole);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            show(static_cast<QLabel*>(watched));
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void showWholeText(QLabel* label, const QString& text) {
    if (label->findChild<ElideToWidth*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        new ElideToWidth(label);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
        QSizePolicy policy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
        policy.setHorizontalStretch(1);
        label->setSizePolicy(policy);
    }
    label->setProperty("wholeText", text);
    ElideToWidth::show(label);
}

void placeBeside(QWidget* window, const QWidget& owner, const QRect& keepClear,
                 const QRect& rather) {
    // A centring still waiting for the window's frame would undo this.
    delete window->findChild<CentreWhenFramed*>(QString(), Qt::FindDirectChildrenOnly);
    const QRect area = availableArea(owner);
    const QMargins frame = frameOf(*window, owner);
    const QRect main = owner.frameGeometry();
    const QSize outer = window->size().grownBy(frame);
    const auto clearOf = [&](const QRect& clear) {
        QRect place = pulledInto(QRect(QPoint(main.right() + 1, main.top()), outer), area);
        if (place.left() <= main.right()) {
            place = pulledInto(QRect(QPoint(main.left(), main.bottom() + 1), outer), area);
        }
        if (!place.intersects(clear) && area.contains(place)) {
            return place;
        }
        // The room left of, right of, above and below `clear`: the largest.
        const QRect rooms[] = {QRect(QPoint(clear.right() + 1, area.top()), area.bottomRight()),
                               QRect(QPoint(area.left(), clear.bottom() + 1), area.bottomRight()),
                               QRect(area.topLeft(), QPoint(clear.left() - 1, area.bottom())),
                               QRect(area.topLeft(), QPoint(area.right(), clear.top() - 1))};
        const auto size = [](const QRect& r) { return r.isValid() ? r.width() * r.height() : 0; };
        const QRect room = *std::max_element(
            std::begin(rooms), std::end(rooms),
            [&size](const QRect& a, const QRect& b) { return size(a) < size(b); });
        const QSize fewest = window->minimumSize().grownBy(frame);
        return pulledInto(
            pulledInto(QRect(main.topLeft(), outer.boundedTo(room.size()).expandedTo(fewest)),
                       room),
            area);
    };
    const QRect place = clearOf(keepClear | rather);
    setOuterGeometry(window, place.intersects(keepClear) ? clearOf(keepClear) : place, frame);
}

void restorePlace(QWidget* window, const QRect& place) {
    const QRect area = availableArea(*window);
    const QRect kept =
        pulledInto(QRect(place.topLeft(), place.size().boundedTo(area.size())), area);
    setOuterGeometry(window, kept, QMargins());
}

}  // namespace forms

#include "Forms.moc"
