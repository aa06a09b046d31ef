#include "tests/support/TestSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QtTest>
#include <algorithm>

namespace testing_support {

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
}

TempFiles::TempFiles() {
    QVERIFY2(dir_.isValid(), "cannot create a temporary directory");
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

void removeAllRaw(const QString& dir) {
    const QMap<QByteArray, QByteArray> files = rawSnapshot(dir);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        ::unlink(rawPath(dir, it.key()).constData());
    }
}

platform::FileId fileIdOf(const QString& path) {
    struct stat st;
    if (::lstat(platform::encodeFileName(path).constData(), &st) != 0) {
        return platform::FileId{};
    }
    return platform::FileId{quint64(st.st_dev), quint64(st.st_ino)};
}

QString leaveUnfinishedJournal(const journal::Record& record) {
    const QString path = journal::directory() + QStringLiteral("/batch-1-1.journal");
    QDir().mkpath(journal::directory());
    if (platform::real().writeFileDurably(path, journal::encode(record)) != Error::None) {
        return QString();
    }
    return path;
}

}  // namespace testing_support
