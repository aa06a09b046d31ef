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

// The code as a UTF-16 unit (a negative code is a unit of 0x8000 or more).
QChar unitOf(short KeyAscii) {
    return QChar(static_cast<char16_t>(KeyAscii));
}

}  // namespace

void NumericKeyFilter(short& KeyAscii) {
    // Code 0, Backspace and the digits pass.
    if (KeyAscii == 0 || KeyAscii == 8 || (KeyAscii >= '0' && KeyAscii <= '9')) {
        return;
    }
    const bool silent = QStringView(u"\r+,-.").contains(unitOf(KeyAscii));  // Enter and "+,-."
    KeyAscii = 0;
    if (!silent) {
        Beep();
    }
}

void NameCharKeyFilter(short& KeyAscii) {
    // Enter and the characters a file name cannot hold.
    if (QStringView(u"\r\"*/:<>?\\|").contains(unitOf(KeyAscii))) {
        KeyAscii = 0;
    }
}

QString nameCharText(const QString& text) {
    return QString(text).removeIf([](QChar c) {
        // Control characters (NUL, tab, line breaks, Esc, DEL...) never belong
        // in a file name, though the key filter lets their codes pass.
        short code = static_cast<short>(c.unicode());
        NameCharKeyFilter(code);
        return code == 0 || isControlCharacter(c);
    });
}

QString numericText(const QString& text) {
    return QString(text).removeIf(
        [](QChar c) { return c < QLatin1Char('0') || c > QLatin1Char('9'); });
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
