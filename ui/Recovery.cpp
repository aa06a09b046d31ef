#include "ui/Recovery.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "engine/Journal.h"
#include "engine/Recovery.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "ui/BusyPointer.h"
#include "ui/ChooserLists.h"
#include "ui/Icons.h"

namespace recovery {
namespace {

const QString kTitle = QStringLiteral("Quillomat");

// The texts of the question and the report, translated in the context "Recovery".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Recovery)
};

// Names as the chooser shows them: a byte that is not UTF-8 as "\xNN".
QString listed(const QStringList& names) {
    QStringList shown;
    shown.reserve(names.size());
    for (const QString& name : names) {
        shown << QStringLiteral("  ") + chooser::displayName(name);
    }
    return shown.join(QLatin1Char('\n'));
}

bool askToRestore(const journal::Record& record) {
    QMessageBox box(QMessageBox::Question, kTitle,
                    Text::tr("Quillomat ended before its last batch was accepted or "
                             "undone.\n\nDirectory: %1\nFiles: %2")
                        .arg(chooser::displayName(record.directory))
                        .arg(record.entries.size()),
                    QMessageBox::Yes | QMessageBox::No);
    box.setInformativeText(Text::tr("Give these files their old names back?"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowIcon(icons::programIcon());
    return box.exec() == QMessageBox::Yes;
}

// `kept`: where the journal was put aside when not every file got back.
void report(const journal::Record& journal, const batch::Plan& record, const QString& kept) {
    const batch::WayBackReport outcome(record);
    const bool complete = outcome.complete();
    QStringList counts;
    QStringList details;
    // A group of files that did not simply get back, if any: its count (`one`
    // file or `many`) and its list under `heading`.
    const auto add = [&](const QStringList& names, const QString& one, const QString& many,
                         const QString& heading) {
        if (!names.isEmpty()) {
            counts << (names.size() == 1 ? one : many);
            details << heading + QLatin1Char('\n') + listed(names);
        }
    };
    const qsizetype notFound = outcome.notFound.size();
    add(outcome.notFound, Text::tr("1 file could not be found."),
        Text::tr("%1 files could not be found.").arg(notFound), Text::tr("Not found:"));
    const qsizetype notRestored = outcome.notRestored.size();
    const QString error = batch::errorText(record.error());
    add(outcome.notRestored, Text::tr("1 file could not be renamed back (%1).").arg(error),
        Text::tr("%1 files could not be renamed back (%2).").arg(notRestored).arg(error),
        Text::tr("Not restored:"));
    add(outcome.alike,
        Text::tr("1 file was left where it is: files alike under its names cannot be told apart."),
        Text::tr("%1 files were left where they are: files alike under their names cannot be "
                 "told apart.")
            .arg(outcome.alike.size()),
        Text::tr("Left where they are (old name: the names to look at):"));
    add(outcome.numbered, Text::tr("1 file got a numbered name, the old one being taken."),
        Text::tr("%1 files got a numbered name, the old ones being taken.")
            .arg(outcome.numbered.size()),
        Text::tr("Numbered:"));
    if (!kept.isEmpty()) {
        counts
            << Text::tr("The journal of the batch is kept as %1.").arg(chooser::displayName(kept));
    }
    const QString where = chooser::displayName(journal.directory);
    QMessageBox box(complete ? QMessageBox::Information : QMessageBox::Warning, kTitle,
                    complete ? Text::tr("The files in %1 are back.").arg(where)
                             : Text::tr("Not every file in %1 got its old name back.").arg(where),
                    QMessageBox::Ok);
    box.setInformativeText(counts.join(QLatin1Char('\n')));
    box.setDetailedText(details.join(QStringLiteral("\n\n")));
    box.setWindowIcon(icons::programIcon());
    box.exec();
}

// A journal that cannot be read is never dropped unseen: it is put aside,
// and the user is told where.
void reportUnreadable(journal::Leftover& leftover) {
    const QString kept = journal::keepAside(leftover);
    QMessageBox box(QMessageBox::Warning, kTitle,
                    Text::tr("Quillomat found the journal of an unfinished batch, but cannot "
                             "read it: it is cut short or damaged."),
                    QMessageBox::Ok);
    box.setInformativeText(
        Text::tr("It is kept as %1. The files of that batch keep the names they have now.")
            .arg(chooser::displayName(kept)));
    box.setWindowIcon(icons::programIcon());
    box.exec();
}

}  // namespace

void offerToRestoreUnfinishedBatches() {
    for (journal::Leftover& leftover : journal::leftovers()) {
        if (!leftover.record) {
            reportUnreadable(leftover);
            continue;
        }
        if (leftover.record->entries.isEmpty() || !askToRestore(*leftover.record)) {
            journal::discard(leftover);
            continue;
        }
        BusyPointer busy;
        const batch::Plan record =
            batch::restoreFromJournal(*leftover.record, platform::current(), leftover.path);
        busy.restore();
        // A journal whose files did not all get back stays, put aside.
        const bool complete = batch::allBack(record);
        const QString kept = complete ? QString() : journal::keepAside(leftover);
        if (complete) {
            journal::discard(leftover);
        }
        if (!complete || !batch::undoneText(record).isEmpty()) {
            report(*leftover.record, record, kept);
        }
    }
}

}  // namespace recovery
