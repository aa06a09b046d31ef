#pragma once

// The "Quillomat Help" window: the user guide in a browser of its own, with
// links from the contents to each section. Esc or the close box closes it.

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the guide at its top, or brings the window to the front.
    void showContents();

  public slots:
    void Form_Load();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QTextBrowser* browser_;
};
