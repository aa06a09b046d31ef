#pragma once

#include <QColor>

// Colours of the classic 16-colour palette the drawn icons keep to.
namespace palette16 {

inline const QColor kBlack(0, 0, 0);
inline const QColor kWhite(255, 255, 255);
inline const QColor kSilver(192, 192, 192);
inline const QColor kGrey(128, 128, 128);
inline const QColor kNavy(0, 0, 128);
inline const QColor kTeal(0, 128, 128);
inline const QColor kGreen(0, 255, 0);
inline const QColor kYellow(255, 255, 0);
inline const QColor kOlive(128, 128, 0);

}  // namespace palette16
