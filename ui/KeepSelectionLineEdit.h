#pragma once

// A line edit that remembers its highlighted part when the focus leaves it.
// QLineEdit drops its selection on focus-out, so a button that acts on the
// highlight (Set Mask) would otherwise always see an empty one.

#include <QLineEdit>

class KeepSelectionLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit KeepSelectionLineEdit(QWidget* parent = nullptr);

    // The highlighted text: the live selection, or else the one the box held
    // when the focus last left it (as long as the text has not changed since).
    QString keptSelectedText() const;

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    // Coming back by Tab, Shift+Tab or an access key, QLineEdit would select
    // the whole text; the box shows again what it held when the focus left.
    void focusInEvent(QFocusEvent* event) override;

  private:
    int keptStart_ = -1;
    int keptLength_ = 0;
    int keptCursor_ = -1;  // where the cursor stood when the focus left
};
