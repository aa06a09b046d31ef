#pragma once

// Shows the busy pointer application-wide for its lifetime and then puts
// back whatever pointer was in force, also when the handler ends early.

#include <QCursor>
#include <QGuiApplication>

#include "app/AppState.h"

class BusyPointer {
  public:
    explicit BusyPointer(AppState& state) {
        const QCursor* current = QGuiApplication::overrideCursor();
        state.savedPointer = current != nullptr ? current->shape() : Qt::ArrowCursor;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
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
