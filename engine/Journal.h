#pragma once

// The batch journal. Before the first rename of a batch the directory and,
// for every file that is to change, its identity (device and inode) and its
// old name go to disk, flushed, in one file per run under
// $XDG_STATE_HOME/Quillomat. A batch cut short by the end of the process
// (killed, crashed, the power gone) can so be undone at the next start,
// wherever its files ended up inside the directory. The journal goes when
// the batch ends: Accept, an Undo or a stopped batch that put every file
// back, or the program closed normally.
//
// A running program holds a lock beside its journal (QLockFile), so the
// journal of another instance that is still running is never taken for one
// left behind.
//
// The format, version 1: text lines ending in "\n", fields split by one space,
// numbers in decimal, every name as the lower-case hex of its bytes (so any
// name round-trips, whether or not it is valid UTF-8):
//   quillomat-journal 1
//   directory <device> <inode> <hex of the directory's path>
//   file <device> <inode> <hex of the old name>      one line per file, in rename order
//   end <number of file lines>
// A reader refuses another version, a line it does not know, an old name that
// is not a plain file name, and a journal whose end line is missing or counts
// otherwise (a journal cut short by a crash while it was being written).

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

#include "platform/Platform.h"

class QLockFile;

namespace journal {

struct Entry {
    platform::FileId id;
    QString oldName;  // bare, decoded losslessly (platform::decodeFileName)
};

struct Record {
    QString directory;  // the path the batch's directory was chosen by
    platform::FileId directoryId;
    QList<Entry> entries;  // in rename order
};

QByteArray encode(const Record& record);
std::optional<Record> decode(const QByteArray& data);

// Where journals are kept: $XDG_STATE_HOME/Quillomat when XDG_STATE_HOME is
// an absolute path (a relative one is ignored), else ~/.local/state/Quillomat.
QString directory();

// This run's journal. begin() writes the journal of the batch about to be
// renamed, replacing this run's earlier one, and returns the error of a
// write that failed (nothing is then on disk for this batch).
Error begin(const Record& record, platform::Platform& p);
// The batch has ended: its journal is removed. Nothing happens without one.
void end();
// The program ends normally (a review still open counts as accepted): the
// journal goes, and the run's lock with it.
void close();
// The desktop session ends (logout) with a batch still under review: the
// journal stays on disk and the run's lock goes, so that the next start offers
// to give the files their old names back. Nothing of this run removes it now.
void keepForNextStart();
// The path of this run's journal while there is one, else an empty string.
QString currentPath();

// A journal left by a run that has ended. Its lock is held from the moment
// it is found until it is discarded, so two programs starting together do
// not both offer it.
struct Leftover {
    QString path;
    std::optional<Record> record;  // none when the file is damaged
    std::shared_ptr<QLockFile> lock;
};
QList<Leftover> leftovers();
// Removes the journal and its lock.
void discard(Leftover& leftover);

}  // namespace journal
