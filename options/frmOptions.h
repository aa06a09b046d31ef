#pragma once

// The options dialog: prefix, suffix, starting number and lettering position.

#include <QWidget>

#include "ui_frmOptions.h"

class frmOptions : public QWidget {
    Q_OBJECT
  public:
    explicit frmOptions(QWidget* parent = nullptr);
    ~frmOptions() override;

    Ui::frmOptions ui;

  public slots:
    void Form_Load();
    void cmdOK_Click();
    void cmdClearOptions_Click();
};
