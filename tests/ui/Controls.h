#pragma once

// The windows keep their controls to themselves; a test reaches one the way a
// user's assistive tool would, by the name the design gives it.

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <QtGlobal>

#include "ui/KeepSelectionLineEdit.h"

// The control `name` of `window`, which must exist and be of type T.
template <class T>
T* control(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("%s has no control %s of the expected type", qPrintable(window.objectName()), name);
    }
    return found;
}
