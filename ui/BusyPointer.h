#pragma once

// Shows the busy pointer application-wide for its lifetime and then puts
// back whatever pointer was in force, also when the handler ends early.

#include <QCursor>
#include <QGuiApplication>

class BusyPointer {
  public:
    BusyPointer() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyPointer() { restore(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    // Puts the saved pointer back now; later calls do nothing.
    void restore() {
        if (active_) {
            active_ = false;
            QGuiApplication::restoreOverrideCursor();
        }
    }

  private:
    bool active_ = true;
};
