// A directory named on the command line: the first Select opens there, as if
// "Dir" held it, and nothing is stored before OK.
#include <QtTest>

#include <QApplication>
#include <QDir>

#include "engine/AppState.h"
#include "engine/CommandLine.h"
#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"

class StartDirectoryTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;

    void click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }
    frmMain& main() { return forms::frmMain(); }
    void select() { click(control<QPushButton>(main(), "Command3")); }

    // What main() does with the command line.
    void start(const QString& directory) {
        const commandline::Request request =
            commandline::read({QStringLiteral("quillomat"), directory});
        QCOMPARE(int(request.action), int(commandline::Request::Action::Start));
        appState().chooserStartDirectory = request.directory;
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        main().show();
    }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        appState().chooserStartDirectory.clear();
        settings_.reset();
    }

    // Cancel keeps "Dir" as it was; the next Select opens at "Dir" again.
    void firstSelectOnlyAndNothingStored() {
        testing_support::TempFiles stored;
        testing_support::TempFiles named;
        named.createAll({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
        settings::write(settings::kDir, stored.path());
        start(named.path());

        select();
        QCOMPARE(forms::frmDir().Dir1Path(), named.path());
        QCOMPARE(forms::frmDir().File1ListCount(), 2);
        QCOMPARE(settings::read(settings::kDir), stored.path());
        click(control<QPushButton>(forms::frmDir(), "Command2"));  // Cancel

        select();
        QCOMPARE(forms::frmDir().Dir1Path(), stored.path());
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QCOMPARE(settings::read(settings::kDir), stored.path());
    }

    // OK stores the directory named on the command line, as for any other.
    void okStoresIt() {
        testing_support::TempFiles named;
        named.createAll({QStringLiteral("a.jpg")});
        start(named.path());
        select();
        click(control<QPushButton>(forms::frmDir(), "Command1"));
        QCOMPARE(settings::read(settings::kDir), named.path());
    }
};

QTEST_MAIN(StartDirectoryTest)
#include "test_start_directory.moc"
