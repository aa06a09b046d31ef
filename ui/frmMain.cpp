#include "ui/frmMain.h"

#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <limits>

#include "engine/Settings.h"
#include "engine/Version.h"
#include "ui/Accessibility.h"
#include "ui/Forms.h"
#include "ui/Help.h"
#include "ui/Icons.h"
#include "ui_frmMain.h"

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::frmMain>()) {
    // The design's font first: the controls take it as they are made.
    setFont(forms::designFont());
    ui->setupUi(this);
    setWindowIcon(icons::programIcon());

    // The design gives the client area; the menu bar comes on top of it.
    const QSize client = size();
    resize(client.width(), client.height() + ui->menubar->sizeHint().height());
    ui->txtFile->setFocus();  // the lowest tab position
    letEnterPressFocusedButtons();
    giveMenusTheWindowFont();
    for (QLineEdit* box : {static_cast<QLineEdit*>(ui->txtFile), ui->txtMask, ui->txtExample}) {
        box->setMaxLength(std::numeric_limits<int>::max());  // no length limit
    }

    describeStepsByTheirInstructions();

    ui->Picture1->setPixmap(icons::programPixmap(devicePixelRatioF()));
    QFont title = forms::designFont(13.5);
    title.setWeight(QFont::Normal);
    ui->Label5->setFont(title);
    ui->Label5->setText(ui->Label5->text().arg(version::shown()));
    // Labels that size themselves to their text.
    for (QLabel* label : {ui->Label5, ui->Label8, ui->Label1, ui->Label2, ui->Label7, ui->Label4,
                          ui->Label9, ui->Label3, ui->Label6}) {
        label->adjustSize();
    }

    connect(ui->Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    // A double-click anywhere in the list, or Enter in it, takes the selected entry.
    ui->List1->viewport()->installEventFilter(this);
    ui->List1->installEventFilter(this);
    connect(ui->Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(ui->Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(ui->mnuFilePreview, &QAction::triggered, this, &frmMain::mnuFilePreview_Click);
    connect(ui->MnuFileExit, &QAction::triggered, this, &frmMain::MnuFileExit_Click);
    // The preview is there exactly when Rename is.
    ui->Command4->installEventFilter(this);
    connect(ui->mnuClearOptions, &QAction::triggered, this, &frmMain::mnuClearOptions_Click);
    connect(ui->mnuOptionsSetOptions, &QAction::triggered, this,
            &frmMain::mnuOptionsSetOptions_Click);
    connect(ui->MnuHelpHelp, &QAction::triggered, this, &frmMain::MnuHelpHelp_Click);
    connect(ui->MnuHelpAbout, &QAction::triggered, this, &frmMain::MnuHelpAbout_Click);
#ifndef QT_NO_SESSIONMANAGER
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &frmMain::sessionEnding);
#endif
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    // F1 opens the user guide from any of the program's windows.
    help::registerHelpKey(this);

    NamingOptions options = NamingOptions::load();
    if (options.letteringPosition.isEmpty()) {
        options.letteringPosition = QStringLiteral("0");
    }
    setNamingLabels(options);

    enableSteps(false, false, false);
}

void frmMain::takeChosenFiles(const QStringList& names) {
    ui->List1->addItems(names);
    const QString first = ui->List1->count() > 0 ? ui->List1->item(0)->text() : QString();
    if (!first.isEmpty()) {
        ui->txtFile->setText(first);
        enableSteps(true, true, false);
    } else {
        enableSteps(false, false, false);
    }
}

void frmMain::enableSteps(bool setMask, bool extract, bool rename) {
    ui->Command2->setEnabled(setMask);
    ui->Command1->setEnabled(extract);
    ui->Command4->setEnabled(rename);
}

void frmMain::showStatus(const QString& text) {
    ui->txtExample->setText(text);
    // Wherever the focus is, a screen reader reads out what appeared.
    accessibility::announce(this, text);
}

NamingOptions frmMain::namingLabels() const {
    return NamingOptions{ui->lblPrefix->text(), ui->lblSufix->text(), ui->lblStartNumber->text(),
                         ui->lblLetteringPosition->text()};
}

void frmMain::setNamingLabels(const NamingOptions& options) {
    ui->lblPrefix->setText(options.prefix);
    ui->lblSufix->setText(options.suffix);
    ui->lblStartNumber->setText(options.startingNumber);
    ui->lblLetteringPosition->setText(options.letteringPosition);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Command4 && event->type() == QEvent::EnabledChange) {
        ui->mnuFilePreview->setEnabled(ui->Command4->isEnabled());
    }
    if (watched == ui->List1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The first click of the pair has already selected the entry under the pointer.
        List1_DblClick();
        return false;
    }
    if (watched == ui->List1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            List1_DblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::letEnterPressFocusedButtons() {
    // Outside a dialog a button is no one's default; auto-default only makes
    // it take Enter while it has the focus.
    for (QPushButton* button : {ui->Command3, ui->Command2, ui->Command1, ui->Command4}) {
        button->setAutoDefault(true);
    }
}

void frmMain::describeStepsByTheirInstructions() {
    const auto describe = [](QPushButton* step, std::initializer_list<QLabel*> lines) {
        QStringList text;
        for (QLabel* line : lines) {
            text << line->text();
        }
        step->setAccessibleDescription(text.join(QLatin1Char(' ')));
    };
    describe(ui->Command3, {ui->Label8, ui->Label1});
    describe(ui->Command2, {ui->Label2, ui->Label7});
    describe(ui->Command1, {ui->Label4, ui->Label9});
    describe(ui->Command4, {ui->Label3, ui->Label6});
}

void frmMain::giveMenusTheWindowFont() {
    for (QMenu* menu : ui->menubar->findChildren<QMenu*>()) {
        menu->setFont(font());
    }
}
