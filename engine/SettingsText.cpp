#include "engine/SettingsText.h"

#include <algorithm>

#include "platform/Platform.h"

namespace settings::text {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView bytes) {
    while (!bytes.isEmpty() && isBlank(bytes.front())) {
        bytes = bytes.sliced(1);
    }
    while (!bytes.isEmpty() && isBlank(bytes.back())) {
        bytes.chop(1);
    }
    return bytes;
}

bool sameName(QByteArrayView name, const QString& wanted) {
    return QString::fromUtf8(name).compare(wanted, Qt::CaseInsensitive) == 0;
}

struct Line {
    enum class Kind { Other, Header, Key };
    Kind kind = Kind::Other;
    qsizetype end = 0;   // end of the content, before "\n" or "\r\n"
    qsizetype next = 0;  // start of the next line
    bool hasNewline = false;
    QByteArrayView name;       // the group's (Header) or the key's (Key), blanks trimmed
    qsizetype valueBegin = 0;  // Key: the first byte after the "="
};

// Calls visit(line) for every line of `file`, in order.
template <class Visit>
void forEachLine(const QByteArray& file, Visit visit) {
    const QByteArrayView all(file);
    qsizetype begin = all.startsWith("\xEF\xBB\xBF") ? 3 : 0;  // a UTF-8 byte order mark
    while (begin < all.size()) {
        Line line;
        const qsizetype newline = all.indexOf('\n', begin);
        line.hasNewline = newline >= 0;
        line.end = line.hasNewline ? newline : all.size();
        line.next = line.hasNewline ? newline + 1 : all.size();
        if (line.end > begin && all[line.end - 1] == '\r') {
            --line.end;
        }
        const QByteArrayView content = all.sliced(begin, line.end - begin);
        qsizetype lead = 0;
        while (lead < content.size() && isBlank(content[lead])) {
            ++lead;
        }
        const qsizetype equals = content.indexOf('=');
        if (lead < content.size() && content[lead] == '[') {
            const QByteArrayView rest = content.sliced(lead + 1);
            const qsizetype close = rest.indexOf(']');
            line.kind = Line::Kind::Header;
            line.name = trimmed(close < 0 ? rest : rest.first(close));
        } else if (equals >= 0) {
            line.kind = Line::Kind::Key;
            line.name = trimmed(content.first(equals));
            line.valueBegin = begin + equals + 1;
        }
        visit(line);
        begin = line.next;
    }
}

// The escapes of the earlier writer that stand for one character each.
char namedEscape(char16_t c) {
    switch (c) {
        case u'\a':
            return 'a';
        case u'\b':
            return 'b';
        case u'\f':
            return 'f';
        case u'\n':
            return 'n';
        case u'\r':
            return 'r';
        case u'\t':
            return 't';
        case u'\v':
            return 'v';
        case u'"':
            return '"';
        case u'\\':
            return '\\';
        default:
            return 0;
    }
}

char16_t namedCharacter(char escape) {
    for (const char16_t c : {u'\a', u'\b', u'\f', u'\n', u'\r', u'\t', u'\v', u'"', u'\\'}) {
        if (namedEscape(c) == escape) {
            return c;
        }
    }
    return 0;
}

int digitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// The earlier writer's escaping of one text: in `utf8` mode characters from
// U+007F up are written as UTF-8, otherwise (a byte array's Latin-1 text) as
// \xNN. A hex digit right after a \x or \0 escape is escaped too, so that it
// cannot be read as part of it.
QByteArray escapedText(const QString& text, bool utf8) {
    QByteArray out;
    QString plain;  // characters written as they are, encoded together
    const auto flush = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    bool needsQuotes = false;
    bool escapeHexDigit = false;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u';' || c == u',' || c == u'=') {
            needsQuotes = true;
        }
        if (escapeHexDigit && c < 0x80 && digitValue(char(c), 16) >= 0) {
            flush();
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        if (c == 0) {
            flush();
            out += "\\0";
            escapeHexDigit = true;
        } else if (const char named = namedEscape(c)) {
            flush();
            out += '\\';
            out += named;
        } else if (c <= 0x1F || (c >= 0x7F && !utf8)) {
            flush();
            out += "\\x" + QByteArray::number(c, 16);
            escapeHexDigit = true;
        } else if (utf8) {
            plain += qc;
        } else {
            out += char(c);
        }
    }
    flush();
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' ')) {
        out = '"' + out + '"';
    }
    return out;
}

// The text `raw` stands for when it is exactly what the earlier writer gives
// for that text; nothing otherwise (the value is then literal).
std::optional<QString> unescapedValue(const QByteArray& raw) {
    // Without a backslash, a quote or a leading "@" both readings agree.
    if (!raw.startsWith('@') && !raw.contains('\\') && !raw.contains('"')) {
        return std::nullopt;
    }
    QByteArrayView body(raw);
    if (body.size() >= 2 && body.front() == '"' && body.back() == '"') {
        body = body.sliced(1, body.size() - 2);
    }
    QString text;
    QByteArray plain;
    const auto flush = [&] {
        text += QString::fromUtf8(plain);
        plain.clear();
    };
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"') {
            return std::nullopt;
        }
        if (c != '\\') {
            plain += c;
            continue;
        }
        flush();
        if (++i == body.size()) {
            return std::nullopt;
        }
        const char escape = body[i];
        if (const char16_t named = namedCharacter(escape)) {
            text += QChar(named);
            continue;
        }
        int base = 8;
        if (escape == 'x') {
            base = 16;
            ++i;
        } else if (digitValue(escape, 8) < 0) {
            return std::nullopt;
        }
        char32_t code = 0;
        qsizetype digits = 0;
        for (; i < body.size() && digitValue(body[i], base) >= 0 && code <= 0xFFFF; ++i, ++digits) {
            code = code * base + char32_t(digitValue(body[i], base));
        }
        if (digits == 0 || code > 0xFFFF) {
            return std::nullopt;
        }
        text += QChar(char16_t(code));
        --i;  // the loop steps past the last digit
    }
    flush();

    // The type marks of the earlier writer.
    const QLatin1String byteArray("@ByteArray(");
    const QLatin1String string("@String(");
    QString value;
    if (text.startsWith(byteArray) && text.endsWith(u')')) {
        value = platform::decodeFileName(
            QStringView(text).sliced(byteArray.size()).chopped(1).toLatin1());
    } else if (text.startsWith(string) && text.endsWith(u')')) {
        value = QStringView(text).sliced(string.size()).chopped(1).toString();
    } else if (text.startsWith(QLatin1String("@@"))) {
        value = text.sliced(1);
    } else {
        value = text;
    }
    if (escapedValue(value) != raw) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<QByteArray> rawValue(const QByteArray& file, const QString& section,
                                   const QString& key) {
    std::optional<QByteArray> found;
    bool inSection = false;
    forEachLine(file, [&](const Line& line) {
        if (line.kind == Line::Kind::Header) {
            inSection = sameName(line.name, section);
        } else if (line.kind == Line::Kind::Key && inSection && sameName(line.name, key)) {
            found = file.mid(line.valueBegin, line.end - line.valueBegin);
        }
    });
    return found;
}

QByteArray withValues(const QByteArray& file, const QString& section,
                      const QList<std::pair<QString, QByteArray>>& values) {
    struct Replacement {
        qsizetype begin;
        qsizetype end;
        QByteArray bytes;
    };
    QList<Replacement> replacements;
    QList<bool> found(values.size(), false);
    QByteArray eol;  // the file's own line ending
    bool inSection = false;
    std::optional<Line> last;  // the last header or key line of the section so far
    forEachLine(file, [&](const Line& line) {
        if (eol.isEmpty() && line.hasNewline) {
            eol = file.mid(line.end, line.next - line.end);
        }
        if (line.kind == Line::Kind::Header) {
            inSection = sameName(line.name, section);
            if (inSection) {
                last = line;
            }
            return;
        }
        if (line.kind != Line::Kind::Key || !inSection) {
            return;
        }
        last = line;
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (sameName(line.name, values[i].first)) {
                replacements.append({line.valueBegin, line.end, values[i].second});
                found[i] = true;
            }
        }
    });
    if (eol.isEmpty()) {
        eol = "\n";
    }

    QByteArray added;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!found[i]) {
            added += values[i].first.toUtf8() + '=' + values[i].second + eol;
        }
    }
    if (!added.isEmpty()) {
        if (last) {
            // After the last key (or the header) of the section's last group.
            replacements.append(
                {last->next, last->next, (last->hasNewline ? QByteArray() : eol) + added});
        } else {
            QByteArray group;
            if (!file.isEmpty()) {
                group = (file.endsWith('\n') ? QByteArray() : eol) + eol;
            }
            group += '[' + section.toUtf8() + ']' + eol + added;
            replacements.append({file.size(), file.size(), group});
        }
    }

    std::stable_sort(replacements.begin(), replacements.end(),
                     [](const Replacement& a, const Replacement& b) { return a.begin < b.begin; });
    QByteArray out;
    out.reserve(file.size() + added.size() + 64);
    qsizetype at = 0;
    for (const Replacement& r : replacements) {
        out += QByteArrayView(file).sliced(at, r.begin - at);
        out += r.bytes;
        at = r.end;
    }
    out += QByteArrayView(file).sliced(at);
    return out;
}

QString decodeValue(const QByteArray& raw) {
    if (std::optional<QString> escaped = unescapedValue(raw)) {
        return *escaped;
    }
    return platform::decodeFileName(raw);
}

QByteArray encodeValue(const QString& value) {
    const QByteArray literal = platform::encodeFileName(value);
    const bool breaksLine = literal.contains('\n') || literal.contains('\r');
    if (!breaksLine && decodeValue(literal) == value) {
        return literal;
    }
    return escapedValue(value);
}

QByteArray escapedValue(const QString& value) {
    if (platform::holdsEscapedBytes(value)) {
        return escapedText(QLatin1String("@ByteArray(") +
                               QString::fromLatin1(platform::encodeFileName(value)) + u')',
                           false);
    }
    if (value.contains(QChar(u'\0'))) {
        return escapedText(QLatin1String("@String(") + value + u')', true);
    }
    if (value.startsWith(u'@')) {
        return escapedText(u'@' + value, true);
    }
    return escapedText(value, true);
}

}  // namespace settings::text
