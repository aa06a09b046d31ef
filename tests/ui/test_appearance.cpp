// How the windows look and read: the menus' font, a name for every control
// a screen reader can reach, readable text on a dark theme, and icons drawn
// for the screen's pixel ratio. Runs at QT_SCALE_FACTOR=2 (see CMakeLists).
#include <QtTest>

#include <cmath>
#include <memory>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStyleFactory>

#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "tests/ui/Windows.h"
#include "ui/Forms.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

namespace {

// WCAG contrast ratio of two colours (1 to 21).
double contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour in `image` farthest in contrast from `background`: the ink of
// the text drawn on it.
QColor inkOn(const QImage& image, const QColor& background) {
    QColor ink = background;
    double best = 1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const double ratio = contrast(c, background);
            if (ratio > best) {
                best = ratio;
                ink = c;
            }
        }
    }
    return ink;
}

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    return dark;
}

// Whether a picture shows something: not one flat colour.
bool hasDetail(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class AppearanceTest : public QObject {
    Q_OBJECT
    testing_support::ScopedSettings settings_;
    QPalette appPalette_;

  private slots:
    void initTestCase() { appPalette_ = QApplication::palette(); }
    void cleanup() {
        QApplication::setPalette(appPalette_);
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Each drop-down menu, opened from the menu bar, draws its entries in the
    // window's font, the menu bar's.
    void menusUseTheWindowFont() {
        frmMain& main = forms::frmMain();
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QMenuBar* bar = main.menuBar();
        const QFontInfo windowFont(main.font());
        QCOMPARE(QFontInfo(bar->font()).family(), windowFont.family());
        for (QAction* top : bar->actions()) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
            QMenu* menu = top->menu();
            QTRY_VERIFY(menu->isVisible());
            const QFontInfo menuFont(menu->font());
            QCOMPARE(menuFont.family(), windowFont.family());
            QCOMPARE(menuFont.pixelSize(), windowFont.pixelSize());
            menu->close();
            QTRY_VERIFY(!menu->isVisible());
        }
    }

    // Every control that can take the focus tells a screen reader what it is;
    // the option fields are named by the labels above them.
    void everyFocusableControlHasAName_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("namedByLabels");
        QTest::newRow("frmMain") << "frmMain" << QStringList{};
        QTest::newRow("frmDir") << "frmDir" << QStringList{};
        QTest::newRow("frmOptions")
            << "frmOptions" << QStringList{"txtPrefix", "txtSufix", "txtStartingNumber"};
        QTest::newRow("frmAbout") << "frmAbout" << QStringList{};
        QTest::newRow("frmPreview") << "frmPreview" << QStringList{};
    }

    void everyFocusableControlHasAName() {
        QFETCH(QString, form);
        QFETCH(QStringList, namedByLabels);
        QWidget* window = windowFor(form);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        int focusable = 0;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(window)) {
                continue;
            }
            ++focusable;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(accessible != nullptr, qPrintable(w->objectName()));
            QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(form + QLatin1Char('.') + w->objectName()));
        }
        QVERIFY(focusable >= 2);
        for (const QString& field : namedByLabels) {
            auto* edit = window->findChild<QLineEdit*>(field);
            const auto labels = window->findChildren<QLabel*>();
            const auto label = std::find_if(labels.cbegin(), labels.cend(),
                                            [edit](QLabel* l) { return l->buddy() == edit; });
            QVERIFY2(label != labels.cend(), qPrintable(field));
            QCOMPARE(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name),
                     (*label)->text());
        }
        window->hide();
    }

    // The about box's text stays readable on a light and on a dark theme,
    // also when the theme changes while the box is open; on a light one the
    // designed labels are black.
    void aboutBoxTextIsReadable_data() {
        QTest::addColumn<QString>("opened");  // the theme when the box opens
        QTest::addColumn<QString>("then");    // the theme it changes to while open, or ""
        QTest::newRow("light") << "light"
                               << "";
        QTest::newRow("dark") << "dark"
                              << "";
        QTest::newRow("dark while open") << "light"
                                         << "dark";
        QTest::newRow("light again") << "dark"
                                     << "light";
    }

    void aboutBoxTextIsReadable() {
        QFETCH(QString, opened);
        QFETCH(QString, then);
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        const auto paletteFor = [&fusion](const QString& theme) {
            return theme == QLatin1String("dark") ? darkPalette() : fusion->standardPalette();
        };
        QApplication::setPalette(paletteFor(opened));
        frmAbout& about = forms::frmAbout();
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        if (!then.isEmpty()) {
            QApplication::setPalette(paletteFor(then));
        }
        const bool dark = (then.isEmpty() ? opened : then) == QLatin1String("dark");
        QTRY_COMPARE(about.palette().color(QPalette::Window).lightness() < 128, dark);
        const QColor window = about.palette().color(QPalette::Window);
        for (const char* name : {"lblTitle", "lblVersion", "lblDescription", "lblDisclaimer"}) {
            // What is drawn on screen, not only what the palette says.
            const QColor ink = inkOn(control<QLabel>(about, name)->grab().toImage(), window);
            QVERIFY2(
                contrast(ink, window) >= 4.5,
                qPrintable(QString::fromLatin1(name) + QLatin1String(" drawn in ") + ink.name()));
        }
        if (!dark) {
            for (const char* name : {"lblTitle", "lblDescription", "lblDisclaimer"}) {
                QCOMPARE(control<QLabel>(about, name)->palette().color(QPalette::WindowText),
                         QColor(Qt::black));
            }
        }
    }

    // At twice the pixel density every icon is drawn at twice the pixels,
    // not a small picture scaled up.
    void iconsAreDrawnForThePixelRatio() {
        frmMain& main = forms::frmMain();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const qreal ratio = main.devicePixelRatioF();
        QCOMPARE(ratio, 2.0);

        struct Case {
            QString what;
            QIcon icon;
            int side;
        };
        frmDir& chooser = forms::frmDir();
        QAbstractItemModel* dirs = control<QListView>(chooser, "Dir1")->model();
        QVERIFY(dirs->rowCount() > 0);
        QComboBox* drives = control<QComboBox>(chooser, "Drive1");
        const QList<Case> cases = {
            {"main window", main.windowIcon(), 32},
            {"chooser", chooser.windowIcon(), 32},
            {"options", forms::frmOptions().windowIcon(), 32},
            {"about box", forms::frmAbout().windowIcon(), 32},
            {"opened folder", dirs->index(0, 0).data(Qt::DecorationRole).value<QIcon>(), 16},
            {"drive", drives->itemIcon(drives->currentIndex()), 16},
        };
        for (const Case& c : cases) {
            const QPixmap picture = c.icon.pixmap(QSize(c.side, c.side), ratio);
            QCOMPARE(picture.size(), QSize(c.side, c.side) * 2);
            QVERIFY2(hasDetail(picture.toImage()), qPrintable(c.what));
        }
        QVERIFY(main.windowIcon().pixmap(QSize(32, 32), ratio).toImage() !=
                forms::frmAbout().windowIcon().pixmap(QSize(32, 32), ratio).toImage());

        // The program's picture in the main window and the about box.
        for (QLabel* picture :
             {control<QLabel>(main, "Picture1"), control<QLabel>(forms::frmAbout(), "picIcon")}) {
            const QPixmap shown = picture->pixmap();
            QCOMPARE(shown.devicePixelRatio(), ratio);
            QCOMPARE(shown.size(), QSize(64, 64));
            QVERIFY(hasDetail(shown.toImage()));
        }
    }
};

QTEST_MAIN(AppearanceTest)
#include "test_appearance.moc"
