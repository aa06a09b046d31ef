#pragma once

// Keystroke filters for the options dialog. Each takes the character code of
// one key press (a UTF-16 unit as a signed 16-bit number) and cancels the key
// press by setting the code to 0; a code left unchanged is inserted as usual.

#include <QString>
#include <functional>

namespace Filters {

// Starting number: digits, code 0 and Backspace pass. Enter and "+,-." are
// dropped silently; every other code is dropped with the warning beep.
void NumericKeyFilter(short& KeyAscii);
// Prefix and suffix: Enter and the characters a file name cannot hold
// (" * / : < > ? \ |) are dropped silently; everything else passes.
void NameCharKeyFilter(short& KeyAscii);

// Text that arrives in one piece (pasted, dropped, committed by an input
// method) is filtered silently: a name field loses what NameCharKeyFilter
// drops and every control character (codes below 32, and 127), a number field
// keeps its ASCII digits only.
QString nameCharText(const QString& text);
QString numericText(const QString& text);

// The warning beep, QApplication::beep() unless replaced. setBeep returns the
// previous function; an empty function restores the default.
using BeepFunction = std::function<void()>;
BeepFunction setBeep(BeepFunction beep);
void Beep();

}  // namespace Filters
