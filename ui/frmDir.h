#pragma once

// The file chooser: drive, directory and file lists with two buttons. After
// a rename the same window is the review, its buttons relabelled "Accept" and
// "Undo". The window knows its mode from whoever opened it: a fresh load
// chooses files, and the rename puts it into review. It says what happened
// (files chosen, cancelled, accepted, undo asked); its owner acts.
//
// Paths and names are kept exactly as the platform layer decodes them, so a
// name that is not valid UTF-8 travels byte for byte; the lists only show such
// bytes as "\xNN".

#include <QHash>
#include <QSet>
#include <QWidget>
#include <memory>
#include <optional>

#include "platform/Platform.h"

namespace Ui {
class frmDir;
}

namespace chooser {
class DirListModel;
class FileListModel;
}  // namespace chooser

class frmDir : public QWidget {
    Q_OBJECT
  public:
    explicit frmDir(QWidget* parent = nullptr);
    ~frmDir() override;

    enum class Mode { Choose, Review };
    Mode mode() const { return mode_; }

    // Select: captions the window for choosing files, shows it (or brings it
    // to the front) and lists its directory afresh, unless it was loaded (and
    // so listed) just now. A review stays as it is and only comes to the front.
    enum class Listed { Earlier, JustNow };
    void showChooser(Listed listed = Listed::Earlier);
    // Rename: the batch is on disk in `directory`; the window becomes its
    // review, captioned and with the buttons "Accept" and "Undo", and lists
    // that directory with the new names, `given` among them even where they
    // begin with "." (names a file manager hides). `outcome` (how many files
    // were renamed, numbered and skipped) is shown under the lists, read out
    // by a screen reader and stays the window's description; `notes` (a line
    // for each file numbered or skipped, and why) are listed below it.
    void enterReview(const QString& directory, const QStringList& given = {},
                     const QString& outcome = QString(), const QStringList& notes = {});
    // Review mode (after a rename): keep the new names, or ask for the old
    // ones back. What the buttons do, for whoever must end a review.
    void accept();
    void undo();

    // Dir1: the directory on display, a full path with a trailing separator
    // only at a root ("/"). Setting it to another directory lists that
    // directory and points File1 there; a directory that does not exist leaves
    // everything as it was and returns false.
    QString Dir1Path() const { return dir1Path_; }
    bool setDir1Path(const QString& path);

    // Drive1: the root of the drive (mounted volume) shown in the drive list.
    QString Drive1Drive() const;
    // Shows the drive that holds `path` (the volume whose root is its longest
    // prefix); raises Drive1_Change when that is another drive. False when no
    // drive holds it.
    bool setDrive1Drive(const QString& path);

    // File1: the directory it lists, its entries (exact names, in list order)
    // and their selection.
    QString File1Path() const { return file1Path_; }
    // Lists File1's directory again as it is now (the selection is dropped).
    void File1Refresh();
    int File1ListCount() const;
    QString File1List(int index) const;
    bool File1Selected(int index) const;
    void setFile1Selected(int index, bool selected);

  signals:
    // OK: the files `names` of `directory` (stored as "Dir") are chosen.
    void filesChosen(const QString& directory, const QStringList& names);
    void cancelled();
    // The review's Accept ("Dir" stored); Undo, which the owner carries out.
    void accepted();
    void undoAsked();

  public slots:
    void Form_Load();
    void Drive1_Change();
    void Command1_Click();  // "&OK" / "Accept"
    void Command2_Click();  // "&Cancel" / "Undo"

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A close request from the window system (Alt+F4, a task bar's Close):
    // Cancel while choosing files; refused in review, which only Accept or
    // Undo may end, since the batch is on disk.
    void closeEvent(QCloseEvent* event) override;

  private:
    // How much a directory must allow before Dir1 shows it.
    enum class Require { Nothing, Exists, Readable };

    bool openDirectory(const QString& path, Require require);
    // Opens the Dir1 entry at `row` (double-click or Enter).
    void openDir1Row(int row);
    // The root of the drive that holds `path`, or an empty string.
    QString driveOf(const QString& path) const;
    // Puts Drive1 on `drive` (a root it lists) without raising Drive1_Change.
    void showDrive(const QString& drive);

    // `names` as the lists show them: hidden names left out unless shown, in
    // natural order.
    QStringList shownNames(QStringList names) const;
    // Lists Dir1's directory again as it is now, its entry kept current;
    // returns the listing, for File1.
    platform::Listing relistDir1();
    // Ctrl+H: shows or hides the names that start with "."; the files that
    // stay listed keep their selection.
    void toggleHiddenNames();

    std::unique_ptr<Ui::frmDir> ui;
    Mode mode_ = Mode::Choose;
    chooser::DirListModel* dirModel_;
    chooser::FileListModel* fileModel_;
    QString dir1Path_;
    QString file1Path_;
    bool showHidden_ = false;
    // In review: the names the batch gave, shown even when hidden names are not.
    QSet<QString> given_;
    // A listing made just now for Dir1, which the File1Refresh that follows
    // shows instead of reading the same directory again.
    struct JustListed {
        QString path;
        platform::Listing listing;
    };
    std::optional<JustListed> justListed_;
    // The last directory shown on each drive: choosing a drive returns there.
    QHash<QString, QString> lastDirectoryOnDrive_;
};
