#include "ui/frmNaming.h"

#include <QPushButton>

#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/SaveFailure.h"
#include "ui_frmNaming.h"

frmNaming::frmNaming(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmNaming>()) {
    setFont(forms::designFont());
    ui->setupUi(this);
    setWindowIcon(icons::programIcon());
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &frmNaming::cmdOK_Click);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Ok, Cancel, Esc and the close box all end the dialog: the next opening
    // starts from the main window's working copy.
    connect(this, &QDialog::finished, this, [this] {
        if (!forms::unloadIfInstance(forms::Form::Naming, this)) {
            deleteLater();
        }
    });
}

frmNaming::~frmNaming() = default;

void frmNaming::Form_Load() {
    adjustSize();
    forms::centreOnScreen(this);
}

void frmNaming::fill(const NamingSteps& steps) {
    ui->cboDigits->setCurrentIndex(steps.digits);
    ui->spnStep->setValue(steps.step);
    ui->cboOrder->setCurrentIndex(steps.byDateTaken ? 1 : 0);
    ui->txtFind->setText(steps.find);
    ui->txtReplacement->setText(steps.replacement);
    ui->chkPattern->setChecked(steps.pattern);
    ui->cboNameCase->setCurrentIndex(int(steps.nameCase));
    ui->cboExtensionCase->setCurrentIndex(int(steps.extensionCase));
    ui->cboDate->setCurrentIndex(int(steps.date));
    ui->txtDateFormat->setText(steps.dateFormat);
    ui->cboDatePlace->setCurrentIndex(steps.dateAfter ? 1 : 0);
}

NamingSteps frmNaming::steps() const {
    NamingSteps steps;
    steps.digits = ui->cboDigits->currentIndex();
    steps.step = ui->spnStep->value();
    steps.byDateTaken = ui->cboOrder->currentIndex() == 1;
    steps.find = ui->txtFind->text();
    steps.replacement = ui->txtReplacement->text();
    steps.pattern = ui->chkPattern->isChecked();
    steps.nameCase = NamingSteps::Case(ui->cboNameCase->currentIndex());
    steps.extensionCase = NamingSteps::Case(ui->cboExtensionCase->currentIndex());
    steps.date = NamingSteps::Date(ui->cboDate->currentIndex());
    steps.dateFormat =
        ui->txtDateFormat->text().isEmpty() ? steps.dateFormat : ui->txtDateFormat->text();
    steps.dateAfter = ui->cboDatePlace->currentIndex() == 1;
    return steps;
}

void frmNaming::cmdOK_Click() {
    const NamingSteps chosen = steps();
    const platform::Status saved = chosen.save();
    emit stored(chosen);
    accept();
    saveFailure::report(saved);
}
