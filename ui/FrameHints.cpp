#include "ui/FrameHints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QWidget>
#include <cstdlib>

#ifdef QUILLOMAT_X11
#if QT_CONFIG(xcb)
#define QUILLOMAT_XCB_HINTS 1
#include <xcb/xcb.h>
#endif
#endif

namespace framehints {
namespace {

// The Motif window manager's bits, as every X11 window manager reads them.
enum : quint32 {
    kHintsFunctions = 1u << 0,
    kHintsDecorations = 1u << 1,

    kFuncMove = 1u << 2,
    kFuncMinimize = 1u << 3,
    kFuncClose = 1u << 5,

    kDecorBorder = 1u << 1,
    kDecorTitle = 1u << 3,
    kDecorMenu = 1u << 4,
    kDecorMinimize = 1u << 5,
};

void tellWindowManager([[maybe_unused]] QWidget* window, [[maybe_unused]] const Motif& hints) {
#ifdef QUILLOMAT_XCB_HINTS
    auto* x11 = qGuiApp == nullptr ? nullptr
                                   : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || window->windowHandle() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    static constexpr char kName[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
    if (reply == nullptr) {
        return;
    }
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    const quint32 data[5] = {hints.flags, hints.functions, hints.decorations, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window->winId()), atom, atom, 32, 5, data);
    xcb_flush(connection);
#endif
}

// Qt writes its own hints whenever it creates the native window; the show
// event comes after that and before the window is mapped, when the window
// manager reads them.
class Keeper : public QObject {
    Q_OBJECT

  public:
    Keeper(QWidget* window, const Motif& hints) : QObject(window), window_(window), hints_(hints) {
        window->installEventFilter(this);
    }
    void setHints(const Motif& hints) { hints_ = hints; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            tellWindowManager(window_, hints_);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* window_;
    Motif hints_;
};

}  // namespace

Motif fixedWindow(Qt::WindowFlags buttons) {
    // Flags, functions, decorations: a window that moves and has a title.
    Motif hints{kHintsFunctions | kHintsDecorations, kFuncMove, kDecorBorder | kDecorTitle};
    if (buttons & Qt::WindowSystemMenuHint) {
        hints.decorations |= kDecorMenu;
    }
    if (buttons & Qt::WindowMinimizeButtonHint) {
        hints.functions |= kFuncMinimize;
        hints.decorations |= kDecorMinimize;
    }
    if (buttons & Qt::WindowCloseButtonHint) {
        hints.functions |= kFuncClose;  // the close box has no decoration bit
    }
    return hints;
}

void keep(QWidget* window, const Motif& hints) {
    if (auto* keeper = window->findChild<Keeper*>(QString(), Qt::FindDirectChildrenOnly)) {
        keeper->setHints(hints);
    } else {
        new Keeper(window, hints);
    }
    if (window->isVisible()) {
        tellWindowManager(window, hints);
    }
}

void sendNow() {
#ifdef QUILLOMAT_XCB_HINTS
    auto* x11 = qGuiApp == nullptr ? nullptr
                                   : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr && x11->connection() != nullptr) {
        xcb_flush(x11->connection());
    }
#endif
}

}  // namespace framehints

#include "FrameHints.moc"
