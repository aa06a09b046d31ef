#pragma once

// The plan of a batch: for every listed file its old name, the name it gets
// and why (renamed; numbered, because a name is taken; left alone; skipped,
// and why; or the error that stops the batch, and at which file), decided by
// one piece of code before anything is renamed. The preview shows the plan;
// Rename carries it out and keeps it, step by step as it went (a race may
// still number a name), as the record of the batch that the review, Undo,
// the journal, the counts and the screen reader read; the way back writes
// into the same record. Nothing works an outcome out again from names.

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/Platform.h"

struct AppState;
struct ExtractInput;
struct GenerationInput;

namespace batch {

enum class Outcome {
    Renamed,     // gets (has) its new name
    Numbered,    // its new name is taken: a numbered variant of it
    LeftAlone,   // no match, or its new name is its old one
    Skipped,     // the rename is refused (the name, the file system)
    Stops,       // the batch stops here
    NotRenamed,  // the batch stops at another file, so this one keeps its name
    Back,        // renamed, and given its old name (or a numbered form of it) back
};

enum class Why {
    None,
    NoMatch,           // LeftAlone: the mask does not fit
    Unchanged,         // LeftAlone: the new name is the old one
    TakenInBatch,      // Numbered: `planned` has been given to an earlier file of the batch
    TakenInDirectory,  // Numbered: `planned` is another file's (Back: the old name was)
    NotPlain,          // Skipped: empty, ".", "..", or holding a separator or NUL
    ReadOnly,          // Skipped: the file system is mounted read-only
    Refused,           // Skipped: the file system's rules (`refusal`)
    NoFreeNumber,      // Skipped: every numbered variant is taken
    BeyondLimit,       // Skipped: past the first 1001 files
    SystemRefused,     // Skipped: the system refused the rename (`status`)
    NotFound,          // Renamed, Numbered: on its way back, found under no name of the batch
    NotRestored,       // Renamed, Numbered: found, but the rename back failed (`status`)
};

// One listed file.
struct Step {
    QString oldName;  // bare, as listed
    QString newName;  // the name it has after the batch; its old name when it keeps that
    Outcome outcome = Outcome::LeftAlone;
    Why why = Why::NoMatch;
    QString planned;                       // Numbered, Skipped: the name it was meant to have
    platform::NameRules::Verdict refusal;  // Why::Refused
    platform::Status status;               // Stops, SystemRefused, NotRestored
    platform::Fingerprint fingerprint;     // taken before it was renamed
    bool noDateTaken = false;  // its name wanted the date its photo was taken: it has none

    // On disk under newName, put there by the batch.
    bool renamed() const { return outcome == Outcome::Renamed || outcome == Outcome::Numbered; }
};

struct Plan {
    QList<Step> steps;           // one per listed file, in list order
    platform::Status stop;       // what stops the batch, if anything
    int stopAt = -1;             // the step it stops at; -1 before the first
    bool journalFailed = false;  // stop is the journal's: nothing could be written
    platform::NameRules rules;   // of the directory, as the plan found it
    platform::Listing listing;   // the directory as the plan found it

    bool stopped() const { return !stop.ok(); }
    // What stopped the batch, else the first failure of its way back (the
    // last file first); Error::None when neither.
    Error error() const;
};

// The directory the chooser pinned (state.chosenDirectory) as it is listed
// now; with none pinned, a listing that failed with Error::PathNotFound.
platform::Listing listingOf(const AppState& state, platform::BatchSystem& system);

// The plan for the listed files of `input`, by the mask analysis of `state`,
// in the directory the chooser pinned (state.chosenDirectory) as `listing`
// shows it now. Generation runs on `state`, as for Rename.
Plan makePlan(AppState& state, const GenerationInput& input, const platform::Listing& listing);
// The same for the files `listed` once generation has run on `state`.
Plan planGenerated(const AppState& state, const QStringList& listed,
                   const platform::Listing& listing);

// The plan the preview shows: as makePlan() makes it, with the mask as
// `typed` analysed the way Extract would (nothing of it recorded), on a copy
// of `state`; with no `typed`, by the analysis the last Extract recorded.
Plan previewPlan(const AppState& state, const ExtractInput* typed, const GenerationInput& input,
                 const platform::Listing& listing);

struct Counts {
    int renamed = 0;
    int numbered = 0;
    int leftAlone = 0;
    int skipped = 0;
};
Counts countsOf(const Plan& plan);

// What step `i` of `plan` says, as the preview shows it: "renamed",
// "numbered: 1.txt is taken by an earlier file of this batch", "Error # 5"...
QString resultText(const Plan& plan, int i);
// The line under the preview: "998 renamed, 2 numbered, 1 left alone, 0
// skipped", or what stops the batch.
QString countsText(const Plan& plan);
// What the review tells (and a screen reader reads out): "3 renamed, 1
// numbered, 0 skipped".
QString reviewText(const Plan& record);
// How a batch's outcomes are counted in words, the one place for both:
// "3 renamed, 1 numbered, 0 left alone, 0 skipped" (without the files left
// alone, as the review tells it).
QString countsWording(const Counts& counts, bool leftAlone);
// "Error # n".
QString errorText(Error error);

// Every step of `plan` keeps its name: the batch stops at step `at` (-1:
// before the first file) with `status`.
void stopAt(Plan& plan, int at, const platform::Status& status);

// `a` followed by `b`: a name and its extension, a directory and a name.
QString joined(const QString& a, const QString& b);

}  // namespace batch
