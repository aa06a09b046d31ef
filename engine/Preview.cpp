#include "engine/Preview.h"

#include <QCoreApplication>
#include <QSet>
#include <memory>
#include <optional>

#include "engine/Collisions.h"
#include "engine/RenameExecutor.h"

namespace preview {
namespace {

// The preview's texts, translated in the context "Preview".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Preview)
};

// The batch's directory as the dry run sees it. Every new name is decided
// against its listing before the first rename (the collision rule over the
// names it holds, and the directory's rules for names), so a rename here only
// has to say what the system would still refuse: nothing on a read-only file
// system. Nothing reaches the disk.
class DryRunDirectory : public platform::BatchSystem {
  public:
    DryRunDirectory(const platform::Listing& listing, const platform::NameRules& rules)
        : listing_(listing),
          directories_(listing.directories.cbegin(), listing.directories.cend()),
          readOnly_(rules.readOnly) {}

    // As the system: a directory is no file of the batch.
    platform::Status identify(const platform::PinnedDirectory&, QStringView name,
                              platform::Fingerprint* out, platform::Contents) override {
        *out = platform::Fingerprint{};
        if (!directories_.isEmpty() &&
            directories_.contains(QString::fromRawData(name.data(), name.size()))) {
            return platform::Status{Error::FileNotFound, EISDIR};
        }
        return gone();
    }
    platform::Listing list(const platform::PinnedDirectory&) override { return listing_; }
    platform::Status renameIn(const platform::PinnedDirectory&, QStringView from,
                              QStringView to) override {
        if (!listing_.status.ok() || from == to) {
            return gone();
        }
        return readOnly_ ? platform::Status{Error::PathFileAccess, EROFS} : platform::Status{};
    }
    // Nothing is ever written: a dry run keeps no journal.
    platform::Status writeFileDurably(const QString&, const QByteArray&) override {
        return platform::Status{};
    }

  private:
    platform::Status gone() const {
        return listing_.status.ok() ? platform::Status{}
                                    : platform::Status{Error::PathNotFound, ENOENT};
    }

    platform::Listing listing_;  // the directory as listed
    QSet<QString> directories_;
    bool readOnly_;
};

// Why a rename to `name` would be refused.
QString refusal(const QString& name, const platform::NameRules& rules,
                const platform::NameRules::Verdict& verdict) {
    using Refusal = platform::NameRules::Refusal;
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return Text::tr("the new name is empty, \".\" or \"..\"");
    }
    if (!platform::isPlainFileName(name)) {
        return Text::tr("the new name holds \"%1\" or a NUL character").arg(platform::separator());
    }
    if (rules.readOnly) {
        return Text::tr("the directory is on a read-only file system");
    }
    switch (verdict.refusal) {
        case Refusal::Character:
            return Text::tr("the file system does not allow '%1' in names").arg(verdict.character);
        case Refusal::TrailingDot:
            return Text::tr("the file system does not allow a name to end with '.'");
        case Refusal::TrailingBlank:
            return Text::tr("the file system does not allow a name to end with a blank");
        case Refusal::ReservedName:
            return Text::tr("the file system does not allow the name %1 (a device of Windows)")
                .arg(name.section(QLatin1Char('.'), 0, 0));
        case Refusal::TooLong:
            return rules.maxUnits > 0
                       ? Text::tr(
                             "the new name is longer than the file system allows (%1 "
                             "characters)")
                             .arg(rules.maxUnits)
                       : Text::tr("the new name is longer than the file system allows (%1 bytes)")
                             .arg(rules.maxBytes);
        case Refusal::None:
            break;
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

Summary compute(const AppState& state, const GenerationInput& input, platform::BatchSystem& p) {
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
    platform::Listing listing;
    platform::NameRules rules;
    if (state.chosenDirectory) {
        listing = p.list(*state.chosenDirectory);
        rules = state.chosenDirectory->rules();
    } else {
        listing.status = platform::Status{Error::PathNotFound, 0};
    }
    dry->filesSkipped = 0;
    DryRunDirectory disk(listing, rules);
    const batch::RenameOutcome outcome = batch::renameBatch(*dry, disk, batch::Journaling::Off);
    if (outcome.error != Error::None) {
        stopAt(summary, outcome.failedIndex, outcome.error);
        return summary;
    }

    const auto key = [&rules](const QString& name) {
        return rules.caseInsensitive ? name.toCaseFolded() : name;
    };
    // The names files of the batch took so far, by key, to tell whose a taken
    // name is: made only once a name turns out taken (a file of the batch
    // never takes a name another still holds, nor gives one back).
    std::optional<QSet<QString>> takenByBatch;
    const QString unchanged = Text::tr("the name does not change");
    for (int i = 0; i <= last; ++i) {
        Row& row = summary.rows[i];
        if (generated[i] == row.oldName) {
            continue;  // no match
        }
        const QString& extension = dry->extensions[i];
        const auto planned = [&] { return generated[i] + extension; };
        if (dry->oldNames[i] == dry->newNames[i]) {
            // Skipped: the name, or (when the name is taken) its shortest
            // numbered form, is one the file system refuses; or the name
            // would leave the directory.
            platform::NameRules::Verdict verdict = rules.check(planned());
            if (verdict.refusal == platform::NameRules::Refusal::None) {
                verdict = rules.check(batch::numberedVariant(planned(), extension, 1));
            }
            if (rules.readOnly || !platform::isPlainFileName(planned()) ||
                verdict.refusal != platform::NameRules::Refusal::None) {
                row.result = Result::Skipped;
                row.detail = refusal(planned(), rules, verdict);
            } else {
                row.detail = unchanged;
            }
            continue;
        }
        row.newName = platform::nameOf(dry->newNames[i]);
        const QStringView given(row.newName);
        if (given.size() == generated[i].size() + extension.size() &&
            given.startsWith(generated[i]) && given.endsWith(extension)) {
            row.result = Result::Renamed;
            row.detail.clear();
        } else {
            row.result = Result::Numbered;
            if (!takenByBatch) {
                takenByBatch.emplace();
                for (int j = 0; j < i; ++j) {
                    const Row& earlier = summary.rows[j];
                    if (earlier.result == Result::Renamed || earlier.result == Result::Numbered) {
                        takenByBatch->insert(key(earlier.newName));
                    }
                }
            }
            const QString taken = planned();
            row.detail = takenByBatch->contains(key(taken))
                             ? Text::tr("%1 is taken by an earlier file of this batch").arg(taken)
                             : Text::tr("%1 is taken in the directory").arg(taken);
        }
        if (takenByBatch) {
            takenByBatch->insert(key(row.newName));
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
