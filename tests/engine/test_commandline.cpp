// The command line: what each form of it asks the program to do.
#include <QtTest>

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/CommandLine.h"
#include "engine/Version.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

using commandline::Request;
using Action = commandline::Request::Action;

class TestCommandLine : public QObject {
    Q_OBJECT

  private slots:
    void decisions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("textPart");  // a piece of the text; empty: no text
        const QString program = QStringLiteral("quillomat");
        QTest::newRow("nothing") << QStringList{program} << int(Action::Start) << QString()
                                 << QString();
        QTest::newRow("--help, by the program's name")
            << QStringList{program, "--help"} << int(Action::Help) << QString()
            << "Usage: quillomat [options] [DIRECTORY | FILE...]";
        QTest::newRow("-h") << QStringList{program, "-h"} << int(Action::Help) << QString()
                            << "--version";
        QTest::newRow("--version")
            << QStringList{program, "--version"} << int(Action::Version) << QString()
            << QStringLiteral("Quillomat %1\n").arg(version::kText);
        QTest::newRow("help wins over a bad directory")
            << QStringList{program, "/no/such/dir", "--help"} << int(Action::Help) << QString()
            << "Usage";
        QTest::newRow("root") << QStringList{program, "/"} << int(Action::Start) << "/"
                              << QString();
        QTest::newRow("trailing separator and dots")
            << QStringList{program, "/usr/./share/../bin/"} << int(Action::Start) << "/usr/bin"
            << QString();
        QTest::newRow("missing directory")
            << QStringList{program, "/no/such/dir"} << int(Action::Fail) << QString()
            << "/no/such/dir: no such file or directory";
        QTest::newRow("a file: its directory")
            << QStringList{program, "/etc/hostname"} << int(Action::Start) << "/etc" << QString();
        QTest::newRow("two directories: no files, and why")
            << QStringList{program, "/", "/usr"} << int(Action::Start) << QString()
            << "/ is not a regular file.";
        // An unknown option is named as it was typed, without a value it was given.
        const auto unknown = [&program](const char* name, const QStringList& options,
                                        const QString& text) {
            QTest::newRow(name) << (QStringList{program} + options) << int(Action::Fail)
                                << QString() << text;
        };
        unknown("unknown long option", {"--frobnicate"}, "Unknown option '--frobnicate'.");
        unknown("with a value", {"--bogus=3"}, "Unknown option '--bogus'.");
        unknown("short", {"-x"}, "Unknown option '-x'.");
        unknown("long of one letter", {"--x"}, "Unknown option '--x'.");
        unknown("among known short ones", {"-hxy"}, "Unknown options: -x, -y.");
        unknown("two", {"--a", "/", "-b"}, "Unknown options: --a, -b.");
        unknown("a name after -- is none", {"-a", "--", "--a"}, "Unknown option '-a'.");
        // Names that would drive the terminal are shown quoted, controls escaped.
        unknown("terminal controls in an option", {"--\x1b[2J"},
                "Unknown option ''--'$'\\033''[2J''.");
        QTest::newRow("terminal controls in a name")
            << QStringList{program, "/no/a\x1b]0;x\a.txt"} << int(Action::Fail) << QString()
            << "'/no/a'$'\\033'']0;x'$'\\a''.txt': no such file or directory";
        QTest::newRow("a C1 control, a byte not UTF-8 and a quote")
            << QStringList{program, QString::fromUtf8("/no/it's\u009b") + QChar(0xDCFF)}
            << int(Action::Fail) << QString() << "'/no/it'\\''s'$'\\302\\233'$'\\377': no such";
    }
    void decisions() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, directory);
        QFETCH(QString, textPart);
        const Request request = commandline::read(arguments);
        QCOMPARE(int(request.action), action);
        QCOMPARE(request.directory, directory);
        QVERIFY2(request.text.contains(textPart), qPrintable(request.text));
        QCOMPARE(request.text.isEmpty(), textPart.isEmpty());
        // Nothing a terminal acts on but line breaks.
        for (const QChar c : request.text) {
            QVERIFY2(c == u'\n' || (c >= u' ' && (c < u'\x7f' || c > u'\x9f')),
                     qPrintable(request.text));
        }
        if (request.action == Action::Fail) {
            QVERIFY(request.text.startsWith(QStringLiteral("quillomat: ")));
            QVERIFY(request.text.contains(QStringLiteral("--help")));
        }
    }

    // FILE...: the files of one directory by bare name, each once and in the
    // order given; anything else names the first name that cannot be a batch.
    void filesNamed_data() {
        QTest::addColumn<QStringList>("named");  // relative to a directory with a/ and b/
        QTest::addColumn<QStringList>("files");  // expected bare names; empty: refused
        QTest::addColumn<QString>("why");
        QTest::newRow("one file") << QStringList{"a/x.txt"} << QStringList{"x.txt"} << QString();
        QTest::newRow("several, once each") << QStringList{"a/y.txt", "a/x.txt", "a/y.txt"}
                                            << QStringList{"y.txt", "x.txt"} << QString();
        QTest::newRow("a name that is not UTF-8") << QStringList{"a/x.txt", "a/<FF>.txt"}
                                                  << QStringList{"x.txt", "<FF>.txt"} << QString();
        QTest::newRow("two directories")
            << QStringList{"a/x.txt", "b/z.txt"} << QStringList{} << "more than one directory";
        QTest::newRow("a directory among them")
            << QStringList{"a/x.txt", "b"} << QStringList{} << "b is not a regular file.";
        QTest::newRow("a missing one") << QStringList{"a/x.txt", "a/gone.txt"} << QStringList{}
                                       << "a/gone.txt is not a regular file.";
        QTest::newRow("a FIFO") << QStringList{"a/fifo"} << QStringList{}
                                << "a/fifo is not a regular file.";
    }
    void filesNamed() {
        QFETCH(QStringList, named);
        QFETCH(QStringList, files);
        QFETCH(QString, why);
        // "<FF>" in a row stands for the byte 0xFF, decoded as file names are.
        const auto bytes = [](QStringList list) {
            list.replaceInStrings("<FF>", platform::decodeFileName(QByteArray("\xFF")));
            return list;
        };
        testing_support::TempFiles dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("b")));
        for (const char* name : {"a/x.txt", "a/y.txt", "b/z.txt"}) {
            dir.create(QString::fromLatin1(name));
        }
        const QByteArray a = dir.path().toLocal8Bit() + "/a/";
        QVERIFY(::close(::creat(a + "\xFF.txt", 0644)) == 0);
        QVERIFY(::mkfifo(a + "fifo", 0644) == 0);
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const Request request = commandline::read(QStringList{"quillomat"} + bytes(named));
        QDir::setCurrent(before);

        QCOMPARE(int(request.action), int(Action::Start));
        QCOMPARE(request.files, bytes(files));
        QCOMPARE(request.directory, files.isEmpty() ? QString() : dir.filePath("a"));
        QVERIFY2(request.text.contains(why), qPrintable(request.text));
        QCOMPARE(request.text.isEmpty(), why.isEmpty());
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
        QCOMPARE(commandline::answer(Request{Action::Version, QString(), QString(), {}}), 0);
        QCOMPARE(commandline::answer(Request{Action::Help, QString(), QString(), {}}), 0);
        QCOMPARE(commandline::answer(Request{Action::Fail, QString(), QString(), {}}), 2);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
