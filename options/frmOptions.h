#pragma once

// The options dialog: prefix, suffix, starting number and lettering position.
// Ok stores them and copies them into the main window's option labels; the
// keystroke filters keep unwanted characters out of the three fields.

#include <QWidget>

#include "ui_frmOptions.h"

class QKeyEvent;
class QLineEdit;

class frmOptions : public QWidget {
    Q_OBJECT
  public:
    explicit frmOptions(QWidget* parent = nullptr);
    ~frmOptions() override;

    Ui::frmOptions ui;

    // Run for each character typed into the box, before the box takes it; a
    // code set to 0 cancels the character.
    void txtPrefix_KeyPress(short& KeyAscii);
    void txtSufix_KeyPress(short& KeyAscii);
    void txtStartingNumber_KeyPress(short& KeyAscii);

  public slots:
    void Form_Load();
    void cmdOK_Click();
    void cmdClearOptions_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using KeyPressHandler = void (frmOptions::*)(short&);
    KeyPressHandler keyPressHandlerFor(QObject* watched) const;
    bool filterKeyPress(QLineEdit* box, const QKeyEvent& event, KeyPressHandler handler);
};
