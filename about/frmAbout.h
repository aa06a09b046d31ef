#pragma once

// The about box: title, version, description, a notice and a warning, with
// "OK" and a button that starts the desktop's system-information program.

#include <QDialog>

#include "ui_frmAbout.h"

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    Ui::frmAbout ui;

  public slots:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
};
