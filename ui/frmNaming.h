#pragma once

// The naming dialog: the number's digits, step and order, the text replaced,
// the letter case and the date. Ok stores them and the main window takes
// them as its working copy; Cancel (or Esc) changes nothing.

#include <QDialog>
#include <memory>

#include "engine/NamingSteps.h"

namespace Ui {
class frmNaming;
}

class frmNaming : public QDialog {
    Q_OBJECT
  public:
    explicit frmNaming(QWidget* parent = nullptr);
    ~frmNaming() override;

    void fill(const NamingSteps& steps);
    NamingSteps steps() const;

  signals:
    // Ok: `steps` are stored and become the working copy.
    void stored(const NamingSteps& steps);

  public slots:
    void Form_Load();
    void cmdOK_Click();

  private:
    std::unique_ptr<Ui::frmNaming> ui;
};
