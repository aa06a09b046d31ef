#include "ui/Filters.h"

#include <QApplication>
#include <utility>

namespace Filters {
namespace {

BeepFunction& beepFunction() {
    static BeepFunction beep;
    return beep;
}

bool isControlCharacter(QChar c) {
    return c.unicode() < 32 || c.unicode() == 127;
}

}  // namespace

void NumericKeyFilter(short& KeyAscii) {
    switch (KeyAscii) {
        case 0:
        case 8:  // Backspace
            return;
        case 13:  // Enter
        case 43:  // +
        case 44:  // ,
        case 45:  // -
        case 46:  // .
            KeyAscii = 0;
            return;
        default:
            if (KeyAscii >= 48 && KeyAscii <= 57) {
                return;
            }
            KeyAscii = 0;
            Beep();
    }
}

void NameCharKeyFilter(short& KeyAscii) {
    switch (KeyAscii) {
        case 13:   // Enter
        case 34:   // "
        case 42:   // *
        case 47:   // /
        case 58:   // :
        case 60:   // <
        case 62:   // >
        case 63:   // ?
        case 92:   // backslash
        case 124:  // |
            KeyAscii = 0;
            return;
        default:
            return;
    }
}

QString nameCharText(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        // Control characters (NUL, tab, line breaks, Esc, DEL...) never belong
        // in a file name, though the key filter lets their codes pass.
        if (isControlCharacter(c)) {
            continue;
        }
        short code = static_cast<short>(c.unicode());
        NameCharKeyFilter(code);
        if (code != 0) {
            kept.append(c);
        }
    }
    return kept;
}

QString numericText(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            kept.append(c);
        }
    }
    return kept;
}

BeepFunction setBeep(BeepFunction beep) {
    return std::exchange(beepFunction(), std::move(beep));
}

void Beep() {
    if (beepFunction()) {
        beepFunction()();
    } else {
        QApplication::beep();
    }
}

}  // namespace Filters
