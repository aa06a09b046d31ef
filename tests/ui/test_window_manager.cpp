// The four windows under a real window manager: openbox on a virtual X
// server of our own. Checks what each window tells the window manager (size
// hints, both fields of the motif hints), what the window manager makes of it
// (the actions it allows) and where the framed window ends up.
//
// Exits with 77 (skipped) where no X server can be started. With
// QUILLOMAT_SCREENSHOTS set to a directory, saves a picture of the screen with
// each window in it there.
#include <QtTest>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

#include <signal.h>
#include <sys/prctl.h>

#include <QMessageBox>

#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "ui/Forms.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"
#include "ui/frmPreview.h"

namespace {

// The Motif bits as a window manager reads them.
enum : quint32 {
    kHintsFunctions = 1u << 0,
    kHintsDecorations = 1u << 1,
    kFuncAll = 1u << 0,
    kFuncResize = 1u << 1,
    kFuncMove = 1u << 2,
    kFuncMinimize = 1u << 3,
    kFuncMaximize = 1u << 4,
    kFuncClose = 1u << 5,
    kDecorAll = 1u << 0,
    kDecorBorder = 1u << 1,
    kDecorResizeHandle = 1u << 2,
    kDecorTitle = 1u << 3,
    kDecorMenu = 1u << 4,
    kDecorMinimize = 1u << 5,
    kDecorMaximize = 1u << 6,
};

// A child that ends with the test process, even when that is killed.
void startChild(QProcess& process, const QString& program, const QStringList& arguments) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start(program, arguments);
}

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000)) {
        tool.kill();
        tool.waitForFinished();
        return QString();
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

// Xvfb on a display number it picks itself, with openbox managing it.
class XSession {
  public:
    ~XSession() {
        for (QProcess* process : {&windowManager_, &server_}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(5000)) {
                    process->kill();
                    process->waitForFinished();
                }
            }
        }
    }

    // False when no X server could be started.
    bool startServer() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) {
            return false;
        }
        // -displayfd: the server takes a free display and writes its number.
        // -noreset: a server that resets when its last client leaves turns
        // away whoever connects meanwhile.
        startChild(
            server_, xvfb,
            {"-displayfd", "1", "-noreset", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"});
        QByteArray number;
        QDeadlineTimer deadline(15000);
        while (!number.contains('\n') && !deadline.hasExpired() &&
               server_.state() != QProcess::NotRunning) {
            server_.waitForReadyRead(100);
            number += server_.readAllStandardOutput();
        }
        if (!number.contains('\n')) {
            return false;
        }
        display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
        qputenv("DISPLAY", display_.toLocal8Bit());
        return true;
    }

    // Starts openbox and waits until it manages the screen.
    bool startWindowManager(QString* why) {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty()) {
            *why = QStringLiteral("openbox and xprop are needed (scripts/install-deps.sh)");
            return false;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cache_.path());
        windowManager_.setProcessEnvironment(env);
        startChild(windowManager_, openbox, {"--sm-disable"});
        QDeadlineTimer deadline(15000);
        // (Without an event loop only the waitFor... calls see a child end.)
        while (!deadline.hasExpired() && !windowManager_.waitForFinished(50)) {
            if (runTool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id")) {
                return true;
            }
        }
        *why = QStringLiteral("openbox did not take display %1: %2")
                   .arg(display_, QString::fromLocal8Bit(windowManager_.readAllStandardError()));
        return false;
    }

    QString display() const { return display_; }

  private:
    QProcess server_;
    QProcess windowManager_;
    QTemporaryDir cache_;
    QString display_;
};

// What the X server knows of one top-level window.
struct XWindow {
    QMap<QString, QString> properties;  // name -> value as xprop prints it
    QRect client;                       // on the root window
    QMargins frame;                     // _NET_FRAME_EXTENTS

    QString property(const char* name) const { return properties.value(QLatin1String(name)); }
    QList<quint32> numbers(const char* name) const {
        QList<quint32> result;
        for (const QString& part : property(name).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            result << part.trimmed().toUInt(nullptr, 0);
        }
        return result;
    }
    QSize sizeHint(const char* which) const {
        const QRegularExpression re(QStringLiteral("program specified %1 size: (\\d+) by (\\d+)")
                                        .arg(QLatin1String(which)));
        const auto match = re.match(property("WM_NORMAL_HINTS"));
        return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt())
                                : QSize();
    }
    QRect outer() const { return client.marginsAdded(frame); }
};

XWindow inspect(WId id) {
    XWindow window;
    const QString hex = QStringLiteral("0x%1").arg(id, 0, 16);
    const QString props = runTool("xprop", {"-id", hex, "WM_NORMAL_HINTS", "_MOTIF_WM_HINTS",
                                            "_NET_FRAME_EXTENTS", "_NET_WM_ALLOWED_ACTIONS"});
    // "NAME(TYPE) = value" on one line, or "NAME(TYPE):" and indented lines.
    QString current;
    for (const QString& line : props.split(QLatin1Char('\n'))) {
        static const QRegularExpression head(QStringLiteral("^(\\w+)\\(\\w+\\)(?: = (.*)|:)$"));
        const auto match = head.match(line);
        if (match.hasMatch()) {
            current = match.captured(1);
            window.properties[current] = match.captured(2);
        } else if (!current.isEmpty() && line.startsWith(QLatin1Char('\t'))) {
            window.properties[current] += line.trimmed() + QLatin1Char('\n');
        }
    }
    const QString info = runTool("xwininfo", {"-id", hex});
    auto field = [&](const char* name) {
        const QRegularExpression re(QLatin1String(name) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(info).captured(1).toInt();
    };
    window.client = QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                          field("Width"), field("Height"));
    const QList<quint32> extents = window.numbers("_NET_FRAME_EXTENTS");
    if (extents.size() == 4) {  // left, right, top, bottom
        window.frame = QMargins(extents[0], extents[2], extents[1], extents[3]);
    }
    return window;
}

QString describe(const XWindow& window) {
    QString text;
    QDebug(&text) << "client" << window.client << "frame" << window.frame << "outer"
                  << window.outer();
    return text;
}

// Openbox announces itself on the root window before it handles map requests,
// and a window mapped in between is never managed. Maps a throwaway window
// until openbox frames one.
bool windowManagerFrames() {
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        QWidget probe;
        probe.resize(40, 40);
        probe.show();
        if (QTest::qWaitFor([&] { return probe.frameGeometry() != probe.geometry(); }, 1000)) {
            return true;
        }
    }
    return false;
}

enum class Opened { Main, Chooser, Options, About };

frmMain& shownMainWindow() {
    frmMain& main = forms::frmMain();
    if (!main.isVisible()) {
        forms::centreOnScreen(&main);
        main.show();
    }
    return main;
}

// Opens a window as the program does: the main window at start, the dialogs
// through the main window's commands.
QWidget* open(Opened which) {
    frmMain& main = shownMainWindow();
    switch (which) {
        case Opened::Main:
            return &main;
        case Opened::Chooser:
            main.Command3_Click();
            return &forms::frmDir();
        case Opened::Options:
            main.mnuOptionsSetOptions_Click();
            return &forms::frmOptions();
        case Opened::About:
            main.MnuHelpAbout_Click();
            return &forms::frmAbout();
    }
    return nullptr;
}

}  // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { forms::unloadDialogs(); }

    void framedWindow_data() {
        QTest::addColumn<Opened>("which");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<bool>("minimise");
        QTest::addColumn<bool>("maximise");
        QTest::addColumn<bool>("close");
        QTest::newRow("main") << Opened::Main << false << true << true << true << true;
        QTest::newRow("chooser") << Opened::Chooser << true << false << false << false << false;
        QTest::newRow("options") << Opened::Options << true << false << false << false << false;
        QTest::newRow("about") << Opened::About << true << true << false << false << true;
    }

    void framedWindow() {
        QFETCH(Opened, which);
        QFETCH(bool, fixed);
        QFETCH(bool, menu);
        QFETCH(bool, minimise);
        QFETCH(bool, maximise);
        QFETCH(bool, close);

        QWidget* window = open(which);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const WId id = window->winId();

        // Framed by openbox and then centred, frame and all, on the screen.
        const QRect screen = window->screen()->geometry();
        XWindow x;
        auto centred = [&] {
            x = inspect(id);
            const QRect outer = x.outer();
            // Twice the distance between the centres: within a pixel.
            const QPoint off = outer.topLeft() * 2 + QPoint(outer.width(), outer.height()) -
                               screen.topLeft() * 2 - QPoint(screen.width(), screen.height());
            return !x.frame.isNull() && qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(centred(), qPrintable(describe(x)), 5000);
        QCOMPARE(x.client.size(), window->size());

        // Size hints: a fixed window has its own size as minimum and maximum.
        if (fixed) {
            QCOMPARE(x.sizeHint("minimum"), window->size());
            QCOMPARE(x.sizeHint("maximum"), window->size());
        } else {
            const QSize max = x.sizeHint("maximum");
            QVERIFY2(!max.isValid() || max.width() > window->width(),
                     qPrintable(x.property("WM_NORMAL_HINTS")));
        }

        // Motif hints: both fields, each with exactly the design's buttons.
        const QList<quint32> motif = x.numbers("_MOTIF_WM_HINTS");
        QCOMPARE(motif.size(), 5);
        const quint32 flags = motif[0], functions = motif[1], decorations = motif[2];
        QCOMPARE(flags & (kHintsFunctions | kHintsDecorations),
                 quint32(kHintsFunctions | kHintsDecorations));
        QCOMPARE(functions & kFuncAll, 0u);  // "all" would turn the meaning round
        QCOMPARE(decorations & kDecorAll, 0u);
        QVERIFY(functions & kFuncMove);
        QVERIFY((decorations & (kDecorBorder | kDecorTitle)) == (kDecorBorder | kDecorTitle));
        QCOMPARE(bool(functions & kFuncResize), !fixed);
        QCOMPARE(bool(decorations & kDecorResizeHandle), !fixed);
        QCOMPARE(bool(decorations & kDecorMenu), menu);
        QCOMPARE(bool(functions & kFuncMinimize), minimise);
        QCOMPARE(bool(decorations & kDecorMinimize), minimise);
        QCOMPARE(bool(functions & kFuncMaximize), maximise);
        QCOMPARE(bool(decorations & kDecorMaximize), maximise);
        QCOMPARE(bool(functions & kFuncClose), close);

        // What openbox made of it: a fixed window can be neither resized nor
        // maximised. (Openbox offers minimise and close to every window with a
        // title bar, whatever the hints say.)
        const QString actions = x.property("_NET_WM_ALLOWED_ACTIONS");
        QCOMPARE(actions.contains(QLatin1String("_NET_WM_ACTION_RESIZE")), !fixed);
        QCOMPARE(actions.contains(QLatin1String("_NET_WM_ACTION_MAXIMIZE_HORZ")), maximise);
        QVERIFY(actions.contains(QLatin1String("_NET_WM_ACTION_MOVE")));

        const QString shots = qEnvironmentVariable("QUILLOMAT_SCREENSHOTS");
        saveScreen(shots);
    }

    // The review is the main window's own: transient for it, and kept above
    // it by openbox, also once the question of Exit is cancelled. It stands
    // clear of the preview that is open beside the main window.
    void reviewStaysAboveTheMainWindow() {
        testing_support::ScopedSettings settings;
        testing_support::TempFiles dir;
        dir.createAll({"a.txt", "b.txt"});
        settings::write(settings::kDir, dir.path());
        frmMain& main = shownMainWindow();
        main.Command3_Click();
        forms::frmDir().setFile1Selected(0, true);
        forms::frmDir().Command1_Click();
        main.Command1_Click();
        main.mnuFilePreview_Click();
        QVERIFY(QTest::qWaitForWindowExposed(&forms::frmPreview()));
        main.Command4_Click();
        frmDir& review = forms::frmDir();
        QVERIFY(QTest::qWaitForWindowExposed(&review));
        QTRY_VERIFY(!review.frameGeometry().intersects(forms::frmPreview().frameGeometry()));
        const auto hex = [](const QWidget& w) {
            return QStringLiteral("0x%1").arg(w.winId(), 0, 16);
        };
        QVERIFY(runTool("xprop", {"-id", hex(review), "WM_TRANSIENT_FOR"}).contains(hex(main)));

        QTimer::singleShot(500, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->reject();  // Cancel, as Esc gives it
            }
        });
        main.MnuFileExit_Click();
        QVERIFY(review.isVisible());
        // Bottom first: the review's window after the main window's.
        const auto stacking = [&] {
            const QString list = runTool("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
            return list.indexOf(hex(main)) >= 0 &&
                   list.indexOf(hex(review)) > list.indexOf(hex(main));
        };
        QTRY_VERIFY_WITH_TIMEOUT(stacking(), 5000);
        saveScreen(qEnvironmentVariable("QUILLOMAT_SCREENSHOTS"));
        review.Command2_Click();  // Undo
        QCOMPARE(dir.names(), (QStringList{"a.txt", "b.txt"}));
    }

  private:
    static void saveScreen(const QString& shots) {
        if (!shots.isEmpty()) {
            QTest::qWait(500);  // every window repainted where the last move left it
            runTool("import",
                    {"-window", "root",
                     shots + QStringLiteral("/wm-%1.png")
                                 .arg(QLatin1String(QTest::currentDataTag()
                                                        ? QTest::currentDataTag()
                                                        : QTest::currentTestFunction()))});
        }
    }
};

int main(int argc, char* argv[]) {
    XSession session;
    if (!session.startServer()) {
        std::puts("SKIP: no X server could be started");
        return 77;  // skipped
    }
    std::printf("X server on display %s\n", qPrintable(session.display()));
    QString why;
    if (!session.startWindowManager(&why)) {
        std::fprintf(stderr, "FAIL: %s\n", qPrintable(why));
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication app(argc, argv);
        if (!windowManagerFrames()) {
            std::fputs("FAIL: openbox frames no window\n", stderr);
            return 1;
        }
        WindowManagerTest test;
        result = QTest::qExec(&test, argc, argv);
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return result;
}

#include "test_window_manager.moc"
