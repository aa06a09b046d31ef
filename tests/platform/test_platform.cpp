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

using platform::LinuxPlatform;
using platform::RenameResult;
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
    std::function<void()> afterLink;  // runs right after a link that succeeded
    int renameCalls = 0;
    int linkCalls = 0;
    int unlinkCalls = 0;
};
Seam seam;

int seamRenameat2(int a, const char* from, int b, const char* to, unsigned int flags) {
    ++seam.renameCalls;
    if (seam.renameErrno != 0) {
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

LinuxPlatform seamPlatform() {
    seam = Seam{};
    return LinuxPlatform(SystemCalls{seamRenameat2, seamLinkat, seamUnlinkat, seamFstatat});
}

int systemCalls() {
    return seam.renameCalls + seam.linkCalls + seam.unlinkCalls;
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
    void fallbackRenamesWithoutReplacing_data();
    void fallbackRenamesWithoutReplacing();
    void fallbackRefusedLinkGives75_data();
    void fallbackRefusedLinkGives75();
    void fallbackFailedUnlinkRemovesTheNewName();
    void fallbackNeverUnlinksAnotherFile_data();
    void fallbackNeverUnlinksAnotherFile();

    // The directory a batch is pinned to, and what the journal relies on.
    void pinnedDirectoryTravelsWithTheDirectory();
    void pinnedDirectoryThatIsGone_data();
    void pinnedDirectoryThatIsGone();
    void identitiesSurviveRenames();
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
    void programDirectoryHoldsTheExecutable();

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
    const RenameResult r = platform::real().renameFile(dir.filePath(QStringLiteral("a.txt")),
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

    const RenameResult r =
        platform::real().renameFile(dir.filePath(QStringLiteral("a.txt")), target);
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
    platform::Platform& p = platform::real();

    RenameResult r = p.renameFile(dir.filePath(QStringLiteral("gone.txt")),
                                  dir.filePath(QStringLiteral("b.txt")));
    QCOMPARE(r.error, Error::FileNotFound);
    QCOMPARE(r.osError, ENOENT);

    const QString vanished = dir.filePath(QStringLiteral("vanished"));
    QVERIFY(QDir().mkdir(vanished));
    QFile(vanished + QStringLiteral("/a.txt")).open(QIODevice::WriteOnly);
    QVERIFY(QDir(vanished).removeRecursively());
    r = p.renameFile(vanished + QStringLiteral("/a.txt"), vanished + QStringLiteral("/b.txt"));
    QCOMPARE(r.error, Error::PathNotFound);

    // A file where a directory should be.
    const QString notDir = dir.filePath(QStringLiteral("plain"));
    r = p.renameFile(notDir + QStringLiteral("/a.txt"), notDir + QStringLiteral("/b.txt"));
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
    const RenameResult r =
        platform::real().renameFile(dir.filePath(QStringLiteral("a.txt")), dir.filePath(name));
    QCOMPARE(errorNumber(r.error), error);
    if (error != 0) {
        QCOMPARE(r.osError, ENAMETOOLONG);
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
    const QString target = to.startsWith(u'/') ? to : dir.path() + u'/' + to;

    LinuxPlatform p = seamPlatform();
    const RenameResult r = p.renameFile(dir.filePath(from), target);
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
    LinuxPlatform p = seamPlatform();
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QVERIFY(p.renameFile(path, path).ok());
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
    LinuxPlatform p = seamPlatform();
    seam.renameErrno = osError;
    const RenameResult r =
        p.renameFile(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt")));
    QCOMPARE(errorNumber(r.error), error);
    QCOMPARE(r.osError, osError);
    QCOMPARE(seam.linkCalls, 0);
    QCOMPARE(dir.names(), QStringList{QStringLiteral("a.txt")});
}

// ---------------------------------------------------------------------------

void TestPlatform::fallbackRenamesWithoutReplacing_data() {
    QTest::addColumn<int>("osError");
    QTest::newRow("EINVAL") << EINVAL;
    QTest::newRow("ENOSYS") << ENOSYS;
    QTest::newRow("EOPNOTSUPP") << EOPNOTSUPP;
}

void TestPlatform::fallbackRenamesWithoutReplacing() {
    QFETCH(int, osError);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    dir.create(QStringLiteral("taken.txt"), "taken");
    LinuxPlatform p = seamPlatform();
    seam.renameErrno = osError;

    RenameResult r =
        p.renameFile(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt")));
    QVERIFY(r.ok());
    QCOMPARE(seam.linkCalls, 1);
    QCOMPARE(dir.names(), (QStringList{QStringLiteral("b.txt"), QStringLiteral("taken.txt")}));
    QCOMPARE(dir.read(QStringLiteral("b.txt")), QByteArray("alpha"));

    r = p.renameFile(dir.filePath(QStringLiteral("b.txt")),
                     dir.filePath(QStringLiteral("taken.txt")));
    QCOMPARE(r.error, Error::FileExists);
    QCOMPARE(dir.read(QStringLiteral("b.txt")), QByteArray("alpha"));
    QCOMPARE(dir.read(QStringLiteral("taken.txt")), QByteArray("taken"));

    r = p.renameFile(dir.filePath(QStringLiteral("gone.txt")),
                     dir.filePath(QStringLiteral("c.txt")));
    QCOMPARE(r.error, Error::FileNotFound);
}

void TestPlatform::fallbackRefusedLinkGives75_data() {
    QTest::addColumn<int>("osError");
    QTest::newRow("EPERM") << EPERM;
    QTest::newRow("ENOTSUP") << ENOTSUP;
    QTest::newRow("ENOSYS") << ENOSYS;
    QTest::newRow("EMLINK") << EMLINK;
}

void TestPlatform::fallbackRefusedLinkGives75() {
    QFETCH(int, osError);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    dir.create(QStringLiteral("b.txt"), "beta");
    LinuxPlatform p = seamPlatform();
    seam.renameErrno = EINVAL;
    seam.linkErrno = osError;

    for (const QString& target : {QStringLiteral("c.txt"), QStringLiteral("b.txt")}) {
        const RenameResult r =
            p.renameFile(dir.filePath(QStringLiteral("a.txt")), dir.filePath(target));
        QCOMPARE(r.error, Error::PathFileAccess);
        QCOMPARE(r.osError, osError);
    }
    QCOMPARE(seam.unlinkCalls, 0);
    QCOMPARE(dir.names(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    QCOMPARE(dir.read(QStringLiteral("a.txt")), QByteArray("alpha"));
    QCOMPARE(dir.read(QStringLiteral("b.txt")), QByteArray("beta"));
}

void TestPlatform::fallbackFailedUnlinkRemovesTheNewName() {
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    LinuxPlatform p = seamPlatform();
    seam.renameErrno = ENOTSUP;
    seam.unlinkErrno = EBUSY;

    const RenameResult r =
        p.renameFile(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt")));
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
    // An editor saves a.txt (a new file renamed over it): the batch's file
    // now lives under b.txt alone, which is the rename done, and the saved
    // file stays.
    QTest::newRow("saved under the old name")
        << "save" << 0 << QByteArray("saved") << QByteArray("alpha");
    QTest::newRow("old name removed")
        << "remove" << 0 << QByteArray("<missing>") << QByteArray("alpha");
    // Whose the old name is cannot be told: nothing changes.
    QTest::newRow("old name cannot be examined")
        << "unreadable" << errorNumber(Error::PathFileAccess) << QByteArray("alpha")
        << QByteArray("<missing>");
}

void TestPlatform::fallbackNeverUnlinksAnotherFile() {
    QFETCH(QString, meanwhile);
    QFETCH(int, error);
    QFETCH(QByteArray, oldName);
    QFETCH(QByteArray, newName);
    TempFiles dir;
    dir.create(QStringLiteral("a.txt"), "alpha");
    LinuxPlatform p = seamPlatform();
    seam.renameErrno = EINVAL;
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

    const RenameResult r =
        p.renameFile(dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("b.txt")));
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
    platform::Platform& p = platform::real();
    const platform::OpenedDirectory opened = p.openDirectory(chosen);
    QVERIFY(opened.directory);
    QCOMPARE(opened.directory->path(), chosen);
    const platform::FileId before = p.identify(*opened.directory).id;

    // Moved away, and another directory made at its old path with a file of
    // the same name: the renames still land in the chosen directory.
    QVERIFY(QDir().rename(chosen, moved));
    QVERIFY(QDir().mkdir(chosen));
    createRaw(rawPath(chosen, "a.txt"), "stranger");
    QVERIFY(p.renameIn(*opened.directory, u"a.txt", u"b.txt").ok());
    QCOMPARE(rawNames(moved), QList<QByteArray>{"b.txt"});
    QCOMPARE(readRaw(rawPath(chosen, "a.txt")), QByteArray("stranger"));
    QCOMPARE(p.identify(*opened.directory).id, before);
    QCOMPARE(p.listFilesIn(*opened.directory).names, QStringList{QStringLiteral("b.txt")});
    QVERIFY(p.identify(*p.openDirectory(chosen).directory).id != before);
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
    platform::Platform& p = platform::real();
    if (how == QLatin1String("file")) {
        createRaw(QFile::encodeName(path), "");
    } else if (how == QLatin1String("removed")) {
        QVERIFY(QDir().mkdir(path));
    }
    const platform::OpenedDirectory opened = p.openDirectory(path);
    if (how != QLatin1String("removed")) {
        QVERIFY(!opened.directory);
        QCOMPARE(opened.error, Error::PathNotFound);
        return;
    }
    QVERIFY(QDir().rmdir(path));
    QCOMPARE(p.identify(*opened.directory).error, Error::PathNotFound);
    const RenameResult r = p.renameIn(*opened.directory, u"a.txt", u"b.txt");
    QCOMPARE(r.error, Error::PathNotFound);
    QCOMPARE(r.osError, ENOENT);
    // Not even a directory made again at the path is touched.
    QVERIFY(QDir().mkdir(path));
    createRaw(rawPath(path, "a.txt"), "alpha");
    QCOMPARE(p.renameIn(*opened.directory, u"a.txt", u"b.txt").error, Error::PathNotFound);
    QCOMPARE(rawNames(path), QList<QByteArray>{"a.txt"});
}

void TestPlatform::identitiesSurviveRenames() {
    TempFiles dir;
    createRaw(rawPath(dir.path(), "a.txt"), "alpha");
    createRaw(rawPath(dir.path(), "caf\xe9"), "latin1");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), dir.filePath(QStringLiteral("link"))));
    platform::Platform& p = platform::real();
    const platform::Directory d = p.openDirectory(dir.path()).directory;
    const platform::IdListing before = p.listIds(*d);
    QVERIFY(before.ok);
    QStringList names = before.names;
    names.sort();
    // Every entry but the subdirectory, a dangling link as the link itself.
    QCOMPARE(names, (QStringList{QStringLiteral("a.txt"), platform::decodeFileName("caf\xe9"),
                                 QStringLiteral("link")}));
    for (qsizetype i = 0; i < before.names.size(); ++i) {
        struct stat st;
        const QByteArray path = rawPath(dir.path(), platform::encodeFileName(before.names[i]));
        QCOMPARE(::lstat(path.constData(), &st), 0);
        QCOMPARE(before.ids[i], (platform::FileId{quint64(st.st_dev), quint64(st.st_ino)}));
    }

    QVERIFY(p.renameIn(*d, platform::decodeFileName("caf\xe9"), u"b").ok());
    const platform::IdListing after = p.listIds(*d);
    QCOMPARE(after.ids.at(after.names.indexOf(QStringLiteral("b"))),
             before.ids.at(before.names.indexOf(platform::decodeFileName("caf\xe9"))));
    ::unlink(rawPath(dir.path(), "b").constData());
}

void TestPlatform::durableWriteReplacesTheWholeFile() {
    TempFiles dir;
    platform::Platform& p = platform::real();
    const QString path = dir.filePath(QStringLiteral("journal"));
    QCOMPARE(p.writeFileDurably(path, "first"), Error::None);
    QCOMPARE(p.writeFileDurably(path, "second, longer"), Error::None);
    QCOMPARE(readRaw(QFile::encodeName(path)), QByteArray("second, longer"));
    QCOMPARE(rawNames(dir.path()), QList<QByteArray>{"journal"});  // no temporary left
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0600));  // names of the user's files are private

    // Into a directory that is not there: 76, nothing written.
    QCOMPARE(p.writeFileDurably(dir.filePath(QStringLiteral("none/journal")), "x"),
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
    platform::Platform& p = platform::real();

    const platform::Listing listing = p.listFiles(dir.path());
    QVERIFY(listing.ok);
    const QString decoded = QStringLiteral("caf") + escaped(0xE9) + QStringLiteral(".txt");
    QCOMPARE(listing.names, (QStringList{decoded, QStringLiteral("plain.txt")}));
    QVERIFY(p.fileExists(platform::joinPath(dir.path(), decoded)));

    // Out to a valid name and back.
    const QString from = platform::joinPath(dir.path(), decoded);
    const QString valid = platform::joinPath(dir.path(), QStringLiteral("café.txt"));
    QVERIFY(p.renameFile(from, valid).ok());
    QCOMPARE(rawNames(dir.path()), (QList<QByteArray>{"caf\xc3\xa9.txt", "plain.txt"}));
    QVERIFY(p.renameFile(valid, from).ok());
    QCOMPARE(rawNames(dir.path()), (QList<QByteArray>{latin1, "plain.txt"}));
    QCOMPARE(readRaw(rawPath(dir.path(), latin1)), QByteArray("latin1"));

    // From one invalid name to another.
    const QString oddPath = platform::joinPath(dir.path(), platform::decodeFileName(odd));
    QVERIFY(p.renameFile(from, oddPath).ok());
    QVERIFY(existsRaw(rawPath(dir.path(), odd)));
    QVERIFY(!existsRaw(rawPath(dir.path(), latin1)));
    QCOMPARE(readRaw(rawPath(dir.path(), odd)), QByteArray("latin1"));

    // The taken-name check works on the exact bytes too.
    createRaw(rawPath(dir.path(), latin1), "second");
    QCOMPARE(p.renameFile(oddPath, from).error, Error::FileExists);
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

    const platform::Listing files = platform::real().listFiles(dir.path());
    QVERIFY(files.ok);
    QCOMPARE(files.names, (QStringList{QStringLiteral(".hidden"), QStringLiteral("Z.txt"),
                                       QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                                       QStringLiteral("to-a")}));
    const platform::Listing dirs = platform::real().listDirectories(dir.path());
    QVERIFY(dirs.ok);
    QCOMPARE(dirs.names, (QStringList{QStringLiteral(".git"), QStringLiteral("sub"),
                                      QStringLiteral("to-sub")}));
}

void TestPlatform::listingOfAnEmptyDirectory() {
    TempFiles dir;
    for (const platform::Listing& l :
         {platform::real().listFiles(dir.path()), platform::real().listDirectories(dir.path())}) {
        QVERIFY(l.ok);
        QVERIFY(l.names.isEmpty());
    }
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
    for (const platform::Listing& l :
         {platform::real().listFiles(full), platform::real().listDirectories(full)}) {
        QVERIFY(!l.ok);
        QVERIFY(l.names.isEmpty());
    }
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
    QCOMPARE(platform::real().listFiles(dir.path()).names, expected);
}

void TestPlatform::existenceQueries() {
    TempFiles dir;
    dir.create(QStringLiteral("file.txt"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("file.txt")),
                        dir.filePath(QStringLiteral("link"))));
    platform::Platform& p = platform::real();

    QVERIFY(p.fileExists(dir.filePath(QStringLiteral("file.txt"))));
    QVERIFY(p.fileExists(dir.filePath(QStringLiteral("link"))));
    QVERIFY(!p.fileExists(dir.filePath(QStringLiteral("sub"))));
    QVERIFY(!p.fileExists(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(!p.fileExists(QString()));

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
        QVERIFY2(platform::real().directoryExists(d), qPrintable(d));
        QVERIFY2(!d.startsWith(QLatin1String("/proc")) && !d.startsWith(QLatin1String("/sys")),
                 qPrintable(d));
    }
}

void TestPlatform::programDirectoryHoldsTheExecutable() {
    const QString dir = platform::real().programDirectory();
    QCOMPARE(dir, QCoreApplication::applicationDirPath());
    QVERIFY(platform::real().fileExists(platform::joinPath(dir, QStringLiteral("test_platform"))));
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
    QVERIFY(platform::isRenameInPlace(joined, platform::joinPath(dir, QStringLiteral("b"))));
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
        QCOMPARE(&platform::current(), static_cast<platform::Platform*>(&fake));
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

    QCOMPARE(fake.renameFile(path("a"), path("a2")).error, Error::PathFileAccess);
    QVERIFY(fake.renameFile(path("a"), path("a2")).ok());  // only once
    QCOMPARE(fake.renameFile(path("b"), path("b2")).error, Error::DiskFull);
    QCOMPARE(fake.renameFile(path("b"), path("b2")).osError, ENOSPC);
    QVERIFY(fake.renameFile(path("b2"), path("b3")).ok() == false);  // a missing source: real 53
    QVERIFY(fake.renameFile(path("b"), path("b4")).ok());
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
    QCOMPARE(fake.renameFile(path(QStringLiteral("1")), path(QStringLiteral("x"))).error,
             Error::FileExists);
    QVERIFY(fake.renameFile(path(QStringLiteral("1")), path(QStringLiteral("1a"))).ok());
    QVERIFY(fake.renameFile(path(QStringLiteral("2")), path(QStringLiteral("2a"))).ok());
    QCOMPARE(fake.renameFile(path(QStringLiteral("3")), path(QStringLiteral("3a"))).error,
             Error::DiskFull);
    QCOMPARE(fake.renameFile(path(QStringLiteral("3")), path(QStringLiteral("3b"))).error,
             Error::DiskFull);
    QCOMPARE(dir.names(), (QStringList{QStringLiteral("1a"), QStringLiteral("2a"),
                                       QStringLiteral("3"), QStringLiteral("x")}));
    fake.clearFaults();
    QVERIFY(fake.renameFile(path(QStringLiteral("3")), path(QStringLiteral("3a"))).ok());
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
    QCOMPARE(
        fake.renameFile(dir.filePath(QStringLiteral("b")), dir.filePath(QStringLiteral("c"))).error,
        Error::FileNotFound);
    QCOMPARE(seen, QStringList{QStringLiteral("b>c")});
    QCOMPARE(fake.renameLog().size(), 1);

    QVERIFY(fake.listFiles(dir.path()).ok);
    fake.failListing(dir.path() + QStringLiteral("/"));
    QVERIFY(!fake.listFiles(dir.path()).ok);
    QVERIFY(!fake.listDirectories(dir.path()).ok);
    QVERIFY(fake.directoryExists(dir.path()));
    fake.hideDirectory(QStringLiteral("/"));
    QVERIFY(!fake.directoryExists(QStringLiteral("/")));
    fake.setDrives({QStringLiteral("/"), QStringLiteral("/media/usb")});
    QCOMPARE(fake.drives(), (QStringList{QStringLiteral("/"), QStringLiteral("/media/usb")}));

    fake.clearFaults();
    QVERIFY(fake.listFiles(dir.path()).ok);
    QVERIFY(fake.directoryExists(QStringLiteral("/")));
    QCOMPARE(fake.drives(), platform::real().drives());
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
