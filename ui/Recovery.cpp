#include "ui/Recovery.h"

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

QString files(qsizetype n) {
    return n == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(n);
}

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
                    QStringLiteral("Quillomat ended before its last batch was accepted or "
                                   "undone.\n\nDirectory: %1\nFiles: %2")
                        .arg(chooser::displayName(record.directory))
                        .arg(record.entries.size()),
                    QMessageBox::Yes | QMessageBox::No);
    box.setInformativeText(QStringLiteral("Give these files their old names back?"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowIcon(icons::programIcon());
    return box.exec() == QMessageBox::Yes;
}

void report(const journal::Record& record, const batch::RecoveryOutcome& outcome) {
    QStringList counts;
    QStringList details;
    if (!outcome.notFound.isEmpty()) {
        counts << files(outcome.notFound.size()) + QStringLiteral(" could not be found.");
        details << QStringLiteral("Not found:\n") + listed(outcome.notFound);
    }
    if (!outcome.notRestored.isEmpty()) {
        counts << files(outcome.notRestored.size()) +
                      QStringLiteral(" could not be renamed back (%1).")
                          .arg(batch::errorText(outcome.error));
        details << QStringLiteral("Not restored:\n") + listed(outcome.notRestored);
    }
    if (!outcome.numbered.isEmpty()) {
        counts << files(outcome.numbered.size()) +
                      QStringLiteral(" got a numbered name, the old one being taken.");
        details << QStringLiteral("Numbered:\n") + listed(outcome.numbered);
    }
    const QString where = chooser::displayName(record.directory);
    QMessageBox box(outcome.complete() ? QMessageBox::Information : QMessageBox::Warning, kTitle,
                    outcome.complete()
                        ? QStringLiteral("The files in %1 are back.").arg(where)
                        : QStringLiteral("Not every file in %1 got its old name back.").arg(where),
                    QMessageBox::Ok);
    box.setInformativeText(counts.join(QLatin1Char('\n')));
    box.setDetailedText(details.join(QStringLiteral("\n\n")));
    box.setWindowIcon(icons::programIcon());
    box.exec();
}

}  // namespace

void offerToRestoreUnfinishedBatches() {
    for (journal::Leftover& leftover : journal::leftovers()) {
        if (leftover.record && !leftover.record->entries.isEmpty() &&
            askToRestore(*leftover.record)) {
            BusyPointer busy;
            const batch::RecoveryOutcome outcome =
                batch::restoreFromJournal(*leftover.record, platform::current());
            busy.restore();
            if (!outcome.complete() || !outcome.numbered.isEmpty()) {
                report(*leftover.record, outcome);
            }
        }
        journal::discard(leftover);
    }
}

}  // namespace recovery
