#include "ui/KeepSelectionLineEdit.h"

#include <QFocusEvent>

KeepSelectionLineEdit::KeepSelectionLineEdit(QWidget* parent) : QLineEdit(parent) {
    // A new text invalidates whatever was highlighted in the old one.
    connect(this, &QLineEdit::textChanged, this, [this] {
        keptStart_ = -1;
        keptLength_ = 0;
        keptCursor_ = -1;
    });
}

void KeepSelectionLineEdit::focusOutEvent(QFocusEvent* event) {
    // Without a highlight, the start is -1 and the length 0.
    keptStart_ = selectionStart();
    keptLength_ = selectionLength();
    keptCursor_ = cursorPosition();
    QLineEdit::focusOutEvent(event);
}

void KeepSelectionLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
        reason != Qt::ShortcutFocusReason) {
        return;  // a click places the cursor itself
    }
    if (keptStart_ >= 0) {
        // The cursor goes back to the end it was at: Shift+arrows go on
        // extending the highlight from there.
        const int end = keptStart_ + keptLength_;
        if (keptCursor_ == keptStart_) {
            setSelection(end, -keptLength_);
        } else {
            setSelection(keptStart_, keptLength_);
        }
    } else if (keptCursor_ >= 0) {
        setCursorPosition(keptCursor_);  // nothing was highlighted: nothing is now
    } else {
        deselect();
    }
}

QString KeepSelectionLineEdit::keptSelectedText() const {
    return hasSelectedText() ? selectedText()
           : keptStart_ < 0  ? QString()
                             : text().mid(keptStart_, keptLength_);
}
