#pragma once

// The main window: the four steps of a batch (Select, Set Mask, Extract,
// Rename), the list of chosen files and the menu. Its hidden option labels
// hold the working copy of the naming options for the whole run.

#include <QMainWindow>
#include <memory>

#include "engine/NameGenerator.h"
#include "engine/Settings.h"

namespace Ui {
class frmMain;
}

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // What the other windows ask of the main window.

    // The chooser's OK: appends `names` to the file list; when the list then
    // has a first entry it becomes the example and Set Mask and Extract are
    // enabled, Rename disabled; otherwise all three are disabled.
    void takeChosenFiles(const QStringList& names);
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
    void MnuHelpHelp_Click();
    void MnuHelpAbout_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // What the controls hold for a rename (or its preview) now.
    GenerationInput generationInput() const;
    // Computes the preview again when its window is open.
    void refreshPreview();
    // Before the program ends with a review open: asks whether to Accept or
    // Undo the batch (or Cancel). False when the program must go on: Cancel,
    // or an Undo that could not put every file back.
    bool endReviewBeforeClosing();

    bool sessionEnding_ = false;

    std::unique_ptr<Ui::frmMain> ui;

    // Enter and keypad Enter press the focused button, as Space does; no
    // button is the default, so Enter elsewhere presses nothing.
    void letEnterPressFocusedButtons();
    // The drop-down menus are windows of their own and would take the
    // desktop's font: they take the window's, as the menu bar does.
    void giveMenusTheWindowFont();
    // A screen reader reads each step button's instruction beside it as the
    // button's description.
    void describeStepsByTheirInstructions();
};
