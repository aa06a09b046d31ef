#pragma once

// How a batch on disk turned out, file by file counted: what a review tells
// the user (and a screen reader reads out) before Accept or Undo.

#include <QString>
#include <QStringList>

struct AppState;

namespace batch {

struct Counts {
    int renamed = 0;   // under the new name built for it
    int numbered = 0;  // under a numbered variant, the new name being taken
    int skipped = 0;   // meant to change, but left as it was (no access)
};

// Taken after the new names are built and before the rename phase: the name
// each entry 0..lastIndex is to get (its new name and its extension), or an
// empty string for an entry that is to keep its name.
QStringList plannedNames(const AppState& state);
// Taken after the rename phase, against the names planned before it.
Counts countRenamed(const AppState& state, const QStringList& planned);
// "3 renamed, 1 numbered, 0 skipped".
QString countsText(const Counts& counts);

}  // namespace batch
