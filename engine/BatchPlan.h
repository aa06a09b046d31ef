#pragma once

// What the rename phase is going to do, decided before any file is touched:
// which entries of the rename record change, and the name each is meant to
// get. Taking no system call, the decision can be made for a dry run as well
// as for the batch itself; numbering a name that is taken is the
// NameRegistry's part (Collisions.h).

#include <QList>
#include <QString>

struct AppState;

namespace batch {

struct PlannedMove {
    int index = 0;    // the entry of the rename record
    QString oldName;  // bare, as listed
    QString newName;  // bare: the new base name and the old extension
};

// The entries 0..lastIndex that generation did not keep (their new base name
// differs from the old name), in list order. An entry whose new name comes
// out as its old name is in the plan too, with newName equal to oldName: it
// is left alone rather than numbered against itself.
QList<PlannedMove> planMoves(const AppState& state);

// `a` followed by `b`: a name and its extension, a directory and a name.
QString joined(const QString& a, const QString& b);

}  // namespace batch
