#include "tests/support/TestSupport.h"

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

}  // namespace testing_support
