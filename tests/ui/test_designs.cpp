// The four windows against their designs: every control's name, kind, text,
// place and size, the tab order, the menu, captions and where focus starts.
#include <QtTest>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "tests/ui/Windows.h"
#include "ui/Forms.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

namespace {

// Twips as the designs give them; 15 twips make a pixel.
constexpr int px(int twips) {
    return twips / 15;
}

struct Control {
    const char* name;
    const char* kind;  // class name (or a base class) of the widget
    const char* text;  // nullptr: not compared
    int left, top, width, height;
    bool autoSize;  // a label that sizes itself to its text: only its place is compared
};

QString textOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return b->text();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->text();
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        return e->text();
    }
    return QString();
}

const QList<Control>& controlsOf(const QString& form) {
    static const QList<Control> mainControls = {
        {"Picture1", "QLabel", nullptr, 120, 240, 540, 540, false},
        {"Label5", "QLabel", "Quillomat Version 2.00", 960, 360, 4065, 360, true},
        {"Command3", "QPushButton", "Select ", 120, 1440, 1215, 375, false},
        {"Label8", "QLabel", "Select the directory where you have files", 1440, 1440, 2865, 195,
         true},
        {"Label1", "QLabel", "to rename and select the files to rename.", 1440, 1680, 2865, 195,
         true},
        {"txtFile", "QLineEdit", "", 120, 1920, 5415, 375, false},
        {"Command2", "QPushButton", "Set Mask", 120, 2640, 1215, 375, false},
        {"Label2", "QLabel", "Highlight one part of the above filename to keep and press", 1440,
         2640, 4140, 195, true},
        {"Label7", "QLabel", "Set mask button, or skip this button to number all the files.", 1440,
         2880, 4065, 195, true},
        {"txtMask", "QLineEdit", "", 120, 3120, 5415, 375, false},
        {"Command1", "QPushButton", "Extract", 120, 3840, 1215, 375, false},
        {"Label4", "QLabel", "Edit the above mask if you missed a letter or two, then", 1440, 3840,
         3810, 195, true},
        {"Label9", "QLabel", "press extract to see what the new name will look like.", 1440, 4080,
         3750, 195, true},
        {"txtExample", "QLineEdit", "", 120, 4320, 5415, 375, false},
        {"Command4", "QPushButton", "Rename", 120, 5040, 1215, 375, false},
        {"Label3", "QLabel", "Example new filename above, if you like it press rename to", 1440,
         5040, 4110, 195, true},
        {"Label6", "QLabel", "rename all of the files that have the mask text in their name.", 1440,
         5280, 4185, 195, true},
        {"List1", "QListWidget", nullptr, 5640, 840, 3255, 4740, false},
        {"lblPrefix", "QLabel", nullptr, -120, 0, 615, 195, false},
        {"lblSufix", "QLabel", nullptr, 1200, 0, 615, 135, false},
        {"lblStartNumber", "QLabel", nullptr, 2160, 0, 855, 135, false},
        {"lblLetteringPosition", "QLabel", nullptr, 3600, 0, 855, 135, false},
    };
    static const QList<Control> dirControls = {
        {"Drive1", "QComboBox", nullptr, 120, 120, 3015, 315, false},
        {"Command1", "QPushButton", "&OK", 4200, 120, 1215, 375, false},
        {"Command2", "QPushButton", "&Cancel", 6240, 120, 1215, 375, false},
        {"Dir1", "QAbstractItemView", nullptr, 120, 600, 3495, 5040, false},
        {"File1", "QAbstractItemView", nullptr, 3840, 600, 3975, 5100, false},
    };
    static const QList<Control> optionsControls = {
        {"lblPrefix", "QLabel", "Prefix", 840, 120, 390, 195, false},
        {"txtPrefix", "QLineEdit", "", 840, 360, 4095, 375, false},
        {"lblSufix", "QLabel", "Suffix", 840, 960, 390, 195, false},
        {"txtSufix", "QLineEdit", "", 840, 1200, 4095, 375, false},
        {"lblStartingNumber", "QLabel", "Starting Number", 840, 1800, 1140, 195, false},
        {"txtStartingNumber", "QLineEdit", "", 840, 2040, 4095, 375, false},
        {"lblLettering", "QLabel", "Consecutive Lettering Position", 840, 2640, 2145, 195, false},
        {"opt1_0", "QRadioButton", "None", 840, 2880, 1095, 495, false},
        {"opt1_1", "QRadioButton", "First", 2280, 2880, 1095, 495, false},
        {"opt1_2", "QRadioButton", "Last", 3720, 2880, 1095, 495, false},
        {"cmdClearOptions", "QPushButton", "Clear Options", 960, 3720, 1215, 495, false},
        {"cmdOk", "QPushButton", "Ok", 3600, 3720, 1215, 495, false},
    };
    static const QList<Control> aboutControls = {
        {"picIcon", "QLabel", nullptr, 120, 120, 540, 540, false},
        {"lblTitle", "QLabel", "Quillomat  Version 2.00", 1320, 240, 3885, 360, false},
        {"lblVersion", "QLabel", nullptr, 1320, 720, 3885, 225, false},
        {"lblDescription", "QLabel", "A file renaming utility", 1320, 1125, 3885, 330, false},
        {"lblDisclaimer", "QLabel", nullptr, 255, 1920, 3900, 1425, false},
        {"cmdOK", "QPushButton", "OK", 4245, 1920, 1260, 345, false},
        {"cmdSysInfo", "QPushButton", "&System Info...", 4260, 2400, 1245, 345, false},
    };
    if (form == QLatin1String("frmMain")) {
        return mainControls;
    }
    if (form == QLatin1String("frmDir")) {
        return dirControls;
    }
    if (form == QLatin1String("frmOptions")) {
        return optionsControls;
    }
    return aboutControls;
}

// The widgets the focus visits when Tab is pressed, from the focused one
// round to it again.
QStringList tabWalk(QWidget* window) {
    QStringList names;
    QWidget* start = window->focusWidget();
    QWidget* w = start;
    for (int guard = 0; guard < 100; ++guard) {
        names << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
        w = window->focusWidget();
        if (w == start) {
            break;
        }
    }
    return names;
}

}  // namespace

class DesignsTest : public QObject {
    Q_OBJECT
    testing_support::ScopedSettings settings_;

  private slots:
    void cleanup() { forms::unloadDialogs(); }

    void controls_data() {
        QTest::addColumn<QString>("form");
        for (const char* form : {"frmMain", "frmDir", "frmOptions", "frmAbout"}) {
            QTest::newRow(form) << QString::fromLatin1(form);
        }
    }

    void controls() {
        QFETCH(QString, form);
        QWidget* window = windowFor(form);
        for (const Control& c : controlsOf(form)) {
            const QString name = QString::fromLatin1(c.name);
            auto* w = window->findChild<QWidget*>(name);
            QVERIFY2(w != nullptr, qPrintable(name));
            QVERIFY2(w->inherits(c.kind), qPrintable(name + QLatin1String(" is a ") +
                                                     QLatin1String(w->metaObject()->className())));
            if (c.text != nullptr) {
                QCOMPARE(textOf(w), QString::fromUtf8(c.text));
            }
            const QRect design(px(c.left), px(c.top), px(c.width), px(c.height));
            if (c.autoSize) {
                QCOMPARE(w->pos(), design.topLeft());
            } else {
                QCOMPARE(w->geometry(), design);
            }
        }
    }

    void windows() {
        frmMain& main = forms::frmMain();
        QCOMPARE(main.windowTitle(), QStringLiteral("Quillomat"));
        main.layout()->activate();
        QCOMPARE(main.centralWidget()->size(), QSize(px(9015), px(5700)));
        QVERIFY(!main.windowIcon().isNull());

        frmDir& dir = forms::frmDir();
        QCOMPARE(dir.size(), QSize(px(7905), px(5955)));
        QVERIFY(!(dir.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(dir.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(dir.minimumSize(), dir.maximumSize());

        frmOptions& options = forms::frmOptions();
        QCOMPARE(options.windowTitle(), QStringLiteral("Quillomat Options"));
        QCOMPARE(options.size(), QSize(px(5805), px(4515)));
        QVERIFY(!(options.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!control<QRadioButton>(options, "opt1_0")->isChecked() &&
                !control<QRadioButton>(options, "opt1_1")->isChecked() &&
                !control<QRadioButton>(options, "opt1_2")->isChecked());

        frmAbout& about = forms::frmAbout();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quillomat"));
        QCOMPARE(about.size(), QSize(px(5730), px(3450)));
        QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(control<QPushButton>(about, "cmdOK")->isDefault());
        QVERIFY(!control<QLabel>(about, "lblVersion")->text().isEmpty());
        QVERIFY(!control<QLabel>(about, "lblDisclaimer")->text().isEmpty());
    }

    void hiddenOptionLabels() {
        frmMain& main = forms::frmMain();
        control<QLabel>(main, "lblPrefix")->setText(QStringLiteral("visible?"));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        for (QLabel* l : {control<QLabel>(main, "lblPrefix"), control<QLabel>(main, "lblSufix"),
                          control<QLabel>(main, "lblStartNumber"),
                          control<QLabel>(main, "lblLetteringPosition")}) {
            QVERIFY2(!l->isVisible(), qPrintable(l->objectName()));
        }
        main.hide();
    }

    void menu() {
        frmMain& main = forms::frmMain();
        QStringList bar;
        QStringList entries;
        for (QAction* top : main.menuBar()->actions()) {
            bar << top->text();
            QStringList items;
            for (QAction* a : top->menu()->actions()) {
                QVERIFY(!a->isSeparator());
                QVERIFY(!a->isCheckable());
                // The preview has Ctrl+P and follows Rename (disabled at start).
                const bool preview = a->objectName() == QLatin1String("mnuFilePreview");
                QCOMPARE(a->shortcut(),
                         preview ? QKeySequence(QStringLiteral("Ctrl+P")) : QKeySequence());
                QCOMPARE(a->isEnabled(), !preview);
                items << a->objectName() + QLatin1Char('=') + a->text();
            }
            entries << top->menu()->objectName() + QLatin1Char(':') + items.join(QLatin1Char(','));
        }
        QCOMPARE(bar, QStringList({QStringLiteral("&File"), QStringLiteral("&Options"),
                                   QStringLiteral("&Help")}));
        QCOMPARE(entries,
                 QStringList(
                     {QStringLiteral("MnuFile:mnuFilePreview=&Preview New Names,MnuFileExit=E&xit"),
                      QStringLiteral(
                          "mnuOptions:mnuClearOptions=&Clear "
                          "Options,mnuOptionsSetOptions=&Set Options,mnuOptionsNaming=&Naming..."),
                      QStringLiteral("mnuHelp:MnuHelpHelp=Help,MnuHelpAbout=About "
                                     "Quillomat")}));
    }

    // Focus starts on the control with the lowest tab position, and Tab
    // walks the rest in design order, passing over disabled buttons.
    void tabOrder_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("walk");
        QTest::newRow("frmMain, at start-up")
            << "frmMain"
            << QStringList{"txtFile", "txtMask", "txtExample", "Command3", "Picture1", "List1"};
        QTest::newRow("frmDir") << "frmDir"
                                << QStringList{"Drive1", "Dir1", "Command1", "Command2", "File1"};
        QTest::newRow("frmOptions")
            << "frmOptions" << QStringList{"cmdClearOptions", "txtPrefix",         "txtSufix",
                                           "cmdOk",           "txtStartingNumber", "opt1_0"};
        QTest::newRow("frmAbout") << "frmAbout" << QStringList{"cmdOK", "cmdSysInfo"};
    }

    void tabOrder() {
        QFETCH(QString, form);
        QFETCH(QStringList, walk);
        QWidget* window = windowFor(form);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->focusWidget()->objectName(), walk.first());
        QCOMPARE(tabWalk(window), walk);
        window->hide();
    }

    void mainTabOrderWithEveryButtonEnabled() {
        frmMain& main = forms::frmMain();
        for (QPushButton* b :
             {control<QPushButton>(main, "Command1"), control<QPushButton>(main, "Command2"),
              control<QPushButton>(main, "Command4")}) {
            b->setEnabled(true);
        }
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        control<KeepSelectionLineEdit>(main, "txtFile")->setFocus();
        QCOMPARE(tabWalk(&main),
                 QStringList({"txtFile", "txtMask", "Command1", "txtExample", "Command2",
                              "Command3", "Command4", "Picture1", "List1"}));
        main.hide();
    }
};

QTEST_MAIN(DesignsTest)
#include "test_designs.moc"
