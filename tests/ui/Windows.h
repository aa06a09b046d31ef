#pragma once

// The program's windows by their design names, for suites that walk every
// window.

#include <QString>
#include <QWidget>

#include "ui/Forms.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"
#include "ui/frmPreview.h"

// The window named `form` ("frmMain", "frmDir", "frmOptions", "frmAbout",
// "frmPreview"), loaded if it is not.
inline QWidget* windowFor(const QString& form) {
    if (form == QLatin1String("frmMain")) {
        return &forms::frmMain();
    }
    if (form == QLatin1String("frmDir")) {
        return &forms::frmDir();
    }
    if (form == QLatin1String("frmOptions")) {
        return &forms::frmOptions();
    }
    if (form == QLatin1String("frmPreview")) {
        return &forms::frmPreview();
    }
    return &forms::frmAbout();
}
