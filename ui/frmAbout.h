#pragma once

// The about box: title, version, description, a notice and a warning, with
// "OK" and a button that starts the desktop's system-information program.

#include <QDialog>
#include <memory>

namespace Ui {
class frmAbout;
}

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

  public slots:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Esc and the close box end in "OK".
    void reject() override;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void colourDesignLabels();

    std::unique_ptr<Ui::frmAbout> ui;
};
