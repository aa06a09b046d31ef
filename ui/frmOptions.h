#pragma once

// The options dialog: prefix, suffix, starting number and lettering position.
// Ok stores them and copies them into the main window's option labels; the
// keystroke filters keep unwanted characters out of the three fields.

#include <QWidget>
#include <array>
#include <memory>

#include "engine/Settings.h"

namespace Ui {
class frmOptions;
}

class QKeyEvent;
class QLineEdit;
class QRadioButton;

class frmOptions : public QWidget {
    Q_OBJECT
  public:
    explicit frmOptions(QWidget* parent = nullptr);
    ~frmOptions() override;

    // Set Options: the fields take `options`, and the option button of the
    // lettering position "0", "1" or "2" is selected (any other leaves the
    // buttons as they are).
    void fill(const NamingOptions& options);

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
    // The lettering position's option buttons: None, First, Last.
    std::array<QRadioButton*, 3> lettering_{};

    // The index in lettering_ of the first selected button; -1 when none is.
    int selectedLettering() const;
    // Tab into the lettering group lands on the selected option button.
    void tabToSelectedLettering();
    // Unloads the dialog, or deletes it when it is not the registered one.
    void unloadSelf();

    // Run for each character typed into a box, before the box takes it
    // (Filters): a code set to 0 cancels the character.
    using KeyFilter = void (*)(short&);
    bool filterKeyPress(QLineEdit* box, const QKeyEvent& event, KeyFilter filter);
};
