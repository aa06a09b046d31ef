#include "ui/frmAbout.h"

#include <QEvent>
#include <QMessageBox>

#include "engine/SysInfo.h"
#include "engine/Version.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui_frmAbout.h"

namespace {

// The launcher's one message: OK only, no icon, the program's title.
void showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillomat"), text, QMessageBox::Ok,
                    forms::loaded(forms::Form::About));
    box.exec();
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmAbout>()) {
    ui->setupUi(this);
    // A fixed dialog frame with the system menu and the close box only.
    forms::setUpDialogFrame(this, Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint,
                            QIcon(QStringLiteral(":/icons/about.svg")));  // "i" on the page
    ui->picIcon->setPixmap(icons::programPixmap(devicePixelRatioF()));
    ui->lblTitle->setText(ui->lblTitle->text().arg(version::shown()));
    ui->Line1_1->raise();  // the grey line over the white one: an etched rule
    colourDesignLabels();
    // Enter presses "OK" (the design's default) unless "System Info..." has the focus.
    ui->cmdOK->setFocus();  // the lowest tab position

    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load() {
    forms::centreOnScreen(this);
}

void frmAbout::cmdOK_Click() {
    if (!forms::unloadIfInstance(forms::Form::About, this)) {
        hide();
        deleteLater();
    }
}

void frmAbout::colourDesignLabels() {
    // Black text on three labels, as designed, where the window is light. On
    // a dark window black would be unreadable: the labels keep the theme's
    // text colour there. A palette rather than a style sheet, which would keep
    // them from taking the design font.
    const bool lightWindow = palette().color(QPalette::Window).lightness() >= 128;
    for (QLabel* label : {ui->lblTitle, ui->lblDescription, ui->lblDisclaimer}) {
        // Only the text colour is set; every other role follows the window.
        QPalette own;
        if (lightWindow) {
            own.setColor(QPalette::WindowText, Qt::black);
        }
        label->setPalette(own);
    }
}

void frmAbout::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colourDesignLabels();  // the theme changed while the box is open
    }
}

void frmAbout::reject() {
    cmdOK_Click();
}

void frmAbout::cmdSysInfo_Click() {
    // Each press starts another instance; the box stays open either way.
    if (!sysinfo::startTool()) {
        showMessage(QCoreApplication::translate("SysInfo", sysinfo::kUnavailable));
    }
}
