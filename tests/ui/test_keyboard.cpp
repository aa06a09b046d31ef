// The windows by keyboard alone: Enter on the main window's buttons, a
// highlight in the example name that survives Tab, and Tab into the lettering
// group of the options dialog.
#include <QtTest>

#include <QAction>
#include <QApplication>

#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

namespace {

const char* const kMainButtons[] = {"Command3", "Command2", "Command1", "Command4"};

// Presses `key` (with `modifiers`) on whatever has the focus in `window`.
void press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = window.focusWidget() != nullptr ? window.focusWidget() : &window;
    QTest::keyClick(target, key, modifiers);
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;

    frmMain& activeMain() {
        frmMain& main = forms::frmMain();
        main.show();
        main.activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(&main)); }();
        return main;
    }

  private slots:
    void init() { settings_ = std::make_unique<testing_support::ScopedSettings>(); }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settings_.reset();
    }

    // Alt and a letter press each step button while it is enabled, nothing
    // while it is not.
    void accessKeysPressTheSteps_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::newRow("Select") << "Command3" << int(Qt::Key_S);
        QTest::newRow("Set Mask") << "Command2" << int(Qt::Key_M);
        QTest::newRow("Extract") << "Command1" << int(Qt::Key_E);
        QTest::newRow("Rename") << "Command4" << int(Qt::Key_R);
    }
    void accessKeysPressTheSteps() {
        QFETCH(QString, button);
        QFETCH(int, key);
        frmMain& main = activeMain();
        QPushButton* step = control<QPushButton>(main, qPrintable(button));
        // What the step does is for other tests (Select would open a window).
        QObject::disconnect(step, &QPushButton::clicked, nullptr, nullptr);
        QSignalSpy pressed(step, &QPushButton::clicked);
        for (const bool enabled : {false, true}) {
            step->setEnabled(enabled);
            press(main, Qt::Key(key), Qt::AltModifier);
            QCOMPARE(pressed.count(), enabled ? 1 : 0);
        }
    }

    // Enter and keypad Enter press the focused button, as Space does; Enter
    // in a text box presses none of them.
    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("pressed");  // "" for none
        for (const char* button : kMainButtons) {
            const QString name = QString::fromLatin1(button);
            QTest::addRow("Enter on %s", button) << name << int(Qt::Key_Return) << name;
            QTest::addRow("keypad Enter on %s", button) << name << int(Qt::Key_Enter) << name;
        }
        QTest::newRow("Enter in txtFile") << "txtFile" << int(Qt::Key_Return) << "";
        QTest::newRow("keypad Enter in txtMask") << "txtMask" << int(Qt::Key_Enter) << "";
        QTest::newRow("Enter in txtExample") << "txtExample" << int(Qt::Key_Return) << "";
    }

    void enterPressesTheFocusedButton() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, pressed);
        testing_support::TempFiles dir;
        dir.createAll({"x1.txt", "x2.txt"});
        settings::write(settings::kDir, dir.path());
        frmMain& main = activeMain();
        main.takeChosenFiles({QStringLiteral("x1.txt"), QStringLiteral("x2.txt")});
        main.enableSteps(true, true, true);

        QHash<QString, int> clicks;
        for (const char* name : kMainButtons) {
            connect(control<QPushButton>(main, name), &QPushButton::clicked, this,
                    [&clicks, name] { ++clicks[QString::fromLatin1(name)]; });
        }
        QWidget* target = main.findChild<QWidget*>(focus);
        QVERIFY(target != nullptr);
        target->setFocus(Qt::TabFocusReason);
        const Qt::KeyboardModifiers keypad =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        press(main, Qt::Key(key), keypad);

        for (const char* name : kMainButtons) {
            const QString button = QString::fromLatin1(name);
            QCOMPARE(clicks.value(button), button == pressed ? 1 : 0);
            // Never a default button: it only takes Enter while it has the focus.
            QVERIFY(!control<QPushButton>(main, name)->isDefault() ||
                    control<QPushButton>(main, name)->hasFocus());
        }
        if (pressed == QLatin1String("Command3")) {
            QVERIFY(forms::isLoaded(forms::Form::Dir));
            QVERIFY(forms::frmDir().isVisible());  // Select opened the chooser
        }
    }

    // A highlight in the example name survives the focus leaving by Tab and
    // coming back by Tab; Set Mask, clicked, takes exactly the highlight.
    void highlightSurvivesTab_data() {
        QTest::addColumn<QString>("highlight");  // "start-length", or "" for none
        QTest::addColumn<bool>("rightToLeft");   // made with Shift+Left from its end
        QTest::addColumn<QString>("way");        // "Tab round", "Shift+Tab and back"
        QTest::addColumn<QString>("mask");
        for (const char* way : {"Tab round", "Shift+Tab and back"}) {
            QTest::addRow("name part, %s", way) << "0-7" << false << way << "holiday";
            QTest::addRow("extension made right to left, %s", way)
                << "7-4" << true << way << ".jpg";
            QTest::addRow("no highlight, %s", way) << "" << false << way << "";
        }
    }

    void highlightSurvivesTab() {
        QFETCH(QString, highlight);
        QFETCH(bool, rightToLeft);
        QFETCH(QString, way);
        QFETCH(QString, mask);
        frmMain& main = activeMain();
        main.takeChosenFiles({QStringLiteral("holiday.jpg")});
        auto* txtFile = control<KeepSelectionLineEdit>(main, "txtFile");
        QTest::mouseClick(txtFile, Qt::LeftButton, {}, txtFile->rect().center());
        QVERIFY(txtFile->hasFocus());
        int start = 0;
        int length = 0;
        if (!highlight.isEmpty()) {
            start = highlight.section(QLatin1Char('-'), 0, 0).toInt();
            length = highlight.section(QLatin1Char('-'), 1, 1).toInt();
            if (rightToLeft) {
                QTest::keyClick(txtFile, Qt::Key_End);
                for (int i = 0; i < length; ++i) {
                    QTest::keyClick(txtFile, Qt::Key_Left, Qt::ShiftModifier);
                }
            } else {
                QTest::keyClick(txtFile, Qt::Key_Home);
                for (int i = 0; i < start; ++i) {
                    QTest::keyClick(txtFile, Qt::Key_Right);
                }
                for (int i = 0; i < length; ++i) {
                    QTest::keyClick(txtFile, Qt::Key_Right, Qt::ShiftModifier);
                }
            }
        } else {
            QTest::keyClick(txtFile, Qt::Key_Home);
            QTest::keyClick(txtFile, Qt::Key_Right);
        }
        QCOMPARE(txtFile->selectedText(), mask);

        if (way == QLatin1String("Tab round")) {
            int steps = 0;
            do {
                press(main, Qt::Key_Tab);
            } while (!txtFile->hasFocus() && ++steps < 20);
            QVERIFY(steps > 2);  // it went round the window's other controls
        } else {
            press(main, Qt::Key_Tab, Qt::ShiftModifier);
            QVERIFY(!txtFile->hasFocus());
            press(main, Qt::Key_Tab);
        }
        QVERIFY(txtFile->hasFocus());
        // The highlight is back on screen; without one, nothing is highlighted.
        QCOMPARE(txtFile->selectedText(), mask);
        if (!highlight.isEmpty()) {
            QCOMPARE(txtFile->selectionStart(), start);
            // Shift+arrow goes on from the end the cursor was at.
            QTest::keyClick(txtFile, Qt::Key_Left, Qt::ShiftModifier);
            const QString extended = rightToLeft ? QStringLiteral("y.jpg") : mask.chopped(1);
            QCOMPARE(txtFile->selectedText(), extended);
            mask = extended;
        } else {
            QCOMPARE(txtFile->cursorPosition(), 1);
        }

        QPushButton* setMask = control<QPushButton>(main, "Command2");
        QTest::mouseClick(setMask, Qt::LeftButton, {}, setMask->rect().center());
        QCOMPARE(control<QLineEdit>(main, "txtMask")->text(), mask);
    }

    // Tab into the lettering group lands on the selected option, whether
    // Set Options selected it or the user did.
    void tabLandsOnTheSelectedLettering_data() {
        QTest::addColumn<QString>("stored");   // the lettering position label
        QTest::addColumn<QString>("clicked");  // an option clicked before, or ""
        QTest::addColumn<QString>("expected");
        QTest::newRow("None") << "0"
                              << ""
                              << "opt1_0";
        QTest::newRow("First") << "1"
                               << ""
                               << "opt1_1";
        QTest::newRow("Last") << "2"
                              << ""
                              << "opt1_2";
        QTest::newRow("no option selected") << "7"
                                            << ""
                                            << "opt1_0";
        QTest::newRow("Last, then First clicked") << "2"
                                                  << "opt1_1"
                                                  << "opt1_1";
        QTest::newRow("Clear Options") << "2"
                                       << "cmdClearOptions"
                                       << "opt1_0";
    }

    void tabLandsOnTheSelectedLettering() {
        QFETCH(QString, stored);
        QFETCH(QString, clicked);
        QFETCH(QString, expected);
        frmMain& main = activeMain();
        main.setNamingLabels({QString(), QString(), QString(), stored});
        main.findChild<QAction*>(QStringLiteral("mnuOptionsSetOptions"))->trigger();
        frmOptions& options = forms::frmOptions();
        options.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&options));
        if (!clicked.isEmpty()) {
            QWidget* w = options.findChild<QWidget*>(clicked);
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
        }

        // Forwards from the starting number, the control before the group.
        control<QLineEdit>(options, "txtStartingNumber")->setFocus(Qt::TabFocusReason);
        press(options, Qt::Key_Tab);
        QCOMPARE(options.focusWidget()->objectName(), expected);
        // On out of the group to the first control, and backwards into it.
        press(options, Qt::Key_Tab);
        QCOMPARE(options.focusWidget()->objectName(), QStringLiteral("cmdClearOptions"));
        press(options, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(options.focusWidget()->objectName(), expected);
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
