// Every file system a user renames on, mounted as the test runs: tmpfs, ext4,
// xfs and btrfs on loop devices, FAT and exFAT and NTFS through their FUSE
// drivers, and sshfs. On each, Rename gives exactly the names the preview
// shows, never replaces a file, and the way back (Undo, a stopped batch, the
// restore after a process killed between any two system calls of a rename,
// also after the volume was unmounted and mounted again) gives back exactly
// the old names and contents, with nothing left over. The files are a user's:
// contents of several sizes, dated years back.
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "engine/AppState.h"
#include "engine/Journal.h"
#include "engine/Recovery.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "platform/PlatformLinux.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/Mounts.h"
#include "tests/support/TestSupport.h"

using testing_support::Batch;
using testing_support::copyKeepingTime;
using testing_support::FileSystem;
using testing_support::rawSnapshot;
using testing_support::ScopedMount;
Q_DECLARE_METATYPE(testing_support::FileSystem)

namespace {

// Set in a child process of this test: "<batch> <phase> <n> <directory>"
// runs the batch ("numbered", "case" or "seed<n>") there, renaming it
// ("rename") or renaming and then undoing it ("undo"), and ends the process
// right after the n-th system call of that phase that changes the directory
// (0: once renamed, with the review open).
constexpr char kChild[] = "QUILLOMAT_FILE_SYSTEMS_TEST_CHILD";
constexpr int kChainLength = 10;

const QList<FileSystem> kAll{FileSystem::Tmpfs,  FileSystem::Ext4,    FileSystem::Xfs,
                             FileSystem::Btrfs,  FileSystem::FuseFat, FileSystem::ExfatFuse,
                             FileSystem::Ntfs3g, FileSystem::Sshfs};

// FAT, exFAT and NTFS: case-insensitive, and Windows' rules for names.
bool windowsFamily(FileSystem fs) {
    return fs == FileSystem::FuseFat || fs == FileSystem::ExfatFuse || fs == FileSystem::Ntfs3g;
}

// Creates `name` byte for byte as a user's file: random contents of one of
// several sizes, last changed years ago (on an even second, as FAT keeps it).
void createFile(const QString& dir, const QString& name) {
    QRandomGenerator* random = QRandomGenerator::global();
    static const int kSizes[] = {0, 1, 700, 5000, 40000, 150000};
    QByteArray contents(kSizes[random->bounded(int(std::size(kSizes)))], Qt::Uninitialized);
    for (char& c : contents) {
        c = char(random->bounded(256));
    }
    const QByteArray path = platform::encodeFileName(dir + u'/' + name);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, contents.constData(), size_t(contents.size())), ssize_t(contents.size()));
    ::close(fd);
    // Dated once closed: a FUSE driver may set the time when it is.
    const timespec dated[2] = {{0, UTIME_OMIT},
                               {1'500'000'000 + 2 * random->bounded(50'000'000), 0}};
    QCOMPARE(::utimensat(AT_FDCWD, path.constData(), dated, 0), 0);
}

// Files beside `batch` in `dir` that look like its own, where `random`
// puts them: a copy kept with its time under a numbered form of its new
// name, the user's empty file under a new name (or a numbered form of it,
// that being taken), an identical copy under an unrelated name, and two
// neighbours in the batch alike.
void addLookAlikes(const QString& dir, const Batch& batch, QRandomGenerator& random) {
    const batch::Plan plan =
        testing_support::planned(*batch.extracted(dir), batch.input(), platform::real());
    const auto any = [&] { return plan.steps[random.bounded(int(plan.steps.size()))]; };
    const auto numbered = [](const QString& name, int n) {
        return QFileInfo(name).completeBaseName() + QStringLiteral("-%1.jpg").arg(n);
    };
    const batch::Step copied = any();
    copyKeepingTime(dir, copied.oldName, numbered(copied.newName, 1));
    const QString taken = any().newName;
    QFile empty(dir + u'/' + (QFile::exists(dir + u'/' + taken) ? numbered(taken, 2) : taken));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    copyKeepingTime(dir, any().oldName, QStringLiteral("copy.jpg"));
    const int alike = random.bounded(int(batch.listed.size()) - 1);
    QVERIFY(QFile::remove(dir + u'/' + batch.listed[alike + 1]));
    copyKeepingTime(dir, batch.listed[alike], batch.listed[alike + 1]);
}

QStringList sortedFiles(const QString& dir) {
    QStringList names = QDir(dir).entryList(QDir::Files);
    names.sort();
    return names;
}

// "numbered": 0001.jpg..0010.jpg, each to take the number before it (0000
// first), a chain that only a way back going last file first undoes exactly.
// "case": trip_0001.jpg..trip_0010.jpg to become TRIP_0001.jpg..., a change
// of letter case alone. The files are created where missing.
Batch batchOf(const QString& kind, const QString& dir) {
    Batch batch;
    const bool numbered = kind == QLatin1String("numbered");
    for (int i = 1; i <= kChainLength; ++i) {
        batch.listed << (numbered ? QString() : QStringLiteral("trip_")) +
                            QStringLiteral("%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    }
    batch.example = batch.listed.first();
    batch.start = numbered ? QStringLiteral("0") : QString();
    batch.prefix = numbered ? QString() : QStringLiteral("TRIP_");
    batch.lettering = QStringLiteral("0");
    for (const QString& name : batch.listed) {
        if (!QFile::exists(dir + u'/' + name)) {
            createFile(dir, name);
        }
    }
    return batch;
}

// The way a "seed<n>" batch renames, whatever the file system's own.
platform::RenameWay seededWay(quint32 seed) {
    return std::array{platform::RenameWay::NoReplace, platform::RenameWay::Link,
                      platform::RenameWay::Reserve}[seed % 3];
}

// "seed<n>": 0001.jpg... (three to nine of them) numbered from 0 (each to
// the number before it) or 2, with or without a prefix, as the random seed n
// decides. The files are not made.
Batch seededBatch(quint32 seed) {
    QRandomGenerator random(seed);
    Batch batch;
    for (int i = 1, count = 3 + random.bounded(7); i <= count; ++i) {
        batch.listed << QStringLiteral("%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    }
    batch.example = batch.listed.first();
    batch.start = random.bounded(3) != 0 ? QStringLiteral("0") : QStringLiteral("2");
    batch.prefix = random.bounded(3) != 0 ? QString() : QStringLiteral("n");
    batch.lettering = QStringLiteral("0");
    return batch;
}

// The child's system calls. Each one that changes the directory for the
// batch (not the probe of its renames, not the journal) is counted, and the
// process ends right after the n-th.
namespace seam {
int killAfter = -1;
int changes = 0;

bool counted(const char* name) {
    const QByteArray n = QByteArray(name).mid(QByteArray(name).lastIndexOf('/') + 1);
    return !n.startsWith(".quillomat-probe") && !n.contains(".journal");
}
void changed() {
    if (++changes == killAfter) {
        ::raise(SIGKILL);
    }
}
int renameat2(int a, const char* from, int b, const char* to, unsigned int flags) {
    const int r = platform::SystemCalls::system().renameat2(a, from, b, to, flags);
    if (r == 0 && counted(to)) {
        changed();
    }
    return r;
}
int linkat(int a, const char* from, int b, const char* to, int flags) {
    const int r = ::linkat(a, from, b, to, flags);
    if (r == 0 && counted(to)) {
        changed();
    }
    return r;
}
int unlinkat(int fd, const char* name, int flags) {
    const int r = ::unlinkat(fd, name, flags);
    if (r == 0 && counted(name)) {
        changed();
    }
    return r;
}
int openat(int fd, const char* name, int flags, mode_t mode) {
    const int r = ::openat(fd, name, flags, mode);
    if (r >= 0 && (flags & O_EXCL) != 0 && counted(name)) {
        changed();
    }
    return r;
}
}  // namespace seam

int runChild(const QByteArray& task) {
    const QList<QByteArray> fields = task.split(' ');
    const QString dir = QString::fromUtf8(fields.mid(3).join(QByteArrayLiteral(" ")));
    platform::SystemCalls calls = platform::SystemCalls::system();
    calls.renameat2 = seam::renameat2;
    calls.linkat = seam::linkat;
    calls.unlinkat = seam::unlinkat;
    calls.openat = seam::openat;
    platform::LinuxSystem system(calls);
    const Batch batch = fields[0].startsWith("seed") ? seededBatch(fields[0].mid(4).toUInt())
                                                     : batchOf(QString::fromLatin1(fields[0]), dir);
    const auto state = batch.extracted(dir);
    if (fields[0].startsWith("seed")) {
        state->chosenDirectory->setRenameTraits({seededWay(fields[0].mid(4).toUInt()), true});
    }
    generateNewNames(*state, batch.input());
    const int n = fields[2].toInt();
    if (n == 0) {  // ended with the review open
        testing_support::renamed(*state, system);
        ::raise(SIGKILL);
    }
    if (fields[1] == "undo") {
        testing_support::renamed(*state, system);
        seam::killAfter = seam::changes + n;
        testing_support::undone(*state, system);
    } else {
        seam::killAfter = n;
        testing_support::renamed(*state, system);
    }
    return 3;  // the kill never came
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

    // A new, empty directory on `fs` for one case, the one before it gone so
    // the small volumes do not fill up; the mount is made at the first case
    // that needs it.
    QString freshDirectory(FileSystem fs) {
        std::unique_ptr<ScopedMount>& mount = mounts_[fs];
        if (!mount) {
            mount = std::make_unique<ScopedMount>(fs);
        }
        if (!mount->error().isEmpty()) {
            return QString();
        }
        testing_support::removeTree(mount->path() + QStringLiteral("/case%1").arg(directories_));
        const QString dir = mount->path() + QStringLiteral("/case%1").arg(++directories_);
        return QDir().mkdir(dir) ? dir : QString();
    }

    // Runs the child's task "<batch> <phase> <n>" on `dir` until it is killed
    // (or, where `mayFinish`, ends by itself), checks that no contents of
    // `original` are lost, remounts where asked and restores from the journal
    // left. `outcome` is the restore's report; none where no journal was left.
    void killAndRestore(const QString& task, FileSystem fs, const QString& dir, bool remount,
                        const QMap<QByteArray, QByteArray>& original,
                        std::optional<batch::WayBackReport>& outcome, bool mayFinish = false) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChild), task + u' ' + dir);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::CrashExit || (mayFinish && child.exitCode() == 3),
                 qPrintable(task));
        // Whatever the kill left, no content is lost.
        const QList<QByteArray> killed = testing_support::rawContents(rawSnapshot(dir));
        for (const QByteArray& contents : original) {
            QVERIFY2(killed.contains(contents), qPrintable(task));
        }
        if (remount) {
            QVERIFY2(mounts_[fs]->remount(), qPrintable(mounts_[fs]->error()));
        }
        QList<journal::Leftover> left = journal::leftovers();
        QVERIFY(left.size() <= 1);
        if (!left.isEmpty()) {
            QVERIFY(left[0].record);
            outcome.emplace(batch::restoreFromJournal(*left[0].record, platform::real()));
            journal::discard(left[0]);
        }
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
            const batch::Plan plan =
                testing_support::planned(*state, batch.input(), platform::real());
            QCOMPARE(rawSnapshot(dir), before);
            if (generateNewNames(*state, batch.input()) != Error::None) {
                QVERIFY(plan.stopped());
                continue;
            }
            testing_support::FaultPlatform p;
            const bool stop = round % 2 == 1;
            if (stop) {
                // The disk fills up at a random file, for this one rename.
                p.failRename(batch.listed.at(random.bounded(int(batch.listed.size()))),
                             Error::DiskFull, 1, testing_support::RenameSide::Source);
            }
            const batch::Plan record = testing_support::renamed(*state, p);
            if (record.error() == Error::None) {
                QStringList foreseen;
                QStringList given;
                for (int i = 0; i <= state->lastIndex; ++i) {
                    foreseen << plan.steps[i].newName;
                    given << platform::nameOf(state->newNames[i]);
                }
                QVERIFY2(!plan.stopped() && foreseen == given, qPrintable(context));
                QVERIFY2(testing_support::undone(*state, p).error() == Error::None,
                         qPrintable(context));
            } else {
                QVERIFY2(stop, qPrintable(context + ": " + batch::errorText(record)));
                QVERIFY2(batch::allBack(record), qPrintable(context));
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
            // Made on Linux, where the file system lets it: renamed, and back.
            if (fs != FileSystem::FuseFat && fs != FileSystem::ExfatFuse) {
                row("an old name the rules refuse") << fs << QStringList{"a:b\tc.jpg"} << ""
                                                    << "" << QStringList{"0001.jpg"} << "renamed";
            }
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
        const batch::Plan plan = testing_support::planned(*state, batch.input(), platform::real());
        QCOMPARE(batch::resultText(plan, 0), result);

        QCOMPARE(generateNewNames(*state, batch.input()), Error::None);
        QCOMPARE(testing_support::renamed(*state, platform::real()).error(), Error::None);
        QCOMPARE(sortedFiles(dir), after);
        QCOMPARE(state->filesSkipped, result.startsWith("skipped") ? 1 : 0);
        QCOMPARE(testing_support::undone(*state, platform::real()).error(), Error::None);
        QCOMPARE(rawSnapshot(dir), before);
    }

    // A process killed (SIGKILL: no chance to clean up) right after each
    // system call of one rename in the middle of a batch, or of its undo: the
    // link made, the placeholder made, the change of case parked under a name
    // of ours. The next start gives every file its old name back and leaves
    // nothing else, also after the volume went away and came back with new
    // device and inode numbers. Beside the batch, files that look like its own
    // (addLookAlikes) stay as they were, whether the process ended with the
    // review open or after the first rename.
    void killedBatchRestored_data() {
        QTest::addColumn<FileSystem>("fs");
        QTest::addColumn<QString>("batch");
        QTest::addColumn<QString>("phase");
        QTest::addColumn<bool>("remount");
        for (const FileSystem fs : kAll) {
            for (const bool remount : {false, true}) {
                if (!remount || fs != FileSystem::Tmpfs) {
                    QTest::addRow("%s, look-alikes%s", qPrintable(testing_support::nameOf(fs)),
                                  remount ? ", remounted" : "")
                        << fs << QStringLiteral("look-alikes") << QStringLiteral("rename")
                        << remount;
                }
            }
            for (const char* batch : {"numbered", "case"}) {
                if (QLatin1String(batch) == QLatin1String("case") && !windowsFamily(fs)) {
                    continue;  // a change of case alone is a rename like any other there
                }
                for (const char* phase : {"rename", "undo"}) {
                    for (const bool remount : {false, true}) {
                        if (!remount || fs != FileSystem::Tmpfs) {
                            QTest::addRow("%s, %s, %s%s", qPrintable(testing_support::nameOf(fs)),
                                          batch, phase, remount ? ", remounted" : "")
                                << fs << QString::fromLatin1(batch) << QString::fromLatin1(phase)
                                << remount;
                        }
                    }
                }
            }
        }
    }

    void killedBatchRestored() {
        QFETCH(FileSystem, fs);
        QFETCH(QString, batch);
        QFETCH(QString, phase);
        QFETCH(bool, remount);
        const QString dir = freshDirectory(fs);
        QVERIFY2(!dir.isEmpty(), qPrintable(mounts_[fs]->error()));
        const bool lookAlikes = batch == QLatin1String("look-alikes");
        if (lookAlikes) {
            batch = QStringLiteral("numbered");
            QRandomGenerator random{quint32(fs)};
            addLookAlikes(dir, batchOf(batch, dir), random);
        }
        batchOf(batch, dir);
        const auto original = rawSnapshot(dir);
        // The changes one rename takes here: the way found as the batch finds
        // it (the checked way's no-replace rename only asks, and changes nothing).
        const platform::RenameWay way =
            platform::real().learnRenames(*platform::real().openDirectory(dir).directory).way;
        const int perRename = (way == platform::RenameWay::Link      ? 2
                               : way == platform::RenameWay::Reserve ? 2
                                                                     : 1) *
                              (batch == QLatin1String("case") ? 2 : 1);
        // Killed after the n-th change: after each change of a rename in the
        // middle of the batch; with look-alikes, after the first rename and
        // with the review open (0).
        QList<int> kills{perRename, 0};
        if (!lookAlikes) {
            kills.clear();
            for (int step = perRename; step >= 1; --step) {
                kills << kChainLength / 2 * perRename + step;
            }
        }
        for (const int kill : kills) {
            const QString context = QStringLiteral("killed after change %1").arg(kill);
            std::optional<batch::WayBackReport> restored;
            killAndRestore(QStringLiteral("%1 %2 %3").arg(batch, phase).arg(kill), fs, dir, remount,
                           original, restored);
            QVERIFY2(restored, qPrintable(context));
            const batch::WayBackReport& outcome = *restored;
            // Killed with a link made: where the file system counts no links
            // (sshfs) nothing proves the two names one file, so both stay and
            // the report names them; nothing is lost. The last kill of the row.
            if (fs == FileSystem::Sshfs && way == platform::RenameWay::Link && !lookAlikes &&
                kill % perRename == 1) {
                QCOMPARE(outcome.alike.size(), 1);
                const QList<QByteArray> now = testing_support::rawContents(rawSnapshot(dir));
                for (const QByteArray& contents : original) {
                    QVERIFY2(now.contains(contents), qPrintable(context));
                }
                break;
            }
            QVERIFY2(
                outcome.complete(),
                qPrintable(context + ": " +
                           (outcome.notFound + outcome.notRestored + outcome.alike).join(u',')));
            QVERIFY2(outcome.numbered.isEmpty(),
                     qPrintable(context + ": " + outcome.numbered.join(u',')));
            QVERIFY2(rawSnapshot(dir) == original,
                     qPrintable(context + ": " +
                                QDir(dir).entryList(QDir::Files | QDir::Hidden).join(u',')));
        }
    }

    // Random batches with look-alikes beside them (addLookAlikes), renamed
    // each way a file system may need, the process killed after a random
    // change of its rename or its undo, or with the review open: the restore
    // gives back exactly the old names and contents, and nothing else.
    void killedAtRandomRestored() {
        QRandomGenerator random(20261208);
        for (int round = 0; round < 40; ++round) {
            const QString dir = freshDirectory(FileSystem::Tmpfs);
            QVERIFY2(!dir.isEmpty(), qPrintable(mounts_[FileSystem::Tmpfs]->error()));
            const quint32 seed = random.generate();
            const Batch batch = seededBatch(seed);
            const int perRename = 1 + int(seededWay(seed) == platform::RenameWay::Link) +
                                  int(seededWay(seed) == platform::RenameWay::Reserve);
            for (const QString& name : batch.listed) {
                createFile(dir, name);
            }
            addLookAlikes(dir, batch, random);
            const auto original = rawSnapshot(dir);
            const QString task = QStringLiteral("seed%1 %2 %3")
                                     .arg(seed)
                                     .arg(random.bounded(2) == 0 ? "rename" : "undo")
                                     .arg(random.bounded(perRename * batch.listed.size() + 1));
            std::optional<batch::WayBackReport> outcome;
            killAndRestore(task, FileSystem::Tmpfs, dir, false, original, outcome, true);
            if (QTest::currentTestFailed()) {
                return;
            }
            const QString context =
                task + u':' + QDir(dir).entryList(QDir::Files | QDir::Hidden).join(u',');
            QVERIFY2(!outcome || (outcome->complete() && outcome->numbered.isEmpty()),
                     qPrintable(context));
            QVERIFY2(rawSnapshot(dir) == original, qPrintable(context));
        }
    }

    // A file of the same size and time as one of the batch, but other
    // contents, under the name the batch gave that file: where the inode or
    // the contents tell it apart, the restore leaves it alone, says the
    // batch's file is not found, and puts the others back. Where size and
    // time are all that lasts (exfat-fuse, sshfs), they are the proof.
    void strangerUnderANameOfTheBatch_data() { addRowPerFileSystem(); }
    void strangerUnderANameOfTheBatch() {
        QFETCH(FileSystem, fs);
        const QString dir = freshDirectory(fs);
        QVERIFY2(!dir.isEmpty(), qPrintable(mounts_[fs]->error()));
        const Batch batch{{"a.jpg", "b.jpg", "c.jpg"}, "a.jpg", "", "n_", "", "", "0"};
        QFile b(dir + "/b.jpg");
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write(QByteArray(5000, 'b'));
        b.close();
        for (const char* name : {"a.jpg", "c.jpg"}) {
            createFile(dir, name);
        }
        const auto state = batch.extracted(dir);
        generateNewNames(*state, batch.input());
        QCOMPARE(testing_support::renamed(*state, platform::real()).error(), Error::None);
        journal::keepForNextStart();  // as a process that was killed now

        // Another file takes b's new name, saved over it as an editor saves:
        // the same size and time, other contents.
        struct stat was;
        const QByteArray n2 = QFile::encodeName(dir + "/n_0002.jpg");
        QCOMPARE(::stat(n2.constData(), &was), 0);
        QFile stranger(dir + "/saving");
        QVERIFY(stranger.open(QIODevice::WriteOnly));
        stranger.write(QByteArray(2500, 'b') + QByteArray(2500, 'x'));
        stranger.close();
        const timespec times[2] = {was.st_atim, was.st_mtim};
        QCOMPARE(
            ::utimensat(AT_FDCWD, QFile::encodeName(stranger.fileName()).constData(), times, 0), 0);
        QVERIFY(::rename(QFile::encodeName(stranger.fileName()).constData(), n2.constData()) == 0);

        QList<journal::Leftover> left = journal::leftovers();
        QCOMPARE(left.size(), 1);
        const batch::WayBackReport outcome(
            batch::restoreFromJournal(*left[0].record, platform::real()));
        journal::discard(left[0]);
        // Inode numbers last on the kernel's own file systems and ntfs-3g
        // (a FUSE mount that only its volume names); fusefat reads contents.
        const bool told = fs != FileSystem::ExfatFuse && fs != FileSystem::Sshfs;
        QCOMPARE(platform::real().openDirectory(dir).directory->rules().stableInodes,
                 told && fs != FileSystem::FuseFat);
        QCOMPARE(outcome.notFound, told ? QStringList{"b.jpg"} : QStringList{});
        QCOMPARE(sortedFiles(dir),
                 (QStringList{"a.jpg", told ? "c.jpg" : "b.jpg", told ? "n_0002.jpg" : "c.jpg"}));
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
