#pragma once

// Extract: the analysis of the mask that decides how a batch is renamed.

#include <QString>

#include "engine/AppState.h"
#include "engine/CodePoints.h"
#include "engine/NamingSteps.h"

// What the main window holds when Extract is pressed.
struct ExtractInput {
    QString maskText;          // txtMask
    QString exampleName;       // txtFile
    QString prefix;            // caption of lblPrefix
    QString suffix;            // caption of lblSufix
    QString letteringCaption;  // caption of lblLetteringPosition; not a number counts as 0

    friend bool operator==(const ExtractInput& a, const ExtractInput& b) {
        return a.maskText == b.maskText && a.exampleName == b.exampleName && a.prefix == b.prefix &&
               a.suffix == b.suffix && a.letteringCaption == b.letteringCaption;
    }
};

// What a maskChars slot holds in place of a digit.
inline constexpr char16_t kMaskCharNumber[] = u"Number";

// Analyses the mask: writes mask, maskLength, maskPosition, letteringPosition,
// maskKind (1 to 6), maskChars (slots 1 to maskLength; slot 0 and the slots
// above keep what an earlier Extract left) and extensions[0]. Returns the
// example of a new name for txtExample, through the naming `steps` (today's
// date standing for the file's). Enabling Rename is the caller's part.
QString extractMask(AppState& s, const ExtractInput& in, const NamingSteps& steps = {});
