#pragma once

// Naming beyond the mask: the steps a new name goes through after the mask
// has built it, in this order: the text replaced, the date put before or
// after it, its letter case, the extension's case. The running number's
// digits and step, and the order files are numbered in, belong here too.
// At their defaults a name is exactly what the mask builds.

#include <QDateTime>
#include <QString>

#include "platform/Platform.h"

namespace settings {
class Changes;
}

struct NamingSteps {
    enum class Case { AsIs, Lower, Upper, Title };
    enum class Date { None, Taken, Modified };

    int digits = 0;  // 0: Auto, zeros in front up to four digits; else at least this many
    int step = 1;    // added to the running number from one file to the next
    QString find;    // the text replaced; empty: nothing is
    QString replacement;
    bool pattern = false;  // `find` is a regular expression
    Case nameCase = Case::AsIs;
    Case extensionCase = Case::AsIs;
    Date date = Date::None;
    QString dateFormat = QStringLiteral("yyyy-MM-dd");
    bool dateAfter = false;    // the date goes after the name, else before it
    bool byDateTaken = false;  // files are numbered in the order their photos were taken

    // With no mask, the new name is the old one changed by these steps
    // rather than a running number.
    bool changesOldName() const {
        return !find.isEmpty() || nameCase != Case::AsIs || extensionCase != Case::AsIs;
    }
    // False for a regular expression that is not valid.
    bool findIsValid() const;

    // The base name `name` (no extension) through the steps, the date being
    // `date` (not used when invalid).
    QString finished(QString name, const QDateTime& date) const;
    QString finishedExtension(const QString& extension) const;
    // The running number's text with its zeros in front.
    QString numberText(double value, const QString& text) const;

    // The settings store's keys of their own in [Defaults]; a missing or
    // unreadable value is the default.
    static NamingSteps load();
    void addTo(settings::Changes& changes) const;
    platform::Status save() const;

    bool operator==(const NamingSteps& other) const;
};

// When a file's photo was taken (Exif DateTimeOriginal, invalid when it has
// none) and when it was last modified (invalid when it cannot be read).
struct FileDates {
    QDateTime taken;
    QDateTime modified;
    // The order of numbering by the date taken goes by this.
    QDateTime takenOrModified() const { return taken.isValid() ? taken : modified; }
};

// The dates of the file `name` in `dir`, read through `system`: its first
// bytes go to libexiv2, its time comes from identify(). Kept from one call to
// the next while the file's size and time stay the same.
FileDates datesOf(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
                  const QString& name);
