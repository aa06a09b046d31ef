#include "ui/frmDir.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QSet>
#include <QShortcut>
#include <algorithm>
#include <utility>

#include "engine/AppState.h"
#include "engine/Settings.h"
#include "platform/Platform.h"
#include "ui/Accessibility.h"
#include "ui/ChooserIcons.h"
#include "ui/ChooserLists.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/SaveFailure.h"
#include "ui_frmDir.h"

frmDir::frmDir(QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::frmDir>()),
      dirModel_(new chooser::DirListModel(this)),
      fileModel_(new chooser::FileListModel(this)) {
    ui->setupUi(this);
    // No system menu and no close box: the two buttons are the only way out.
    forms::setUpDialogFrame(this, {}, icons::programIcon());
    // Enter presses the focused button only (the design makes both
    // auto-default); there is no default button.

    // The drives: the system's main root first, as the platform gives them.
    const QIcon driveIcon = chooser::driveIcon();
    for (const QString& root : platform::current().drives()) {
        const QString clean = chooser::normalisedPath(root);
        if (!clean.isEmpty() && ui->Drive1->findData(clean) < 0) {
            ui->Drive1->addItem(driveIcon, chooser::displayName(clean), clean);
        }
    }

    // Both lists may hold a great many entries: the design gives them one row
    // height for all, so only the rows on screen are ever measured or drawn.
    ui->Dir1->setModel(dirModel_);
    ui->Dir1->setItemDelegate(new chooser::IndentDelegate(ui->Dir1));
    ui->Dir1->installEventFilter(this);
    ui->File1->setModel(fileModel_);

    ui->Drive1->setFocus();  // the lowest tab position
    // A screen reader on Linux names a drop-down list by its label, not by
    // its accessible name; this label is there for it alone.
    auto* driveLabel = new QLabel(ui->Drive1->accessibleName(), this);
    driveLabel->setBuddy(ui->Drive1);
    driveLabel->hide();

    connect(ui->Drive1, &QComboBox::currentIndexChanged, this, &frmDir::Drive1_Change);
    connect(ui->Dir1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openDir1Row(index.row()); });
    // A double-click on a file is OK (Accept in review).
    connect(ui->File1, &QAbstractItemView::doubleClicked, this, &frmDir::Command1_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &frmDir::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &frmDir::Command2_Click);
    auto* hiddenNames = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(hiddenNames, &QShortcut::activated, this, &frmDir::toggleHiddenNames);
}

frmDir::~frmDir() = default;

// Lists and their properties.

bool frmDir::setDir1Path(const QString& path) {
    return openDirectory(path, Require::Exists);
}

bool frmDir::openDirectory(const QString& requested, Require require) {
    const QString path = chooser::normalisedPath(requested);
    platform::System& system = platform::current();
    if (require != Require::Nothing && (path.isEmpty() || !system.directoryExists(path))) {
        return false;
    }
    if (!path.isEmpty() && path == dir1Path_) {
        return true;
    }
    platform::Listing listing = path.isEmpty() ? platform::Listing() : system.listDirectory(path);
    if (require == Require::Readable && !listing.status.ok()) {
        return false;
    }
    dir1Path_ = path;
    const int row =
        dirModel_->setDirectory(path, shownNames(std::exchange(listing.directories, {})));
    if (row >= 0) {
        ui->Dir1->setCurrentIndex(dirModel_->index(row));
        ui->Dir1->scrollTo(dirModel_->index(row));
    }
    const QString drive = driveOf(path);
    if (!drive.isEmpty()) {
        lastDirectoryOnDrive_.insert(drive, path);
        showDrive(drive);
    }
    // One reading serves both lists: File1 follows Dir1 here, and takes its
    // files from this listing.
    justListed_ = JustListed{path, std::move(listing)};
    file1Path_ = dir1Path_;
    File1Refresh();
    justListed_.reset();
    return true;
}

void frmDir::openDir1Row(int row) {
    const QModelIndex index = dirModel_->index(row);
    if (!index.isValid()) {
        return;
    }
    if (!openDirectory(index.data(chooser::PathRole).toString(), Require::Exists)) {
        relistDir1();  // the folder went away since it was listed: show what is there now
    }
}

platform::Listing frmDir::relistDir1() {
    platform::Listing listing = platform::current().listDirectory(dir1Path_);
    const int current =
        dirModel_->setDirectory(dir1Path_, shownNames(std::exchange(listing.directories, {})));
    ui->Dir1->setCurrentIndex(dirModel_->index(current));
    return listing;
}

QStringList frmDir::shownNames(QStringList names) const {
    if (showHidden_ || given_.isEmpty()) {
        return chooser::listOrder(std::move(names), showHidden_);
    }
    // A name the batch gave is shown even when it begins with ".".
    names.removeIf([this](const QString& name) {
        return name.startsWith(QLatin1Char('.')) && !given_.contains(name);
    });
    return chooser::listOrder(std::move(names), true);
}

void frmDir::toggleHiddenNames() {
    showHidden_ = !showHidden_;
    QSet<QString> selected;
    for (const QModelIndex& index : ui->File1->selectionModel()->selectedIndexes()) {
        selected.insert(File1List(index.row()));
    }
    justListed_ = JustListed{dir1Path_, relistDir1()};
    File1Refresh();
    justListed_.reset();
    for (int i = 0; i < File1ListCount(); ++i) {
        if (selected.contains(File1List(i))) {
            setFile1Selected(i, true);
        }
    }
}

QString frmDir::Drive1Drive() const {
    return ui->Drive1->currentData().toString();
}

QString frmDir::driveOf(const QString& path) const {
    QString best;
    for (int i = 0; i < ui->Drive1->count(); ++i) {
        const QString root = ui->Drive1->itemData(i).toString();
        if (platform::isWithin(path, root) && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

void frmDir::showDrive(const QString& drive) {
    const int index = ui->Drive1->findData(drive);
    if (index >= 0 && index != ui->Drive1->currentIndex()) {
        const QSignalBlocker quiet(ui->Drive1);
        ui->Drive1->setCurrentIndex(index);
    }
}

bool frmDir::setDrive1Drive(const QString& path) {
    const int index = ui->Drive1->findData(driveOf(chooser::normalisedPath(path)));
    if (index < 0) {
        return false;
    }
    ui->Drive1->setCurrentIndex(index);  // raises Drive1_Change when it is another drive
    return true;
}

void frmDir::File1Refresh() {
    // A directory that cannot be read (gone, refused) shows no files.
    platform::Listing files;
    if (justListed_ && justListed_->path == file1Path_) {
        files = std::move(justListed_->listing);
        justListed_.reset();
    } else if (!file1Path_.isEmpty()) {
        files = platform::current().listDirectory(file1Path_);
    }
    fileModel_->setNames(files.status.ok() ? shownNames(std::move(files.files)) : QStringList());
}

int frmDir::File1ListCount() const {
    return fileModel_->rowCount();
}

QString frmDir::File1List(int index) const {
    return fileModel_->names().value(index);
}

bool frmDir::File1Selected(int index) const {
    return ui->File1->selectionModel()->isSelected(fileModel_->index(index));
}

void frmDir::setFile1Selected(int index, bool selected) {
    const QModelIndex item = fileModel_->index(index);
    if (item.isValid()) {
        ui->File1->selectionModel()->select(
            item, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    }
}

bool frmDir::eventFilter(QObject* watched, QEvent* event) {
    // Enter opens the highlighted folder, as a double-click does.
    if (watched == ui->Dir1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openDir1Row(ui->Dir1->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Handlers.

void frmDir::Form_Load() {
    forms::centreOnScreen(this);
    const QString fallback = platform::defaultDirectory();
    // The directory must still be there and readable; its drive must be known.
    QString stored = std::exchange(appState().chooserStartDirectory, QString());
    if (stored.isEmpty()) {
        stored = settings::read(settings::kDir, fallback);
    }
    if (!openDirectory(stored, Require::Readable) || !setDrive1Drive(dir1Path_)) {
        openDirectory(fallback, Require::Nothing);
        setDrive1Drive(dir1Path_);
    }
}

void frmDir::Drive1_Change() {
    // A drive opens at the directory last shown on it (the one on display when
    // it is the drive of Dir1), otherwise at its root.
    const QString drive = Drive1Drive();
    QString target = lastDirectoryOnDrive_.value(drive, drive);
    if (target != drive && !platform::current().directoryExists(target)) {
        target = drive;
    }
    if (!openDirectory(target, Require::Readable)) {
        setDrive1Drive(dir1Path_);  // back on the drive of the directory shown
    }
}

void frmDir::Command1_Click() {
    if (mode_ == Mode::Review) {
        accept();
        return;
    }
    // OK: the selected files, in the list's order (indexes sort by row),
    // become the batch.
    QModelIndexList selected = ui->File1->selectionModel()->selectedIndexes();
    std::sort(selected.begin(), selected.end());
    QStringList names;
    names.reserve(selected.size());
    for (const QModelIndex& index : selected) {
        names.append(fileModel_->names().at(index.row()));
    }
    const platform::Status saved = settings::write(settings::kDir, Dir1Path());
    emit filesChosen(Dir1Path(), names);
    hide();
    forms::unload(forms::Form::Dir);
    saveFailure::report(saved);
}

void frmDir::Command2_Click() {
    if (mode_ == Mode::Review) {
        undo();
        return;
    }
    // Cancel.
    hide();
    emit cancelled();
    forms::unload(forms::Form::Dir);
}

void frmDir::accept() {
    // The directory on display is where the next Select opens.
    const platform::Status saved = settings::write(settings::kDir, Dir1Path());
    emit accepted();
    hide();
    forms::unload(forms::Form::Dir);
    saveFailure::report(saved);
}

void frmDir::undo() {
    emit undoAsked();
}

void frmDir::closeEvent(QCloseEvent* event) {
    if (!isVisible()) {
        event->accept();  // a chooser not on screen has nothing to cancel
        return;
    }
    if (mode_ == Mode::Review) {
        event->ignore();
        raise();
        activateWindow();
        return;
    }
    event->accept();
    Command2_Click();
}

void frmDir::showChooser(Listed listed) {
    if (mode_ != Mode::Review) {
        setWindowTitle(tr("Select the files to rename"));
    }
    forms::showModeless(*this);
    if (mode_ != Mode::Review && listed == Listed::Earlier) {
        File1Refresh();
    }
}

void frmDir::enterReview(const QString& directory, const QStringList& given, const QString& outcome,
                         const QStringList& notes) {
    mode_ = Mode::Review;
    given_ = QSet<QString>(given.cbegin(), given.cend());
    // The batch's own directory, whatever "Dir" said when this window loaded:
    // moving there lists it with the new names; staying, File1 reads it again.
    const QString before = dir1Path_;
    if (!directory.isEmpty()) {
        setDir1Path(directory);
    }
    setWindowTitle(tr("Accept the new names, or Undo the changes"));
    show();
    ui->Command1->setText(tr("Accept"));
    ui->Command2->setText(tr("Undo"));
    if (dir1Path_ == before) {
        File1Refresh();
    }
    setAccessibleDescription(outcome);
    accessibility::announce(this, outcome);
    // Under the lists: the counts, and the files numbered or skipped.
    forms::showWholeText(ui->lblOutcome, outcome);
    ui->lstNotes->clear();
    ui->lstNotes->addItems(notes);
    ui->lblOutcome->show();
    ui->lstNotes->setVisible(!notes.isEmpty());
    const QWidget* last = notes.isEmpty() ? static_cast<QWidget*>(ui->lblOutcome) : ui->lstNotes;
    setFixedHeight(last->geometry().bottom() + 1 + ui->lblOutcome->x());
}
