#pragma once

// The text rules the naming engine works by. Text positions and lengths count
// characters, and a character is one Unicode code point: a surrogate pair is
// one character and is never split. A lone surrogate (how the platform layer
// keeps a file-name byte that is not valid UTF-8) is a character of its own and
// survives a round trip unchanged.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace codepoints {

using Text = std::u32string;
using View = std::u32string_view;

// The characters of `text`, into `out` (cleared first, capacity kept).
void decode(QStringView text, Text& out);
Text decode(QStringView text);

// Appends `chars` to `out` as UTF-16.
void append(QString& out, View chars);
QString encode(View chars);

// The number of characters of `text`.
int length(QStringView text);

// 1-based position of the first occurrence of `what` in `text`, 0 if there is
// none. An empty `what` is found at position 1 of a non-empty text.
int find(View text, View what);

inline bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

}  // namespace codepoints

// The extension of a file name: its last "." and everything after it, or the
// empty text when the name holds no ".". a.b.txt -> .txt, README -> "",
// notes. -> ".", .profile -> .profile.
QString extensionOf(const QString& name);
