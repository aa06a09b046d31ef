// Every file system a user renames on, mounted as the test runs: tmpfs, FAT
// and exFAT and NTFS through their FUSE drivers, and sshfs. On each, Rename
// gives exactly the names the preview shows, never replaces a file, and the
// way back (Undo, a stopped batch, the restore after a killed process, also
// after the volume was unmounted and mounted again) gives back exactly the old
// names and contents.
#include <QtTest>

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <map>
#include <memory>

#include "engine/AppState.h"
#include "engine/Journal.h"
#include "engine/Preview.h"
#include "engine/Recovery.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/Mounts.h"
#include "tests/support/TestSupport.h"

using testing_support::Batch;
using testing_support::FileSystem;
using testing_support::rawSnapshot;
using testing_support::ScopedMount;
Q_DECLARE_METATYPE(testing_support::FileSystem)

namespace {

// Set in a child process of this test: "<k> <directory>" runs the numbered
// batch of numberedBatch() there and ends the process at its k-th rename.
constexpr char kChild[] = "QUILLOMAT_FILE_SYSTEMS_TEST_CHILD";
constexpr int kChainLength = 40;

const QList<FileSystem> kAll{FileSystem::Tmpfs, FileSystem::FuseFat, FileSystem::ExfatFuse,
                             FileSystem::Ntfs3g, FileSystem::Sshfs};

// FAT, exFAT and NTFS: case-insensitive, and Windows' rules for names.
bool windowsFamily(FileSystem fs) {
    return fs == FileSystem::FuseFat || fs == FileSystem::ExfatFuse || fs == FileSystem::Ntfs3g;
}

// Creates `name` byte for byte, holding its own name.
void createFile(const QString& dir, const QString& name) {
    testing_support::createRaw(dir, platform::encodeFileName(name));
}

QStringList sortedFiles(const QString& dir) {
    QStringList names = QDir(dir).entryList(QDir::Files);
    names.sort();
    return names;
}

// 0001.jpg..0040.jpg, each to take the number before it (0000 first): a
// chain that only a way back going last file first undoes exactly.
Batch numberedBatch(const QString& dir) {
    Batch batch;
    for (int i = 1; i <= kChainLength; ++i) {
        batch.listed << QStringLiteral("%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    }
    batch.example = batch.listed.first();
    batch.start = QStringLiteral("0");
    batch.lettering = QStringLiteral("0");
    for (const QString& name : batch.listed) {
        if (!QFile::exists(dir + u'/' + name)) {
            createFile(dir, name);
        }
    }
    return batch;
}

int runChild(const QByteArray& task) {
    const qsizetype space = task.indexOf(' ');
    const int k = task.left(space).toInt();
    const QString dir = QString::fromUtf8(task.mid(space + 1));
    const Batch batch = numberedBatch(dir);
    const auto state = batch.extracted(dir);
    generateNewNames(*state, batch.input());
    return testing_support::renameAndDieAt(*state, k);
}

// A random batch over names suited to `fs`: letters in both cases, digits,
// accents, names that are not UTF-8 where the file system takes them, and
// options that give names the Windows family refuses or counts otherwise.
Batch randomBatch(QRandomGenerator& random, const QString& dir, FileSystem fs) {
    QStringList stems{"IMG_", "img_", "Trip", "trip", "TRIP", ""};
    if (fs != FileSystem::FuseFat) {
        stems << "\u00e9t\u00e9";  // fusefat takes ASCII names only
    }
    if (!windowsFamily(fs)) {
        stems << QString(QChar(0xDCE9)) + "raw";
    }
    const QStringList extensions{".jpg", ".JPG", ".txt", ""};
    const auto pick = [&random](const QStringList& from) {
        return from.at(random.bounded(int(from.size())));
    };
    QStringList files;
    const int count = 2 + random.bounded(12);
    while (files.size() < count) {
        const QString name = pick(stems) +
                             QString::number(random.bounded(6))
                                 .rightJustified(random.bounded(2) == 0 ? 4 : 1, u'0') +
                             pick(extensions);
        const bool clash = std::any_of(files.cbegin(), files.cend(), [&](const QString& f) {
            return f.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!clash) {
            files << name;
            createFile(dir, name);
        }
    }
    Batch b;
    while (!files.isEmpty() && (b.listed.isEmpty() || random.bounded(4) != 0)) {
        b.listed << files.takeAt(random.bounded(int(files.size())));
    }
    b.example = b.listed.first();
    if (random.bounded(3) == 0) {
        const int from = random.bounded(int(b.example.size()));
        b.mask = b.example.mid(from, 1 + random.bounded(int(b.example.size()) - from));
    }
    b.lettering = pick({"0", "0", "1", "2"});
    b.prefix = pick({"", "", "trip_", "TRIP_", "a:b", QString(130, QChar(0xE9)), "img_"});
    b.suffix = pick({"", "", "_s", ".", " "});
    b.start = pick({"", "0", "3"});
    return b;
}

}  // namespace

class FileSystemsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    std::map<FileSystem, std::unique_ptr<ScopedMount>> mounts_;
    int directories_ = 0;

    // A new, empty directory on `fs` for one case; the mount is made at the
    // first case that needs it.
    QString freshDirectory(FileSystem fs) {
        std::unique_ptr<ScopedMount>& mount = mounts_[fs];
        if (!mount) {
            mount = std::make_unique<ScopedMount>(fs);
        }
        if (!mount->error().isEmpty()) {
            return QString();
        }
        const QString dir = mount->path() + QStringLiteral("/case%1").arg(++directories_);
        return QDir().mkdir(dir) ? dir : QString();
    }

    void addRowPerFileSystem() {
        QTest::addColumn<FileSystem>("fs");
        for (const FileSystem fs : kAll) {
            QTest::newRow(qPrintable(testing_support::nameOf(fs))) << fs;
        }
    }

  private slots:
    void init() { settings_ = std::make_unique<testing_support::ScopedSettings>(); }
    void cleanup() {
        journal::close();
        settings_.reset();
    }
    void cleanupTestCase() { mounts_.clear(); }

    // Random batches: the preview foresees exactly what Rename does, and
    // Undo or a batch stopped at a random file gives back exactly the old
    // names and contents.
    void previewRenameAndBack_data() { addRowPerFileSystem(); }
    void previewRenameAndBack() {
        QFETCH(FileSystem, fs);
        QRandomGenerator random(20261208 + int(fs));
        for (int round = 0; round < 24; ++round) {
            const QString dir = freshDirectory(fs);
            QVERIFY2(!dir.isEmpty(), qPrintable(mounts_[fs]->error()));
            const Batch batch = randomBatch(random, dir, fs);
            const auto before = rawSnapshot(dir);
            const QString context = QStringLiteral("round %1: %2 with mask '%3', prefix '%4'")
                                        .arg(round)
                                        .arg(batch.listed.join(u','), batch.mask, batch.prefix);

            const auto state = batch.extracted(dir);
            const preview::Summary summary =
                preview::compute(*state, batch.input(), platform::real());
            QCOMPARE(rawSnapshot(dir), before);
            if (generateNewNames(*state, batch.input()) != Error::None) {
                QVERIFY(summary.stop != Error::None);
                continue;
            }
            testing_support::FaultPlatform p;
            const bool stop = round % 2 == 1;
            if (stop) {
                // The disk fills up at a random file, for this one rename.
                p.failRename(batch.listed.at(random.bounded(int(batch.listed.size()))),
                             Error::DiskFull, 1, testing_support::RenameSide::Source);
            }
            const batch::RenameOutcome outcome = batch::renameBatch(*state, p);
            if (outcome.error == Error::None) {
                QStringList foreseen;
                QStringList given;
                for (int i = 0; i <= state->lastIndex; ++i) {
                    foreseen << summary.rows[i].newName;
                    given << platform::nameOf(state->newNames[i]);
                }
                QVERIFY2(summary.stop == Error::None && foreseen == given, qPrintable(context));
                QVERIFY2(batch::undoBatch(*state, p).error == Error::None, qPrintable(context));
            } else {
                QVERIFY2(stop, qPrintable(context + ": " + batch::errorText(outcome)));
                QVERIFY2(outcome.notRestored.isEmpty(), qPrintable(context));
            }
            QVERIFY2(rawSnapshot(dir) == before, qPrintable(context));
            journal::end();
        }
    }

    // The cases people meet on sticks and cards, with what the preview says.
    void casesUsersMeet_data() {
        QTest::addColumn<FileSystem>("fs");
        QTest::addColumn<QStringList>("files");  // the first is the batch's one file
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("result");
        for (const FileSystem fs : kAll) {
            const QString name = testing_support::nameOf(fs);
            const bool windows = windowsFamily(fs);
            const auto row = [&name](const char* what) -> QTestData& {
                return QTest::newRow(qPrintable(name + ": " + what));
            };
            row("a change of letter case") << fs << QStringList{"trip_0001.jpg"} << "TRIP_"
                                           << "" << QStringList{"TRIP_0001.jpg"} << "renamed";
            row("a name taken in another case")
                << fs << QStringList{"a.jpg", "X_0001.JPG"} << "x_"
                << ""
                << (windows ? QStringList{"X_0001.JPG", "x_0001-1.jpg"}
                            : QStringList{"X_0001.JPG", "x_0001.jpg"})
                << (windows ? "numbered: x_0001.jpg is taken in the directory" : "renamed");
            row("a colon") << fs << QStringList{"a.jpg"} << "a:b"
                           << "" << QStringList{windows ? "a.jpg" : "a:b0001.jpg"}
                           << (windows ? "skipped: the file system does not allow ':' in names"
                                       : "renamed");
            row("a trailing dot")
                << fs << QStringList{"notes"} << ""
                << "." << QStringList{windows ? "notes" : "0001."}
                << (windows ? "skipped: the file system does not allow a name to end with '.'"
                            : "renamed");
            // 138 characters, 268 bytes: too long in bytes, not in UTF-16 units.
            const QString accents(130, QChar(0xE9));
            row("130 accents") << fs << QStringList{"a.jpg"} << accents << ""
                               << QStringList{windows && fs != FileSystem::FuseFat
                                                  ? accents + "0001.jpg"
                                                  : "a.jpg"}
                               << (fs == FileSystem::FuseFat
                                       ? "skipped: the file system does not allow '\u00e9' in names"
                                   : windows ? "renamed"
                                             : "skipped: the new name is longer than the file "
                                               "system allows (255 bytes)");
        }
    }

    void casesUsersMeet() {
        QFETCH(FileSystem, fs);
        QFETCH(QStringList, files);
        QFETCH(QString, prefix);
        QFETCH(QString, suffix);
        QFETCH(QStringList, after);
        QFETCH(QString, result);
        const QString dir = freshDirectory(fs);
        QVERIFY2(!dir.isEmpty(), qPrintable(mounts_[fs]->error()));
        for (const QString& name : files) {
            createFile(dir, name);
        }
        const auto before = rawSnapshot(dir);
        const Batch batch{{files.first()}, files.first(), "", prefix, suffix, "", "0"};
        const auto state = batch.extracted(dir);
        const preview::Summary summary = preview::compute(*state, batch.input(), platform::real());
        QCOMPARE(preview::resultText(summary.rows.first()), result);

        QCOMPARE(generateNewNames(*state, batch.input()), Error::None);
        QCOMPARE(batch::renameBatch(*state, platform::real()).error, Error::None);
        QCOMPARE(sortedFiles(dir), after);
        QCOMPARE(state->filesSkipped, result.startsWith("skipped") ? 1 : 0);
        QCOMPARE(batch::undoBatch(*state, platform::real()).error, Error::None);
        QCOMPARE(rawSnapshot(dir), before);
    }

    // A process killed in the middle of a batch (SIGKILL: no chance to clean
    // up); the next start gives every file its old name back, also after the
    // volume went away and came back with new device and inode numbers.
    void killedBatchRestored_data() {
        QTest::addColumn<FileSystem>("fs");
        QTest::addColumn<bool>("remount");
        for (const FileSystem fs : kAll) {
            const QString name = testing_support::nameOf(fs);
            QTest::newRow(qPrintable(name)) << fs << false;
            if (fs != FileSystem::Tmpfs) {
                QTest::newRow(qPrintable(name + ", remounted")) << fs << true;
            }
        }
    }

    void killedBatchRestored() {
        QFETCH(FileSystem, fs);
        QFETCH(bool, remount);
        const QString dir = freshDirectory(fs);
        QVERIFY2(!dir.isEmpty(), qPrintable(mounts_[fs]->error()));
        numberedBatch(dir);
        const auto original = rawSnapshot(dir);

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChild),
                   QStringLiteral("%1 %2").arg(kChainLength / 2).arg(dir));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const auto killed = rawSnapshot(dir);
        QVERIFY(killed != original);
        QCOMPARE(testing_support::rawContents(killed), testing_support::rawContents(original));

        if (remount) {
            QVERIFY2(mounts_[fs]->remount(), qPrintable(mounts_[fs]->error()));
        }
        QList<journal::Leftover> left = journal::leftovers();
        QCOMPARE(left.size(), 1);
        QVERIFY(left[0].record);
        const batch::RecoveryOutcome outcome =
            batch::restoreFromJournal(*left[0].record, platform::real());
        QVERIFY2(outcome.complete(), qPrintable(outcome.notFound.join(u',')));
        QVERIFY(outcome.numbered.isEmpty());
        QCOMPARE(rawSnapshot(dir), original);
        journal::discard(left[0]);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QByteArray child = qgetenv(kChild);
    if (!child.isEmpty()) {
        return runChild(child);
    }
    if (!testing_support::fuseAvailable()) {
        std::fputs("FUSE is not available here (no /dev/fuse): skipped\n", stderr);
        return 77;
    }
    FileSystemsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_file_systems.moc"
