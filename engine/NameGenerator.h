#pragma once

// New-name generation: the first phase of a rename. Builds, for every listed
// file, a new base name (no directory, no extension) or the keep mark, by the
// rule of the mask kind that the last Extract recorded. No file is touched.

#include <QString>
#include <QStringList>

#include "engine/AppState.h"
#include "engine/NamingSteps.h"
#include "platform/Error.h"

// What the main window holds when Rename is pressed.
struct GenerationInput {
    QStringList listNames;  // the entries of List1, in list order
    QString prefix;         // caption of lblPrefix
    QString suffix;         // caption of lblSufix
    QString startNumber;    // caption of lblStartNumber; empty means 1
    QString exampleText;    // txtFile's text now (read by mask kind 2 only)
    NamingSteps steps{};    // naming beyond the mask
    // Reads the files' dates in state.chosenDirectory when the steps need them.
    platform::BatchSystem* system = nullptr;
};

// Writes lastIndex (entries beyond 1001 are ignored; -1 for an empty list),
// oldNames, extensions, newNames, counterText and leadingZeros for entries 0 to
// lastIndex; for mask kind 2 also maskLength (the uncapped mask length).
// newNames(i) is either a built base name or the keep mark: equal to
// oldNames(i), meaning the file is left alone. Returns Error::None, or what
// stopped generation: InvalidCall (a substring would start before the first
// character) or TypeMismatch (the running number's text is not a number); the
// entries then hold the state reached and no file may be renamed, and
// `*failedIndex` (when given) is the entry that failed.
//
// The naming steps then change every built name; with no mask (kind 1) and a
// text to replace or a case to set, the name they start from is the old one
// (prefix, old base name, suffix) rather than a running number. An invalid
// regular expression stops generation with InvalidCall before any entry
// (`*failedIndex` -1). A file whose date taken is wanted and missing gets its
// modification time, and noDateTaken says so.
//
// When maskKind is not 1 to 6 no rule applies: every entry gets the keep mark,
// so a rename that follows changes nothing (an empty base name would turn a
// file into its bare extension).
Error generateNewNames(AppState& s, const GenerationInput& in, int* failedIndex = nullptr);
