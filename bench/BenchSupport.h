#pragma once

// What several benchmarks measure with: where their files live, a bare
// readdir loop as the system's own cost, and a way to see a widget painted.

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <QByteArray>
#include <QDir>
#include <QEvent>
#include <QObject>
#include <QString>

namespace bench {

// Where a benchmark's files live: 0 on tmpfs (/dev/shm), 1 on the normal
// disk (the system temp directory); and the label its results carry.
inline QString baseDirectory(int where) {
    return where == 0 ? QStringLiteral("/dev/shm") : QDir::tempPath();
}
inline const char* label(int where) {
    return where == 0 ? "tmpfs" : "disk";
}

// What the system alone takes: every entry of the directory, nothing kept.
inline long readdirLoop(const QByteArray& path) {
    DIR* d = ::opendir(path.constData());
    if (d == nullptr) {
        return -1;
    }
    long count = 0;
    while (const dirent* entry = ::readdir(d)) {
        benchmark::DoNotOptimize(entry->d_name[0]);
        ++count;
    }
    ::closedir(d);
    return count;
}

// Notes when the widget it watches has been painted.
class PaintSpy : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace bench
