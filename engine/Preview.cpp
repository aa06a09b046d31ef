#include "engine/Preview.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <memory>

#include "engine/RenameExecutor.h"

namespace preview {
namespace {

// The preview's texts, translated in the context "Preview".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Preview)
};

// The batch's directory as the dry run sees it: its names in memory, renamed
// as the rename phase asks and refused as the system would refuse. Every
// question is about the pinned directory of the batch; nothing reaches the
// disk.
class DryRunDirectory : public platform::Platform {
  public:
    // `system` answers what only reads the disk: whether the directory is
    // still there.
    DryRunDirectory(platform::Platform& system, const platform::DirectoryFacts& facts)
        : system_(system),
          exists_(facts.ok),
          maxNameBytes_(facts.maxNameBytes),
          readOnly_(facts.readOnly) {
        entries_.reserve(facts.files.size() + facts.otherEntries.size() + 16);
        for (const QString& name : facts.files) {
            entries_.insert(name, Entry{true, false});
        }
        for (const QString& name : facts.otherEntries) {
            entries_.insert(name, Entry{false, false});
        }
    }

    // The same answers as the system, in the order it gives them. Names that
    // are not plain never get here: the rename phase refuses them first.
    platform::RenameResult renameIn(const platform::PinnedDirectory&, QStringView fromView,
                                    QStringView toView) override {
        // Looked up without a copy; only a name that is kept is copied.
        const QString from = QString::fromRawData(fromView.data(), fromView.size());
        const QString to = QString::fromRawData(toView.data(), toView.size());
        if (!exists_) {
            return platform::RenameResult{Error::PathNotFound, 0};
        }
        if (from == to) {
            return platform::RenameResult{};  // the same name: a no-op, as on disk
        }
        if (readOnly_) {
            return refuse(from);
        }
        const auto source = entries_.constFind(from);
        if (source == entries_.cend()) {
            return platform::RenameResult{Error::FileNotFound, 0};
        }
        if (tooLong(to)) {
            return refuse(from);
        }
        const auto holder = entries_.constFind(to);
        if (holder != entries_.cend()) {
            if (!takenBy_.contains(from)) {
                takenBy_.insert(QString(from.constData(), from.size()), holder->arrived);
            }
            return platform::RenameResult{Error::FileExists, 0};
        }
        const Entry moved{source->file, true};
        entries_.erase(source);
        entries_.insert(QString(to.constData(), to.size()), moved);
        return platform::RenameResult{};
    }

    platform::Listing listFilesIn(const platform::PinnedDirectory&) override { return files(); }
    platform::Identity identify(const platform::PinnedDirectory& dir) override {
        return system_.identify(dir);
    }
    platform::IdListing listIds(const platform::PinnedDirectory&) override {
        platform::IdListing listing;
        listing.ok = exists_;
        quint64 inode = 0;
        for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
            if (it->file) {
                listing.names.append(it.key());
                listing.ids.append(platform::FileId{0, ++inode});
            }
        }
        return listing;
    }
    platform::OpenedDirectory openDirectory(const QString&) override {
        return platform::OpenedDirectory{nullptr, Error::PathNotFound, 0};
    }
    // Nothing is ever written: a dry run keeps no journal.
    Error writeFileDurably(const QString&, const QByteArray&) override { return Error::None; }
    platform::Listing listFiles(const QString&) override { return files(); }
    platform::Listing listDirectories(const QString&) override { return platform::Listing{}; }
    bool directoryExists(const QString&) override { return exists_; }
    bool fileExists(const QString& path) override {
        const auto entry = entries_.constFind(platform::nameOf(path));
        return entry != entries_.cend() && entry->file;
    }
    QStringList drives() override { return {}; }
    QString programDirectory() override { return QString(); }

    // Whether the system would have refused to rename the file `name` (an
    // access error: the file is skipped).
    bool refused(const QString& name) const { return refused_.contains(name); }
    // Whether the first name the file `name` met taken had been taken by a
    // file of the batch itself (renamed to it earlier) rather than one of the
    // directory.
    bool takenByBatch(const QString& name) const { return takenBy_.value(name, false); }
    // Whether the file `name` met its new name taken (and so got a numbered one).
    bool collided(const QString& name) const { return takenBy_.contains(name); }

  private:
    struct Entry {
        bool file;     // an ordinary file (listed by listFiles)
        bool arrived;  // got its name in this batch
    };

    platform::Listing files() const {
        platform::Listing listing;
        listing.ok = exists_;
        for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
            if (it->file) {
                listing.names.append(it.key());
            }
        }
        return listing;
    }

    // A name the file system does not take. No character takes more than
    // three bytes per UTF-16 unit, so most names need no encoding to tell.
    bool tooLong(const QString& name) const {
        return name.size() * 3 > maxNameBytes_ &&
               platform::encodeFileName(name).size() > maxNameBytes_;
    }

    platform::RenameResult refuse(const QString& from) {
        refused_.insert(QString(from.constData(), from.size()));
        return platform::RenameResult{Error::PathFileAccess, 0};
    }

    platform::Platform& system_;
    bool exists_;
    int maxNameBytes_;
    bool readOnly_;
    QHash<QString, Entry> entries_;
    QSet<QString> refused_;
    QHash<QString, bool> takenBy_;
};

// Why a rename to `name` would be refused.
QString refusal(const QString& name, const platform::DirectoryFacts& facts) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return Text::tr("the new name is empty, \".\" or \"..\"");
    }
    if (!platform::isPlainFileName(name)) {
        return Text::tr("the new name holds \"%1\" or a NUL character").arg(platform::separator());
    }
    if (facts.readOnly) {
        return Text::tr("the directory is on a read-only file system");
    }
    if (platform::encodeFileName(name).size() > facts.maxNameBytes) {
        return Text::tr("the new name is longer than the file system allows (%1 bytes)")
            .arg(facts.maxNameBytes);
    }
    return Text::tr("the system refuses the rename");
}

// The batch stops at `row`: nothing is renamed (a stopped batch gives every
// file its old name back).
void stopAt(Summary& summary, int row, Error error) {
    summary.stop = error;
    summary.stopRow = row;
    const QString detail =
        row >= 0 ? Text::tr("the batch stops at %1").arg(summary.rows.value(row).oldName)
                 : Text::tr("the batch stops before its first file");
    for (int i = 0; i < summary.rows.size(); ++i) {
        Row& r = summary.rows[i];
        r.newName = r.oldName;
        if (i == row) {
            r.result = Result::Stops;
            r.detail = batch::errorText(error);
        } else {
            r.result = Result::NotRenamed;
            r.detail = detail;
        }
    }
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

Summary compute(const AppState& state, const GenerationInput& input, platform::Platform& p) {
    Summary summary;
    summary.rows.reserve(input.listNames.size());
    const QString noMatch = Text::tr("no match");
    for (const QString& name : input.listNames) {
        summary.rows.append(Row{name, name, Result::LeftAlone, noMatch});
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
    // The new base names as generation left them (shared, not copied): the
    // rename phase turns them into full paths.
    const QStringList generated(dry->newNames.cbegin(), dry->newNames.cbegin() + last + 1);

    // A directory that could not be pinned, or is gone since, reads as not
    // there at all, as it does for Rename.
    platform::DirectoryFacts facts;
    if (state.chosenDirectory) {
        facts = p.describeDirectory(*state.chosenDirectory);
    }
    dry->filesSkipped = 0;
    DryRunDirectory disk(p, facts);
    const batch::RenameOutcome outcome = batch::renameBatch(*dry, disk, batch::Journaling::Off);
    if (outcome.error != Error::None) {
        stopAt(summary, outcome.failedIndex, outcome.error);
        return summary;
    }

    const QString unchanged = Text::tr("the name does not change");
    for (int i = 0; i <= last; ++i) {
        Row& row = summary.rows[i];
        if (generated[i] == row.oldName) {
            continue;  // no match
        }
        const auto planned = [&] { return generated[i] + dry->extensions[i]; };
        if (dry->oldNames[i] == dry->newNames[i]) {
            // A new name that would leave the directory never reaches it.
            if (disk.refused(row.oldName) || !platform::isPlainFileName(planned())) {
                row.result = Result::Skipped;
                row.detail = refusal(planned(), facts);
            } else {
                row.detail = unchanged;
            }
            continue;
        }
        row.newName = platform::nameOf(dry->newNames[i]);
        if (!disk.collided(row.oldName)) {
            row.result = Result::Renamed;
            row.detail.clear();
        } else {
            row.result = Result::Numbered;
            row.detail =
                disk.takenByBatch(row.oldName)
                    ? Text::tr("%1 is taken by an earlier file of this batch").arg(planned())
                    : Text::tr("%1 is taken in the directory").arg(planned());
        }
    }
    for (int i = last + 1; i < summary.rows.size(); ++i) {
        summary.rows[i].result = Result::Skipped;
        summary.rows[i].detail =
            Text::tr("only the first %1 files of a batch are renamed").arg(AppState::kMaxEntries);
    }
    count(summary);
    return summary;
}

QString resultText(const Row& row) {
    QString kind;
    switch (row.result) {
        case Result::Renamed:
            kind = Text::tr("renamed");
            break;
        case Result::Numbered:
            kind = Text::tr("numbered");
            break;
        case Result::LeftAlone:
            kind = Text::tr("left alone");
            break;
        case Result::Skipped:
            kind = Text::tr("skipped");
            break;
        case Result::Stops:
            return row.detail;
        case Result::NotRenamed:
            kind = Text::tr("not renamed");
            break;
    }
    return row.detail.isEmpty() ? kind : kind + QStringLiteral(": ") + row.detail;
}

QString countsText(const Summary& summary) {
    if (summary.stop != Error::None && summary.stopRow < 0) {
        return Text::tr("Rename would stop with %1 before renaming any file.")
            .arg(batch::errorText(summary.stop));
    }
    if (summary.stop != Error::None) {
        return Text::tr("Rename would stop at %1 with %2; no file would be renamed.")
            .arg(summary.rows.value(summary.stopRow).oldName, batch::errorText(summary.stop));
    }
    return Text::tr("%1 renamed, %2 numbered, %3 left alone, %4 skipped")
        .arg(summary.renamed)
        .arg(summary.numbered)
        .arg(summary.leftAlone)
        .arg(summary.skipped);
}

}  // namespace preview
