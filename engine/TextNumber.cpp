#include "engine/TextNumber.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

// Grammar of a number text (the whole text must match):
//
//   number   := blank* sign? mantissa exponent? blank*
//   blank    := a character QChar::isSpace() accepts (space, tab, no-break space...)
//   sign     := "+" | "-"
//   mantissa := integer [point [digit+]] | point digit+
//   integer  := digit+ (group digit+)*
//   exponent := ("e" | "E") sign? digit+
//   digit    := "0" to "9" (ASCII only; a locale's own digits are not read)
//   point    := the locale's decimal point
//   group    := the locale's group separator; it may stand between any two
//               digits of the integer part (group sizes are not checked)
//
// The text is read with the system locale's point and group separator first
// and, when that fails, with the C locale's ("." and ","). There are no radix
// prefixes ("&H", "0x"), no currency or percent signs, no parentheses, no blank
// between the sign and the digits, and no "inf" or "nan". A value beyond the
// double range fails; a non-zero value too small for a double reads as 0.

namespace {

inline bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

inline bool startsWithAt(QStringView text, qsizetype at, QStringView what) {
    return !what.isEmpty() && text.size() - at >= what.size() &&
           text.sliced(at, what.size()) == what;
}

// Reads one text by the grammar above, part by part. The digits go to
// `ascii_` in the C form that std::from_chars reads; beside them it tracks the
// decimal magnitude of the first significant digit, to tell an overflow from
// an underflow when from_chars reports a range error.
class NumberReader {
  public:
    NumberReader(QStringView text, QStringView point, QStringView group)
        : text_(text), point_(point), group_(group), end_(text.size()) {}

    bool read(double* out) {
        trimBlanks();
        negative_ = takeSign();
        ascii_.reserve(static_cast<size_t>(end_ - i_) + 2);
        readInteger();
        readFraction();
        // Some digits, then a whole exponent if any, and nothing after it.
        return (integerDigits_ > 0 || fractionDigits_ > 0) && readExponent() && i_ == end_ &&
               convert(out);
    }

  private:
    bool digitAt(qsizetype at) const { return at < end_ && isDigit(text_[at]); }

    void trimBlanks() {
        while (i_ < end_ && text_[i_].isSpace()) {
            ++i_;
        }
        while (end_ > i_ && text_[end_ - 1].isSpace()) {
            --end_;
        }
    }

    // A sign at the reading place, taken: whether it is "-".
    bool takeSign() {
        if (i_ < end_ && (text_[i_] == u'+' || text_[i_] == u'-')) {
            return text_[i_++] == u'-';
        }
        return false;
    }

    // Digits, with group separators between them.
    void readInteger() {
        while (i_ < end_) {
            if (digitAt(i_)) {
                const char c = static_cast<char>(text_[i_].unicode());
                ascii_.push_back(c);
                ++integerDigits_;
                if (c != '0' || significantSeen_) {
                    significantSeen_ = true;
                    ++significantIntegerDigits_;
                }
                ++i_;
            } else if (integerDigits_ > 0 && startsWithAt(text_, i_, group_) &&
                       digitAt(i_ + group_.size())) {
                i_ += group_.size();
            } else {
                break;
            }
        }
        if (integerDigits_ == 0) {
            ascii_.push_back('0');
        }
    }

    void readFraction() {
        if (!startsWithAt(text_, i_, point_)) {
            return;
        }
        i_ += point_.size();
        ascii_.push_back('.');
        while (digitAt(i_)) {
            const char c = static_cast<char>(text_[i_].unicode());
            ascii_.push_back(c);
            ++fractionDigits_;
            if (!significantSeen_) {
                if (c == '0') {
                    ++zerosBeforeFirstSignificant_;
                } else {
                    significantSeen_ = true;
                }
            }
            ++i_;
        }
        if (fractionDigits_ == 0) {
            ascii_.pop_back();  // "5." is 5
        }
    }

    // False when an "e" is not followed by digits.
    bool readExponent() {
        if (i_ >= end_ || (text_[i_] != u'e' && text_[i_] != u'E')) {
            return true;
        }
        ++i_;
        ascii_.push_back('e');
        const bool negativeExponent = takeSign();
        if (negativeExponent) {
            ascii_.push_back('-');
        }
        int exponentDigits = 0;
        while (digitAt(i_)) {
            ascii_.push_back(static_cast<char>(text_[i_].unicode()));
            if (exponent_ < 1000000) {
                exponent_ = exponent_ * 10 + (text_[i_].unicode() - u'0');
            }
            ++exponentDigits;
            ++i_;
        }
        if (negativeExponent) {
            exponent_ = -exponent_;
        }
        return exponentDigits > 0;
    }

    bool convert(double* out) const {
        double value = 0;
        const auto result = std::from_chars(ascii_.data(), ascii_.data() + ascii_.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            const long magnitude = (significantIntegerDigits_ > 0)
                                       ? significantIntegerDigits_ - 1 + exponent_
                                       : -(zerosBeforeFirstSignificant_ + 1) + exponent_;
            if (magnitude >= 0) {
                return false;  // too large for a double
            }
            value = 0;  // too small: reads as zero
        } else if (result.ec != std::errc() || result.ptr != ascii_.data() + ascii_.size()) {
            return false;
        }
        *out = negative_ ? -value : value;
        return true;
    }

    QStringView text_;
    QStringView point_;
    QStringView group_;
    qsizetype i_ = 0;
    qsizetype end_;
    bool negative_ = false;
    std::string ascii_;
    int integerDigits_ = 0;
    int significantIntegerDigits_ = 0;
    int zerosBeforeFirstSignificant_ = 0;  // in the fraction, when the integer part is 0
    bool significantSeen_ = false;
    int fractionDigits_ = 0;
    long exponent_ = 0;
};

// A run of ASCII digits reads the same in every locale; the running number of
// a rename is such a run, so it skips the locale look-up.
bool parsePlainDigits(QStringView text, double* out) {
    if (text.isEmpty() || text.size() > 300) {
        return false;
    }
    char buffer[300];
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isDigit(text[i])) {
            return false;
        }
        buffer[i] = static_cast<char>(text[i].unicode());
    }
    double value = 0;
    const auto result = std::from_chars(buffer, buffer + text.size(), value);
    if (result.ec != std::errc()) {
        return false;
    }
    *out = value;
    return true;
}

// Every digit of a whole value, never an exponent. Below 2^53 the integer
// path is exact and much quicker than formatting a double.
QString wholeNumberText(double value) {
    constexpr double kExactLimit = 9007199254740992.0;  // 2^53
    return std::fabs(value) < kExactLimit ? QString::number(static_cast<qint64>(value))
                                          : QString::number(value, 'f', 0);
}

}  // namespace

bool textToDouble(const QString& text, double* out, const QLocale& locale) {
    if (parsePlainDigits(text, out)) {
        return true;
    }
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (NumberReader(text, point, group).read(out)) {
        return true;
    }
    // Then the C locale's, unless that was the one just tried.
    const bool triedC = point == QStringView(u".") && group == QStringView(u",");
    return !triedC && NumberReader(text, u".", u",").read(out);
}

bool textToDouble(const QString& text, double* out) {
    return parsePlainDigits(text, out) || textToDouble(text, out, QLocale::system());
}

bool textToSingle(const QString& text, float* out, const QLocale& locale) {
    double value = 0;
    if (!textToDouble(text, &value, locale) || std::fabs(value) > FLT_MAX) {
        return false;
    }
    *out = static_cast<float>(value);
    return true;
}

bool textToSingle(const QString& text, float* out) {
    return textToSingle(text, out, QLocale::system());
}

QString numberToText(double value, const QLocale& locale) {
    if (!std::isfinite(value)) {
        return QString::number(value);  // does not read back: a later read fails
    }
    if (std::floor(value) == value) {
        return wholeNumberText(value);
    }
    return QString::number(value, 'f', QLocale::FloatingPointShortest)
        .replace(QLatin1Char('.'), locale.decimalPoint());
}

QString numberToText(double value) {
    return std::isfinite(value) && std::floor(value) == value
               ? wholeNumberText(value)
               : numberToText(value, QLocale::system());
}
