#pragma once

// The main window: the four steps of a batch (Select, Set Mask, Extract,
// Rename), the list of chosen files and the menu. Its hidden option labels
// hold the working copy of the naming options for the whole run. It owns the
// dialogs it opens: they say what happened (files chosen, review accepted,
// undo asked, options saved) and the main window acts.

#include <QMainWindow>
#include <memory>
#include <optional>

#include "engine/CommandLine.h"
#include "engine/Extract.h"
#include "engine/NameGenerator.h"
#include "engine/Settings.h"

namespace Ui {
class frmMain;
}
class frmDir;
class frmOptions;
class frmNaming;

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Makes a dialog the main window's own (transient for it, so every
    // window manager keeps it above) and listens to what it says. The
    // window registry calls this as it loads one (the preview and the about
    // box say nothing the main window acts on).
    void adopt(QWidget& dialog);
    void adopt(frmDir& dialog);
    void adopt(frmOptions& dialog);

    // Appends `names` to the file list; when the list then has a first entry
    // it becomes the example and Set Mask and Extract are enabled, Rename
    // disabled; otherwise all three are disabled.
    void takeChosenFiles(const QStringList& names);
    // The files named on the command line become the batch, listed in the
    // chooser's order, their directory pinned and stored as "Dir". Why they
    // cannot (files of several directories, a name that is no regular file)
    // is said in a message box and on the error stream; files `dropped` on
    // the window that cannot be taken leave the list as it was.
    void takeCommandLine(const commandline::Request& request, bool dropped = false);
    // Enables or disables Set Mask, Extract and Rename, in this order.
    void enableSteps(bool setMask, bool extract, bool rename);
    // Shows `text` in the example box (Extract's example, how a failure is
    // reported) and has a screen reader read it out.
    void showStatus(const QString& text);
    // The working copy of the naming options, held in the hidden labels.
    NamingOptions namingLabels() const;
    void setNamingLabels(const NamingOptions& options);
    // The desktop session is ending (logout): closing now asks nothing and
    // keeps a batch under review for the next start to offer the way back.
    void sessionEnding();

  public slots:
    void Form_Load();

    void Command3_Click();  // "Select "
    void List1_DblClick();
    void Command2_Click();  // "Set Mask"
    void Command1_Click();  // "Extract"
    void Command4_Click();  // "Rename"

    void mnuFilePreview_Click();
    void MnuFileExit_Click();
    void mnuClearOptions_Click();
    void mnuOptionsSetOptions_Click();
    void mnuOptionsNaming_Click();
    void MnuHelpHelp_Click();
    void MnuHelpAbout_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Files dropped from a file manager become the batch, as when named on
    // the command line; refused while a review is open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // What the dialogs say.
    void filesChosen(const QString& directory, const QStringList& names);
    void chooserCancelled();
    void reviewAccepted();
    void undoAsked();
    void optionsSaved(NamingOptions options);
    void namingSaved(const NamingSteps& steps);

    // Forgets the files listed, their directory, the example and the mask.
    void clearBatch();
    // What the controls hold for a rename, and for Extract.
    GenerationInput generationInput() const;
    ExtractInput extractInput() const;
    // The open preview follows the controls: the plan as the mask now reads,
    // or what the batch under review did.
    void refreshPreview();
    // Where txtFile, txtMask, Extract, txtExample and Rename are, on the
    // screen: what the preview and the review must leave in sight.
    QRect stepsOnScreen() const;
    // The preview can be opened while files are listed or a review is open.
    void updatePreviewEntry();
    // Before the program ends with a review open: asks whether to Accept or
    // Undo the batch (or Cancel). False when the program must go on: Cancel,
    // or an Undo that could not put every file back.
    bool endReviewBeforeClosing();

    std::unique_ptr<Ui::frmMain> ui;
    bool sessionEnding_ = false;
    // What the last Extract read, to tell whether the preview shows more.
    std::optional<ExtractInput> extracted_;
    // The batch's directory as the preview last listed it: kept between
    // keystrokes, read again for a new batch.
    std::optional<platform::Listing> previewListing_;
    // The working copy of the naming steps beyond the mask.
    NamingSteps steps_;
};
