#include "ui/KeepSelectionLineEdit.h"

#include <QFocusEvent>

KeepSelectionLineEdit::KeepSelectionLineEdit(QWidget* parent) : QLineEdit(parent) {
    // A new text invalidates whatever was highlighted in the old one.
    connect(this, &QLineEdit::textChanged, this, [this] {
        keptStart_ = -1;
        keptLength_ = 0;
    });
}

void KeepSelectionLineEdit::focusOutEvent(QFocusEvent* event) {
    if (hasSelectedText()) {
        keptStart_ = selectionStart();
        keptLength_ = selectionLength();
    } else {
        keptStart_ = -1;
        keptLength_ = 0;
    }
    QLineEdit::focusOutEvent(event);
}

int KeepSelectionLineEdit::keptSelectionStart() const {
    return hasSelectedText() ? selectionStart() : keptStart_;
}

int KeepSelectionLineEdit::keptSelectionLength() const {
    return hasSelectedText() ? selectionLength() : keptLength_;
}

QString KeepSelectionLineEdit::keptSelectedText() const {
    if (hasSelectedText()) {
        return selectedText();
    }
    if (keptStart_ < 0) {
        return QString();
    }
    return text().mid(keptStart_, keptLength_);
}
