#include "chooser/frmDir.h"

#include "app/Forms.h"
#include "app/Icons.h"

frmDir::frmDir(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    setFont(forms::designFont());
    // No system menu and no close box: the two buttons are the only way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    setWindowIcon(icons::programIcon());
    // Enter presses the focused button only; there is no default button.
    ui.Command1->setAutoDefault(true);
    ui.Command2->setAutoDefault(true);
    ui.Drive1->setFocus();  // the lowest tab position

    connect(ui.Command1, &QPushButton::clicked, this, &frmDir::Command1_Click);
    connect(ui.Command2, &QPushButton::clicked, this, &frmDir::Command2_Click);
    connect(ui.File1, &QListWidget::itemDoubleClicked, this, &frmDir::File1_DblClick);
}

frmDir::~frmDir() = default;

void frmDir::Form_Load() {
    forms::centreOnScreen(this);
}

void frmDir::Drive1_Change() {}

void frmDir::Dir1_Change() {}

void frmDir::File1_DblClick() {}

void frmDir::Command1_Click() {}

void frmDir::Command2_Click() {}
