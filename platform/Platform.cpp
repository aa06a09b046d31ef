#include "platform/Platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

// The helpers every platform shares: the platform in use, path joining and
// splitting, and the lossless conversion between file-name bytes and text.

namespace platform {

quint64 sampledHash(qint64 size, const std::function<qint64(char*, qint64, qint64)>& read) {
    quint64 hash = fnv1a(reinterpret_cast<const char*>(&size), sizeof size);
    char buffer[16384];
    constexpr qint64 kBlock = 4096;
    const qint64 blocks = size <= qint64(sizeof buffer) ? 1 : 4;
    for (qint64 b = 0; b < blocks; ++b) {
        const qint64 at = blocks == 1 ? 0 : (size - kBlock) * b / (blocks - 1);
        hash =
            fnv1a(buffer, std::max<qint64>(read(buffer, blocks == 1 ? size : kBlock, at), 0), hash);
    }
    return hash == 0 ? 1 : hash;
}

namespace {

System* installed = nullptr;

#ifdef _WIN32
constexpr char16_t kSeparator = u'\\';
constexpr char kDefaultDirectory[] = "c:\\";
#else
constexpr char16_t kSeparator = u'/';
constexpr char kDefaultDirectory[] = "/";
#endif

// Windows takes "/" for a separator too.
bool isSeparator(QChar c) {
    return c == kSeparator || c == u'/';
}

qsizetype lastSeparator(QStringView path) {
    return path.crend() - std::find_if(path.crbegin(), path.crend(), isSeparator) - 1;
}

constexpr int kSuffixLength = 6;

// Low surrogates U+DC80..U+DCFF stand for the bytes 0x80..0xFF that were not
// part of valid UTF-8 (0x80 maps to U+DC80, 0xFF to U+DCFF).
constexpr char16_t kEscapeBase = 0xDC00;

}  // namespace

QString Status::reason() const {
    if (ownReason != nullptr) {
        return QCoreApplication::translate("Status", ownReason);
    }
    if (osError == 0) {
        return QString();
    }
#ifdef _WIN32
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(osError), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    const QString reason = QString::fromWCharArray(text, int(n)).trimmed();  // ends in a line break
    LocalFree(text);
    return reason;
#else
    return QString::fromLocal8Bit(std::strerror(osError));
#endif
}

bool Fingerprint::matches(const Fingerprint& now) const {
    if (size != now.size || inode != now.inode || (contents != 0 && contents != now.contents)) {
        return false;
    }
    if (!timeCounts) {
        return true;
    }
    if (inode != 0) {
        return modified == now.modified;
    }
    // FAT keeps modification times to two seconds, and a driver may round the
    // time it reported before the remount that wrote it out.
    constexpr qint64 kCoarsest = 2'000'000'000;
    return std::llabs(modified - now.modified) <= kCoarsest;
}

QString parkingName(QStringView from, int attempt) {
    const QByteArray bytes = encodeFileName(from);
    return QStringLiteral(".quillomat-case-%1-%2")
        .arg(fnv1a(bytes.constData(), bytes.size()), 16, 16, QLatin1Char('0'))
        .arg(attempt);
}

Status BatchSystem::dropPlaceholder(const PinnedDirectory&, QStringView) {
    return Status{Error::FileExists, 0};
}

Status BatchSystem::readStart(const PinnedDirectory&, QStringView, qint64, QByteArray*) {
    return Status{Error::InvalidCall, 0};
}

Status BatchSystem::dropSecondName(const PinnedDirectory&, QStringView, QStringView) {
    return Status{Error::FileExists, 0};
}

namespace {

bool isReservedWindowsName(QStringView name) {
    // CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9, with any extension.
    static const QStringList kDevices =
        QStringLiteral(
            "CON PRN AUX NUL COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9 "
            "LPT1 LPT2 LPT3 LPT4 LPT5 LPT6 LPT7 LPT8 LPT9")
            .split(u' ');
    QStringView stem = name.left(name.indexOf(u'.'));
    while (stem.endsWith(u' ')) {
        stem.chop(1);
    }
    return kDevices.contains(stem, Qt::CaseInsensitive);
}

}  // namespace

NameRules::Verdict NameRules::check(QStringView name) const {
    if (windowsNames) {
        for (const QChar c : name) {
            if (c.unicode() < 0x20 || (asciiOnly && c.unicode() >= 0x7F) ||
                QStringView(u"\"*/:<>?\\|").contains(c)) {
                return Verdict{Refusal::Character, c};
            }
        }
        const Refusal refusal = name.endsWith(u'.')           ? Refusal::TrailingDot
                                : name.endsWith(u' ')         ? Refusal::TrailingBlank
                                : isReservedWindowsName(name) ? Refusal::ReservedName
                                                              : Refusal::None;
        if (refusal != Refusal::None) {
            return Verdict{refusal, {}};
        }
    }
    // No character takes more than three bytes per UTF-16 unit, so most
    // names need no encoding to tell.
    if ((maxUnits > 0 && name.size() > maxUnits) ||
        (maxBytes > 0 && name.size() * 3 > maxBytes && encodeFileName(name).size() > maxBytes)) {
        return Verdict{Refusal::TooLong, {}};
    }
    return Verdict{};
}

QString uniqueSuffix() {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < kSuffixLength; ++i) {
        suffix +=
            QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet) - 1)]);
    }
    return suffix;
}

bool isUniqueSuffix(QStringView text) {
    return text.size() == kSuffixLength && std::all_of(text.begin(), text.end(), [](QChar c) {
               return c.unicode() < 0x80 && c.isLetterOrNumber();
           });
}

bool NameRules::sameName(QStringView a, QStringView b) const {
    return a.compare(b, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

System& current() {
    return installed != nullptr ? *installed : real();
}

void setCurrent(System* s) {
    installed = s;
}

QString separator() {
    return QString(QChar(kSeparator));
}

QString defaultDirectory() {
    return QString::fromLatin1(kDefaultDirectory);
}

QString withoutRootSeparator(const QString& dir) {
#ifdef _WIN32
    // "C:\" (a drive root) and "\" (the current drive's root).
    if (dir.size() == 3 && dir.at(0).isLetter() && dir.at(1) == u':' && isSeparator(dir.at(2))) {
        return dir.left(2);
    }
    if (dir.size() == 1 && isSeparator(dir.at(0))) {
        return QString();
    }
    return dir;
#else
    return dir == QLatin1String("/") ? QString() : dir;
#endif
}

QString joinPath(const QString& dir, const QString& name) {
    return withoutRootSeparator(dir) + QChar(kSeparator) + name;
}

// The directory part comes in the root-stripped form: directoryOf("/x/a") is
// "/x" and directoryOf("/a") is "", so that joinPath(directoryOf(p), nameOf(p))
// gives back p for every path built by joinPath().
QString directoryOf(const QString& path) {
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at);
}

QString nameOf(const QString& path) {
    return path.mid(lastSeparator(path) + 1);
}

bool isPlainFileName(QStringView name) {
    // Empty, "." and "..": told by size first, as every file of a batch asks.
    const qsizetype size = name.size();
    if (size == 0 || (name[0] == u'.' && (size == 1 || (size == 2 && name[1] == u'.')))) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](QChar c) {
#ifdef _WIN32
        // "a:b" would address a stream of the file "a".
        if (c == u':') {
            return true;
        }
#endif
        return c == u'\0' || isSeparator(c);
    });
}

namespace {

// The length of the UTF-8 sequence that starts with the byte at `i` (0x80 or
// above) of the `n` bytes at `in`, or 0 when it is no valid sequence. The
// valid ranges of the second byte depend on the lead byte; every further
// byte is 0x80..0xBF. This rules out overlong forms, encoded surrogates and
// code points above U+10FFFF.
int sequenceLength(const unsigned char* in, qsizetype i, qsizetype n) {
    const unsigned char b = in[i];
    const int length = b >= 0xC2 && b <= 0xDF   ? 2
                       : b >= 0xE0 && b <= 0xEF ? 3
                       : b >= 0xF0 && b <= 0xF4 ? 4
                                                : 0;
    const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
    bool valid = length > 0 && i + length <= n && in[i + 1] >= low && in[i + 1] <= high;
    for (int k = 2; valid && k < length; ++k) {
        valid = (in[i + k] & 0xC0) == 0x80;
    }
    return valid ? length : 0;
}

}  // namespace

QString decodeFileName(const QByteArray& bytes) {
    if (QtPrivate::isAscii(QLatin1String(bytes))) {
        return QString::fromLatin1(bytes);
    }
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();

    // Every byte yields at most one UTF-16 unit (a 4-byte sequence yields two).
    QString result(n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    char16_t* const begin = out;
    for (qsizetype i = 0; i < n;) {
        const int length = in[i] < 0x80 ? 1 : sequenceLength(in, i, n);
        // The lead byte's own bits, then six from every further byte.
        char32_t cp = length < 2 ? in[i] : in[i] & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            cp = (cp << 6) | (in[i + k] & 0x3F);
        }
        if (length == 0) {
            *out++ = char16_t(kEscapeBase + in[i]);
        } else if (cp > 0xFFFF) {
            *out++ = QChar::highSurrogate(cp);
            *out++ = QChar::lowSurrogate(cp);
        } else {
            *out++ = char16_t(cp);
        }
        i += length == 0 ? 1 : length;
    }
    result.truncate(out - begin);
    return result;
}

bool isEscapedByte(QStringView name, qsizetype i) {
    const char16_t c = name.at(i).unicode();
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
           (i == 0 || !name.at(i - 1).isHighSurrogate());
}

bool holdsEscapedBytes(QStringView name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapedByte(name, i)) {
            return true;
        }
    }
    return false;
}

QByteArray encodeFileName(QStringView name) {
    if (QtPrivate::isAscii(name)) {
        return name.toLatin1();  // each unit its byte, with no codec between
    }
    const auto* in = reinterpret_cast<const char16_t*>(name.constData());
    const qsizetype n = name.size();
    // The text between lone surrogates encodes as usual. A lone U+DC80..U+DCFF
    // is its byte; any other lone surrogate, which no decoded name holds,
    // takes the three-byte form.
    QByteArray result;
    qsizetype run = 0;  // where the text not yet encoded starts
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i];
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            ++i;
        } else if (QChar::isSurrogate(u)) {
            result += name.mid(run, i - run).toUtf8();
            if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
                result += char(u - kEscapeBase);
            } else {
                result += char(0xE0 | (u >> 12));
                result += char(0x80 | ((u >> 6) & 0x3F));
                result += char(0x80 | (u & 0x3F));
            }
            run = i + 1;
        }
    }
    return run == 0 ? name.toUtf8() : result + name.mid(run).toUtf8();
}

}  // namespace platform
