#pragma once

// The main window: the four steps of a batch (Select, Set Mask, Extract,
// Rename), the list of chosen files and the menu. Its hidden option labels
// hold the working copy of the naming options for the whole run.

#include <QMainWindow>

#include "ui_frmMain.h"

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The controls, reached by name from every handler of the program.
    Ui::frmMain ui;

  public slots:
    void Form_Load();

    void Command3_Click();  // "Select "
    void List1_DblClick();
    void Command2_Click();  // "Set Mask"
    void Command1_Click();  // "Extract"
    void Command4_Click();  // "Rename"

    void MnuFileExit_Click();
    void mnuClearOptions_Click();
    void mnuOptionsSetOptions_Click();
    void MnuHelpHelp_Click();
    void MnuHelpAbout_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
