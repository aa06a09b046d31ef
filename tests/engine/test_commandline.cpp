// The command line: what each form of it asks the program to do.
#include <QtTest>

#include <QDir>

#include "engine/CommandLine.h"
#include "engine/Version.h"
#include "tests/support/TestSupport.h"

using commandline::Request;
using Action = commandline::Request::Action;

class TestCommandLine : public QObject {
    Q_OBJECT

  private slots:
    void decisions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("textPart");  // the directory for Start, a piece of the text else
        const QString program = QStringLiteral("quillomat");
        QTest::newRow("nothing") << QStringList{program} << int(Action::Start) << QString();
        QTest::newRow("--help") << QStringList{program, "--help"} << int(Action::Help)
                                << "[DIRECTORY]";
        QTest::newRow("-h") << QStringList{program, "-h"} << int(Action::Help) << "--version";
        QTest::newRow("--version") << QStringList{program, "--version"} << int(Action::Version)
                                   << QStringLiteral("Quillomat %1\n").arg(version::kText);
        QTest::newRow("help wins over a bad directory")
            << QStringList{program, "/no/such/dir", "--help"} << int(Action::Help) << "Usage";
        QTest::newRow("root") << QStringList{program, "/"} << int(Action::Start) << "/";
        QTest::newRow("trailing separator and dots")
            << QStringList{program, "/usr/./share/../bin/"} << int(Action::Start) << "/usr/bin";
        QTest::newRow("missing directory")
            << QStringList{program, "/no/such/dir"} << int(Action::Fail)
            << "/no/such/dir: no such directory";
        QTest::newRow("a file, not a directory")
            << QStringList{program, "/etc/hostname"} << int(Action::Fail) << "no such directory";
        QTest::newRow("two directories")
            << QStringList{program, "/", "/usr"} << int(Action::Fail) << "one directory at most";
        QTest::newRow("unknown option")
            << QStringList{program, "--frobnicate"} << int(Action::Fail) << "frobnicate";
    }
    void decisions() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, textPart);
        const Request request = commandline::read(arguments);
        QCOMPARE(int(request.action), action);
        if (request.action == Action::Start) {
            QCOMPARE(request.directory, textPart);
            QVERIFY(request.text.isEmpty());
        } else {
            QVERIFY2(request.text.contains(textPart), qPrintable(request.text));
            QVERIFY(request.directory.isEmpty());
        }
        if (request.action == Action::Fail) {
            QVERIFY(request.text.startsWith(QStringLiteral("quillomat: ")));
            QVERIFY(request.text.contains(QStringLiteral("--help")));
        }
    }

    // A relative directory is taken from the working directory.
    void relativeDirectory() {
        testing_support::TempFiles dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("photos 2026")));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const Request request =
            commandline::read({QStringLiteral("quillomat"), QStringLiteral("photos 2026")});
        QDir::setCurrent(before);
        QCOMPARE(int(request.action), int(Action::Start));
        QCOMPARE(request.directory, dir.path() + QStringLiteral("/photos 2026"));
    }

    // The status a shell sees.
    void exitStatus() {
        QCOMPARE(commandline::answer(Request{Action::Version, QString(), QString()}), 0);
        QCOMPARE(commandline::answer(Request{Action::Help, QString(), QString()}), 0);
        QCOMPARE(commandline::answer(Request{Action::Fail, QString(), QString()}), 2);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
