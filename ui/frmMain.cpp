// The main window: its steps, the way a batch is renamed and reviewed, the
// menu, and the way out.
#include "ui/frmMain.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <cstdio>
#include <tuple>

#include "engine/AppState.h"
#include "engine/BatchPlan.h"
#include "engine/Journal.h"
#include "engine/RenameExecutor.h"
#include "engine/Settings.h"
#include "engine/Version.h"
#include "platform/Platform.h"
#include "ui/Accessibility.h"
#include "ui/BusyPointer.h"
#include "ui/ChooserLists.h"
#include "ui/Forms.h"
#include "ui/Help.h"
#include "ui/Icons.h"
#include "ui/Progress.h"
#include "ui/SaveFailure.h"
#include "ui/frmAbout.h"
#include "ui/frmDir.h"
#include "ui/frmNaming.h"
#include "ui/frmOptions.h"
#include "ui/frmPreview.h"
#include "ui_frmMain.h"

namespace {

// The files `plan` renames, or its record renamed (and Undo gives back).
int renames(const batch::Plan& plan) {
    const batch::Counts counts = batch::countsOf(plan);
    return counts.renamed + counts.numbered;
}

bool reviewOpen() {
    return forms::isLoaded(forms::Form::Dir) && forms::frmDir().mode() == frmDir::Mode::Review;
}

// The frame of `form`'s window where it is shown; empty where it is not.
QRect shownFrame(forms::Form form) {
    const QWidget* window = forms::loaded(form);
    return window && window->isVisible() ? window->frameGeometry() : QRect();
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::frmMain>()) {
    // The design's font first: the controls take it as they are made.
    setFont(forms::designFont());
    ui->setupUi(this);
    setWindowIcon(icons::programIcon());

    // The design gives the client area; the menu bar comes on top of it.
    resize(width(), height() + ui->menubar->sizeHint().height());
    ui->txtFile->setFocus();  // the lowest tab position
    setAcceptDrops(true);
    // The design gives the boxes no length limit, and makes the step buttons
    // auto-default: Enter and keypad Enter press the focused one, as Space
    // does, and as no button is the default, Enter elsewhere presses nothing.

    // The drop-down menus are windows of their own and would take the
    // desktop's font: they take the window's, as the menu bar does.
    for (QMenu* menu : ui->menubar->findChildren<QMenu*>()) {
        menu->setFont(font());
    }

    // Each step button runs its step, and a screen reader reads the
    // instruction beside it (two labels) as its description. Alt and a letter
    // press it, as the menu's access keys open a menu; the captions stay as
    // designed, without a mark.
    for (const auto& [button, key, step, first, second] :
         {std::tuple{ui->Command3, Qt::Key_S, &frmMain::Command3_Click, ui->Label8, ui->Label1},
          std::tuple{ui->Command2, Qt::Key_M, &frmMain::Command2_Click, ui->Label2, ui->Label7},
          std::tuple{ui->Command1, Qt::Key_E, &frmMain::Command1_Click, ui->Label4, ui->Label9},
          std::tuple{ui->Command4, Qt::Key_R, &frmMain::Command4_Click, ui->Label3, ui->Label6}}) {
        connect(button, &QPushButton::clicked, this, step);
        button->setAccessibleDescription(first->text() + QLatin1Char(' ') + second->text());
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | key), this);
        connect(shortcut, &QShortcut::activated, button, [button = button] {
            if (button->isEnabled()) {
                button->setFocus(Qt::ShortcutFocusReason);
                button->click();
            }
        });
        button->setToolTip(QKeySequence(Qt::ALT | key).toString(QKeySequence::NativeText));
    }

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

    // The open preview follows every key typed into the mask.
    connect(ui->txtMask, &QLineEdit::textEdited, this, &frmMain::refreshPreview);
    // A double-click anywhere in the list, or Enter in it, takes the selected entry.
    ui->List1->viewport()->installEventFilter(this);
    ui->List1->installEventFilter(this);
    connect(ui->mnuFilePreview, &QAction::triggered, this, &frmMain::mnuFilePreview_Click);
    connect(ui->MnuFileExit, &QAction::triggered, this, &frmMain::MnuFileExit_Click);
    // The preview is there as soon as files are listed.
    for (const auto change :
         {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(ui->List1->model(), change, this, &frmMain::updatePreviewEntry);
    }
    connect(ui->List1->model(), &QAbstractItemModel::modelReset, this,
            &frmMain::updatePreviewEntry);
    ui->MnuFile->setToolTipsVisible(true);
    connect(ui->mnuClearOptions, &QAction::triggered, this, &frmMain::mnuClearOptions_Click);
    connect(ui->mnuOptionsSetOptions, &QAction::triggered, this,
            &frmMain::mnuOptionsSetOptions_Click);
    connect(ui->mnuOptionsNaming, &QAction::triggered, this, &frmMain::mnuOptionsNaming_Click);
    connect(ui->MnuHelpHelp, &QAction::triggered, this, &frmMain::MnuHelpHelp_Click);
    connect(ui->MnuHelpAbout, &QAction::triggered, this, &frmMain::MnuHelpAbout_Click);
#ifndef QT_NO_SESSIONMANAGER
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &frmMain::sessionEnding);
#endif
}

frmMain::~frmMain() {
    // The list empties as it goes, after the window's own parts.
    ui->List1->model()->disconnect(this);
}

void frmMain::adopt(QWidget& dialog) {
    // Transient for the main window, with the flags it has.
    if (dialog.parentWidget() != this) {
        dialog.setParent(this, dialog.windowFlags());
    }
}

void frmMain::adopt(frmDir& dialog) {
    adopt(static_cast<QWidget&>(dialog));
    connect(&dialog, &frmDir::filesChosen, this, &frmMain::filesChosen, Qt::UniqueConnection);
    connect(&dialog, &frmDir::cancelled, this, &frmMain::chooserCancelled, Qt::UniqueConnection);
    connect(&dialog, &frmDir::accepted, this, &frmMain::reviewAccepted, Qt::UniqueConnection);
    connect(&dialog, &frmDir::undoAsked, this, &frmMain::undoAsked, Qt::UniqueConnection);
}

void frmMain::adopt(frmOptions& dialog) {
    adopt(static_cast<QWidget&>(dialog));
    connect(&dialog, &frmOptions::stored, this, &frmMain::optionsSaved, Qt::UniqueConnection);
}

void frmMain::chooserCancelled() {
    enableSteps(false, false, false);
}

void frmMain::Form_Load() {
    // F1 opens the user guide from any of the program's windows.
    help::registerHelpKey(this);

    NamingOptions options = NamingOptions::load();
    if (options.letteringPosition.isEmpty()) {
        options.letteringPosition = QStringLiteral("0");
    }
    setNamingLabels(options);
    steps_ = NamingSteps::load();

    enableSteps(false, false, false);
    updatePreviewEntry();
}

void frmMain::takeChosenFiles(const QStringList& names) {
    ui->List1->addItems(names);
    const bool listed = ui->List1->count() > 0;
    if (listed) {
        ui->txtFile->setText(ui->List1->item(0)->text());
    }
    enableSteps(listed, listed, false);
}

void frmMain::enableSteps(bool setMask, bool extract, bool rename) {
    ui->Command2->setEnabled(setMask);
    ui->Command1->setEnabled(extract);
    ui->Command4->setEnabled(rename);
}

void frmMain::showStatus(const QString& text) {
    ui->txtExample->setText(text);
    // A report longer than the box (a stopped batch's list) shows from its
    // beginning, and the whole of it is the box's tooltip.
    ui->txtExample->setCursorPosition(0);
    const bool fits = ui->txtExample->fontMetrics().horizontalAdvance(text) <
                      ui->txtExample->contentsRect().width();
    ui->txtExample->setToolTip(fits ? tr("Example Filename") : text);
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

// --- Select, the example and the mask. ---

void frmMain::Command3_Click() {
    // An open review keeps its batch: Select only brings it to the front.
    if (reviewOpen()) {
        forms::frmDir().showChooser();
        return;
    }
    clearBatch();
    // A chooser not loaded yet loads now, restoring (and listing) the
    // stored directory: the one it is about to show.
    const bool loaded = forms::isLoaded(forms::Form::Dir);
    forms::frmDir().showChooser(loaded ? frmDir::Listed::Earlier : frmDir::Listed::JustNow);
    refreshPreview();
}

void frmMain::clearBatch() {
    // The files listed so far go, and with them the directory they were in
    // (held open, it would keep its drive from being unmounted).
    appState().chosenDirectory.reset();
    ui->List1->clear();
    ui->txtMask->setText(QString());
    ui->txtFile->setText(QString());
    ui->txtExample->setText(QString());
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!reviewOpen() && !urls.isEmpty() &&
        std::all_of(urls.cbegin(), urls.cend(),
                    [](const QUrl& url) { return url.isLocalFile(); })) {
        event->acceptProposedAction();
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    if (reviewOpen()) {
        return;
    }
    event->acceptProposedAction();
    QStringList arguments{QCoreApplication::applicationFilePath()};
    for (const QUrl& url : event->mimeData()->urls()) {
        arguments << url.toLocalFile();
    }
    commandline::Request request = commandline::read(arguments);
    if (request.action != commandline::Request::Action::Start || request.files.isEmpty()) {
        // A directory alone, or a name that is gone: the batch stays as it is.
        request.files.clear();
        if (request.action != commandline::Request::Action::Start || request.text.isEmpty()) {
            request.text = tr("Only files can be dropped here.");
        }
    } else {
        clearBatch();
    }
    takeCommandLine(request, true);
}

void frmMain::filesChosen(const QString& directory, const QStringList& names) {
    // The batch keeps the directory itself, pinned now; "Dir" only says
    // where the chooser opens next time.
    const platform::OpenedDirectory opened = platform::current().openDirectory(directory);
    appState().chosenDirectory = opened.directory;
    previewListing_.reset();
    if (!opened.status.ok()) {
        // Said now, rather than as a missing directory at Rename.
        enableSteps(false, false, false);
        showStatus(tr("%1: the directory %2 cannot be opened (%3)")
                       .arg(batch::errorText(opened.status.error), chooser::displayName(directory),
                            opened.status.reason()));
        return;
    }
    takeChosenFiles(names);
    refreshPreview();
}

void frmMain::takeCommandLine(const commandline::Request& request, bool dropped) {
    if (!request.text.isEmpty()) {
        const QString reason = chooser::displayName(request.text);
        std::fprintf(stderr, "quillomat: %s\n", reason.toLocal8Bit().constData());
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillomat"), reason, QMessageBox::Ok,
                        this);
        box.setInformativeText(
            dropped ? tr("The files listed stay as they were.")
                    : tr("Quillomat starts without files; choose them with Select."));
        box.setWindowIcon(icons::programIcon());
        box.exec();
    }
    if (!request.files.isEmpty()) {
        const platform::Status saved = settings::write(settings::kDir, request.directory);
        // Named one by one, hidden or not, each is shown.
        filesChosen(request.directory, chooser::listOrder(request.files, true));
        saveFailure::report(saved);
    }
}

void frmMain::List1_DblClick() {
    appState().lastIndex = ui->List1->count() - 1;
    // The list selects one entry at most.
    const QList<QListWidgetItem*> selected = ui->List1->selectedItems();
    if (!selected.isEmpty()) {
        ui->txtFile->setText(selected.first()->text());
        refreshPreview();
    }
}

void frmMain::Command2_Click() {
    // The highlight is the mask, and goes on the system clipboard too, which
    // keeps it afterwards (a clipboard that cannot be opened changes nothing).
    const QString highlighted = ui->txtFile->keptSelectedText();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(highlighted);
    ui->txtMask->setText(highlighted);
    ui->Command1->setEnabled(true);
    refreshPreview();
}

ExtractInput frmMain::extractInput() const {
    return ExtractInput{ui->txtMask->text(), ui->txtFile->text(), ui->lblPrefix->text(),
                        ui->lblSufix->text(), ui->lblLetteringPosition->text()};
}

void frmMain::Command1_Click() {
    ui->Command4->setEnabled(true);
    extracted_ = extractInput();
    showStatus(extractMask(appState(), *extracted_, steps_));
    refreshPreview();
}

// --- Rename and its review. ---

GenerationInput frmMain::generationInput() const {
    QStringList listed;
    listed.reserve(ui->List1->count());
    for (int i = 0; i < ui->List1->count(); ++i) {
        listed << ui->List1->item(i)->text();
    }
    return GenerationInput{std::move(listed),          ui->lblPrefix->text(), ui->lblSufix->text(),
                           ui->lblStartNumber->text(), ui->txtFile->text(),   steps_,
                           &platform::current()};
}

void frmMain::Command4_Click() {
    AppState& state = appState();
    BusyPointer busy;
    // The directory is the one pinned by the chooser's OK: neither "Dir" nor
    // the chooser is asked again, so another instance writing "Dir", or a
    // settings file that cannot be written, cannot send the batch elsewhere.
    platform::System& system = platform::current();
    const platform::Listing listing = batch::listingOf(state, system);
    batch::Plan plan = batch::makePlan(state, generationInput(), listing);
    batch::Plan record;
    {
        ProgressSystem progress(system, renames(plan), *this);
        record = batch::renameBatch(state, std::move(plan), progress);
    }
    previewListing_.reset();
    if (record.stopped()) {
        busy.restore();
        showStatus(batch::errorText(record));
        refreshPreview();
        return;
    }
    state.record = std::move(record);
    ui->txtMask->setText(QString());
    showStatus(state.filesSkipped == 1 ? tr("Some Files Were Skipped") : QString());
    busy.restore();
    ui->List1->clear();
    ui->txtFile->setText(QString());

    // While the review is open its batch keeps its way back: no step of
    // another batch can start until Accept or Undo.
    enableSteps(false, false, false);
    QStringList given;
    QStringList notes;  // each file numbered or skipped, and why
    for (int i = 0; i < state.record.steps.size(); ++i) {
        const batch::Step& step = state.record.steps[i];
        if (step.renamed()) {
            given << step.newName;
        }
        if (step.outcome == batch::Outcome::Numbered || step.outcome == batch::Outcome::Skipped) {
            notes << step.newName + QStringLiteral(": ") + batch::resultText(state.record, i);
        }
    }
    frmDir& review = forms::frmDir();
    review.enterReview(state.chosenDirectory ? state.chosenDirectory->path() : QString(), given,
                       batch::reviewText(state.record), notes);
    // Beside the main window, which tells whether files were skipped.
    forms::placeBeside(&review, *this, stepsOnScreen(), shownFrame(forms::Form::Preview));
    refreshPreview();
}

void frmMain::reviewAccepted() {
    journal::end();
    // The directory is let go, so that its drive can be unmounted.
    appState().chosenDirectory.reset();
    appState().record = batch::Plan{};
    // Either way the batch is over: the next one starts with Select.
    enableSteps(false, false, false);
    refreshPreview();
}

void frmMain::undoAsked() {
    AppState& state = appState();
    BusyPointer busy;
    {
        ProgressSystem progress(platform::current(), renames(state.record), *this);
        batch::undoBatch(state, state.record, progress);
    }
    busy.restore();
    refreshPreview();
    if (!batch::allBack(state.record)) {
        // The review stays open: what was put back stays back, and Undo tried
        // again once the cause is mended goes on with the rest.
        showStatus(batch::errorText(state.record));
        forms::frmDir().File1Refresh();
        return;
    }
    // Every file is back: what the example box said of this batch is over,
    // but for the files that went back under numbered names.
    showStatus(batch::undoneText(state.record));
    state.chosenDirectory.reset();
    state.record = batch::Plan{};
    enableSteps(false, false, false);
    forms::unload(forms::Form::Dir);
    refreshPreview();
}

// --- The preview. ---

void frmMain::mnuFilePreview_Click() {
    previewListing_.reset();
    frmPreview& preview = forms::frmPreview();
    if (!preview.isVisible() && !frmPreview::keptPlace()) {
        forms::placeBeside(&preview, *this, stepsOnScreen(), shownFrame(forms::Form::Dir));
    }
    forms::showModeless(preview);
    refreshPreview();
}

QRect frmMain::stepsOnScreen() const {
    QRect steps;
    for (const QWidget* step : std::initializer_list<const QWidget*>{
             ui->txtFile, ui->txtMask, ui->Command1, ui->txtExample, ui->Command4}) {
        steps |= QRect(step->mapToGlobal(QPoint(0, 0)), step->size());
    }
    return steps;
}

void frmMain::updatePreviewEntry() {
    const bool listed = ui->List1->count() > 0 || !appState().record.steps.isEmpty();
    ui->mnuFilePreview->setEnabled(listed);
    const QString why = listed ? tr("Shows the name Rename gives each listed file, and why")
                               : tr("There are no new names to show until files are chosen with "
                                    "Select");
    ui->mnuFilePreview->setStatusTip(why);
    ui->mnuFilePreview->setToolTip(why);
}

void frmMain::refreshPreview() {
    updatePreviewEntry();
    if (!forms::isLoaded(forms::Form::Preview) || !forms::frmPreview().isVisible()) {
        return;
    }
    const AppState& state = appState();
    if (reviewOpen()) {
        forms::frmPreview().showPlan(state.record);  // what was done, until the batch ends
        return;
    }
    if (!previewListing_) {
        previewListing_ = batch::listingOf(state, platform::current());
    }
    const ExtractInput typed = extractInput();
    const bool asRecorded = extracted_ && *extracted_ == typed;
    forms::frmPreview().showPlan(
        batch::previewPlan(state, &typed, generationInput(), *previewListing_),
        asRecorded ? QString() : tr("as the mask reads now; Extract makes Rename follow it"));
}

// --- The menu. ---

void frmMain::MnuFileExit_Click() {
    close();
}

void frmMain::mnuClearOptions_Click() {
    const NamingOptions cleared = NamingOptions::cleared();
    settings::Changes changes;
    cleared.addTo(changes);
    steps_ = NamingSteps();
    steps_.addTo(changes);
    const platform::Status saved = changes.save();
    setNamingLabels(cleared);
    refreshPreview();
    saveFailure::report(saved);
}

void frmMain::mnuOptionsSetOptions_Click() {
    // The first touch loads the dialog (its load step centres it).
    frmOptions& options = forms::frmOptions();
    options.fill(namingLabels());
    forms::showModeless(options);
}

void frmMain::optionsSaved(NamingOptions options) {
    if (options.letteringPosition.isNull()) {
        // No option button was selected: the lettering position stays.
        options.letteringPosition = namingLabels().letteringPosition;
    }
    setNamingLabels(options);
    refreshPreview();
}

void frmMain::mnuOptionsNaming_Click() {
    frmNaming& naming = forms::frmNaming();
    connect(&naming, &frmNaming::stored, this, &frmMain::namingSaved, Qt::UniqueConnection);
    naming.fill(steps_);
    forms::showModeless(naming);
}

void frmMain::namingSaved(const NamingSteps& steps) {
    steps_ = steps;
    refreshPreview();
}

void frmMain::MnuHelpHelp_Click() {
    help::showContents();
}

void frmMain::MnuHelpAbout_Click() {
    forms::showModeless(forms::frmAbout());
}

// --- The way out: Exit, the close box, the end of the desktop session. A
// batch still under review is not ended behind the user's back. ---

void frmMain::sessionEnding() {
    sessionEnding_ = true;
}

bool frmMain::endReviewBeforeClosing() {
    if (!reviewOpen()) {
        return true;
    }
    if (sessionEnding_) {
        // No one is there to answer: the next start offers the way back.
        journal::keepForNextStart();
        return true;
    }
    QMessageBox question(QMessageBox::Question, QStringLiteral("Quillomat"),
                         tr("The new names have not been accepted yet."), QMessageBox::NoButton,
                         this);
    question.setWindowIcon(icons::programIcon());
    QPushButton* accept = question.addButton(tr("&Accept"), QMessageBox::AcceptRole);
    QPushButton* undo = question.addButton(tr("&Undo"), QMessageBox::DestructiveRole);
    QPushButton* cancel = question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(cancel);
    question.setEscapeButton(cancel);
    question.exec();
    if (question.clickedButton() == accept) {
        forms::frmDir().accept();
        return true;
    }
    if (question.clickedButton() == undo) {
        forms::frmDir().undo();
        // Files that could not go back keep the review open, with its report.
        return !reviewOpen();
    }
    // Cancel: the review comes back to the front, where the user left it.
    forms::frmDir().showChooser();
    return false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!endReviewBeforeClosing()) {
        event->ignore();
        return;
    }
    // Closing the main window ends the program: no dialog may stay behind,
    // since a dialog writing to the main window would bring it back unseen.
    journal::close();
    forms::unloadDialogs();
    forms::unloadIfInstance(forms::Form::Main, this);
    event->accept();
    QCoreApplication::quit();
}
