// The main window's menu: Exit, Clear Options, Set Options, Help and About.
#include <QtTest>

#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>

#include "engine/AppState.h"
#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/HelpWindow.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

namespace {

void setLabels(const QStringList& values) {
    forms::frmMain().setNamingLabels(NamingOptions{values[0], values[1], values[2], values[3]});
}

QStringList labels() {
    const NamingOptions o = forms::frmMain().namingLabels();
    return {o.prefix, o.suffix, o.startingNumber, o.letteringPosition};
}

QStringList stored() {
    const QString unset = QStringLiteral("<unset>");
    return {settings::read(settings::kPrefix, unset), settings::read(settings::kSufix, unset),
            settings::read(settings::kStartingNumber, unset),
            settings::read(settings::kLetteringPosition, unset)};
}

// Which option buttons of the dialog are selected, as "0", "1", "2" or "".
QString selectedOptions(const frmOptions& options) {
    QString selected;
    const QRadioButton* const opt1[] = {control<QRadioButton>(options, "opt1_0"),
                                        control<QRadioButton>(options, "opt1_1"),
                                        control<QRadioButton>(options, "opt1_2")};
    for (int i = 0; i < 3; ++i) {
        if (opt1[i]->isChecked()) {
            selected += QString::number(i);
        }
    }
    return selected;
}

int windowsOfClass(const char* className) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return static_cast<int>(std::count_if(windows.cbegin(), windows.cend(), [&](QWidget* w) {
        return w->inherits(className) && w->isVisible();
    }));
}

// Receives what would have gone to the desktop's help viewer.
class ViewerSpy : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

}  // namespace

class MenuTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;

    frmMain& shownMain() {
        frmMain& main = forms::frmMain();
        main.show();
        return main;
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        forms::unload(forms::Form::Main);
    }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QTest::qWait(0);
        settings_.reset();
    }

    void clearOptions() {
        frmMain& main = shownMain();
        settings::write(settings::kPrefix, QStringLiteral("p"));
        settings::write(settings::kSufix, QStringLiteral("s"));
        settings::write(settings::kStartingNumber, QStringLiteral("5"));
        settings::write(settings::kLetteringPosition, QStringLiteral("2"));
        setLabels({"p", "s", "5", "2"});
        // An open dialog is not touched.
        main.mnuOptionsSetOptions_Click();
        frmOptions& options = forms::frmOptions();

        control<QAction>(main, "mnuClearOptions")->trigger();

        const QStringList cleared{"", "", "", "0"};
        QCOMPARE(stored(), cleared);
        QCOMPARE(labels(), cleared);
        QCOMPARE(control<QLineEdit>(options, "txtPrefix")->text(), QStringLiteral("p"));
        QCOMPARE(control<QLineEdit>(options, "txtStartingNumber")->text(), QStringLiteral("5"));
        QCOMPARE(selectedOptions(options), QStringLiteral("2"));
        QVERIFY(options.isVisible());
    }

    void clearOptionsThenSetOptions() {
        frmMain& main = shownMain();
        setLabels({"a", "b", "12", "1"});
        control<QAction>(main, "mnuClearOptions")->trigger();
        control<QAction>(main, "mnuOptionsSetOptions")->trigger();
        frmOptions& options = forms::frmOptions();
        QVERIFY(options.isVisible());
        QVERIFY(control<QLineEdit>(options, "txtPrefix")->text().isEmpty());
        QVERIFY(control<QLineEdit>(options, "txtSufix")->text().isEmpty());
        QVERIFY(control<QLineEdit>(options, "txtStartingNumber")->text().isEmpty());
        QCOMPARE(selectedOptions(options), QStringLiteral("0"));
    }

    void setOptions_data() {
        QTest::addColumn<QString>("position");  // caption of lblLetteringPosition
        QTest::addColumn<QString>("selected");
        QTest::newRow("0: None") << "0"
                                 << "0";
        QTest::newRow("1: First") << "1"
                                  << "1";
        QTest::newRow("2: Last") << "2"
                                 << "2";
        QTest::newRow("3") << "3"
                           << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("1.0") << "1.0"
                             << "";
        QTest::newRow(" 1") << " 1"
                            << "";
        QTest::newRow("First") << "First"
                               << "";
    }

    // The dialog is filled from the main window's labels, not from the store,
    // and is shown without blocking the main window.
    void setOptions() {
        QFETCH(QString, position);
        QFETCH(QString, selected);
        frmMain& main = shownMain();
        settings::write(settings::kPrefix, QStringLiteral("stored"));
        setLabels({"Pic/", "_x", "0042", position});
        control<QAction>(main, "mnuOptionsSetOptions")->trigger();

        QVERIFY(forms::isLoaded(forms::Form::Options));
        frmOptions& options = forms::frmOptions();
        QVERIFY(options.isVisible());
        QVERIFY(!options.isModal());
        QCOMPARE(control<QLineEdit>(options, "txtPrefix")->text(),
                 QStringLiteral("Pic/"));  // shown as it is held
        QCOMPARE(control<QLineEdit>(options, "txtSufix")->text(), QStringLiteral("_x"));
        QCOMPARE(control<QLineEdit>(options, "txtStartingNumber")->text(), QStringLiteral("0042"));
        QCOMPARE(selectedOptions(options), selected);
        QVERIFY(main.isEnabled());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // A second Set Options re-fills the open dialog; a caption that is no
    // position leaves the option buttons as they are.
    void setOptionsAgain() {
        frmMain& main = shownMain();
        setLabels({"one", "", "", "1"});
        control<QAction>(main, "mnuOptionsSetOptions")->trigger();
        frmOptions* first = &forms::frmOptions();
        control<QLineEdit>(*first, "txtSufix")->setText(QStringLiteral("typed"));

        setLabels({"two", "", "7", "x"});
        control<QAction>(main, "mnuOptionsSetOptions")->trigger();
        QCOMPARE(&forms::frmOptions(), first);
        QCOMPARE(windowsOfClass("frmOptions"), 1);
        QCOMPARE(control<QLineEdit>(*first, "txtPrefix")->text(), QStringLiteral("two"));
        QCOMPARE(control<QLineEdit>(*first, "txtSufix")->text(), QString());
        QCOMPARE(control<QLineEdit>(*first, "txtStartingNumber")->text(), QStringLiteral("7"));
        QCOMPARE(selectedOptions(*first), QStringLiteral("1"));

        setLabels({"two", "", "7", "2"});
        control<QAction>(main, "mnuOptionsSetOptions")->trigger();
        QCOMPARE(selectedOptions(*first), QStringLiteral("2"));
    }

    // Set Options, Ok: what the dialog held goes to the store and the labels;
    // the next Set Options starts from a fresh dialog.
    void setOptionsThenOk() {
        frmMain& main = shownMain();
        setLabels({"a", "b", "3", "2"});
        control<QAction>(main, "mnuOptionsSetOptions")->trigger();
        QPointer<frmOptions> dialog(&forms::frmOptions());
        QTest::keyClicks(control<QLineEdit>(*dialog, "txtPrefix"), "Z");
        QTest::mouseClick(control<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);
        QCOMPARE(stored(), QStringList({"aZ", "b", "3", "2"}));
        QCOMPARE(labels(), QStringList({"aZ", "b", "3", "2"}));
        QTRY_VERIFY(dialog.isNull());
        control<QAction>(main, "mnuOptionsSetOptions")->trigger();
        QCOMPARE(control<QLineEdit>(forms::frmOptions(), "txtPrefix")->text(),
                 QStringLiteral("aZ"));
    }

    void help_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Help > Help") << "menu";
        QTest::newRow("F1 in the main window") << "F1 main";
        QTest::newRow("F1 in the chooser") << "F1 chooser";
    }

    // Help and F1 open the guide built into the program in a window of its
    // own, one at a time; no desktop viewer is asked. Esc closes it.
    void help() {
        QFETCH(QString, how);
        frmMain& main = shownMain();
        ViewerSpy viewer;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "open");
        const auto ask = [&] {
            if (how == QLatin1String("menu")) {
                control<QAction>(main, "MnuHelpHelp")->trigger();
            } else if (how == QLatin1String("F1 main")) {
                main.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&main));
                QTest::keyClick(control<KeepSelectionLineEdit>(main, "txtFile"), Qt::Key_F1);
            } else {
                control<QPushButton>(main, "Command3")->click();
                QVERIFY(QTest::qWaitForWindowActive(&forms::frmDir()));
                QTest::keyClick(control<QListView>(forms::frmDir(), "File1"), Qt::Key_F1);
            }
        };
        ask();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QVERIFY(viewer.opened.isEmpty());
        QVERIFY(forms::isLoaded(forms::Form::Help));
        QWidget* window = &forms::helpWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillomat Help"));
        const QString guide = control<QTextBrowser>(*window, "browser")->toPlainText();
        for (const char* section :
             {"The steps of a batch", "The kinds of mask", "Names that are taken",
              "The review: Accept or Undo", "Preview New Names", "The question at start-up",
              "The settings file", "The command line"}) {
            QVERIFY2(guide.count(QString::fromLatin1(section)) >= 2, section);  // contents too
        }
        ask();
        QCOMPARE(&forms::helpWindow(), window);
        QVERIFY(QTest::qWaitForWindowActive(window));  // back in front

        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!forms::isLoaded(forms::Form::Help));
        QVERIFY(!window->isVisible());
    }

    void about() {
        frmMain& main = shownMain();
        control<QAction>(main, "MnuHelpAbout")->trigger();
        QVERIFY(forms::isLoaded(forms::Form::About));
        frmAbout* box = &forms::frmAbout();
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        control<QAction>(main, "MnuHelpAbout")->trigger();
        QCOMPARE(&forms::frmAbout(), box);
        QCOMPARE(windowsOfClass("frmAbout"), 1);
    }

    // Exit ends the program: whatever else is open goes with the main window,
    // so nothing is left loaded or on screen. Runs last: it quits the
    // application.
    void exitWithDialogsOpen_data() {
        QTest::addColumn<QStringList>("open");
        QTest::newRow("options dialog") << QStringList{"options"};
        QTest::newRow("chooser") << QStringList{"chooser"};
        QTest::newRow("about box") << QStringList{"about"};
        QTest::newRow("all three") << QStringList{"options", "chooser", "about"};
    }

    void exitWithDialogsOpen() {
        QFETCH(QStringList, open);
        frmMain& main = shownMain();
        QPointer<frmMain> mainWindow(&main);
        if (open.contains(QLatin1String("options"))) {
            control<QAction>(main, "mnuOptionsSetOptions")->trigger();
        }
        if (open.contains(QLatin1String("chooser"))) {
            forms::frmDir().show();
        }
        if (open.contains(QLatin1String("about"))) {
            control<QAction>(main, "MnuHelpAbout")->trigger();
        }
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);

        control<QAction>(main, "MnuFileExit")->trigger();

        for (auto form :
             {forms::Form::Main, forms::Form::Dir, forms::Form::Options, forms::Form::About}) {
            QVERIFY(!forms::isLoaded(form));
        }
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.cbegin(), windows.cend(),
                             [](QWidget* w) { return w->isVisible(); }));
        QTRY_VERIFY(mainWindow.isNull());
        QTRY_COMPARE(windowsOfClass("QWidget"), 0);
    }
};

QTEST_MAIN(MenuTest)
#include "test_menu.moc"
