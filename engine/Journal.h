#pragma once

// The batch journal. Before the first rename of a batch the directory and,
// for every file that is to change, its old name, the new name the batch
// gives it and its fingerprint go to disk, flushed, in one file per run under
// $XDG_STATE_HOME/Quillomat. A batch cut short by the end of the process
// (killed, crashed, the power gone) can so be undone at the next start, also
// after the drive was unmounted and mounted again. The journal goes when the
// batch ends: Accept, an Undo or a stopped batch that put every file back,
// or the program closed normally.
//
// A running program holds a lock beside its journal (QLockFile), so the
// journal of another instance that is still running is never taken for one
// left behind.
//
// The format, version 5: text lines ending in "\n", fields split by one space,
// numbers in decimal, every name as its bytes, where a byte up to the space,
// DEL and "%" are written as "%" and two hex digits (so any name round-trips,
// whether or not it is valid UTF-8):
//   quillomat-journal 5
//   directory <the directory's path>
//   renames <way> <time>
//        (how renames there avoid replacing a file: "no-replace", "link",
//        "reserve", "checked" or "unknown"; "keeps-time" or "rewrites-time": whether a
//        rename leaves a file's modification time as it was)
//   file <old name> <new name> <size> <modified> <inode> <contents>
//        (one line per file, in rename order; modified in nanoseconds since
//        the epoch; inode 0 where the file system's inode numbers do not
//        last; contents the hash of the file's contents, 0 where not taken)
//   numbered <new|old> <name>
//        (after its file line, in the order noted: a numbered name the file
//        is about to be renamed to, on its way to its new name or back, its
//        planned one being taken; written before that rename is tried)
//   end <number of file lines>
//   checksum <a 64-bit hash of every line above, as 16 lower-case hex digits>
// A reader also takes version 4, whose names are the lower-case hex of their
// bytes and whose checksum is FNV-1a byte by byte; version 3, which has no
// numbered lines either; and version 2, which has no renames line and no
// contents field. It refuses another version, a line it
// does not know, a name that is not a plain file name, and a journal whose end or checksum line is
// missing or does not match (cut short by a crash while it was written, or damaged).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "platform/Platform.h"

class QLockFile;

namespace journal {

struct Entry {
    QString oldName;  // bare, decoded losslessly (platform::decodeFileName)
    QString newName;  // the name the batch is going to give it, numbered where it must be
    platform::Fingerprint fingerprint;
    QStringList numberedNew{};  // numbered names noted on its way to its new name, in order
    QStringList numberedOld{};  // numbered names noted on its way back, in order
};

struct Record {
    QString directory;     // the path the batch's directory was chosen by
    QList<Entry> entries;  // in rename order
    platform::RenameTraits traits = {};
};

QByteArray encode(const Record& record);
std::optional<Record> decode(const QByteArray& data);

// Where journals are kept: $XDG_STATE_HOME/Quillomat when XDG_STATE_HOME is
// an absolute path (a relative one is ignored), else ~/.local/state/Quillomat.
QString directory();

// This run's journal. begin() writes the journal of the batch about to be
// renamed, replacing this run's earlier one, and returns how a write that
// failed failed (nothing is then on disk for this batch).
platform::Status begin(const Record& record, platform::BatchSystem& system);
// Notes, before the file `oldName` of this run's batch is renamed to the
// numbered name `name` (`back`: on its way back), that it may be found there.
// A note that cannot be written is that rename's failure.
platform::Status noteNumbered(const QString& oldName, const QString& name, bool back,
                              platform::BatchSystem& system);
// Notes the same in `record`, the journal at `path` (a journal left behind).
platform::Status noteNumbered(Record& record, const QString& path, const QString& oldName,
                              const QString& name, bool back, platform::BatchSystem& system);
// The batch has ended: its journal is removed. Nothing happens without one.
void end();
// The program ends normally: the journal goes, and the run's lock with it.
void close();
// The program ends with the session (logout): the journal stays for the next
// start to offer its restore, and only the lock goes.
void keepForNextStart();
// The path of this run's journal while there is one, else an empty string.
QString currentPath();

// A journal left by a run that has ended. Its lock is held from the moment
// it is found until it is discarded or kept aside, so two programs starting
// together do not both offer it.
struct Leftover {
    QString path;
    std::optional<Record> record;  // none when the file cannot be read or is damaged
    std::shared_ptr<QLockFile> lock;
};
// The journals runs that have ended left behind. The new files of journal
// writes those runs did not finish are removed on the way.
QList<Leftover> leftovers();
// Removes the journal and its lock.
void discard(Leftover& leftover);
// Renames the journal aside (to its path + ".kept") so it is not offered
// again but not lost, and lets its lock go. Returns the new path, or the
// old one when it could not be renamed.
QString keepAside(Leftover& leftover);

}  // namespace journal
