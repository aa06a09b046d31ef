#pragma once

// The preview: what Rename would do to every listed file, computed without any
// call that changes the disk. It runs the very generation and rename phase
// that Rename runs, on a copy of the application state and against a stand-in
// for the directory that keeps its names in memory, so Rename gives the same
// names as the preview whenever the directory did not change in between.

#include <QList>
#include <QString>

#include "engine/AppState.h"
#include "engine/NameGenerator.h"
#include "platform/Error.h"
#include "platform/Platform.h"

namespace preview {

enum class Result {
    Renamed,     // gets the new name
    Numbered,    // the new name is taken: gets a numbered variant of it
    LeftAlone,   // no match, or the new name equals the old
    Skipped,     // the rename would be refused (the name, the file system)
    Stops,       // the batch would stop here
    NotRenamed,  // the batch stops at another file, so this one keeps its name
};

struct Row {
    QString oldName;  // as listed
    QString newName;  // what the file would be called; the old name when it keeps it
    Result result = Result::LeftAlone;
    QString detail;  // why it is numbered, left alone, skipped or not renamed
};

struct Summary {
    QList<Row> rows;  // one per listed file, in list order
    int renamed = 0;
    int numbered = 0;
    int leftAlone = 0;
    int skipped = 0;
    Error stop = Error::None;  // what would stop the batch
    int stopRow = -1;          // and where; -1 before the first file
};

// What Rename would do with the listed files of `input`, in the directory
// the chooser pinned (state.chosenDirectory), by the mask analysis of
// `state`. `state` is not changed; `p` is only asked what the directory holds.
Summary compute(const AppState& state, const GenerationInput& input, platform::BatchSystem& p);

// The result of a row as the preview shows it: "renamed", "numbered: ...",
// "Error # 5"...
QString resultText(const Row& row);
// The line of counts under the table: "998 renamed, 2 numbered, 1 left alone,
// 0 skipped", or what stops the batch.
QString countsText(const Summary& summary);

}  // namespace preview
