#include "engine/CodePoints.h"

namespace codepoints {

void decode(QStringView text, Text& out) {
    out.clear();
    out.reserve(static_cast<size_t>(text.size()));
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            out.push_back(QChar::surrogateToUcs4(u, text[i + 1].unicode()));
            ++i;
        } else {
            out.push_back(u);  // lone surrogates stay as they are
        }
    }
}

Text decode(QStringView text) {
    Text out;
    decode(text, out);
    return out;
}

void append(QString& out, View chars) {
    out.reserve(out.size() + static_cast<qsizetype>(chars.size()));
    for (const char32_t c : chars) {
        if (QChar::requiresSurrogates(c)) {
            out.append(QChar(QChar::highSurrogate(c)));
            out.append(QChar(QChar::lowSurrogate(c)));
        } else {
            out.append(QChar(static_cast<char16_t>(c)));
        }
    }
}

QString encode(View chars) {
    QString out;
    append(out, chars);
    return out;
}

int length(QStringView text) {
    qsizetype count = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --count;
            ++i;
        }
    }
    return static_cast<int>(count);
}

int find(View text, View what) {
    // An empty text holds nothing, not even an empty `what`.
    const size_t at = text.empty() ? View::npos : text.find(what);
    return at == View::npos ? 0 : static_cast<int>(at) + 1;
}

}  // namespace codepoints

QString extensionOf(const QString& name) {
    // "." is never half of a surrogate pair, so a search over UTF-16 is exact.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}
