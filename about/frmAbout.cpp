#include "about/frmAbout.h"

#include "app/Forms.h"
#include "app/Icons.h"

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    ui.setupUi(this);
    setFont(forms::designFont());
    // A fixed dialog frame with the system menu and the close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setWindowIcon(icons::aboutIcon());
    ui.picIcon->setPixmap(icons::programPixmap());
    ui.Line1_1->raise();   // the grey line over the white one: an etched rule
    ui.cmdOK->setFocus();  // the lowest tab position

    connect(ui.cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(ui.cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load() {
    forms::centreOnScreen(this);
}

void frmAbout::cmdOK_Click() {}

void frmAbout::cmdSysInfo_Click() {}
