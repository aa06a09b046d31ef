#include "options/frmOptions.h"

#include "app/Forms.h"
#include "app/Icons.h"

frmOptions::frmOptions(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    setFont(forms::designFont());
    // No system menu and no close box: "Ok" is the only way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    setWindowIcon(icons::programIcon());
    // Enter presses the focused button only; there is no default button.
    ui.cmdOk->setAutoDefault(true);
    ui.cmdClearOptions->setAutoDefault(true);
    ui.cmdClearOptions->setFocus();  // the lowest tab position

    connect(ui.cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(ui.cmdClearOptions, &QPushButton::clicked, this, &frmOptions::cmdClearOptions_Click);
}

frmOptions::~frmOptions() = default;

void frmOptions::Form_Load() {
    forms::centreOnScreen(this);
}

void frmOptions::cmdOK_Click() {}

void frmOptions::cmdClearOptions_Click() {}
