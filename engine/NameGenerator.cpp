#include "engine/NameGenerator.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/CodePoints.h"
#include "engine/Extract.h"
#include "engine/TextNumber.h"

namespace {

using codepoints::Text;
using codepoints::View;

constexpr int kMaxLastIndex = AppState::kMaxEntries - 1;

// Mid(text, start, count) over characters, 1-based: the part of `text` that
// starts at character `start` and holds up to `count` characters. A start
// below 1 fails.
bool mid(View text, int start, int count, View* out) {
    if (start < 1) {
        return false;
    }
    const size_t from = static_cast<size_t>(start - 1);
    if (from >= text.size() || count <= 0) {
        *out = View();
    } else {
        *out = text.substr(from, static_cast<size_t>(count));
    }
    return true;
}

bool allDigits(View text) {
    return std::all_of(text.begin(), text.end(), codepoints::isDigit);
}

// One position of a pattern mask: any digit, exactly one character, or a slot
// that no single character can equal.
struct PatternChar {
    enum Kind { AnyDigit, Exact, Never } kind = Never;
    char32_t ch = 0;
};

class Generator {
  public:
    Generator(AppState& s, const GenerationInput& in) : s_(s), in_(in) {}

    int failedIndex() const { return failedIndex_; }

    Error run() {
        const qsizetype count = in_.listNames.size();
        s_.lastIndex = static_cast<int>(std::min<qsizetype>(count - 1, kMaxLastIndex));
        last_ = s_.lastIndex;

        for (int i = 0; i <= last_; ++i) {
            s_.oldNames[idx(i)] = in_.listNames.at(i);
        }
        for (int i = 0; i <= last_; ++i) {
            s_.extensions[idx(i)] = extensionOf(s_.oldNames[idx(i)]);
        }
        for (int i = 0; i <= last_; ++i) {
            s_.newNames[idx(i)] = QString();
        }
        s_.counterText = in_.startNumber.isEmpty() ? QStringLiteral("1") : in_.startNumber;

        switch (s_.maskKind) {
            case 1:
                return noMask();
            case 2:
                return numericMask();
            case 3:
                return textMask();
            case 4:
                return letteredTextMask();
            case 5:
            case 6:
                return patternMask();
            default:
                // No rule applies: leave every file alone.
                for (int i = 0; i <= last_; ++i) {
                    keep(i);
                }
                return Error::None;
        }
    }

  private:
    static size_t idx(int i) { return static_cast<size_t>(i); }

    void keep(int i) { s_.newNames[idx(i)] = s_.oldNames[idx(i)]; }

    Error failAt(int i, Error error) {
        failedIndex_ = i;
        return error;
    }

    // The too-short test: a file whose name (less its extension) ends before
    // the window of `length` characters at `position` gets the keep mark. The
    // result marks the files kept so far.
    std::vector<char> keepTooShort(int position, int length) {
        std::vector<char> kept(idx(last_ + 1), 0);
        for (int i = 0; i <= last_; ++i) {
            if (position + length - 1 > baseLength(i)) {
                keep(i);
                kept[idx(i)] = 1;
            }
        }
        return kept;
    }

    // B(i): the number of characters of the name without its extension.
    int baseLength(int i) const {
        return codepoints::length(s_.oldNames[idx(i)]) - codepoints::length(s_.extensions[idx(i)]);
    }

    void decodeName(int i) { codepoints::decode(s_.oldNames[idx(i)], name_); }

    // newNames(i) := prefix, piece, suffix
    void setName(int i, View piece) {
        QString& out = s_.newNames[idx(i)];
        out.clear();
        out.reserve(in_.prefix.size() + static_cast<qsizetype>(piece.size()) + in_.suffix.size());
        out += in_.prefix;
        codepoints::append(out, piece);
        out += in_.suffix;
    }

    // Appends the running number as the next name takes it: zeros chosen by
    // value, then the text itself; the text then moves on to the value plus one.
    bool appendRunningNumber(QString& out) {
        double value = 0;
        if (!textToDouble(s_.counterText, &value)) {
            return false;
        }
        if (value < 10) {
            s_.leadingZeros = QStringLiteral("000");
        } else if (value < 100) {
            s_.leadingZeros = QStringLiteral("00");
        } else if (value < 1000) {
            s_.leadingZeros = QStringLiteral("0");
        } else {
            s_.leadingZeros = QString();
        }
        out += s_.leadingZeros;
        out += s_.counterText;
        s_.counterText = numberToText(value + 1);
        return true;
    }

    // Entry i's new name: prefix, `middle`, the running number, suffix.
    Error setNumberedName(int i, const QString& middle) {
        QString name;
        name.reserve(in_.prefix.size() + middle.size() + 8 + in_.suffix.size());
        name += in_.prefix;
        name += middle;
        if (!appendRunningNumber(name)) {
            return failAt(i, Error::TypeMismatch);
        }
        name += in_.suffix;
        s_.newNames[idx(i)] = std::move(name);
        return Error::None;
    }

    Error noMask() {
        for (int i = 0; i <= last_; ++i) {
            if (const Error error = setNumberedName(i, QString()); error != Error::None) {
                return error;
            }
        }
        return Error::None;
    }

    // The characters at the mask's place in the example (as txtFile holds it
    // now) must all be digits in the file's name.
    Error numericMask() {
        const Text mask = codepoints::decode(s_.mask);
        const int position = codepoints::find(codepoints::decode(in_.exampleText), mask);
        const int length = static_cast<int>(mask.size());
        s_.maskLength = length;

        std::vector<char> kept = keepTooShort(position, length);
        for (int i = 0; i <= last_; ++i) {
            if (kept[idx(i)]) {
                continue;
            }
            decodeName(i);
            View window;
            if (!mid(name_, position, length, &window)) {
                return failAt(i, Error::InvalidCall);
            }
            if (allDigits(window)) {
                setName(i, window);
            } else {
                keep(i);
            }
        }
        return Error::None;
    }

    Error textMask() {
        const Text mask = codepoints::decode(s_.mask);
        const QString maskAndDash = s_.mask + QLatin1Char('-');
        for (int i = 0; i <= last_; ++i) {
            decodeName(i);
            if (codepoints::find(name_, mask) == 0) {
                keep(i);
                continue;
            }
            if (const Error error = setNumberedName(i, maskAndDash); error != Error::None) {
                return error;
            }
        }
        return Error::None;
    }

    // The mask together with the file's own letter just before it (First) or
    // just after it (Last).
    Error letteredTextMask() {
        const Text mask = codepoints::decode(s_.mask);
        const bool first = s_.letteringPosition == 1;
        Text piece;
        for (int i = 0; i <= last_; ++i) {
            decodeName(i);
            const int position = codepoints::find(name_, mask);
            if (position == 0) {
                keep(i);
                continue;
            }
            View letter;
            const int letterStart = first ? position - 1 : position + s_.maskLength - 1;
            if (!mid(name_, letterStart, 1, &letter)) {
                return failAt(i, Error::InvalidCall);
            }
            piece.clear();
            if (first) {
                piece.append(letter).append(mask);
            } else {
                piece.append(mask).append(letter);
            }
            setName(i, piece);
        }
        return Error::None;
    }

    // What each of the mask's `length` characters asks of a name (slot t for
    // character t): a digit, or the very character.
    std::vector<PatternChar> patternOfMask(int length) const {
        const QString number = QString::fromUtf16(kMaskCharNumber);
        std::vector<PatternChar> pattern(idx(std::max(length, 0) + 1));
        for (int t = 1; t <= length && t <= AppState::kMaxMaskLength; ++t) {
            const QString& slot = s_.maskChars[idx(t)];
            PatternChar& p = pattern[idx(t)];
            if (slot == number) {
                p.kind = PatternChar::AnyDigit;
            } else if (codepoints::length(slot) == 1) {
                p.kind = PatternChar::Exact;
                p.ch = codepoints::decode(slot).front();
            }
        }
        return pattern;
    }

    // Kinds 5 and 6: the characters at maskPosition must match the mask's
    // pattern; kind 6 leaves the letter's place unchecked and carries the
    // file's own letter into the new name.
    Error patternMask() {
        const int position = s_.maskPosition;
        const int length = s_.maskLength;
        int firstChecked = 1;
        int lastChecked = length;
        if (s_.maskKind == 6) {
            if (s_.letteringPosition == 1) {
                firstChecked = 2;
            } else {
                lastChecked = length - 1;
            }
        }

        const std::vector<PatternChar> pattern = patternOfMask(length);
        std::vector<char> kept = keepTooShort(position, length);
        for (int i = 0; i <= last_; ++i) {
            if (kept[idx(i)]) {
                continue;
            }
            decodeName(i);
            for (int t = firstChecked; t <= lastChecked; ++t) {
                View c;
                if (!mid(name_, position + t - 1, 1, &c)) {
                    return failAt(i, Error::InvalidCall);
                }
                const PatternChar& p = pattern[idx(t)];
                const bool match =
                    c.size() == 1 &&
                    ((p.kind == PatternChar::AnyDigit && codepoints::isDigit(c[0])) ||
                     (p.kind == PatternChar::Exact && c[0] == p.ch));
                if (!match) {
                    keep(i);
                    kept[idx(i)] = 1;
                    break;
                }
            }
        }
        for (int i = 0; i <= last_; ++i) {
            if (kept[idx(i)]) {
                continue;
            }
            decodeName(i);
            View window;
            if (!mid(name_, position, length, &window)) {
                return failAt(i, Error::InvalidCall);
            }
            setName(i, window);
        }
        return Error::None;
    }

    AppState& s_;
    const GenerationInput& in_;
    int last_ = -1;
    int failedIndex_ = -1;
    Text name_;  // the current file's characters, reused from file to file
};

}  // namespace

Error generateNewNames(AppState& s, const GenerationInput& in, int* failedIndex) {
    Generator generator(s, in);
    const Error error = generator.run();
    if (failedIndex != nullptr) {
        *failedIndex = generator.failedIndex();
    }
    return error;
}
