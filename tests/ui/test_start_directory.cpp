// A directory named on the command line: the first Select opens there, as if
// "Dir" held it, and nothing is stored before OK.
#include <QtTest>

#include <QMimeData>

#include <QApplication>
#include <QDir>

#include "engine/AppState.h"
#include "engine/CommandLine.h"
#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/BoxAnswerer.h"
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

    // Drags `paths` over the main window and drops them, as a file manager
    // does; false when the window refuses them.
    bool drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls << QUrl::fromLocalFile(path);
        }
        data.setUrls(urls);
        const QPoint at = main().rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&main(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&main(), &dropped);
        return true;
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

    // FILE... (what a file manager passes): the files are the batch, as the
    // chooser's OK would make it: "Dir" stored, the list in the chooser's
    // order, the first the example, Set Mask and Extract on; Rename works in
    // their directory. Files that cannot be a batch (each kind is in
    // test_commandline) are named in a message box and the program starts
    // with nothing chosen.
    void startWithFiles_data() {
        QTest::addColumn<QStringList>("named");  // in the test's directory; "sub/" another
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("dropped");  // dropped on the main window from a file manager
        for (const bool dropped : {false, true}) {
            const char* how = dropped ? "dropped" : "named";
            QTest::addRow("%s, in the chooser's order", how)
                << QStringList{"img10.jpg", "img2.jpg", ".cover.jpg"}
                << QStringList{".cover.jpg", "img2.jpg", "img10.jpg"} << QString() << dropped;
            QTest::addRow("%s, a folder", how) << QStringList{"img2.jpg", "sub"} << QStringList{}
                                               << "sub is not a regular file." << dropped;
            QTest::addRow("%s, two directories", how) << QStringList{"img2.jpg", "sub/img3.jpg"}
                                                      << QStringList{} << "directory" << dropped;
        }
    }
    void startWithFiles() {
        QFETCH(QStringList, named);
        QFETCH(QStringList, listed);
        QFETCH(QString, message);
        testing_support::TempFiles dir;
        dir.createAll({"img10.jpg", "img2.jpg", ".cover.jpg"});
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        dir.create("sub/img3.jpg");
        QStringList arguments{"quillomat"};
        for (const QString& name : named) {
            arguments << dir.filePath(name);
        }
        QFETCH(bool, dropped);
        BoxAnswerer answerer({pressEnter});
        if (dropped) {
            QVERIFY(drop(arguments.mid(1)));
        } else {
            main().takeCommandLine(commandline::read(arguments));
        }

        QCOMPARE(answerer.shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY2(answerer.shown.first().text.contains(message),
                     qPrintable(answerer.shown.first().text));
            // A refused drop leaves the running program's list as it was.
            QCOMPARE(answerer.shown.first().informative.contains("starts without files"), !dropped);
        }
        QListWidget* list = control<QListWidget>(main(), "List1");
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            shown << list->item(i)->text();
        }
        QCOMPARE(shown, listed);
        QCOMPARE(control<KeepSelectionLineEdit>(main(), "txtFile")->text(), listed.value(0));
        QCOMPARE(control<QPushButton>(main(), "Command1")->isEnabled(), !listed.isEmpty());
        QCOMPARE(settings::read(settings::kDir, "<unset>"),
                 listed.isEmpty() ? QString("<unset>") : dir.path());
        if (!listed.isEmpty()) {
            click(control<QPushButton>(main(), "Command1"));  // Extract, no mask
            click(control<QPushButton>(main(), "Command4"));  // Rename
            QCOMPARE(dir.names(), (QStringList{"0001.jpg", "0002.jpg", "0003.jpg"}));
            click(control<QPushButton>(forms::frmDir(), "Command1"));  // Accept
        }
    }

    // While a review is open its batch stays: dropped files are refused.
    void dropRefusedDuringReview() {
        testing_support::TempFiles dir;
        dir.createAll({"a.jpg", "b.jpg"});
        main().takeCommandLine(commandline::read({"quillomat", dir.filePath("a.jpg")}));
        click(control<QPushButton>(main(), "Command1"));  // Extract, no mask
        click(control<QPushButton>(main(), "Command4"));  // Rename
        QVERIFY(!drop({dir.filePath("b.jpg")}));
        QCOMPARE(control<QListWidget>(main(), "List1")->count(), 0);
        click(control<QPushButton>(forms::frmDir(), "Command1"));  // Accept
    }
};

QTEST_MAIN(StartDirectoryTest)
#include "test_start_directory.moc"
