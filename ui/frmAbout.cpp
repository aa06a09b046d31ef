#include "ui/frmAbout.h"

#include <QMessageBox>

#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui_frmAbout.h"

namespace {

// The launcher's one message: OK only, no icon, the program's title.
void showMessage(const QString& text) {
    QWidget* parent = forms::isLoaded(forms::Form::About) ? &forms::frmAbout() : nullptr;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillomat"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmAbout>()) {
    ui->setupUi(this);
    // A fixed dialog frame with the system menu and the close box only.
    forms::setUpDialogFrame(this, Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint,
                            icons::aboutIcon());
    ui->picIcon->setPixmap(icons::programPixmap(devicePixelRatioF()));
    ui->Line1_1->raise();  // the grey line over the white one: an etched rule
    // Black text on three labels. A palette rather than a style sheet, which
    // would keep them from taking the design font.
    for (QLabel* label : {ui->lblTitle, ui->lblDescription, ui->lblDisclaimer}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    // Enter presses "OK" unless "System Info..." has the focus.
    ui->cmdOK->setDefault(true);
    ui->cmdOK->setFocus();  // the lowest tab position

    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

frmAbout::~frmAbout() = default;

sysinfo::Services& frmAbout::services() {
    static sysinfo::Services services{&registry::systemRegistry(), &sysinfo::systemStarter(),
                                      &sysinfo::fileExists, &showMessage};
    return services;
}

void frmAbout::Form_Load() {
    forms::centreOnScreen(this);
}

void frmAbout::cmdOK_Click() {
    if (forms::isLoaded(forms::Form::About) && &forms::frmAbout() == this) {
        forms::unload(forms::Form::About);
    } else {
        hide();
        deleteLater();
    }
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::reject() {
    cmdOK_Click();
}

void frmAbout::StartSysInfo() {
    sysinfo::StartSysInfo(services());
}
