// Choosing the example name, taking the mask from it and analysing it.
#include <QClipboard>
#include <QGuiApplication>

#include "engine/AppState.h"
#include "engine/Extract.h"
#include "ui/frmMain.h"
#include "ui_frmMain.h"

void frmMain::List1_DblClick() {
    AppState& state = appState();
    state.lastIndex = ui->List1->count() - 1;
    for (int i = 0; i <= state.lastIndex; ++i) {
        if (ui->List1->item(i)->isSelected()) {
            ui->txtFile->setText(ui->List1->item(i)->text());
            return;
        }
    }
}

void frmMain::Command2_Click() {
    // The mask travels through the system clipboard, which keeps it afterwards.
    const QString highlighted = ui->txtFile->keptSelectedText();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(highlighted);
    QString mask = clipboard->text();
    if (mask != highlighted) {
        // A clipboard that cannot be opened (or is owned elsewhere the very
        // next moment) must not lose the user's highlight.
        mask = highlighted;
    }
    ui->txtMask->setText(mask);
    ui->Command1->setEnabled(true);
}

void frmMain::Command1_Click() {
    ui->Command4->setEnabled(true);
    ExtractInput input;
    input.maskText = ui->txtMask->text();
    input.exampleName = ui->txtFile->text();
    input.prefix = ui->lblPrefix->text();
    input.suffix = ui->lblSufix->text();
    input.letteringCaption = ui->lblLetteringPosition->text();
    showStatus(extractMask(appState(), input));
    refreshPreview();
}
