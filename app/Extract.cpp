#include "app/Extract.h"

#include <algorithm>

#include "app/TextNumber.h"

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
    if (text.empty()) {
        return 0;
    }
    const size_t at = text.find(what);
    return at == View::npos ? 0 : static_cast<int>(at) + 1;
}

}  // namespace codepoints

QString extensionOf(const QString& name) {
    // "." is never half of a surrogate pair, so a search over UTF-16 is exact.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

namespace {

constexpr int kMaskCap = AppState::kMaxMaskLength;

}  // namespace

QString extractMask(AppState& s, const ExtractInput& in) {
    s.mask = in.maskText;
    s.workName = in.exampleName;
    const codepoints::Text mask = codepoints::decode(s.mask);

    // Where the mask sits in the whole example name, extension included.
    s.maskPosition = codepoints::find(codepoints::decode(s.workName), mask);

    // A caption that is not a number can only come from a hand-edited settings
    // file; it means "no lettering".
    float lettering = 0;
    if (!textToSingle(in.letteringCaption, &lettering)) {
        lettering = 0;
    }
    s.letteringPosition = lettering;

    // The extension of the example; workName is left holding the text after its last ".".
    s.extensions[0] = extensionOf(s.workName);
    if (!s.extensions[0].isEmpty()) {
        s.workName = s.extensions[0].mid(1);
    }
    s.dotPosition = 0;

    const QString& extension = s.extensions[0];
    auto example = [&](const QString& middle) {
        return in.prefix + middle + in.suffix + extension;
    };
    const QString runningNumber = QStringLiteral("0001");
    const QString letter = QStringLiteral("!");

    if (s.mask.isEmpty()) {
        s.maskKind = 1;
        return example(runningNumber);
    }

    const int fullLength = static_cast<int>(mask.size());
    s.maskLength = std::min(fullLength, kMaskCap);
    s.markPosition = s.maskLength + 1;

    // The number test comes before the digit search: "123" is a numeric mask,
    // while "12a", "1-2" and "+5" are patterns.
    float value = 0;
    if (textToSingle(s.mask, &value)) {
        s.searchResult = codepoints::find(mask, U"-");
        const bool minus = s.searchResult != 0;
        s.searchResult = codepoints::find(mask, U"+");
        const bool plus = s.searchResult != 0;
        if (!minus && !plus) {
            s.maskKind = 2;
            return example(s.mask);
        }
    }

    // The first digit of the mask; one whose first occurrence lies beyond the
    // capped length does not count.
    for (s.loopIndex = 0; s.loopIndex <= 9; ++s.loopIndex) {
        const char32_t digit = U'0' + static_cast<char32_t>(s.loopIndex);
        s.searchResult = codepoints::find(mask, codepoints::View(&digit, 1));
        if (s.searchResult != 0 && s.searchResult < s.markPosition) {
            s.markPosition = s.searchResult;
        }
    }

    const codepoints::View maskView(mask);
    auto firstChars = [&](int count) { return codepoints::encode(maskView.substr(0, count)); };
    auto lastChars = [&](int count) {
        const size_t from = maskView.size() - std::min<size_t>(count, maskView.size());
        return codepoints::encode(maskView.substr(from));
    };

    if (s.markPosition == s.maskLength + 1) {
        // No digit: a text mask, lettered when there is a character to give up.
        if (s.letteringPosition != 0 && fullLength >= 2) {
            s.maskKind = 4;
            if (s.letteringPosition == 1) {
                s.mask = lastChars(s.maskLength - 1);
                return example(letter + s.mask);
            }
            s.mask = firstChars(s.maskLength - 1);
            return example(s.mask + letter);
        }
        s.maskKind = 3;
        return example(s.mask + QStringLiteral("-0001"));
    }

    // A pattern: one slot per character, digits as "Number".
    const QString number = QString::fromUtf16(kMaskCharNumber);
    for (s.loopIndex = 1; s.loopIndex <= s.maskLength; ++s.loopIndex) {
        QString& slot = s.maskChars[static_cast<size_t>(s.loopIndex)];
        slot = codepoints::encode(maskView.substr(static_cast<size_t>(s.loopIndex - 1), 1));
        for (s.digitIndex = 0; s.digitIndex <= 9; ++s.digitIndex) {
            if (slot.size() == 1 && slot.at(0) == QChar(u'0' + s.digitIndex)) {
                slot = number;
            }
        }
    }

    if (s.letteringPosition == 1 && s.maskChars[1] != number) {
        s.maskKind = 6;
        s.mask = lastChars(s.maskLength - 1);
        return example(letter + s.mask);
    }
    if (s.letteringPosition == 2 && s.maskChars[static_cast<size_t>(s.maskLength)] != number) {
        s.maskKind = 6;
        s.mask = firstChars(s.maskLength - 1);
        return example(s.mask + letter);
    }
    s.maskKind = 5;
    return example(s.mask);
}
