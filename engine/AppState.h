#pragma once

// The one record of working data that every window shares for the whole run.
// It starts zeroed and is never reset as a whole; each handler overwrites the
// fields it owns. Only what one handler hands to another lives here; values
// that serve inside a single function are that function's own.

#include <QString>
#include <array>

#include "engine/BatchPlan.h"
#include "platform/Platform.h"

// What Extract makes of the mask: one value, which new-name generation
// follows and the preview copies.
struct MaskAnalysis {
    static constexpr int kMaxMaskLength = 100;  // maskChars: slots 0..100

    QString mask;
    int maskLength = 0;
    int maskPosition = 0;
    float letteringPosition = 0;  // compared as a number, so "1.5" is not "1"
    short maskKind = 0;
    std::array<QString, kMaxMaskLength + 1> maskChars;
};

struct AppState : MaskAnalysis {
    static constexpr int kMaxEntries = 1001;  // rename record: indexes 0..1000

    using RecordArray = std::array<QString, kMaxEntries>;

    // Carried from one handler to another (and Extract's analysis, above).
    RecordArray extensions;
    RecordArray oldNames;
    RecordArray newNames;
    int lastIndex = 0;
    // Entries whose name wanted the date a photo was taken and got the time
    // the file was modified, as it has none.
    std::array<bool, kMaxEntries> noDateTaken{};
    // Entries given the keep mark because the mask does not fit them, as
    // against a built name that comes out as the old one.
    std::array<bool, kMaxEntries> keepMarks{};
    // What the last batch did, file by file, and Undo is to take back: its
    // own copy of the batch, whatever choosing an example does to lastIndex
    // while the review is open.
    batch::Plan record;

    // The directory the files were chosen in, pinned by the chooser's OK. The
    // batch renames there and nowhere else, and its review undoes there. Let
    // go when the batch ends or Select starts another.
    platform::Directory chosenDirectory;

    // The directory named on the command line: the chooser's first load opens
    // there instead of at "Dir", and clears it.
    QString chooserStartDirectory;

    // Fields of one batch operation (a rename).
    QString counterText;
    QString leadingZeros;
    int filesSkipped = 0;
};

// The single instance.
AppState& appState();
