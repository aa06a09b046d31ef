#include "engine/Extract.h"

#include <algorithm>

#include "engine/TextNumber.h"

namespace {

using codepoints::Text;
using codepoints::View;

constexpr int kMaskCap = AppState::kMaxMaskLength;

// The example of a new name: prefix, the middle part, suffix, extension,
// through the naming steps.
struct Example {
    const QString& prefix;
    const QString& suffix;
    const QString& extension;
    const NamingSteps& steps;

    QString operator()(const QString& middle) const {
        return steps.finished(prefix + middle + suffix, QDateTime::currentDateTime()) +
               steps.finishedExtension(extension);
    }
    QString number() const { return steps.numberText(1, QStringLiteral("1")); }
};
const QString kLetter = QStringLiteral("!");

// A caption that is not a number can only come from a hand-edited settings
// file; it means "no lettering".
float letteringOf(const QString& caption) {
    float lettering = 0;
    return textToSingle(caption, &lettering) ? lettering : 0;
}

// The number test comes before the digit search: "123" is a numeric mask,
// while "12a", "1-2" and "+5" are patterns.
bool isNumericMask(const QString& mask, View chars) {
    float value = 0;
    return textToSingle(mask, &value) && codepoints::find(chars, U"-") == 0 &&
           codepoints::find(chars, U"+") == 0;
}

// Whether the mask has a digit within its first `length` characters: one
// beyond the capped length does not count.
bool hasDigit(View mask, int length) {
    const View capped = mask.substr(0, static_cast<size_t>(std::max(length, 0)));
    return std::any_of(capped.begin(), capped.end(), codepoints::isDigit);
}

// A lettered mask keeps maskLength - 1 of its characters: its last ones when
// the letter comes first, else its first ones. The example shows the letter
// in its place.
QString lettered(AppState& s, View mask, const Example& example) {
    const size_t count = static_cast<size_t>(std::max(s.maskLength - 1, 0));
    if (s.letteringPosition == 1) {
        s.mask = codepoints::encode(mask.substr(mask.size() - std::min(count, mask.size())));
        return example(kLetter + s.mask);
    }
    s.mask = codepoints::encode(mask.substr(0, count));
    return example(s.mask + kLetter);
}

// Kinds 3 and 4: no digit. Lettered when there is a character to give up.
QString textMask(AppState& s, View mask, const Example& example) {
    if (s.letteringPosition != 0 && mask.size() >= 2) {
        s.maskKind = 4;
        return lettered(s, mask, example);
    }
    s.maskKind = 3;
    return example(s.mask + QLatin1Char('-') + example.number());
}

// Kinds 5 and 6: a pattern, one slot per character, digits as "Number". It is
// lettered when the letter's place (first or last) holds no digit.
QString patternMask(AppState& s, View mask, const Example& example) {
    const QString number = QString::fromUtf16(kMaskCharNumber);
    for (int i = 1; i <= s.maskLength; ++i) {
        const char32_t c = mask[static_cast<size_t>(i - 1)];
        s.maskChars[static_cast<size_t>(i)] =
            codepoints::isDigit(c) ? number : codepoints::encode(View(&c, 1));
    }
    if ((s.letteringPosition == 1 && s.maskChars[1] != number) ||
        (s.letteringPosition == 2 && s.maskChars[static_cast<size_t>(s.maskLength)] != number)) {
        s.maskKind = 6;
        return lettered(s, mask, example);
    }
    s.maskKind = 5;
    return example(s.mask);
}

}  // namespace

QString extractMask(AppState& s, const ExtractInput& in, const NamingSteps& steps) {
    s.mask = in.maskText;
    const Text mask = codepoints::decode(s.mask);
    // Where the mask sits in the whole example name, extension included.
    s.maskPosition = codepoints::find(codepoints::decode(in.exampleName), mask);
    s.letteringPosition = letteringOf(in.letteringCaption);
    s.extensions[0] = extensionOf(in.exampleName);
    const Example example{in.prefix, in.suffix, s.extensions[0], steps};

    if (s.mask.isEmpty()) {
        s.maskKind = 1;
        return example(steps.changesOldName()
                           ? in.exampleName.left(in.exampleName.size() - s.extensions[0].size())
                           : example.number());
    }
    s.maskLength = std::min(static_cast<int>(mask.size()), kMaskCap);
    if (isNumericMask(s.mask, mask)) {
        s.maskKind = 2;
        return example(s.mask);
    }
    return hasDigit(mask, s.maskLength) ? patternMask(s, mask, example)
                                        : textMask(s, mask, example);
}
