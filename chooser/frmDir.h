#pragma once

// The file chooser: drive, directory and file lists with two buttons. After
// a rename the same window is the review, its buttons relabelled "Accept" and
// "Undo"; each button's handler tells the modes apart by its own caption.

#include <QWidget>

#include "ui_frmDir.h"

class frmDir : public QWidget {
    Q_OBJECT
  public:
    explicit frmDir(QWidget* parent = nullptr);
    ~frmDir() override;

    Ui::frmDir ui;

  public slots:
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File1_DblClick();
    void Command1_Click();  // "&OK" / "Accept"
    void Command2_Click();  // "&Cancel" / "Undo"
};
