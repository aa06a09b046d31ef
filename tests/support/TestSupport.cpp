#include "tests/support/TestSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <QDir>
#include <QFile>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>

#include "engine/Extract.h"

namespace testing_support {

void removeTree(const QString& path) {
    // nftw() works on the names' bytes, where QDir drops the names that are
    // not UTF-8 and so cannot remove them.
    ::nftw(
        QFile::encodeName(path).constData(),
        [](const char* entry, const struct stat*, int type, struct FTW*) {
            return type == FTW_DP ? ::rmdir(entry) : ::unlink(entry), 0;
        },
        16, FTW_DEPTH | FTW_PHYS);
}

ScopedEnvironmentDir::ScopedEnvironmentDir(const char* variable) : variable_(variable) {
    hadPrevious_ = qEnvironmentVariableIsSet(variable_);
    previous_ = qgetenv(variable_);
    qputenv(variable_, QFile::encodeName(dir_.path()));
}

ScopedEnvironmentDir::~ScopedEnvironmentDir() {
    if (hadPrevious_) {
        qputenv(variable_, previous_);
    } else {
        qunsetenv(variable_);
    }
    removeTree(dir_.path());
}

TempFiles::TempFiles() {
    QVERIFY2(dir_.isValid(), "cannot create a temporary directory");
}

TempFiles::~TempFiles() {
    removeTree(dir_.path());
}

QString TempFiles::filePath(const QString& name) const {
    return dir_.filePath(name);
}

void TempFiles::create(const QString& name, const QByteArray& content) {
    QFile f(filePath(name));
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(f.fileName()));
    f.write(content.isNull() ? name.toUtf8() : content);
}

void TempFiles::createAll(const QStringList& names) {
    for (const QString& n : names) {
        create(n);
    }
}

bool TempFiles::exists(const QString& name) const {
    return QFile::exists(filePath(name));
}

QStringList TempFiles::names() const {
    QStringList list = QDir(path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    return list;
}

QByteArray TempFiles::read(const QString& name) const {
    QFile f(filePath(name));
    if (!f.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return f.readAll();
}

FifoWatchdog::FifoWatchdog(const QString& fifo, int seconds) {
    const QByteArray path = QFile::encodeName(fifo);
    thread_ = std::thread([this, path, seconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        std::chrono::milliseconds wait = std::chrono::seconds(seconds);
        while (!over_.wait_for(lock, wait, [this] { return finished_; })) {
            // Succeeds only while someone holds the reading end.
            const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                released_ = true;
                ::close(fd);
            }
            wait = std::chrono::milliseconds(100);
        }
    });
}

FifoWatchdog::~FifoWatchdog() {
    finish();
}

bool FifoWatchdog::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    over_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    return released_;
}

ScopedTmpfs::ScopedTmpfs(int kilobytes) : options_("size=" + QByteArray::number(kilobytes) + "k") {
    mounted_ = dir_.isValid() && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(),
                                         "tmpfs", 0, options_.constData()) == 0;
}

ScopedTmpfs::~ScopedTmpfs() {
    if (mounted_) {
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
}

bool ScopedTmpfs::fill() {
    const QByteArray path = QFile::encodeName(dir_.filePath(QStringLiteral("filler")));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const QByteArray block(512, 'x');
    while (::write(fd, block.constData(), block.size()) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

bool ScopedTmpfs::makeReadOnly() {
    return ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs",
                   MS_REMOUNT | MS_RDONLY, options_.constData()) == 0;
}

GenerationInput Batch::input() const {
    return GenerationInput{listed, prefix, suffix, start, example, steps, &platform::real()};
}

std::unique_ptr<AppState> Batch::extracted(const QString& dir) const {
    auto state = std::make_unique<AppState>();
    state->chosenDirectory = platform::real().openDirectory(dir).directory;
    extractMask(*state, {mask, example, prefix, suffix, lettering});
    return state;
}

void writePhoto(const QString& path, const QString& taken) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Exiv2::Image::AutoPtr image =
        Exiv2::ImageFactory::create(Exiv2::ImageType::jpeg, path.toStdString());
    image->exifData()["Exif.Photo.DateTimeOriginal"] = taken.toStdString();
    image->writeMetadata();
#pragma GCC diagnostic pop
}

void createFiles(TempFiles& dir, const QStringList& files) {
    for (const QString& file : files) {
        const QString name = file.section(u'=', 0, 0);
        if (file.contains(u'=')) {
            writePhoto(dir.filePath(name), file.section(u'=', 1));
        } else {
            dir.create(name);
        }
    }
}

NamingSteps namingSteps(const QStringList& fields) {
    using namespace Qt::StringLiterals;
    NamingSteps s;
    for (const QString& field : fields) {
        const QString key = field.section(u'=', 0, 0);
        const QString value = field.section(u'=', 1);
        const int n = value.toInt();
        const std::map<QString, std::function<void()>> setters{
            {u"digits"_s, [&] { s.digits = n; }},
            {u"step"_s, [&] { s.step = n; }},
            {u"find"_s, [&] { s.find = value; }},
            {u"replacement"_s, [&] { s.replacement = value; }},
            {u"pattern"_s, [&] { s.pattern = n != 0; }},
            {u"nameCase"_s, [&] { s.nameCase = NamingSteps::Case(n); }},
            {u"extensionCase"_s, [&] { s.extensionCase = NamingSteps::Case(n); }},
            {u"date"_s, [&] { s.date = NamingSteps::Date(n); }},
            {u"dateFormat"_s, [&] { s.dateFormat = value; }},
            {u"dateAfter"_s, [&] { s.dateAfter = n != 0; }},
            {u"byDateTaken"_s, [&] { s.byDateTaken = n != 0; }}};
        const auto set = setters.find(key);
        if (set == setters.end()) {
            qFatal("no naming step %s", qPrintable(key));
        }
        set->second();
    }
    return s;
}

QMap<QString, QByteArray> snapshot(const QString& dir) {
    QMap<QString, QByteArray> result;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& n : names) {
        QFile f(QDir(dir).filePath(n));
        if (f.open(QIODevice::ReadOnly)) {
            result.insert(n, f.readAll());
        }
    }
    return result;
}

QList<QByteArray> contents(const QString& dir) {
    QList<QByteArray> list = snapshot(dir).values();
    std::sort(list.begin(), list.end());
    return list;
}

namespace {

QByteArray rawPath(const QString& dir, const QByteArray& name) {
    return platform::encodeFileName(dir) + '/' + name;
}

}  // namespace

QMap<QByteArray, QByteArray> rawSnapshot(const QString& dir) {
    QMap<QByteArray, QByteArray> result;
    DIR* d = ::opendir(platform::encodeFileName(dir).constData());
    if (d == nullptr) {
        return result;
    }
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        QByteArray content;
        const int fd = ::open(rawPath(dir, name).constData(), O_RDONLY);
        char buffer[4096];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
            content.append(buffer, n);
        }
        ::close(fd);
        result.insert(name, content);
    }
    ::closedir(d);
    return result;
}

QList<QByteArray> rawContents(const QMap<QByteArray, QByteArray>& snapshot) {
    QList<QByteArray> list = snapshot.values();
    std::sort(list.begin(), list.end());
    return list;
}

void createRaw(const QString& dir, const QByteArray& name) {
    const int fd = ::open(rawPath(dir, name).constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
    QVERIFY2(fd >= 0, name.constData());
    QCOMPARE(::write(fd, name.constData(), size_t(name.size())), ssize_t(name.size()));
    ::close(fd);
}

void createProgram(const QString& path, const QByteArray& script, bool executable) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(script), script.size());
    file.close();
    QVERIFY(file.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther
                                           : QFile::ReadOwner | QFile::WriteOwner));
}

void removeAllRaw(const QString& dir) {
    const QMap<QByteArray, QByteArray> files = rawSnapshot(dir);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        ::unlink(rawPath(dir, it.key()).constData());
    }
}

void copyKeepingTime(const QString& dir, const QString& from, const QString& to) {
    QVERIFY(QFile::copy(dir + u'/' + from, dir + u'/' + to));
    struct stat was;
    QCOMPARE(::stat(QFile::encodeName(dir + u'/' + from).constData(), &was), 0);
    const timespec times[2] = {was.st_atim, was.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(dir + u'/' + to).constData(), times, 0), 0);
}

platform::Fingerprint fingerprintOf(const QString& path) {
    platform::Fingerprint fingerprint;
    const platform::Directory dir =
        platform::real().openDirectory(platform::directoryOf(path)).directory;
    if (dir) {
        platform::real().identify(*dir, platform::nameOf(path), &fingerprint);
    }
    return fingerprint;
}

QString leaveUnfinishedJournal(const journal::Record& record) {
    const QString path = journal::directory() + QStringLiteral("/batch-1-1.journal");
    QDir().mkpath(journal::directory());
    if (!platform::real().writeFileDurably(path, journal::encode(record)).ok()) {
        return QString();
    }
    return path;
}

}  // namespace testing_support
