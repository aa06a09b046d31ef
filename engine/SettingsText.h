#pragma once

// The text of the settings file (the rules are in Settings.h): finding a key's
// value, putting new values in while keeping every other byte, and turning
// values into the file's bytes and back. Plain functions over bytes; the file
// itself is Settings.cpp's business.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace settings::text {

// The raw bytes of the value of `key` in the groups named `section`, or
// nothing when the key is not there.
std::optional<QByteArray> rawValue(const QByteArray& file, const QString& section,
                                   const QString& key);

// `file` with each key of `values` set to its value (already in the file's
// bytes, see encodeValue()) in the groups named `section`.
QByteArray withValues(const QByteArray& file, const QString& section,
                      const QList<std::pair<QString, QByteArray>>& values);

// The text a value's bytes stand for, and the bytes that stand for a text.
QString decodeValue(const QByteArray& raw);
QByteArray encodeValue(const QString& value);

// The form the earlier QSettings-based versions wrote `value` in: also the
// escaped form for values that cannot be written literally.
QByteArray escapedValue(const QString& value);

}  // namespace settings::text
