#pragma once

// The program's one conversion between text and numbers. Extract's number
// test, the lettering position and the running number of a rename all read
// their numbers through these functions, so a text means the same number
// everywhere. The accepted grammar is written down in TextNumber.cpp.

#include <QLocale>
#include <QString>

// Reads `text` as a number in the system locale, falling back to the C locale.
// Fails (returning false, `*out` untouched) for anything outside the grammar and
// for a value beyond the double range. Values too small for a double read as 0.
bool textToDouble(const QString& text, double* out);
bool textToDouble(const QString& text, double* out, const QLocale& locale);

// As textToDouble, but the value must also fit single precision: it fails when
// the magnitude exceeds FLT_MAX (a 39-digit number does, a 38-digit one does not).
bool textToSingle(const QString& text, float* out);
bool textToSingle(const QString& text, float* out, const QLocale& locale);

// The decimal text of a finite value, as textToDouble reads it back exactly:
// ASCII digits, no group separators, no exponent, the locale's decimal point
// only when the value has a fraction. Whole values print in full, also beyond
// 2^53 (1e16 prints as 10000000000000000).
QString numberToText(double value);
QString numberToText(double value, const QLocale& locale);
