// Start-up of the main window and the lifecycle of the program's windows.
#include <QtTest>

#include <QDir>
#include <QSettings>

#include "engine/AppState.h"
#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

class StartupTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;

    frmMain& freshMain() {
        forms::unload(forms::Form::Main);
        return forms::frmMain();
    }

  private slots:
    void init() { settings_ = std::make_unique<testing_support::ScopedSettings>(); }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        settings_.reset();
    }

    void onlySelectIsEnabled() {
        frmMain& main = freshMain();
        QVERIFY(control<QPushButton>(main, "Command3")->isEnabled());
        QVERIFY(!control<QPushButton>(main, "Command2")->isEnabled());
        QVERIFY(!control<QPushButton>(main, "Command1")->isEnabled());
        QVERIFY(!control<QPushButton>(main, "Command4")->isEnabled());
        QCOMPARE(control<QListWidget>(main, "List1")->count(), 0);
        QVERIFY(control<KeepSelectionLineEdit>(main, "txtFile")->text().isEmpty());
        QVERIFY(control<QLineEdit>(main, "txtMask")->text().isEmpty());
        QVERIFY(control<QLineEdit>(main, "txtExample")->text().isEmpty());
    }

    void optionLabels_data() {
        QTest::addColumn<QStringList>("stored");  // Prefix, Sufix, StartingNumber, Lettering
        QTest::addColumn<QStringList>("shown");
        const QString unset = QStringLiteral("<unset>");
        QTest::newRow("first run")
            << QStringList{unset, unset, unset, unset} << QStringList{"", "", "", "0"};
        QTest::newRow("stored values")
            << QStringList{"Pic", "x", "12", "2"} << QStringList{"Pic", "x", "12", "2"};
        QTest::newRow("empty lettering position")
            << QStringList{"a", "", "", ""} << QStringList{"a", "", "", "0"};
        QTest::newRow("odd text shown unchanged")
            << QStringList{" p ", "s", "007", "7"} << QStringList{" p ", "s", "007", "7"};
    }

    void optionLabels() {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, shown);
        const QStringList keys{settings::kPrefix, settings::kSufix, settings::kStartingNumber,
                               settings::kLetteringPosition};
        for (int i = 0; i < keys.size(); ++i) {
            if (stored[i] != QLatin1String("<unset>")) {
                settings::write(keys[i], stored[i]);
            }
        }
        frmMain& main = freshMain();
        QCOMPARE(QStringList({control<QLabel>(main, "lblPrefix")->text(),
                              control<QLabel>(main, "lblSufix")->text(),
                              control<QLabel>(main, "lblStartNumber")->text(),
                              control<QLabel>(main, "lblLetteringPosition")->text()}),
                 shown);
    }

    void settingsFileLayout() {
        settings::write(settings::kSufix, QStringLiteral("-end"));
        const QString file = settings_->configDir() + QStringLiteral("/Quillomat.conf");
        QVERIFY(QFile::exists(file));
        QSettings ini(file, QSettings::IniFormat);
        QCOMPARE(ini.childGroups(), QStringList{"Defaults"});
        QCOMPARE(ini.value("Defaults/Sufix").toString(), QStringLiteral("-end"));
        QCOMPARE(settings::read(settings::kDir, QStringLiteral("/")), QStringLiteral("/"));
    }

    void unusableStoreIsHarmless() {
        // The store's path is taken by a directory: nothing can be read or written.
        QVERIFY(QDir(settings_->configDir()).mkpath(QStringLiteral("Quillomat.conf")));
        const platform::Status saved = settings::write(settings::kPrefix, QStringLiteral("kept"));
        QVERIFY(!saved.ok());
        // The value that could not be saved stays in use for the run; the
        // others keep their defaults.
        QCOMPARE(settings::read(settings::kPrefix, QStringLiteral("default")),
                 QStringLiteral("kept"));
        QCOMPARE(settings::read(settings::kSufix, QStringLiteral("default")),
                 QStringLiteral("default"));
        frmMain& main = freshMain();
        QCOMPARE(control<QLabel>(main, "lblPrefix")->text(), QStringLiteral("kept"));
        QCOMPARE(control<QLabel>(main, "lblLetteringPosition")->text(), QStringLiteral("0"));
    }

    // A window touched after its unload comes back fresh from its design,
    // through its Form_Load.
    void unloadedWindowComesBackFromItsDesign() {
        frmOptions* first = &forms::frmOptions();
        control<QLineEdit>(*first, "txtPrefix")->setText(QStringLiteral("changed"));
        control<QRadioButton>(*first, "opt1_2")->setChecked(true);
        first->move(0, 0);
        forms::unload(forms::Form::Options);
        QVERIFY(!forms::isLoaded(forms::Form::Options));
        QVERIFY(first->isHidden());

        frmOptions& second = forms::frmOptions();
        QVERIFY(&second != first || control<QLineEdit>(second, "txtPrefix")->text().isEmpty());
        QCOMPARE(control<QLineEdit>(second, "txtPrefix")->text(), QString());
        QVERIFY(!control<QRadioButton>(second, "opt1_2")->isChecked());
        QVERIFY(second.pos() != QPoint(0, 0));  // centred again by its Form_Load

        frmDir& dir = forms::frmDir();
        control<QPushButton>(dir, "Command1")->setText(QStringLiteral("Accept"));
        forms::unload(forms::Form::Dir);
        QCOMPARE(control<QPushButton>(forms::frmDir(), "Command1")->text(), QStringLiteral("&OK"));

        frmMain& main = freshMain();
        control<QPushButton>(main, "Command4")->setEnabled(true);
        forms::unload(forms::Form::Main);
        QVERIFY(!control<QPushButton>(forms::frmMain(), "Command4")->isEnabled());
    }

    void closingTheMainWindowClosesEveryWindow() {
        frmMain& main = freshMain();
        main.show();
        forms::frmOptions().show();
        forms::frmDir().show();
        forms::frmAbout().show();
        QVERIFY(QTest::qWaitForWindowExposed(&forms::frmAbout()));
        QVERIFY(main.close());
        for (auto form :
             {forms::Form::Main, forms::Form::Dir, forms::Form::Options, forms::Form::About}) {
            QVERIFY(!forms::isLoaded(form));
        }
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.cbegin(), windows.cend(),
                             [](QWidget* w) { return w->isVisible(); }));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
