#include "engine/NamingSteps.h"

#include <QHash>
#include <QRegularExpression>

// libexiv2 0.27 hands out images in std::auto_ptr, which C++17 deprecates.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace {

// Each word with a capital. A letter beyond the first 65536 characters (a
// surrogate pair) stays as it is: a half of a pair is never changed.
QString titleCase(const QString& text) {
    QString out = text.toLower();
    bool wordStart = true;
    for (QChar& c : out) {
        c = wordStart && !c.isSurrogate() ? c.toUpper() : c;
        wordStart = !c.isLetterOrNumber() && !c.isSurrogate();
    }
    return out;
}

QString withCase(const QString& text, NamingSteps::Case wanted) {
    using Case = NamingSteps::Case;
    return wanted == Case::Lower   ? text.toLower()
           : wanted == Case::Upper ? text.toUpper()
           : wanted == Case::Title ? titleCase(text)
                                   : text;
}

// The date and time the Exif data of an image in `bytes` says its photo was
// taken; invalid when there is none.
QDateTime dateTakenIn(const QByteArray& bytes) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    try {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte*>(bytes.constData()), long(bytes.size()));
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto found = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
        return found == exif.end()
                   ? QDateTime()
                   : QDateTime::fromString(QString::fromStdString(found->toString()),
                                           QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    } catch (const std::exception&) {
        return QDateTime();  // not an image libexiv2 knows, or its data are damaged
    }
#pragma GCC diagnostic pop
}

}  // namespace

bool NamingSteps::findIsValid() const {
    return !pattern || QRegularExpression(find).isValid();
}

QString NamingSteps::finished(QString name, const QDateTime& when) const {
    if (!find.isEmpty()) {
        if (pattern) {
            const QRegularExpression expression(find);
            if (expression.isValid()) {
                name.replace(expression, replacement);
            }
        } else {
            name.replace(find, replacement);
        }
    }
    if (date != Date::None && when.isValid()) {
        const QString text = when.toString(dateFormat);
        name = dateAfter ? name + QLatin1Char(' ') + text : text + QLatin1Char(' ') + name;
    }
    return withCase(name, nameCase);
}

QString NamingSteps::finishedExtension(const QString& extension) const {
    return withCase(extension, extensionCase);
}

QString NamingSteps::numberText(double value, const QString& text) const {
    const int zeros = digits > 0     ? std::max(0, digits - int(text.size()))
                      : value < 10   ? 3
                      : value < 100  ? 2
                      : value < 1000 ? 1
                                     : 0;
    return QString(zeros, QLatin1Char('0')) + text;
}

bool NamingSteps::operator==(const NamingSteps& o) const {
    return digits == o.digits && step == o.step && find == o.find && replacement == o.replacement &&
           pattern == o.pattern && nameCase == o.nameCase && extensionCase == o.extensionCase &&
           date == o.date && dateFormat == o.dateFormat && dateAfter == o.dateAfter &&
           byDateTaken == o.byDateTaken;
}

FileDates datesOf(platform::BatchSystem& system, const platform::PinnedDirectory& dir,
                  const QString& name) {
    static QHash<QString, std::pair<platform::Fingerprint, FileDates>>
        known;  // read and written by the one thread that plans

    platform::Fingerprint now;
    if (!system.identify(dir, name, &now).ok()) {
        return FileDates{};
    }
    const QString key = dir.path() + QLatin1Char('/') + name;
    const auto it = known.constFind(key);
    if (it != known.cend() && it->first.size == now.size && it->first.modified == now.modified) {
        return it->second;
    }
    // The Exif data of a photo sit at its start.
    constexpr qint64 kHead = 256 * 1024;
    QByteArray head;
    FileDates dates;
    if (system.readStart(dir, name, kHead, &head).ok()) {
        dates.taken = dateTakenIn(head);
    }
    dates.modified = QDateTime::fromMSecsSinceEpoch(now.modified / 1'000'000);
    if (known.size() > 10'000) {
        known.clear();
    }
    known.insert(key, {now, dates});
    return dates;
}
