// The batch journal: its format, where it lives, which journals count as left
// behind, and the restore at start-up, after a process that was really ended
// in the middle of a batch.
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QRandomGenerator>
#include <cstdio>
#include <limits>

#include "engine/AppState.h"
#include "engine/CodePoints.h"
#include "engine/Journal.h"
#include "engine/Recovery.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"

using testing_support::createRaw;
using testing_support::FaultPlatform;
using testing_support::fingerprintOf;
using testing_support::rawContents;
using testing_support::rawSnapshot;
using testing_support::TempFiles;

namespace {

// Set in a child process of this test: "<k> <directory>" runs the batch and
// ends the process after k renames (-1: once the batch is done, its review
// open); "hold <directory>" writes a journal and waits until stdin closes.
constexpr char kChild[] = "QUILLOMAT_JOURNAL_TEST_CHILD";

// The batch the child runs: 0001.jpg..0999.jpg each take the name of the one
// before (start number 0), and two names that are not UTF-8 both want
// 0000.jpg, which the chain has taken by then: 1001 files.
QList<QByteArray> batchFiles() {
    QList<QByteArray> files;
    for (int i = 1; i <= 999; ++i) {
        files << QByteArray::number(i).rightJustified(4, '0') + ".jpg";
    }
    files << "caf\xe9.jpg"
          << "\xff\xfe.jpg";
    return files;
}

void loadBatch(AppState& s, const QString& dir) {
    const QList<QByteArray> files = batchFiles();
    s.chosenDirectory = platform::real().openDirectory(dir).directory;
    s.lastIndex = int(files.size()) - 1;
    for (int i = 0; i < files.size(); ++i) {
        s.oldNames[i] = platform::decodeFileName(files[i]);
        s.newNames[i] =
            i < 999 ? QString::number(i).rightJustified(4, u'0') : QStringLiteral("0000");
        s.extensions[i] = QStringLiteral(".jpg");
    }
}

int runChild(const QByteArray& task) {
    const qsizetype space = task.indexOf(' ');
    const QByteArray what = task.left(space);
    const QString dir = platform::decodeFileName(task.mid(space + 1));
    if (what == "hold") {
        journal::begin(journal::Record{dir, {journal::Entry{"a.txt", "n.txt", {1, 2, 3}}}},
                       platform::real());
        std::puts("ready");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    const int k = what.toInt();
    auto state = std::make_unique<AppState>();
    loadBatch(*state, dir);
    return testing_support::renameAndDieAt(*state, k);
}

}  // namespace

class JournalTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;

  private slots:
    void init() { settings_ = std::make_unique<testing_support::ScopedSettings>(); }
    void cleanup() {
        journal::close();
        settings_.reset();
    }

    // Any name, as bytes, and any fingerprint come back as they went in.
    void formatRoundTrips() {
        QRandomGenerator random(20261212);
        const auto randomName = [&random](char separatorStandIn) {
            QByteArray name;
            while (name.isEmpty() || name == "." || name == "..") {
                name.clear();
                for (int i = 0, len = 1 + random.bounded(255); i < len; ++i) {
                    const char c = char(1 + random.bounded(255));
                    name += c == separatorStandIn ? '_' : c;
                }
            }
            return name;
        };
        for (int round = 0; round < 200; ++round) {
            journal::Record record;
            const QByteArray dir = '/' + randomName('\n');
            record.directory = platform::decodeFileName(dir);
            for (int e = 0, n = random.bounded(30); e < n; ++e) {
                const platform::Fingerprint fingerprint{
                    qint64(random.bounded(1 << 30)), qint64(random.generate64() >> 1),
                    round == 0 ? std::numeric_limits<quint64>::max() : random.generate64()};
                journal::Entry entry{platform::decodeFileName(randomName('/')),
                                     platform::decodeFileName(randomName('/')), fingerprint};
                // Numbered names noted on the way there or back.
                for (int m = random.bounded(4); m > 0; --m) {
                    (m % 2 ? entry.numberedNew : entry.numberedOld)
                        << platform::decodeFileName(randomName('/'));
                }
                record.entries.append(entry);
            }
            // Decoded and encoded again, every byte is the same.
            const std::optional<journal::Record> back = journal::decode(journal::encode(record));
            QVERIFY(back);
            QCOMPARE(journal::encode(*back), journal::encode(record));
        }
        // Bytes as they are, but those that would split a field or a line.
        const journal::Record linked{
            "/d",
            {journal::Entry{"a b%", platform::decodeFileName("\xff\n"), {5, 6, 0, 8}}},
            {platform::RenameWay::Link, false}};
        QVERIFY(journal::encode(linked).startsWith(
            "quillomat-journal 5\ndirectory /d\nrenames link rewrites-time\n"
            "file a%20b%25 \xff%0a 5 6 0 8\nend 1\nchecksum "));
        QCOMPARE(journal::decode(journal::encode(linked))->traits, linked.traits);
    }

    void damagedJournalIsRefused_data() {
        QTest::addColumn<QByteArray>("data");
        // Lines closed by their own checksum line (64-bit FNV-1a), as a writer
        // would close them.
        const auto closed = [](const QByteArray& lines) {
            quint64 hash = 0xcbf29ce484222325ULL;
            for (const char c : lines) {
                hash = (hash ^ quint8(c)) * 0x100000001b3ULL;
            }
            return lines + "checksum " + QByteArray::number(hash, 16).rightJustified(16, '0') +
                   '\n';
        };
        const QByteArray head = "quillomat-journal 4\ndirectory 2f64\nrenames link rewrites-time\n";
        const QByteArray whole = closed(head + "file 61 62 5 6 7 8\nend 1\n");
        QTest::newRow("whole") << whole;
        QTest::newRow("whole, numbered")
            << closed(head + "file 61 62 5 6 7 8\nnumbered new 6231\nnumbered old 6131\nend 1\n");
        // What the program wrote before numbered names were noted.
        QTest::newRow("whole, version 3")
            << closed(QByteArray(head).replace(" 4\n", " 3\n") + "file 61 62 5 6 7 8\nend 1\n");
        // What the program wrote before the renames line and the contents hash.
        QTest::newRow("whole, version 2")
            << closed("quillomat-journal 2\ndirectory 2f64\nfile 61 62 5 6 7\nend 1\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("version 1")
            << QByteArray("quillomat-journal 1\ndirectory 1 2 2f64\nfile 3 4 61\nend 1\n");
        QTest::newRow("another version") << closed("quillomat-journal 6\ndirectory 2f64\nend 0\n");
        const QByteArray written = journal::encode(
            journal::Record{"/d", {journal::Entry{"a", "b", {5, 6, 7, 8}, {"b-1"}}}});
        QTest::newRow("whole, version 5") << written;
        QTest::newRow("version 5, one byte damaged") << QByteArray(written).replace("b-1", "b-2");
        QTest::newRow("version 5, cut") << written.left(written.indexOf("end"));
        QTest::newRow("version 5 with the checksum of 4")
            << closed(written.left(written.indexOf("checksum ")));
        QTest::newRow("no checksum") << head + "file 61 62 5 6 7 8\nend 1\n";
        QTest::newRow("cut in the checksum") << whole.chopped(9);
        QTest::newRow("one digit damaged") << QByteArray(whole).replace(" 7 ", " 9 ");
        QTest::newRow("counts otherwise") << closed(head + "file 61 62 5 6 7 8\nend 2\n");
        QTest::newRow("odd hex") << closed(head + "file 616 62 5 6 7 8\nend 1\n");
        QTest::newRow("not hex") << closed(head + "file zz 62 5 6 7 8\nend 1\n");
        QTest::newRow("not a number") << closed(head + "file 61 62 x 6 7 8\nend 1\n");
        QTest::newRow("a name with a separator")
            << closed(head + "file 612f62 62 5 6 7 8\nend 1\n");
        QTest::newRow("dot dot") << closed(head + "file 61 2e2e 5 6 7 8\nend 1\n");
        QTest::newRow("a field more") << closed(head + "file 61 62 5 6 7 8 9\nend 1\n");
        QTest::newRow("unknown line") << closed(head + "note 61 62 5 6 7 8\nend 1\n");
        QTest::newRow("no renames line")
            << closed("quillomat-journal 4\ndirectory 2f64\nfile 61 62 5 6 7 8\nend 1\n");
        QTest::newRow("a numbered name with a separator")
            << closed(head + "file 61 62 5 6 7 8\nnumbered new 612f62\nend 1\n");
        QTest::newRow("a numbered name on no side")
            << closed(head + "file 61 62 5 6 7 8\nnumbered out 6231\nend 1\n");
        QTest::newRow("a numbered name before any file")
            << closed(head + "numbered new 6231\nfile 61 62 5 6 7 8\nend 1\n");
        QTest::newRow("an unknown way")
            << closed(QByteArray(head).replace("link", "copy") + "file 61 62 5 6 7 8\nend 1\n");
    }

    void damagedJournalIsRefused() {
        QFETCH(QByteArray, data);
        QCOMPARE(bool(journal::decode(data)),
                 QByteArray(QTest::currentDataTag()).startsWith("whole"));
    }

    void whereJournalsLive_data() {
        QTest::addColumn<QString>("stateHome");  // "<unset>" to leave it out
        QTest::addColumn<QString>("expected");   // "~" for the home directory
        QTest::newRow("absolute") << "/var/tmp/state"
                                  << "/var/tmp/state/Quillomat";
        QTest::newRow("trailing separator") << "/var/tmp/state/"
                                            << "/var/tmp/state/Quillomat";
        QTest::newRow("relative is ignored") << "state"
                                             << "~/.local/state/Quillomat";
        QTest::newRow("empty") << ""
                               << "~/.local/state/Quillomat";
        QTest::newRow("unset") << "<unset>"
                               << "~/.local/state/Quillomat";
    }

    void whereJournalsLive() {
        QFETCH(QString, stateHome);
        QFETCH(QString, expected);
        testing_support::ScopedEnvironmentDir home("HOME");
        if (stateHome == "<unset>") {
            qunsetenv("XDG_STATE_HOME");
        } else {
            qputenv("XDG_STATE_HOME", stateHome.toUtf8());
        }
        QCOMPARE(journal::directory(), expected.replace("~", home.path()));
    }

    // A process ended after k renames (SIGKILL: no chance to clean up); the
    // next start finds its journal and gives every file its old name back,
    // wherever the batch left it.
    void processEndedMidBatch_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("renamed");
        QTest::newRow("before the first rename") << 0 << 0;
        QTest::newRow("in the middle") << 500 << 500;
        // The chain (999), then one file numbered after a collision.
        QTest::newRow("before the last rename") << 1000 << 1000;
        QTest::newRow("with the review open") << -1 << 1001;
    }

    void processEndedMidBatch() {
        QFETCH(int, k);
        QFETCH(int, renamed);
        TempFiles dir;
        for (const QByteArray& name : batchFiles()) {
            createRaw(dir.path(), name);
        }
        const QMap<QByteArray, QByteArray> original = rawSnapshot(dir.path());

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChild),
                   QString::number(k) + u' ' + QString::fromLocal8Bit(dir.path().toLocal8Bit()));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QMap<QByteArray, QByteArray> after = rawSnapshot(dir.path());
        QCOMPARE(after.size(), original.size());
        int changed = 0;
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            changed += original.value(it.key()) != it.value() ? 1 : 0;
        }
        QCOMPARE(changed, renamed);
        QCOMPARE(rawContents(after), rawContents(original));  // nothing lost, nothing overwritten

        QList<journal::Leftover> left = journal::leftovers();
        QCOMPARE(left.size(), 1);
        QVERIFY(left[0].record);
        QCOMPARE(left[0].record->directory, dir.path());
        QCOMPARE(left[0].record->entries.size(), 1001);
        const batch::WayBackReport outcome(
            batch::restoreFromJournal(*left[0].record, platform::real()));
        QVERIFY(outcome.complete());
        QVERIFY(outcome.numbered.isEmpty());
        QCOMPARE(rawSnapshot(dir.path()), original);

        journal::discard(left[0]);
        QVERIFY(journal::leftovers().isEmpty());
        QCOMPARE(QDir(journal::directory()).entryList(QDir::Files), QStringList());
        testing_support::removeAllRaw(dir.path());
    }

    // The journal of a program that is still running (another instance, with
    // its review open) is not left behind; once that program is gone it is.
    void journalOfARunningProgramIsNotLeftBehind() {
        TempFiles dir;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChild), QStringLiteral("hold ") + dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(QDir(journal::directory()).entryList({"*.journal"}).size(), 1);
        QVERIFY(journal::leftovers().isEmpty());
        // This program's own journal is not left behind either.
        QVERIFY(journal::begin(journal::Record{dir.path(), {journal::Entry{"b.txt", "n.txt", {}}}},
                               platform::real())
                    .ok());
        QVERIFY(journal::leftovers().isEmpty());

        child.kill();
        QVERIFY(child.waitForFinished(30000));
        const QList<journal::Leftover> left = journal::leftovers();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left[0].record->entries.first().oldName, QStringLiteral("a.txt"));
    }

    // The journal folder is the user's alone: a folder that is a symbolic
    // link, another user's or open to others' writes is neither written nor
    // read, with the reason; a journal another user owns is never offered.
    // What lies there is left untouched.
    void journalFolderIsTheUsersAlone_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");  // why a journal is not written; empty: it is
        QTest::newRow("a symbolic link") << "link"
                                         << "it is a symbolic link";
        QTest::newRow("another user's folder") << "foreign folder"
                                               << "another user owns it";
        QTest::newRow("writable by others") << "open"
                                            << "others can write in it";
        QTest::newRow("another user's journal") << "foreign journal"
                                                << "";
        QTest::newRow("a journal that is a link") << "linked journal"
                                                  << "";
    }

    void journalFolderIsTheUsersAlone() {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        TempFiles elsewhere;
        const QString dir = journal::directory();
        QVERIFY(how == "link" ? QFile::link(elsewhere.path(), dir) : QDir().mkpath(dir));
        // A journal someone else left there, to rename a file of the user's.
        createRaw(elsewhere.path(), "a.txt");
        const journal::Record forged{
            elsewhere.path(),
            {journal::Entry{"a.txt", "b.txt", fingerprintOf(elsewhere.filePath("a.txt"))}}};
        const QString left = dir + "/batch-1-1.journal";
        const QString at = how == "linked journal" ? elsewhere.filePath("j") : left;
        QVERIFY(platform::real().writeFileDurably(at, journal::encode(forged)).ok());
        QVERIFY(at == left || QFile::link(at, left));
        const QByteArray target = QFile::encodeName(how == "foreign journal" ? left : dir);
        if (how.startsWith("foreign")) {
            QCOMPARE(::chown(target.constData(), 54321, 54321), 0);
        } else if (how == "open") {
            QCOMPARE(::chmod(target.constData(), 0777), 0);
        }

        QVERIFY(journal::leftovers().isEmpty());
        QVERIFY(QFile::exists(left));
        const platform::Status written = journal::begin(
            journal::Record{elsewhere.path(), {journal::Entry{"a.txt", "n.txt", {}}}},
            platform::real());
        QCOMPARE(written.reason(), reason);
        QCOMPARE(journal::currentPath().isEmpty(), !reason.isEmpty());
        journal::close();
        QCOMPARE(QDir(dir).entryList({"batch-*"}, QDir::Files), QStringList{"batch-1-1.journal"});
        QVERIFY(elsewhere.exists("a.txt"));
        QVERIFY(QFile::remove(left));
        QVERIFY(how != "link" || QFile::remove(dir));
    }

    // A write cut short by a kill leaves the journal's new file behind: the
    // next start removes it, but never that of a program still running.
    void newFilesOfCutWritesGo() {
        QVERIFY(
            journal::begin(journal::Record{"/d", {journal::Entry{"a", "b", {}}}}, platform::real())
                .ok());
        const QString mine = journal::currentPath() + ".tmp-abc123";
        const QString stale = journal::directory() + "/batch-7-7.journal.tmp-xyz789";
        for (const QString& path : {mine, stale}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("quillomat-journal 2\ndirec");
        }
        QVERIFY(journal::leftovers().isEmpty());
        QVERIFY(QFile::exists(mine));
        QVERIFY(!QFile::exists(stale));
        QVERIFY(QFile::remove(mine));
    }

    // Files are found by their fingerprints under the names the batch gave
    // them; what cannot be found or restored is reported, a taken old name is
    // numbered, and a file that is not the batch's is never renamed.
    void restoreFindsFilesByIdentity_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("notFound");
        QTest::addColumn<QStringList>("notRestored");
        QTest::addColumn<QStringList>("numbered");
        const QStringList none;
        QTest::newRow("numbered by the batch")
            << "" << QStringList{"a.txt", "b.txt", "c.txt"} << none << none << none;
        QTest::newRow("one already back")
            << "b back" << QStringList{"a.txt", "b.txt", "c.txt"} << none << none << none;
        QTest::newRow("an old name taken meanwhile")
            << "c taken" << QStringList{"a.txt", "b.txt", "c-1.txt", "c.txt"} << none << none
            << QStringList{"c.txt -> c-1.txt"};
        QTest::newRow("a file deleted")
            << "b deleted" << QStringList{"a.txt", "c.txt"} << QStringList{"b.txt"} << none << none;
        QTest::newRow("a file saved anew under its new name")
            << "b replaced" << QStringList{"a.txt", "c.txt", "n-1.txt"} << QStringList{"b.txt"}
            << none << none;
        QTest::newRow("its inode number reused")
            << "b reused" << QStringList{"a.txt", "c.txt", "n-1.txt"} << QStringList{"b.txt"}
            << none << none;
        QTest::newRow("a restore refused") << "a refused" << QStringList{"b.txt", "c.txt", "n.txt"}
                                           << none << QStringList{"n.txt"} << none;
        QTest::newRow("directory replaced")
            << "directory" << QStringList{"a.txt"} << QStringList{"a.txt", "b.txt", "c.txt"} << none
            << none;
    }

    void restoreFindsFilesByIdentity() {
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, after);
        QFETCH(QStringList, notFound);
        QFETCH(QStringList, notRestored);
        QFETCH(QStringList, numbered);
        TempFiles top;
        const QString dir = top.filePath("batch");
        QVERIFY(QDir().mkdir(dir));
        journal::Record record{dir, {}};
        for (const auto& [name, to] : {std::pair{"a.txt", "n.txt"}, std::pair{"b.txt", "n-1.txt"},
                                       std::pair{"c.txt", "n-2.txt"}}) {
            createRaw(dir, name);
            record.entries.append(journal::Entry{name, to, fingerprintOf(dir + "/" + name)});
        }
        // Where the batch left them: a -> n.txt, b -> n-1.txt, c -> n-2.txt.
        for (const auto& [from, to] : {std::pair{"a.txt", "n.txt"}, std::pair{"b.txt", "n-1.txt"},
                                       std::pair{"c.txt", "n-2.txt"}}) {
            QVERIFY(QFile::rename(dir + "/" + from, dir + "/" + to));
        }
        FaultPlatform p;
        if (meanwhile == "b back") {
            QVERIFY(QFile::rename(dir + "/n-1.txt", dir + "/b.txt"));
        } else if (meanwhile == "c taken") {
            createRaw(dir, "c.txt");
        } else if (meanwhile == "b deleted") {
            QVERIFY(QFile::remove(dir + "/n-1.txt"));
        } else if (meanwhile == "b replaced") {
            QVERIFY(QFile::rename(dir + "/n-1.txt", dir + "/saving"));
            createRaw(dir, "n-1.txt");
            QVERIFY(QFile::remove(dir + "/saving"));
        } else if (meanwhile == "b reused") {
            // Deleted, and a new file under its new name got its inode number.
            QVERIFY(QFile::remove(dir + "/n-1.txt"));
            createRaw(dir, "n-1.txt");
            record.entries[1].fingerprint.inode = fingerprintOf(dir + "/n-1.txt").inode;
        } else if (meanwhile == "a refused") {
            p.failRename("n.txt", Error::PathFileAccess, -1, testing_support::RenameSide::Source);
        } else if (meanwhile == "directory") {
            // Moved away, and another made at its path with a file of an old name.
            QVERIFY(QDir().rename(dir, top.filePath("away")));
            QVERIFY(QDir().mkdir(dir));
            createRaw(dir, "a.txt");
        }
        const QString path = testing_support::leaveUnfinishedJournal(record);
        QVERIFY(!path.isEmpty());
        QList<journal::Leftover> left = journal::leftovers();
        QCOMPARE(left.size(), 1);

        const batch::Plan restored = batch::restoreFromJournal(*left[0].record, p);
        const batch::WayBackReport outcome(restored);
        QStringList names = QDir(dir).entryList(QDir::Files);
        QCOMPARE(names, after);
        QCOMPARE(outcome.notFound, notFound);
        QCOMPARE(outcome.notRestored, notRestored);
        QCOMPARE(outcome.numbered, numbered);
        QCOMPARE(outcome.complete(), notFound.isEmpty() && notRestored.isEmpty());
        if (!notFound.isEmpty()) {
            QCOMPARE(restored.error(), Error::FileNotFound);
        }
        journal::discard(left[0]);
        QVERIFY(!QFile::exists(path));
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QByteArray child = qgetenv(kChild);
    if (!child.isEmpty()) {
        return runChild(child);
    }
    JournalTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_journal.moc"
