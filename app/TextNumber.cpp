#include "app/TextNumber.h"

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

bool parseWith(QStringView text, QStringView point, QStringView group, double* out) {
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i].isSpace()) {
        ++i;
    }
    while (end > i && text[end - 1].isSpace()) {
        --end;
    }

    bool negative = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    // The digits go to `ascii` in the C form that std::from_chars reads. Beside
    // them we track the decimal magnitude of the first significant digit, to
    // tell an overflow from an underflow when from_chars reports a range error.
    std::string ascii;
    ascii.reserve(static_cast<size_t>(end - i) + 2);
    int integerDigits = 0;
    int significantIntegerDigits = 0;
    int zerosBeforeFirstSignificant = 0;  // in the fraction, when the integer part is 0
    bool significantSeen = false;
    while (i < end) {
        if (isDigit(text[i])) {
            const char c = static_cast<char>(text[i].unicode());
            ascii.push_back(c);
            ++integerDigits;
            if (c != '0' || significantSeen) {
                significantSeen = true;
                ++significantIntegerDigits;
            }
            ++i;
        } else if (integerDigits > 0 && startsWithAt(text, i, group) && i + group.size() < end &&
                   isDigit(text[i + group.size()])) {
            i += group.size();
        } else {
            break;
        }
    }
    if (integerDigits == 0) {
        ascii.push_back('0');
    }

    int fractionDigits = 0;
    if (startsWithAt(text, i, point)) {
        i += point.size();
        ascii.push_back('.');
        while (i < end && isDigit(text[i])) {
            const char c = static_cast<char>(text[i].unicode());
            ascii.push_back(c);
            ++fractionDigits;
            if (!significantSeen) {
                if (c == '0') {
                    ++zerosBeforeFirstSignificant;
                } else {
                    significantSeen = true;
                }
            }
            ++i;
        }
        if (fractionDigits == 0) {
            ascii.pop_back();  // "5." is 5
        }
    }
    if (integerDigits == 0 && fractionDigits == 0) {
        return false;
    }

    long exponent = 0;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        ascii.push_back('e');
        bool negativeExponent = false;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            ascii.push_back(negativeExponent ? '-' : '+');
            ++i;
        }
        int exponentDigits = 0;
        while (i < end && isDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i].unicode()));
            if (exponent < 1000000) {
                exponent = exponent * 10 + (text[i].unicode() - u'0');
            }
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0) {
            return false;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (i != end) {
        return false;
    }

    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const long magnitude = (significantIntegerDigits > 0)
                                   ? significantIntegerDigits - 1 + exponent
                                   : -(zerosBeforeFirstSignificant + 1) + exponent;
        if (magnitude >= 0) {
            return false;  // too large for a double
        }
        value = 0;  // too small: reads as zero
    } else if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size()) {
        return false;
    }
    *out = negative ? -value : value;
    return true;
}

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
    if (std::fabs(value) < kExactLimit) {
        return QString::number(static_cast<qint64>(value));
    }
    return QString::number(value, 'f', 0);
}

}  // namespace

bool textToDouble(const QString& text, double* out, const QLocale& locale) {
    if (parsePlainDigits(text, out)) {
        return true;
    }
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (parseWith(text, point, group, out)) {
        return true;
    }
    const QStringView cPoint = u".";
    const QStringView cGroup = u",";
    if (point == cPoint && group == cGroup) {
        return false;
    }
    return parseWith(text, cPoint, cGroup, out);
}

bool textToDouble(const QString& text, double* out) {
    if (parsePlainDigits(text, out)) {
        return true;
    }
    return textToDouble(text, out, QLocale::system());
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
    double value = 0;
    if (!textToDouble(text, &value) || std::fabs(value) > FLT_MAX) {
        return false;
    }
    *out = static_cast<float>(value);
    return true;
}

QString numberToText(double value, const QLocale& locale) {
    if (!std::isfinite(value)) {
        return QString::number(value);  // does not read back: a later read fails
    }
    if (std::floor(value) == value) {
        return wholeNumberText(value);
    }
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    const QString point = locale.decimalPoint();
    if (point != QStringView(u".")) {
        text.replace(QLatin1Char('.'), point);
    }
    return text;
}

QString numberToText(double value) {
    if (std::isfinite(value) && std::floor(value) == value) {
        return wholeNumberText(value);
    }
    return numberToText(value, QLocale::system());
}
