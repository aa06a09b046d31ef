// The platform layer against real temporary directories: renames that never
// replace, error numbers, byte-exact names, listings, drives and paths. The
// system calls of the rename are replaced where a root user cannot make the
// system refuse.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <cerrno>
#include <functional>

#include "platform/Platform.h"
#include "platform/PlatformLinux.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"

using platform::LinuxSystem;
using platform::Status;
using platform::SystemCalls;
using testing_support::FaultPlatform;
using testing_support::RenameSide;
using testing_support::ScopedPlatform;
using testing_support::TempFiles;

namespace {

// --- Raw byte-path helpers, independent of the code under test. ---

QByteArray rawPath(const QString& dir, const QByteArray& name) {
    return QFile::encodeName(dir) + '/' + name;
}

void createRaw(const QByteArray& path, const QByteArray& content) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
}

QByteArray readRaw(const QByteArray& path) {
    QByteArray data;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0) {
        return QByteArray("<missing>");
    }
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        data.append(buffer, n);
    }
    ::close(fd);
    return data;
}

bool existsRaw(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// Every entry name of `dir` as the system spells it, sorted.
QList<QByteArray> rawNames(const QString& dir) {
    QList<QByteArray> names;
    DIR* d = ::opendir(QFile::encodeName(dir).constData());
    if (d == nullptr) {
        return names;
    }
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..") {
            names.append(name);
        }
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

// Renames full path `from` to full path `to` through a pin of their directory.
Status renameFile(platform::System& p, const QString& from, const QString& to) {
    const platform::OpenedDirectory opened = p.openDirectory(platform::directoryOf(from));
    if (!opened.directory) {
        return opened.status;
    }
    return p.renameIn(*opened.directory, platform::nameOf(from), platform::nameOf(to));
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

QString escaped(unsigned char byte) {
    return QString(QChar(char16_t(0xDC00 + byte)));
}

// --- A replaceable set of system calls. ---

struct Seam {
    int renameErrno = 0;  // renameat2 fails with this when not 0
    int linkErrno = 0;    // link fails with this when not 0
    int unlinkErrno = 0;  // the first unlink fails with this when not 0
    int statErrno = 0;    // a look at `statFails` fails with this when not 0
    QByteArray statFails;
    int createErrno = 0;       // an exclusive create fails with this when not 0
    bool flagRefused = false;  // as fusefat: the no-replace rename of a free name gives EINVAL
    std::function<void()> afterLink;     // runs right after a link that succeeded
    std::function<void()> afterReserve;  // runs right after a placeholder was created
    int renameCalls = 0;
    int linkCalls = 0;
    int unlinkCalls = 0;
    int createCalls = 0;
};
Seam seam;

int seamRenameat2(int a, const char* from, int b, const char* to, unsigned int flags) {
    ++seam.renameCalls;
    struct stat st;
    if (seam.flagRefused && flags != 0) {
        errno = ::fstatat(b, to, &st, AT_SYMLINK_NOFOLLOW) == 0 ? EEXIST : EINVAL;
        return -1;
    }
    // EACCES stands for a rename refused whatever its flags.
    if (seam.renameErrno != 0 && (flags != 0 || seam.renameErrno == EACCES)) {
        errno = seam.renameErrno;
        return -1;
    }
    return SystemCalls::system().renameat2(a, from, b, to, flags);
}

int seamLinkat(int a, const char* from, int b, const char* to, int flags) {
    ++seam.linkCalls;
    if (seam.linkErrno != 0) {
        errno = seam.linkErrno;
        return -1;
    }
    const int result = ::linkat(a, from, b, to, flags);
    if (result == 0 && seam.afterLink) {
        seam.afterLink();
    }
    return result;
}

int seamUnlinkat(int dirFd, const char* path, int flags) {
    if (++seam.unlinkCalls == 1 && seam.unlinkErrno != 0) {
        errno = seam.unlinkErrno;
        return -1;
    }
    return ::unlinkat(dirFd, path, flags);
}

int seamFstatat(int dirFd, const char* path, struct stat* result, int flags) {
    if (seam.statErrno != 0 && seam.statFails == path) {
        errno = seam.statErrno;
        return -1;
    }
    return ::fstatat(dirFd, path, result, flags);
}

// An exclusive create reserves a placeholder.
int seamOpenat(int dirFd, const char* path, int flags, mode_t mode) {
    if ((flags & O_EXCL) != 0) {
        ++seam.createCalls;
        if (seam.createErrno != 0) {
            errno = seam.createErrno;
            return -1;
        }
    }
    const int fd = ::openat(dirFd, path, flags, mode);
    if (fd >= 0 && (flags & O_EXCL) != 0 && seam.afterReserve) {
        seam.afterReserve();
    }
    return fd;
}

LinuxSystem seamPlatform() {
    seam = Seam{};
    SystemCalls calls = SystemCalls::system();
    calls.renameat2 = seamRenameat2;
    calls.linkat = seamLinkat;
    calls.unlinkat = seamUnlinkat;
    calls.fstatat = seamFstatat;
    calls.openat = seamOpenat;
    return LinuxSystem(calls);
}

int systemCalls() {
    return seam.renameCalls + seam.linkCalls + seam.unlinkCalls + seam.createCalls;
}

}  // namespace

class TestPlatform : public QObject {
    Q_OBJECT

  private slots:
    // Renaming on a real directory.
    void renameMovesTheFile();
    void takenTargetIsNeverReplaced_data();
    void takenTargetIsNeverReplaced();
    void missingFileAndVanishedDirectory();
    void nameLengthCountsBytes_data();
    void nameLengthCountsBytes();
    void namesThatLeaveTheDirectoryAreRefused_data();
    void namesThatLeaveTheDirectoryAreRefused();
    void renameToItselfIsANoOp();
    void systemErrorsMapToErrorNumbers_data();
    void systemErrorsMapToErrorNumbers();

    // The link + unlink fallback where the file system lacks RENAME_NOREPLACE.
    void everyWayNeverReplaces_data();
    void everyWayNeverReplaces();
    void checkedWayNeverReplaces_data();
    void checkedWayNeverReplaces();
    void renamesLearnedWithoutTryingThem();
    void placeholderTakenOverIsLeftAlone_data();
    void placeholderTakenOverIsLeftAlone();
    void nameRulesByFileSystem_data();
    void nameRulesByFileSystem();
    void fallbackFailedUnlinkRemovesTheNewName();
    void fallbackNeverUnlinksAnotherFile_data();
    void fallbackNeverUnlinksAnotherFile();

    // The directory a batch is pinned to, and what the journal relies on.
    void pinnedDirectoryTravelsWithTheDirectory();
    void pinnedDirectoryThatIsGone_data();
    void pinnedDirectoryThatIsGone();
    void fingerprintsSurviveRenames();
    void durableWriteReplacesTheWholeFile();

    // Names that are not UTF-8.
    void nonUtf8NameListedAndRenamedByteForByte();
    void decodeFileName_data();
    void decodeFileName();
    void encodeFileName_data();
    void encodeFileName();
    void randomBytesRoundTrip();

    // Listings and queries.
    void listingsSortAndFilterEntries();
    void listingOfAnEmptyDirectory();
    void unreadableDirectoryIsNotOk_data();
    void unreadableDirectoryIsNotOk();
    void largeDirectoryIsListedCompletely();
    void existenceQueries();
    void drivesStartWithTheRoot();

    // Portable helpers.
    void pathHelpers_data();
    void pathHelpers();
    void plainFileNames_data();
    void plainFileNames();
    void currentPlatformCanBeReplaced();

    // The fault-injecting platform other suites rely on.
    void faultPlatformFailsByName();
    void faultPlatformFailsAfterSuccesses();
    void faultPlatformHooksAndListings();
};

// ---------------------------------------------------------------------------

void TestPlatform::renameMovesTheFile() {
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    const Status r = renameFile(platform::real(), dir.filePath(QStringLiteral("a.txt")),
                                dir.filePath(QStringLiteral("b.txt")));
    QVERIFY(r.ok());
    QCOMPARE(r.osError, 0);
    QCOMPARE(dir.names(), QStringList{QStringLiteral("b.txt")});
    QCOMPARE(dir.read(QStringLiteral("b.txt")), QByteArray("alpha"));
}

void TestPlatform::takenTargetIsNeverReplaced_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << QStringLiteral("file");
    QTest::newRow("empty directory") << QStringLiteral("dir");
    QTest::newRow("dangling symlink") << QStringLiteral("symlink");
}

void TestPlatform::takenTargetIsNeverReplaced() {
    QFETCH(QString, kind);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    const QString target = dir.filePath(QStringLiteral("b.txt"));
    if (kind == QLatin1String("file")) {
        dir.create(QStringLiteral("b.txt"), "beta");
    } else if (kind == QLatin1String("dir")) {
        QVERIFY(QDir().mkdir(target));
    } else {
        QVERIFY(QFile::link(QStringLiteral("/nonexistent/nowhere"), target));
    }

    const Status r = renameFile(platform::real(), dir.filePath(QStringLiteral("a.txt")), target);
    QCOMPARE(r.error, Error::FileExists);
    QCOMPARE(r.osError, EEXIST);
    QCOMPARE(dir.read(QStringLiteral("a.txt")), QByteArray("alpha"));
    if (kind == QLatin1String("file")) {
        QCOMPARE(dir.read(QStringLiteral("b.txt")), QByteArray("beta"));
    } else if (kind == QLatin1String("dir")) {
        QVERIFY(QFileInfo(target).isDir());
    } else {
        QCOMPARE(QFileInfo(target).symLinkTarget(), QStringLiteral("/nonexistent/nowhere"));
    }
}

void TestPlatform::missingFileAndVanishedDirectory() {
    TempFiles dir;
    dir.create(QStringLiteral("plain"));
    platform::System& p = platform::real();

    Status r = renameFile(p, dir.filePath(QStringLiteral("gone.txt")),
                          dir.filePath(QStringLiteral("b.txt")));
    QCOMPARE(r.error, Error::FileNotFound);
    QCOMPARE(r.osError, ENOENT);

    const QString vanished = dir.filePath(QStringLiteral("vanished"));
    QVERIFY(QDir().mkdir(vanished));
    QFile(vanished + QStringLiteral("/a.txt")).open(QIODevice::WriteOnly);
    QVERIFY(QDir(vanished).removeRecursively());
    r = renameFile(p, vanished + QStringLiteral("/a.txt"), vanished + QStringLiteral("/b.txt"));
    QCOMPARE(r.error, Error::PathNotFound);

    // A file where a directory should be.
    const QString notDir = dir.filePath(QStringLiteral("plain"));
    r = renameFile(p, notDir + QStringLiteral("/a.txt"), notDir + QStringLiteral("/b.txt"));
    QCOMPARE(r.error, Error::PathNotFound);
    QCOMPARE(r.osError, ENOTDIR);
}

void TestPlatform::nameLengthCountsBytes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("255 bytes") << QString(255, u'a') << 0;
    QTest::newRow("256 bytes") << QString(256, u'a') << errorNumber(Error::PathFileAccess);
    // 128 characters but 256 bytes.
    QTest::newRow("256 bytes of é")
        << QString(128, QChar(0xE9)) << errorNumber(Error::PathFileAccess);
}

void TestPlatform::nameLengthCountsBytes() {
    QFETCH(QString, name);
    QFETCH(int, error);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    const Status r =
        renameFile(platform::real(), dir.filePath(QStringLiteral("a.txt")), dir.filePath(name));
    QCOMPARE(errorNumber(r.error), error);
    if (error != 0) {
        QCOMPARE(r.osError, ENAMETOOLONG);  // known before the system is asked
        QCOMPARE(dir.read(QStringLiteral("a.txt")), QByteArray("alpha"));
    } else {
        QCOMPARE(dir.read(name), QByteArray("alpha"));
    }
}

void TestPlatform::namesThatLeaveTheDirectoryAreRefused_data() {
    QTest::addColumn<QString>("from");  // relative to the temp dir
    QTest::addColumn<QString>("to");
    QTest::newRow("empty") << QStringLiteral("a.txt") << QString();
    QTest::newRow("dot") << QStringLiteral("a.txt") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("a.txt") << QStringLiteral("..");
    QTest::newRow("into a subdirectory") << QStringLiteral("a.txt") << QStringLiteral("sub/b.txt");
    QTest::newRow("up and back") << QStringLiteral("a.txt") << QStringLiteral("../x/b.txt");
    QTest::newRow("trailing separator") << QStringLiteral("a.txt") << QStringLiteral("b.txt/");
    QTest::newRow("NUL") << QStringLiteral("a.txt") << QStringLiteral("b\0.txt");
    QTest::newRow("other directory") << QStringLiteral("a.txt") << QStringLiteral("@other/b.txt");
    QTest::newRow("source is dot dot") << QStringLiteral("sub/..") << QStringLiteral("b");
}

void TestPlatform::namesThatLeaveTheDirectoryAreRefused() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    TempFiles dir;
    QTemporaryDir other;
    dir.create(QStringLiteral("a.txt"), "alpha");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    to.replace(QStringLiteral("@other"), other.path());

    // The names as a batch would hand them over, relative to its directory.
    LinuxSystem p = seamPlatform();
    const platform::Directory pinned = p.openDirectory(dir.path()).directory;
    const Status r = p.renameIn(*pinned, from, to);
    QCOMPARE(r.error, Error::PathFileAccess);
    QCOMPARE(r.osError, 0);
    QCOMPARE(systemCalls(), 0);
    QCOMPARE(rawNames(dir.path()), (QList<QByteArray>{"a.txt", "sub"}));
    QCOMPARE(rawNames(dir.filePath(QStringLiteral("sub"))), QList<QByteArray>{});
    QCOMPARE(rawNames(other.path()), QList<QByteArray>{});
}

void TestPlatform::renameToItselfIsANoOp() {
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    LinuxSystem p = seamPlatform();
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QVERIFY(renameFile(p, path, path).ok());
    QCOMPARE(systemCalls(), 0);
    QCOMPARE(dir.read(QStringLiteral("a.txt")), QByteArray("alpha"));
}

void TestPlatform::systemErrorsMapToErrorNumbers_data() {
    QTest::addColumn<int>("osError");
    QTest::addColumn<int>("error");
    QTest::newRow("EEXIST") << EEXIST << 58;
    QTest::newRow("ENOTEMPTY") << ENOTEMPTY << 58;
    QTest::newRow("EISDIR") << EISDIR << 58;
    QTest::newRow("EACCES") << EACCES << 75;
    QTest::newRow("EPERM") << EPERM << 75;
    QTest::newRow("EBUSY") << EBUSY << 75;
    QTest::newRow("ETXTBSY") << ETXTBSY << 75;
    QTest::newRow("EROFS") << EROFS << 75;
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << 75;
    QTest::newRow("ENOENT, directory present") << ENOENT << 53;
    QTest::newRow("ENOTDIR") << ENOTDIR << 76;
    QTest::newRow("ENOSPC") << ENOSPC << 61;
    QTest::newRow("EDQUOT") << EDQUOT << 61;
    QTest::newRow("EXDEV") << EXDEV << 74;
    QTest::newRow("EIO") << EIO << 5;
    QTest::newRow("ELOOP") << ELOOP << 5;
}

void TestPlatform::systemErrorsMapToErrorNumbers() {
    QFETCH(int, osError);
    QFETCH(int, error);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    LinuxSystem p = seamPlatform();
    seam.renameErrno = osError;
    const Status r =
        renameFile(p, dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt")));
    QCOMPARE(errorNumber(r.error), error);
    QCOMPARE(r.osError, osError);
    QCOMPARE(seam.linkCalls, 0);
    QCOMPARE(dir.names(), QStringList{QStringLiteral("a.txt")});
}

// ---------------------------------------------------------------------------

// Where the system refuses the no-replace rename (FUSE drivers, network
// mounts) a hard link takes its place, and where links are refused too an
// empty placeholder reserves the new name. Each way renames, refuses a taken
// name without touching either file, and is found once per directory.
void TestPlatform::everyWayNeverReplaces_data() {
    QTest::addColumn<int>("renameErrno");
    QTest::addColumn<int>("linkErrno");
    QTest::addColumn<int>("way");
    const int noReplace = int(platform::RenameWay::NoReplace);
    const int link = int(platform::RenameWay::Link);
    const int reserve = int(platform::RenameWay::Reserve);
    QTest::newRow("no-replace rename") << 0 << 0 << noReplace;
    QTest::newRow("EINVAL: link") << EINVAL << 0 << link;
    QTest::newRow("ENOSYS: link") << ENOSYS << 0 << link;
    QTest::newRow("EOPNOTSUPP: link") << EOPNOTSUPP << 0 << link;
    QTest::newRow("EINVAL, link EPERM: placeholder") << EINVAL << EPERM << reserve;
    QTest::newRow("ENOSYS, link ENOTSUP: placeholder") << ENOSYS << ENOTSUP << reserve;
    QTest::newRow("EINVAL, link EMLINK: placeholder") << EINVAL << EMLINK << reserve;
}

void TestPlatform::everyWayNeverReplaces() {
    QFETCH(int, renameErrno);
    QFETCH(int, linkErrno);
    QFETCH(int, way);
    TempFiles dir;
    dir.createAll({QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("taken.txt")});
    LinuxSystem p = seamPlatform();
    seam.renameErrno = renameErrno;
    seam.linkErrno = linkErrno;
    const platform::Directory d = p.openDirectory(dir.path()).directory;

    // A taken name and a missing file tell nothing of the way.
    QCOMPARE(p.renameIn(*d, u"a.txt", u"taken.txt").error, Error::FileExists);
    QCOMPARE(p.renameIn(*d, u"gone.txt", u"c.txt").error, Error::FileNotFound);
    QCOMPARE(d->renameWay(), platform::RenameWay::Unknown);
    QVERIFY(p.renameIn(*d, u"a.txt", u"a2.txt").ok());
    QCOMPARE(int(d->renameWay()), way);
    const int calls = systemCalls();
    QVERIFY(p.renameIn(*d, u"b.txt", u"b2.txt").ok());
    // Once known, the way is taken at once: one call to rename (and the
    // link's or the placeholder's own calls).
    QVERIFY(systemCalls() - calls <= 3);
    QCOMPARE(p.renameIn(*d, u"b2.txt", u"taken.txt").error, Error::FileExists);

    // Every file once, under one name, with its own content.
    QCOMPARE(testing_support::snapshot(dir.path()),
             (QMap<QString, QByteArray>{
                 {"a2.txt", "a.txt"}, {"b2.txt", "b.txt"}, {"taken.txt", "taken.txt"}}));
}

// Where the driver refuses the no-replace flag for a free name only
// (fusefat), the plain rename follows that answer and no other.
void TestPlatform::checkedWayNeverReplaces_data() {
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("renameErrno");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("free") << "b.txt" << 0 << 0 << QStringList{"b.txt", "taken.txt"};
    QTest::newRow("taken") << "taken.txt" << 0 << errorNumber(Error::FileExists)
                           << QStringList{"a.txt", "taken.txt"};
    QTest::newRow("plain rename refused") << "b.txt" << EACCES << errorNumber(Error::PathFileAccess)
                                          << QStringList{"a.txt", "taken.txt"};
}

void TestPlatform::checkedWayNeverReplaces() {
    QFETCH(QString, to);
    QFETCH(int, renameErrno);
    QFETCH(int, error);
    QFETCH(QStringList, after);
    TempFiles dir;
    dir.createAll({QStringLiteral("a.txt"), QStringLiteral("taken.txt")});
    LinuxSystem p = seamPlatform();
    seam.flagRefused = true;
    seam.renameErrno = renameErrno;
    const platform::Directory d = p.openDirectory(dir.path()).directory;
    d->setRenameTraits({platform::RenameWay::Checked, false});
    QCOMPARE(errorNumber(p.renameIn(*d, u"a.txt", to).error), error);
    QCOMPARE(dir.names(), after);
    QCOMPARE(dir.read(after.first()), QByteArray("a.txt"));
    QCOMPARE(dir.read(QStringLiteral("taken.txt")), QByteArray("taken.txt"));
    QCOMPARE(seam.linkCalls + seam.createCalls, 0);
}

// Nothing is tried out in the user's directory to learn how renames go there.
void TestPlatform::renamesLearnedWithoutTryingThem() {
    TempFiles dir;
    dir.createAll({QStringLiteral("a.txt")});
    LinuxSystem p = seamPlatform();
    const platform::Directory d = p.openDirectory(dir.path()).directory;
    const platform::RenameTraits traits = p.learnRenames(*d);
    QVERIFY(d->traitsKnown());
    QCOMPARE(d->renameTraits(), traits);
    QCOMPARE(seam.renameCalls + seam.linkCalls + seam.createCalls, 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("a.txt")});
}

// The placeholder way: a placeholder that another program took over before
// the rename is never renamed over; one whose rename failed is removed.
void TestPlatform::placeholderTakenOverIsLeftAlone_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("replaced by another file")
        << "replace" << errorNumber(Error::FileExists) << QStringList{"a.txt", "b.txt"};
    QTest::newRow("written to") << "write" << errorNumber(Error::FileExists)
                                << QStringList{"a.txt", "b.txt"};
    QTest::newRow("rename refused")
        << "refuse" << errorNumber(Error::PathFileAccess) << QStringList{"a.txt"};
    QTest::newRow("create refused")
        << "create" << errorNumber(Error::DiskFull) << QStringList{"a.txt"};
}

void TestPlatform::placeholderTakenOverIsLeftAlone() {
    QFETCH(QString, meanwhile);
    QFETCH(int, error);
    QFETCH(QStringList, after);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    LinuxSystem p = seamPlatform();
    seam.renameErrno = EINVAL;
    seam.linkErrno = EPERM;
    const QByteArray b = rawPath(dir.path(), "b.txt");
    seam.afterReserve = [&] {
        if (meanwhile == "replace") {
            QCOMPARE(::unlink(b.constData()), 0);
            createRaw(b, "theirs");
        } else if (meanwhile == "write") {
            QFile file(dir.filePath("b.txt"));
            QVERIFY(file.open(QIODevice::Append));
            file.write("theirs");
        } else {
            seam.renameErrno = EACCES;  // the plain rename over the placeholder, too
        }
    };
    if (meanwhile == "create") {
        seam.createErrno = ENOSPC;
    }
    // Every rename fails with EACCES from the placeholder on.
    const Status r = renameFile(p, dir.filePath("a.txt"), dir.filePath("b.txt"));
    QCOMPARE(errorNumber(r.error), error);
    QCOMPARE(dir.names(), after);
    QCOMPARE(dir.read("a.txt"), QByteArray("alpha"));
    if (after.contains("b.txt")) {
        QVERIFY(dir.read("b.txt").endsWith("theirs"));
    }
}

// What the Windows family refuses beyond what the FUSE test meets on real
// volumes: other characters, device names, length in UTF-16 units.
void TestPlatform::nameRulesByFileSystem_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("refusal");
    using R = platform::NameRules::Refusal;
    const auto row = [](const char* tag, const char* type, const char* volume, QString name,
                        R refusal) {
        QTest::newRow(tag) << type << volume << name << int(refusal);
    };
    row("exfat-fuse: question mark", "fuseblk", "exfat", "a?.jpg", R::Character);
    row("ntfs-3g: pipe", "fuse", "ntfs", "a|b", R::Character);
    row("ntfs3: control character", "ntfs3", "", "a\tb", R::Character);
    row("vfat: trailing blank", "vfat", "", "photo ", R::TrailingBlank);
    row("vfat: a device name", "vfat", "", "con.txt", R::ReservedName);
    row("vfat: COM1", "vfat", "", "COM1", R::ReservedName);
    row("vfat: CONSOLE is fine", "vfat", "", "CONSOLE.txt", R::None);
    row("ntfs-3g: 256 characters", "fuse", "ntfs", QString(256, u'a'), R::TooLong);
    row("ext4: the same name is fine", "ext4", "", "con.txt", R::None);
}

void TestPlatform::nameRulesByFileSystem() {
    QFETCH(QString, type);
    QFETCH(QString, volume);
    QFETCH(QString, name);
    QFETCH(int, refusal);
    QCOMPARE(int(platform::rulesForType(type, volume).check(name).refusal), refusal);
}

void TestPlatform::fallbackFailedUnlinkRemovesTheNewName() {
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    LinuxSystem p = seamPlatform();
    seam.renameErrno = ENOTSUP;
    seam.unlinkErrno = EBUSY;

    const Status r =
        renameFile(p, dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt")));
    QCOMPARE(r.error, Error::PathFileAccess);
    QCOMPARE(r.osError, EBUSY);
    QCOMPARE(seam.unlinkCalls, 2);
    QCOMPARE(dir.names(), QStringList{QStringLiteral("a.txt")});
    QCOMPARE(dir.read(QStringLiteral("a.txt")), QByteArray("alpha"));
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(dir.filePath(QStringLiteral("a.txt"))).constData(), &st), 0);
    QCOMPARE(st.st_nlink, nlink_t(1));
}

void TestPlatform::fallbackNeverUnlinksAnotherFile_data() {
    QTest::addColumn<QString>("meanwhile");  // what happens to a.txt right after the link
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("oldName");  // what a.txt holds afterwards, or "<missing>"
    QTest::addColumn<QByteArray>("newName");  // what b.txt holds afterwards
    QTest::addColumn<bool>("fingerprinted");  // the batch's fingerprint given for the first look
    for (const bool known : {false, true}) {
        const auto row = [known](const char* tag) {
            return &QTest::addRow("%s%s", tag, known ? ", fingerprinted" : "");
        };
        // An editor saves a.txt (a new file renamed over it): the batch's
        // file now lives under b.txt alone, which is the rename done, and the
        // saved file stays.
        *row("saved under the old name")
            << "save" << 0 << QByteArray("saved") << QByteArray("alpha") << known;
        *row("old name removed") << "remove" << 0 << QByteArray("<missing>") << QByteArray("alpha")
                                 << known;
        // Whose the old name is cannot be told: nothing changes.
        *row("old name cannot be examined")
            << "unreadable" << errorNumber(Error::PathFileAccess) << QByteArray("alpha")
            << QByteArray("<missing>") << known;
    }
}

void TestPlatform::fallbackNeverUnlinksAnotherFile() {
    QFETCH(QString, meanwhile);
    QFETCH(int, error);
    QFETCH(QByteArray, oldName);
    QFETCH(QByteArray, newName);
    QFETCH(bool, fingerprinted);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    LinuxSystem p = seamPlatform();
    seam.renameErrno = EINVAL;
    const platform::Directory d = p.openDirectory(dir.path()).directory;
    platform::Fingerprint known;
    QVERIFY(p.identify(*d, u"a.txt", &known).ok());
    const QByteArray a = rawPath(dir.path(), "a.txt");
    seam.afterLink = [&] {
        if (meanwhile == QLatin1String("save")) {
            createRaw(rawPath(dir.path(), "a.txt~"), "saved");
            QCOMPARE(::rename(rawPath(dir.path(), "a.txt~").constData(), a.constData()), 0);
        } else if (meanwhile == QLatin1String("remove")) {
            QCOMPARE(::unlink(a.constData()), 0);
        } else {
            seam.statErrno = EACCES;
            seam.statFails = "a.txt";
        }
    };

    const Status r = p.renameIn(*d, u"a.txt", u"b.txt", fingerprinted ? &known : nullptr);
    QCOMPARE(errorNumber(r.error), error);
    QCOMPARE(readRaw(a), oldName);
    QCOMPARE(readRaw(rawPath(dir.path(), "b.txt")), newName);
    // Whatever holds "alpha" has that one name and no other.
    struct stat st;
    const QByteArray alpha = newName == "alpha" ? rawPath(dir.path(), "b.txt") : a;
    QCOMPARE(::stat(alpha.constData(), &st), 0);
    QCOMPARE(st.st_nlink, nlink_t(1));
}

// ---------------------------------------------------------------------------

void TestPlatform::pinnedDirectoryTravelsWithTheDirectory() {
    TempFiles top;
    const QString chosen = top.filePath(QStringLiteral("chosen"));
    const QString moved = top.filePath(QStringLiteral("moved"));
    QVERIFY(QDir().mkdir(chosen));
    createRaw(rawPath(chosen, "a.txt"), "alpha");
    platform::System& p = platform::real();
    const platform::OpenedDirectory opened = p.openDirectory(chosen);
    QVERIFY(opened.directory);
    QCOMPARE(opened.directory->path(), chosen);

    // Moved away, and another directory made at its old path with a file of
    // the same name: the renames still land in the chosen directory.
    QVERIFY(QDir().rename(chosen, moved));
    QVERIFY(QDir().mkdir(chosen));
    createRaw(rawPath(chosen, "a.txt"), "stranger");
    QVERIFY(p.renameIn(*opened.directory, u"a.txt", u"b.txt").ok());
    QCOMPARE(rawNames(moved), QList<QByteArray>{"b.txt"});
    QCOMPARE(readRaw(rawPath(chosen, "a.txt")), QByteArray("stranger"));
    QCOMPARE(p.list(*opened.directory).files, QStringList{QStringLiteral("b.txt")});
    QCOMPARE(p.list(*p.openDirectory(chosen).directory).files, QStringList{"a.txt"});
}

void TestPlatform::pinnedDirectoryThatIsGone_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("removed after it was pinned") << "removed";
    QTest::newRow("missing when pinned") << "missing";
    QTest::newRow("a file, not a directory") << "file";
}

void TestPlatform::pinnedDirectoryThatIsGone() {
    QFETCH(QString, how);
    TempFiles top;
    const QString path = top.filePath(QStringLiteral("d"));
    platform::System& p = platform::real();
    if (how == QLatin1String("file")) {
        createRaw(QFile::encodeName(path), "");
    } else if (how == QLatin1String("removed")) {
        QVERIFY(QDir().mkdir(path));
    }
    const platform::OpenedDirectory opened = p.openDirectory(path);
    if (how != QLatin1String("removed")) {
        QVERIFY(!opened.directory);
        QCOMPARE(opened.status.error, Error::PathNotFound);
        return;
    }
    QVERIFY(QDir().rmdir(path));
    QCOMPARE(p.list(*opened.directory).status.error, Error::PathNotFound);
    const Status r = p.renameIn(*opened.directory, u"a.txt", u"b.txt");
    QCOMPARE(r.error, Error::PathNotFound);
    QCOMPARE(r.osError, ENOENT);
    // Not even a directory made again at the path is touched.
    QVERIFY(QDir().mkdir(path));
    createRaw(rawPath(path, "a.txt"), "alpha");
    QCOMPARE(p.renameIn(*opened.directory, u"a.txt", u"b.txt").error, Error::PathNotFound);
    QCOMPARE(rawNames(path), QList<QByteArray>{"a.txt"});
}

void TestPlatform::fingerprintsSurviveRenames() {
    TempFiles dir;
    createRaw(rawPath(dir.path(), "a.txt"), "alpha");
    createRaw(rawPath(dir.path(), "caf\xe9"), "latin1");
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), dir.filePath(QStringLiteral("link"))));
    platform::System& p = platform::real();
    const platform::Directory d = p.openDirectory(dir.path()).directory;
    const QString latin1 = platform::decodeFileName("caf\xe9");
    platform::Fingerprint before;
    QVERIFY(p.identify(*d, latin1, &before).ok());
    struct stat st;
    QCOMPARE(::lstat(rawPath(dir.path(), "caf\xe9").constData(), &st), 0);
    QCOMPARE(before.size, qint64(6));
    QCOMPARE(before.inode, quint64(st.st_ino));  // tmpfs keeps its inode numbers
    platform::Fingerprint link;
    QVERIFY(p.identify(*d, u"link", &link).ok());  // the link itself, not what it names
    QCOMPARE(p.identify(*d, u"missing", &link).error, Error::FileNotFound);
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QCOMPARE(p.identify(*d, u"sub", &link).error, Error::FileNotFound);  // no file of a batch

    QVERIFY(p.renameIn(*d, latin1, u"b").ok());
    platform::Fingerprint after;
    QVERIFY(p.identify(*d, u"b", &after).ok());
    QVERIFY(before.matches(after));
    platform::Fingerprint other;
    QVERIFY(p.identify(*d, u"a.txt", &other).ok());
    QVERIFY(!before.matches(other));
    ::unlink(rawPath(dir.path(), "b").constData());
}

void TestPlatform::durableWriteReplacesTheWholeFile() {
    TempFiles dir;
    platform::System& p = platform::real();
    const QString path = dir.filePath(QStringLiteral("journal"));
    QVERIFY(p.writeFileDurably(path, "first").ok());
    QVERIFY(p.writeFileDurably(path, "second, longer").ok());
    QCOMPARE(readRaw(QFile::encodeName(path)), QByteArray("second, longer"));
    QCOMPARE(rawNames(dir.path()), QList<QByteArray>{"journal"});  // no temporary left
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0600));  // names of the user's files are private

    // Into a directory that is not there: 76, nothing written.
    QCOMPARE(p.writeFileDurably(dir.filePath(QStringLiteral("none/journal")), "x").error,
             Error::PathNotFound);
    QCOMPARE(rawNames(dir.path()), QList<QByteArray>{"journal"});
}

// ---------------------------------------------------------------------------

void TestPlatform::nonUtf8NameListedAndRenamedByteForByte() {
    TempFiles dir;
    const QByteArray latin1 = "caf\xe9.txt";
    const QByteArray odd = "\xff\xfe-\xc0\xaf";
    createRaw(rawPath(dir.path(), latin1), "latin1");
    createRaw(rawPath(dir.path(), "plain.txt"), "plain");
    platform::System& p = platform::real();

    const platform::Listing listing = p.listDirectory(dir.path());
    QVERIFY(listing.status.ok());
    const QString decoded = QStringLiteral("caf") + escaped(0xE9) + QStringLiteral(".txt");
    QCOMPARE(sorted(listing.files), (QStringList{decoded, QStringLiteral("plain.txt")}));

    // Out to a valid name and back.
    const QString from = platform::joinPath(dir.path(), decoded);
    const QString valid = platform::joinPath(dir.path(), QStringLiteral("café.txt"));
    QVERIFY(renameFile(p, from, valid).ok());
    QCOMPARE(rawNames(dir.path()), (QList<QByteArray>{"caf\xc3\xa9.txt", "plain.txt"}));
    QVERIFY(renameFile(p, valid, from).ok());
    QCOMPARE(rawNames(dir.path()), (QList<QByteArray>{latin1, "plain.txt"}));
    QCOMPARE(readRaw(rawPath(dir.path(), latin1)), QByteArray("latin1"));

    // From one invalid name to another.
    const QString oddPath = platform::joinPath(dir.path(), platform::decodeFileName(odd));
    QVERIFY(renameFile(p, from, oddPath).ok());
    QVERIFY(existsRaw(rawPath(dir.path(), odd)));
    QVERIFY(!existsRaw(rawPath(dir.path(), latin1)));
    QCOMPARE(readRaw(rawPath(dir.path(), odd)), QByteArray("latin1"));

    // The taken-name check works on the exact bytes too.
    createRaw(rawPath(dir.path(), latin1), "second");
    QCOMPARE(renameFile(p, oddPath, from).error, Error::FileExists);
    QCOMPARE(readRaw(rawPath(dir.path(), latin1)), QByteArray("second"));
}

void TestPlatform::decodeFileName_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const auto esc = [](std::initializer_list<unsigned char> bytes) {
        QString s;
        for (unsigned char b : bytes) {
            s += escaped(b);
        }
        return s;
    };
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii") << QByteArray("hello world.txt") << QStringLiteral("hello world.txt");
    QTest::newRow("NUL inside") << QByteArray("a\0b", 3) << QString::fromLatin1("a\0b", 3);
    QTest::newRow("two bytes") << QByteArray("caf\xc3\xa9") << QStringLiteral("café");
    QTest::newRow("three bytes") << QByteArray("\xe2\x82\xac 5") << QStringLiteral("€ 5");
    QTest::newRow("last BMP") << QByteArray("\xef\xbf\xbf") << QString(QChar(0xFFFF));
    QTest::newRow("four-byte emoji")
        << QByteArray("\xf0\x9f\x98\x80.png") << QString::fromUcs4(U"\U0001F600.png");
    QTest::newRow("U+10080, low half in escape range")
        << QByteArray("\xf0\x90\x82\x80") << QString::fromUcs4(U"\U00010080");
    QTest::newRow("U+10FFFF") << QByteArray("\xf4\x8f\xbf\xbf") << QString::fromUcs4(U"\U0010FFFF");
    QTest::newRow("latin-1 byte") << QByteArray("caf\xe9.txt")
                                  << QStringLiteral("caf") + esc({0xE9}) + QStringLiteral(".txt");
    QTest::newRow("lone continuation 0x80") << QByteArray("\x80") << esc({0x80});
    QTest::newRow("lone continuations")
        << QByteArray("a\xbf\x80z")
        << QStringLiteral("a") + esc({0xBF, 0x80}) + QStringLiteral("z");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << esc({0xC0, 0xAF});
    QTest::newRow("overlong C1") << QByteArray("\xc1\xbf") << esc({0xC1, 0xBF});
    QTest::newRow("overlong three bytes") << QByteArray("\xe0\x80\xaf") << esc({0xE0, 0x80, 0xAF});
    QTest::newRow("overlong four bytes")
        << QByteArray("\xf0\x80\x80\xaf") << esc({0xF0, 0x80, 0x80, 0xAF});
    QTest::newRow("encoded high surrogate")
        << QByteArray("\xed\xa0\x80") << esc({0xED, 0xA0, 0x80});
    QTest::newRow("encoded escape U+DCE9") << QByteArray("\xed\xb3\xa9") << esc({0xED, 0xB3, 0xA9});
    QTest::newRow("above U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80") << esc({0xF4, 0x90, 0x80, 0x80});
    QTest::newRow("F5 lead") << QByteArray("\xf5\x80\x80\x80") << esc({0xF5, 0x80, 0x80, 0x80});
    QTest::newRow("truncated two bytes at end")
        << QByteArray("ab\xc3") << QStringLiteral("ab") + esc({0xC3});
    QTest::newRow("truncated three bytes before ascii")
        << QByteArray("\xe2\x82z") << esc({0xE2, 0x82}) + QStringLiteral("z");
    QTest::newRow("truncated four bytes at end")
        << QByteArray("\xf0\x9f\x98") << esc({0xF0, 0x9F, 0x98});
    QTest::newRow("0xff") << QByteArray("\xff") << esc({0xFF});
    QTest::newRow("0xfe 0xff") << QByteArray("\xfe\xff") << esc({0xFE, 0xFF});
    QTest::newRow("invalid then valid")
        << QByteArray("\xe9\xc3\xa9") << esc({0xE9}) + QStringLiteral("é");
}

void TestPlatform::decodeFileName() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(platform::decodeFileName(bytes), text);
    QCOMPARE(platform::encodeFileName(text), bytes);
}

void TestPlatform::encodeFileName_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("U+DC80 is byte 0x80") << QString(QChar(0xDC80)) << QByteArray("\x80");
    QTest::newRow("U+DCFF is byte 0xff") << QString(QChar(0xDCFF)) << QByteArray("\xff");
    QTest::newRow("U+DC7F is no byte") << QString(QChar(0xDC7F)) << QByteArray("\xed\xb1\xbf");
    QTest::newRow("U+DD00 is no byte") << QString(QChar(0xDD00)) << QByteArray("\xed\xb4\x80");
    QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) << QByteArray("\xed\xa0\xbd");
    QTest::newRow("pair then escape")
        << QString::fromUcs4(U"\U00010080") + QChar(0xDCE9) << QByteArray("\xf0\x90\x82\x80\xe9");
    QTest::newRow("U+0800") << QString(QChar(0x800)) << QByteArray("\xe0\xa0\x80");
    QTest::newRow("U+07FF") << QString(QChar(0x7FF)) << QByteArray("\xdf\xbf");
}

void TestPlatform::encodeFileName() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(platform::encodeFileName(text), bytes);
}

void TestPlatform::randomBytesRoundTrip() {
    QRandomGenerator random(20261207);
    // Pieces that make near misses likely: lead bytes, continuations, valid sequences.
    const QByteArray pieces[] = {"\xc3",
                                 "\xa9",
                                 "\xe2\x82",
                                 "\xac",
                                 "\xf0\x9f",
                                 "\x98\x80",
                                 "\xed",
                                 "\xa0",
                                 "\xc0",
                                 "\xf4\x90",
                                 "\xf4\x8f\xbf",
                                 "\xbf",
                                 "a",
                                 "\xc3\xa9",
                                 "\xef\xbf\xbf",
                                 "\xff",
                                 "\x80",
                                 "/",
                                 "\xf0\x90\x80\x80"};
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int parts = int(random.bounded(12));
        for (int i = 0; i < parts; ++i) {
            if (random.bounded(2) == 0) {
                bytes += char(random.bounded(256));
            } else {
                bytes += pieces[random.bounded(int(std::size(pieces)))];
            }
        }
        const QString text = platform::decodeFileName(bytes);
        if (platform::encodeFileName(text) != bytes) {
            QFAIL(qPrintable(QStringLiteral("round trip lost ") +
                             QString::fromLatin1(bytes.toHex())));
        }
        // Valid UTF-8 decodes exactly as UTF-8 does.
        if (QUtf8StringView(bytes).isValidUtf8()) {
            QCOMPARE(text, QString::fromUtf8(bytes));
        }
    }
}

// ---------------------------------------------------------------------------

void TestPlatform::listingsSortAndFilterEntries() {
    TempFiles dir;
    dir.createAll({QStringLiteral("b.txt"), QStringLiteral("a.txt"), QStringLiteral(".hidden"),
                   QStringLiteral("Z.txt")});
    QDir d(dir.path());
    QVERIFY(d.mkdir(QStringLiteral("sub")));
    QVERIFY(d.mkdir(QStringLiteral(".git")));
    QVERIFY(
        QFile::link(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("to-a"))));
    QVERIFY(
        QFile::link(dir.filePath(QStringLiteral("sub")), dir.filePath(QStringLiteral("to-sub"))));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), dir.filePath(QStringLiteral("broken"))));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600),
             0);

    const platform::Listing listing = platform::real().listDirectory(dir.path());
    QVERIFY(listing.status.ok());
    QCOMPARE(sorted(listing.files), (QStringList{QStringLiteral(".hidden"), QStringLiteral("Z.txt"),
                                                 QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                                                 QStringLiteral("to-a")}));
    QCOMPARE(
        sorted(listing.directories),
        (QStringList{QStringLiteral(".git"), QStringLiteral("sub"), QStringLiteral("to-sub")}));
    QCOMPARE(sorted(listing.others),
             (QStringList{QStringLiteral("broken"), QStringLiteral("pipe")}));
}

void TestPlatform::listingOfAnEmptyDirectory() {
    TempFiles dir;
    const platform::Listing l = platform::real().listDirectory(dir.path());
    QVERIFY(l.status.ok());
    QVERIFY(l.files.isEmpty() && l.directories.isEmpty() && l.others.isEmpty());
}

void TestPlatform::unreadableDirectoryIsNotOk_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("a file") << QStringLiteral("file.txt");
    QTest::newRow("empty path") << QStringLiteral("@empty");
}

void TestPlatform::unreadableDirectoryIsNotOk() {
    QFETCH(QString, path);
    TempFiles dir;
    dir.create(QStringLiteral("file.txt"));
    const QString full = path == QLatin1String("@empty") ? QString() : dir.filePath(path);
    const platform::Listing l = platform::real().listDirectory(full);
    QVERIFY(!l.status.ok());
    QVERIFY(l.files.isEmpty() && l.directories.isEmpty());
}

void TestPlatform::largeDirectoryIsListedCompletely() {
    TempFiles dir;
    QStringList expected;
    for (int i = 0; i < 3000; ++i) {
        expected.append(QStringLiteral("f%1.dat").arg((i * 7919) % 3000, 5, 10, QLatin1Char('0')));
    }
    for (const QString& name : expected) {
        createRaw(rawPath(dir.path(), name.toLatin1()), QByteArray());
    }
    expected.sort();
    QCOMPARE(sorted(platform::real().listDirectory(dir.path()).files), expected);
}

void TestPlatform::existenceQueries() {
    TempFiles dir;
    dir.create(QStringLiteral("file.txt"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("file.txt")),
                        dir.filePath(QStringLiteral("link"))));
    platform::System& p = platform::real();

    QVERIFY(p.directoryExists(dir.path()));
    QVERIFY(p.directoryExists(dir.filePath(QStringLiteral("sub"))));
    QVERIFY(p.directoryExists(QStringLiteral("/")));
    QVERIFY(!p.directoryExists(dir.filePath(QStringLiteral("file.txt"))));
    QVERIFY(!p.directoryExists(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(!p.directoryExists(QString()));
}

void TestPlatform::drivesStartWithTheRoot() {
    const QStringList drives = platform::real().drives();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(drives.first(), QStringLiteral("/"));
    const QStringList rest = drives.mid(1);
    QStringList sorted = rest;
    sorted.sort();
    QCOMPARE(rest, sorted);
    QCOMPARE(QSet<QString>(drives.begin(), drives.end()).size(), drives.size());
    for (const QString& d : drives) {
        // A volume another test mounts for itself may have gone since.
        QVERIFY2(platform::real().directoryExists(d) || !platform::real().drives().contains(d),
                 qPrintable(d));
        QVERIFY2(!d.startsWith(QLatin1String("/proc")) && !d.startsWith(QLatin1String("/sys")),
                 qPrintable(d));
    }
}

// ---------------------------------------------------------------------------

void TestPlatform::pathHelpers_data() {
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("stripped");
    QTest::addColumn<QString>("joined");  // dir joined with "a.txt"
    QTest::newRow("root") << QStringLiteral("/") << QString() << QStringLiteral("/a.txt");
    QTest::newRow("three characters")
        << QStringLiteral("/ab") << QStringLiteral("/ab") << QStringLiteral("/ab/a.txt");
    QTest::newRow("two levels") << QStringLiteral("/x/y") << QStringLiteral("/x/y")
                                << QStringLiteral("/x/y/a.txt");
    QTest::newRow("drive-like name")
        << QStringLiteral("C:\\") << QStringLiteral("C:\\") << QStringLiteral("C:\\/a.txt");
}

void TestPlatform::pathHelpers() {
    QFETCH(QString, dir);
    QFETCH(QString, stripped);
    QFETCH(QString, joined);
    const QString name = QStringLiteral("a.txt");
    QCOMPARE(platform::withoutRootSeparator(dir), stripped);
    QCOMPARE(platform::joinPath(dir, name), joined);
    QCOMPARE(platform::directoryOf(joined), stripped);
    QCOMPARE(platform::nameOf(joined), name);
    QCOMPARE(platform::joinPath(platform::directoryOf(joined), platform::nameOf(joined)), joined);
    // Below a directory is what follows its separator: not a longer name
    // beside it, nor (on this system) below the same path in other letters.
    QVERIFY(platform::isWithin(dir, dir) && platform::isWithin(joined, dir));
    QCOMPARE(platform::isWithin(dir + QLatin1Char('b'), dir), dir == QLatin1String("/"));
    QCOMPARE(platform::isWithin(joined, dir.toUpper()), dir.toUpper() == dir);
}

void TestPlatform::plainFileNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("ordinary") << QStringLiteral("a.txt") << true;
    QTest::newRow("hidden") << QStringLiteral(".profile") << true;
    QTest::newRow("three dots") << QStringLiteral("...") << true;
    QTest::newRow("backslash") << QStringLiteral("a\\b") << true;
    QTest::newRow("escaped byte") << escaped(0xE9) << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dot") << QStringLiteral(".") << false;
    QTest::newRow("dot dot") << QStringLiteral("..") << false;
    QTest::newRow("slash") << QStringLiteral("a/b") << false;
    QTest::newRow("NUL") << QString::fromLatin1("a\0", 2) << false;
}

void TestPlatform::plainFileNames() {
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(platform::isPlainFileName(name), plain);
}

void TestPlatform::currentPlatformCanBeReplaced() {
    QCOMPARE(&platform::current(), &platform::real());
    QCOMPARE(platform::separator(), QStringLiteral("/"));
    QCOMPARE(platform::defaultDirectory(), QStringLiteral("/"));
    {
        FaultPlatform fake;
        ScopedPlatform scope(fake);
        QCOMPARE(&platform::current(), static_cast<platform::System*>(&fake));
    }
    QCOMPARE(&platform::current(), &platform::real());
}

// ---------------------------------------------------------------------------

void TestPlatform::faultPlatformFailsByName() {
    TempFiles dir;
    dir.createAll({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    FaultPlatform fake;
    fake.failRename(QStringLiteral("a"), Error::PathFileAccess, 1, RenameSide::Source);
    fake.failRename(QStringLiteral("b2"), Error::DiskFull, -1, RenameSide::Target);
    const auto path = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };

    QCOMPARE(renameFile(fake, path("a"), path("a2")).error, Error::PathFileAccess);
    QVERIFY(renameFile(fake, path("a"), path("a2")).ok());  // only once
    QCOMPARE(renameFile(fake, path("b"), path("b2")).error, Error::DiskFull);
    QCOMPARE(renameFile(fake, path("b"), path("b2")).osError, ENOSPC);
    QVERIFY(renameFile(fake, path("b2"), path("b3")).ok() == false);  // a missing source: real 53
    QVERIFY(renameFile(fake, path("b"), path("b4")).ok());
    QCOMPARE(fake.renameCalls(), 6);
    QCOMPARE(fake.injectedFailures(), 3);
    QCOMPARE(dir.names(),
             (QStringList{QStringLiteral("a2"), QStringLiteral("b4"), QStringLiteral("c")}));
}

void TestPlatform::faultPlatformFailsAfterSuccesses() {
    TempFiles dir;
    dir.createAll(
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("x")});
    FaultPlatform fake;
    fake.failRenameAfter(2, Error::DiskFull);
    const auto path = [&dir](const QString& name) { return dir.filePath(name); };

    // A collision does not count as a success.
    QCOMPARE(renameFile(fake, path(QStringLiteral("1")), path(QStringLiteral("x"))).error,
             Error::FileExists);
    QVERIFY(renameFile(fake, path(QStringLiteral("1")), path(QStringLiteral("1a"))).ok());
    QVERIFY(renameFile(fake, path(QStringLiteral("2")), path(QStringLiteral("2a"))).ok());
    QCOMPARE(renameFile(fake, path(QStringLiteral("3")), path(QStringLiteral("3a"))).error,
             Error::DiskFull);
    QCOMPARE(renameFile(fake, path(QStringLiteral("3")), path(QStringLiteral("3b"))).error,
             Error::DiskFull);
    QCOMPARE(dir.names(), (QStringList{QStringLiteral("1a"), QStringLiteral("2a"),
                                       QStringLiteral("3"), QStringLiteral("x")}));
    fake.clearFaults();
    QVERIFY(renameFile(fake, path(QStringLiteral("3")), path(QStringLiteral("3a"))).ok());
}

void TestPlatform::faultPlatformHooksAndListings() {
    TempFiles dir;
    dir.createAll({QStringLiteral("a"), QStringLiteral("b")});
    FaultPlatform fake;
    QStringList seen;
    fake.beforeRename = [&](const QString& from, const QString& to) {
        seen << platform::nameOf(from) + QStringLiteral(">") + platform::nameOf(to);
        QFile::remove(dir.filePath(QStringLiteral("b")));
    };
    QCOMPARE(renameFile(fake, dir.filePath(QStringLiteral("b")), dir.filePath(QStringLiteral("c")))
                 .error,
             Error::FileNotFound);
    QCOMPARE(seen, QStringList{QStringLiteral("b>c")});
    QCOMPARE(fake.renameLog().size(), 1);

    QVERIFY(fake.listDirectory(dir.path()).status.ok());
    fake.failListing(dir.path() + QStringLiteral("/"));
    QVERIFY(!fake.listDirectory(dir.path()).status.ok());
    QVERIFY(!fake.list(*fake.openDirectory(dir.path()).directory).status.ok());
    QVERIFY(fake.directoryExists(dir.path()));
    fake.hideDirectory(QStringLiteral("/"));
    QVERIFY(!fake.directoryExists(QStringLiteral("/")));
    fake.setDrives({QStringLiteral("/"), QStringLiteral("/media/usb")});
    QCOMPARE(fake.drives(), (QStringList{QStringLiteral("/"), QStringLiteral("/media/usb")}));

    fake.clearFaults();
    QVERIFY(fake.listDirectory(dir.path()).status.ok());
    QVERIFY(fake.directoryExists(QStringLiteral("/")));
    QCOMPARE(fake.drives(), platform::real().drives());
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
