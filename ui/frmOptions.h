#pragma once

// The options dialog: prefix, suffix, starting number and lettering position.
// Ok stores them and copies them into the main window's option labels; the
// keystroke filters keep unwanted characters out of the three fields.

#include <QWidget>
#include <memory>

#include "engine/Settings.h"

namespace Ui {
class frmOptions;
}

class QKeyEvent;
class QLineEdit;

class frmOptions : public QWidget {
    Q_OBJECT
  public:
    explicit frmOptions(QWidget* parent = nullptr);
    ~frmOptions() override;

    // Set Options: the fields take `options`, and the option button of the
    // lettering position "0", "1" or "2" is selected (any other leaves the
    // buttons as they are).
    void fill(const NamingOptions& options);

    // Run for each character typed into the box, before the box takes it; a
    // code set to 0 cancels the character.
    void txtPrefix_KeyPress(short& KeyAscii);
    void txtSufix_KeyPress(short& KeyAscii);
    void txtStartingNumber_KeyPress(short& KeyAscii);

  signals:
    // Ok: `options` are stored and become the working copy.
    void stored(const NamingOptions& options);

  public slots:
    void Form_Load();
    void cmdOK_Click();
    void cmdClearOptions_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A close request from the window system (Alt+F4, a task bar's Close)
    // cancels the dialog: nothing is stored and the dialog is unloaded.
    void closeEvent(QCloseEvent* event) override;

  private:
    std::unique_ptr<Ui::frmOptions> ui;
    // The lettering position the dialog was filled with: Ok keeps it when no
    // option button is selected.
    QString filledLettering_;

    // Tab into the lettering group lands on the selected option button.
    void tabToSelectedLettering();

    using KeyPressHandler = void (frmOptions::*)(short&);
    KeyPressHandler keyPressHandlerFor(QObject* watched) const;
    bool filterKeyPress(QLineEdit* box, const QKeyEvent& event, KeyPressHandler handler);
};
