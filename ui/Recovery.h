#pragma once

// The start-up question after a batch that an earlier run left unfinished
// (killed, crashed, the power gone while renaming or with the review open).

namespace recovery {

// Before the main window takes input: for every journal left behind, asks in
// a question box (default Yes) whether the files of that batch are to get
// their old names back, restores them on Yes and reports what could not be
// restored. Yes or No, the journal is then removed, so each is asked about
// once.
void offerToRestoreUnfinishedBatches();

}  // namespace recovery
