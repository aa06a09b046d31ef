#include "engine/Preview.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <memory>

#include "engine/RenameExecutor.h"

namespace preview {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("preview", text);
}

// The directory of a batch as the dry run sees it: its names in memory,
// renamed as the rename phase asks, refused as the system would refuse. Only
// the batch's own directory exists for it.
class DryRunDirectory : public platform::Platform {
  public:
    // `directory` as the rename phase joins names to it (a root without its separator).
    DryRunDirectory(const QString& directory, const platform::DirectoryFacts& facts)
        : directory_(directory), maxNameBytes_(facts.maxNameBytes), readOnly_(facts.readOnly) {
        for (const QString& name : facts.files) {
            entries_.insert(name, Entry{true, false});
        }
        for (const QString& name : facts.otherEntries) {
            entries_.insert(name, Entry{false, false});
        }
    }

    // The same answers as the system, in the order it gives them.
    platform::RenameResult renameFile(const QString& from, const QString& to) override {
        if (!platform::isRenameInPlace(from, to)) {
            return refuse(from);
        }
        if (platform::directoryViewOf(from) != directory_) {
            return platform::RenameResult{Error::PathNotFound, 0};
        }
        if (from == to) {
            return platform::RenameResult{};  // the same name: a no-op, as on disk
        }
        if (readOnly_) {
            return refuse(from);
        }
        const QString fromName = platform::nameOf(from);
        const QString toName = platform::nameOf(to);
        const auto source = entries_.constFind(fromName);
        if (source == entries_.cend()) {
            return platform::RenameResult{Error::FileNotFound, 0};
        }
        if (tooLong(toName)) {
            return refuse(from);
        }
        const auto holder = entries_.constFind(toName);
        if (holder != entries_.cend()) {
            if (!takenBy_.contains(from)) {
                takenBy_.insert(from, holder->arrived);
            }
            return platform::RenameResult{Error::FileExists, 0};
        }
        const Entry moved{source->file, true};
        entries_.erase(source);
        entries_.insert(toName, moved);
        return platform::RenameResult{};
    }

    platform::Listing listFiles(const QString& dir) override { return list(dir, true); }
    platform::Listing listDirectories(const QString& dir) override { return list(dir, false); }
    bool directoryExists(const QString& dir) override { return isBatchDirectory(dir); }
    bool fileExists(const QString& path) override {
        const auto entry = entries_.constFind(platform::nameOf(path));
        return isBatchDirectory(platform::directoryOf(path)) && entry != entries_.cend() &&
               entry->file;
    }
    QStringList drives() override { return {}; }
    QString programDirectory() override { return QString(); }

    // Whether the system would have refused the rename of the file at `from`
    // (an access error: the file is skipped).
    bool refused(const QString& from) const { return refused_.contains(from); }
    // Whether the first name the file at `from` met taken had been taken by a
    // file of the batch itself (renamed to it earlier) rather than one of the
    // directory.
    bool takenByBatch(const QString& from) const { return takenBy_.value(from, false); }

  private:
    struct Entry {
        bool file;     // an ordinary file (listed by listFiles)
        bool arrived;  // got its name in this batch
    };

    // A name the file system does not take. No character takes more than
    // three bytes per UTF-16 unit, so most names need no encoding to tell.
    bool tooLong(const QString& name) const {
        return name.size() * 3 > maxNameBytes_ &&
               platform::encodeFileName(name).size() > maxNameBytes_;
    }

    platform::RenameResult refuse(const QString& from) {
        refused_.insert(from);
        return platform::RenameResult{Error::PathFileAccess, 0};
    }

    bool isBatchDirectory(const QString& dir) const {
        return platform::withoutRootSeparator(dir) == directory_;
    }

    platform::Listing list(const QString& dir, bool files) const {
        platform::Listing listing;
        if (!isBatchDirectory(dir)) {
            return listing;
        }
        for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
            if (it->file == files) {
                listing.names.append(it.key());
            }
        }
        listing.ok = true;
        return listing;
    }

    QString directory_;
    int maxNameBytes_;
    bool readOnly_;
    QHash<QString, Entry> entries_;
    QSet<QString> refused_;
    QHash<QString, bool> takenBy_;
};

// Why a rename to `name` would be refused.
QString refusal(const QString& name, const platform::DirectoryFacts& facts) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return tr("the new name is empty, \".\" or \"..\"");
    }
    if (!platform::isPlainFileName(name)) {
        return tr("the new name holds \"%1\" or a NUL character").arg(platform::separator());
    }
    if (facts.readOnly) {
        return tr("the directory is on a read-only file system");
    }
    if (platform::encodeFileName(name).size() > facts.maxNameBytes) {
        return tr("the new name is longer than the file system allows (%1 bytes)")
            .arg(facts.maxNameBytes);
    }
    return tr("the system refuses the rename");
}

// The batch stops at `row`: nothing is renamed (a stopped batch gives every
// file its old name back).
void stopAt(Summary& summary, int row, Error error) {
    summary.stop = error;
    summary.stopRow = row;
    const QString stopper = summary.rows.value(row).oldName;
    for (int i = 0; i < summary.rows.size(); ++i) {
        Row& r = summary.rows[i];
        r.newName = r.oldName;
        if (i == row) {
            r.result = Result::Stops;
            r.detail = batch::errorText(error);
        } else {
            r.result = Result::NotRenamed;
            r.detail = tr("the batch stops at %1").arg(stopper);
        }
    }
}

// The first entry whose name would change: where a missing directory stops the batch.
int firstChange(const AppState& state) {
    for (int i = 0; i <= state.lastIndex; ++i) {
        if (state.oldNames[i] != state.newNames[i]) {
            return i;
        }
    }
    return -1;
}

void count(Summary& summary) {
    for (const Row& row : summary.rows) {
        switch (row.result) {
            case Result::Renamed:
                ++summary.renamed;
                break;
            case Result::Numbered:
                ++summary.numbered;
                break;
            case Result::LeftAlone:
                ++summary.leftAlone;
                break;
            case Result::Skipped:
                ++summary.skipped;
                break;
            case Result::Stops:
            case Result::NotRenamed:
                break;
        }
    }
}

}  // namespace

Summary compute(const AppState& state, const GenerationInput& input, const QString& directory,
                platform::Platform& p) {
    Summary summary;
    summary.rows.reserve(input.listNames.size());
    for (const QString& name : input.listNames) {
        summary.rows.append(Row{name, name, Result::LeftAlone, tr("no match")});
    }

    // The rename works on a copy: the state Rename will use stays as it is.
    auto dry = std::make_unique<AppState>(state);
    int failed = -1;
    const Error generation = generateNewNames(*dry, input, &failed);
    if (generation != Error::None) {
        stopAt(summary, failed, generation);
        return summary;
    }
    const int last = dry->lastIndex;
    QStringList planned;  // each entry's new name, null for a keep mark
    planned.reserve(last + 1);
    for (int i = 0; i <= last; ++i) {
        planned.append(dry->oldNames[i] == dry->newNames[i]
                           ? QString()
                           : dry->newNames[i] + dry->extensions[i]);
    }

    const platform::DirectoryFacts facts = p.describeDirectory(directory);
    if (!facts.ok) {
        const int first = firstChange(*dry);
        if (first >= 0) {
            stopAt(summary, first, Error::PathNotFound);
        }
        return summary;
    }
    dry->batchDirectory = platform::withoutRootSeparator(directory);
    dry->filesSkipped = 0;
    dry->collisionCount = 1;
    dry->collisionRetry = 0;
    DryRunDirectory disk(dry->batchDirectory, facts);
    const batch::RenameOutcome outcome = batch::renameBatch(*dry, disk);
    if (outcome.error != Error::None) {
        stopAt(summary, outcome.failedIndex, outcome.error);
        return summary;
    }

    for (int i = 0; i <= last; ++i) {
        Row& row = summary.rows[i];
        if (planned[i].isNull()) {
            continue;  // no match
        }
        if (dry->oldNames[i] == dry->newNames[i]) {
            if (disk.refused(dry->oldNames[i])) {
                row.result = Result::Skipped;
                row.detail = refusal(planned[i], facts);
            } else {
                row.detail = tr("the name does not change");
            }
            continue;
        }
        row.newName = platform::nameOf(dry->newNames[i]);
        if (row.newName == planned[i]) {
            row.result = Result::Renamed;
            row.detail.clear();
        } else {
            row.result = Result::Numbered;
            row.detail = disk.takenByBatch(dry->oldNames[i])
                             ? tr("%1 is taken by an earlier file of this batch").arg(planned[i])
                             : tr("%1 is taken in the directory").arg(planned[i]);
        }
    }
    for (int i = last + 1; i < summary.rows.size(); ++i) {
        summary.rows[i].result = Result::Skipped;
        summary.rows[i].detail =
            tr("only the first %1 files of a batch are renamed").arg(AppState::kMaxEntries);
    }
    count(summary);
    return summary;
}

QString resultText(const Row& row) {
    QString kind;
    switch (row.result) {
        case Result::Renamed:
            kind = tr("renamed");
            break;
        case Result::Numbered:
            kind = tr("numbered");
            break;
        case Result::LeftAlone:
            kind = tr("left alone");
            break;
        case Result::Skipped:
            kind = tr("skipped");
            break;
        case Result::Stops:
            return row.detail;
        case Result::NotRenamed:
            kind = tr("not renamed");
            break;
    }
    return row.detail.isEmpty() ? kind : kind + QStringLiteral(": ") + row.detail;
}

QString countsText(const Summary& summary) {
    if (summary.stop != Error::None) {
        return tr("Rename would stop at %1 with %2; no file would be renamed.")
            .arg(summary.rows.value(summary.stopRow).oldName, batch::errorText(summary.stop));
    }
    return tr("%1 renamed, %2 numbered, %3 left alone, %4 skipped")
        .arg(summary.renamed)
        .arg(summary.numbered)
        .arg(summary.leftAlone)
        .arg(summary.skipped);
}

}  // namespace preview
