#include "engine/NameGenerator.h"

#include <algorithm>
#include <numeric>
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
    *out =
        from >= text.size() || count <= 0 ? View() : text.substr(from, static_cast<size_t>(count));
    return true;
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
            s_.extensions[idx(i)] = extensionOf(s_.oldNames[idx(i)]);
            s_.newNames[idx(i)] = QString();
        }
        s_.counterText = in_.startNumber.isEmpty() ? QStringLiteral("1") : in_.startNumber;
        if (!in_.steps.findIsValid()) {
            return failAt(-1, Error::InvalidCall);
        }
        std::fill_n(s_.keepMarks.begin(), last_ + 1, false);
        readDates();
        const Error error = build();
        if (error == Error::None) {
            finish();
        }
        return error;
    }

  private:
    Error build() {
        switch (s_.maskKind) {
            case 1:
                if (in_.steps.changesOldName()) {
                    for (int i = 0; i <= last_; ++i) {
                        s_.newNames[idx(i)] =
                            in_.prefix + s_.oldNames[idx(i)].chopped(s_.extensions[idx(i)].size()) +
                            in_.suffix;
                    }
                    return Error::None;
                }
                return numberedNames(QString(), false);
            case 2:
                return numericMask();
            case 3:
                return numberedNames(s_.mask + QLatin1Char('-'), true);
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

    // The files' dates, where the steps use them.
    void readDates() {
        dates_.assign(idx(last_ + 1), FileDates{});
        const bool needed = in_.steps.date != NamingSteps::Date::None || in_.steps.byDateTaken;
        if (needed && in_.system != nullptr && s_.chosenDirectory) {
            for (int i = 0; i <= last_; ++i) {
                dates_[idx(i)] = datesOf(*in_.system, *s_.chosenDirectory, s_.oldNames[idx(i)]);
            }
        }
    }

    // The date entry i's name gets: the date taken, or the time modified
    // when its photo has none.
    QDateTime dateOf(int i) {
        const FileDates& dates = dates_[idx(i)];
        const bool taken = in_.steps.date == NamingSteps::Date::Taken;
        s_.noDateTaken[idx(i)] = taken && !dates.taken.isValid();
        return taken && dates.taken.isValid() ? dates.taken : dates.modified;
    }

    // The order files are numbered in: as listed, or by the date taken (the
    // time modified for a file without one).
    std::vector<int> numberingOrder() const {
        std::vector<int> order(idx(last_ + 1));
        std::iota(order.begin(), order.end(), 0);
        if (in_.steps.byDateTaken) {
            std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
                return dates_[idx(a)].takenOrModified() < dates_[idx(b)].takenOrModified();
            });
        }
        return order;
    }

    // Every built name through the naming steps; a kept file stays as it is.
    void finish() {
        for (int i = 0; i <= last_; ++i) {
            if (!s_.keepMarks[idx(i)]) {
                s_.newNames[idx(i)] = in_.steps.finished(s_.newNames[idx(i)], dateOf(i));
                s_.extensions[idx(i)] = in_.steps.finishedExtension(s_.extensions[idx(i)]);
            }
        }
    }

    static size_t idx(int i) { return static_cast<size_t>(i); }

    void keep(int i) {
        s_.newNames[idx(i)] = s_.oldNames[idx(i)];
        s_.keepMarks[idx(i)] = true;
    }

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

    // Entry i's new name: prefix, `middle`, the running number, suffix. The
    // running number is zeros chosen by its value, then its text; the text
    // then moves on to the value plus one.
    Error setNumberedName(int i, const QString& middle) {
        double value = 0;
        if (!textToDouble(s_.counterText, &value)) {
            return failAt(i, Error::TypeMismatch);
        }
        const QString number = in_.steps.numberText(value, s_.counterText);
        s_.leadingZeros = number.left(number.size() - s_.counterText.size());
        QString name;
        name.reserve(in_.prefix.size() + middle.size() + number.size() + in_.suffix.size());
        name += in_.prefix;
        name += middle;
        name += number;
        name += in_.suffix;
        s_.counterText = numberToText(value + in_.steps.step);
        s_.newNames[idx(i)] = std::move(name);
        return Error::None;
    }

    // Every file not `kept` gets the `length` characters at `position` as its
    // new name; with `digitsOnly`, only when they are all digits (else the
    // keep mark).
    Error setWindows(const std::vector<char>& kept, int position, int length, bool digitsOnly) {
        for (int i = 0; i <= last_; ++i) {
            if (kept[idx(i)]) {
                continue;
            }
            decodeName(i);
            View window;
            if (!mid(name_, position, length, &window)) {
                return failAt(i, Error::InvalidCall);
            }
            if (!digitsOnly || std::all_of(window.begin(), window.end(), codepoints::isDigit)) {
                setName(i, window);
            } else {
                keep(i);
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

        return setWindows(keepTooShort(position, length), position, length, true);
    }

    // Kinds 1 and 3: every file (for kind 3, `byMask`, every file that holds
    // the mask) gets `middle` and the running number.
    Error numberedNames(const QString& middle, bool byMask) {
        const Text mask = codepoints::decode(s_.mask);
        for (const int i : numberingOrder()) {
            if (byMask) {
                decodeName(i);
                if (codepoints::find(name_, mask) == 0) {
                    keep(i);
                    continue;
                }
            }
            if (const Error error = setNumberedName(i, middle); error != Error::None) {
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
            piece.assign(first ? letter : View(mask));
            piece.append(first ? View(mask) : letter);
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
        const bool lettered = s_.maskKind == 6;  // the letter's place goes unchecked
        const int firstChecked = lettered && s_.letteringPosition == 1 ? 2 : 1;
        const int lastChecked = lettered && s_.letteringPosition != 1 ? length - 1 : length;

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
        return setWindows(kept, position, length, false);
    }

    AppState& s_;
    const GenerationInput& in_;
    int last_ = -1;
    int failedIndex_ = -1;
    Text name_;  // the current file's characters, reused from file to file
    std::vector<FileDates> dates_;
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
