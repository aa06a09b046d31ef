#include "ui/frmOptions.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <array>

#include "engine/Settings.h"
#include "ui/Filters.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/SaveFailure.h"
#include "ui_frmOptions.h"

namespace {

// Filters text that reaches a line edit in one piece (paste by keys, context
// menu or middle button, drag and drop, an input method's commit): whatever
// an edit inserted is compared with the text before it and the new part is
// passed through `filter`. Text set by the program is left alone.
class InsertedTextFilter : public QObject {
  public:
    using TextFilter = QString (*)(const QString&);

    InsertedTextFilter(QLineEdit* box, TextFilter filter)
        : QObject(box), box_(box), filter_(filter), before_(box->text()) {
        // textEdited comes before textChanged, so before_ still holds the text
        // as it was when an edit is seen.
        connect(box, &QLineEdit::textEdited, this, &InsertedTextFilter::edited);
        connect(box, &QLineEdit::textChanged, this, [this] { before_ = box_->text(); });
    }

  private:
    void edited(const QString& after) {
        const QString before = before_;
        const int common = std::min(before.size(), after.size());
        int head = 0;
        while (head < common && before[head] == after[head]) {
            ++head;
        }
        if (head > 0 && after[head - 1].isHighSurrogate()) {
            --head;  // never split a surrogate pair
        }
        int tail = 0;
        while (tail < common - head &&
               before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
            ++tail;
        }
        if (tail > 0 && after[after.size() - tail].isLowSurrogate()) {
            --tail;
        }
        const QString inserted = after.mid(head, after.size() - head - tail);
        const QString kept = filter_(inserted);
        if (kept == inserted) {
            return;
        }
        int cursor = box_->cursorPosition();
        if (cursor >= head + inserted.size()) {
            cursor -= inserted.size() - kept.size();
        } else if (cursor > head) {
            cursor = head + std::min<int>(cursor - head, kept.size());
        }
        box_->setText(after.left(head) + kept + after.right(tail));
        box_->setCursorPosition(cursor);
    }

    QLineEdit* box_;
    TextFilter filter_;
    QString before_;
};

// Whether a key press types characters into a line edit, as opposed to moving
// the focus, deleting forward or being a shortcut (Ctrl+V, Alt+letter...).
bool typesCharacters(const QKeyEvent& event) {
    const QString text = event.text();
    const int key = event.key();
    if (text.isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete) {
        return false;
    }
    const Qt::KeyboardModifiers held =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // AltGr arrives as Ctrl+Alt on some systems and types a printable character.
    return held == Qt::NoModifier ||
           (held == (Qt::ControlModifier | Qt::AltModifier) && text.at(0).isPrint());
}

}  // namespace

frmOptions::frmOptions(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::frmOptions>()) {
    ui->setupUi(this);
    lettering_ = {ui->opt1_0, ui->opt1_1, ui->opt1_2};
    // No system menu and no close box: "Ok" is the only way out.
    forms::setUpDialogFrame(this, {}, icons::programIcon());
    // Enter presses the focused button only (the design makes both
    // auto-default); there is no default button.
    ui->cmdClearOptions->setFocus();  // the lowest tab position

    // The design gives the boxes no length limit.
    for (QLineEdit* box : {ui->txtPrefix, ui->txtSufix, ui->txtStartingNumber}) {
        box->installEventFilter(this);
    }
    new InsertedTextFilter(ui->txtPrefix, &Filters::nameCharText);
    new InsertedTextFilter(ui->txtSufix, &Filters::nameCharText);
    new InsertedTextFilter(ui->txtStartingNumber, &Filters::numericText);

    for (QRadioButton* option : lettering_) {
        connect(option, &QRadioButton::toggled, this, &frmOptions::tabToSelectedLettering);
    }
    tabToSelectedLettering();

    connect(ui->cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(ui->cmdClearOptions, &QPushButton::clicked, this, &frmOptions::cmdClearOptions_Click);
}

frmOptions::~frmOptions() = default;

void frmOptions::Form_Load() {
    forms::centreOnScreen(this);
}

void frmOptions::fill(const NamingOptions& options) {
    filledLettering_ = options.letteringPosition;
    ui->txtPrefix->setText(options.prefix);
    ui->txtSufix->setText(options.suffix);
    ui->txtStartingNumber->setText(options.startingNumber);
    for (size_t position = 0; position < lettering_.size(); ++position) {
        if (options.letteringPosition == QString::number(position)) {
            lettering_[position]->setChecked(true);
        }
    }
}

int frmOptions::selectedLettering() const {
    const auto selected = std::find_if(lettering_.begin(), lettering_.end(),
                                       [](const QRadioButton* b) { return b->isChecked(); });
    return selected != lettering_.end() ? int(selected - lettering_.begin()) : -1;
}

void frmOptions::cmdOK_Click() {
    NamingOptions options{ui->txtPrefix->text(), ui->txtSufix->text(),
                          ui->txtStartingNumber->text(), filledLettering_};
    // The first selected option button gives the lettering position; with none
    // selected neither the setting nor the label changes.
    const int selected = selectedLettering();
    const bool lettering = selected >= 0;
    if (lettering) {
        options.letteringPosition = QString::number(selected);
    }
    const platform::Status saved =
        options.save(lettering ? NamingOptions::Lettering::Write : NamingOptions::Lettering::Leave);
    hide();
    emit stored(options);
    unloadSelf();
    saveFailure::report(saved);
}

void frmOptions::cmdClearOptions_Click() {
    ui->txtPrefix->setText(QString());
    ui->txtSufix->setText(QString());
    ui->txtStartingNumber->setText(QString());
    ui->opt1_0->setChecked(true);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // The name boxes drop what a file name cannot hold; the number box
        // takes digits.
        KeyFilter filter = nullptr;
        if (watched == ui->txtPrefix || watched == ui->txtSufix) {
            filter = &Filters::NameCharKeyFilter;
        } else if (watched == ui->txtStartingNumber) {
            filter = &Filters::NumericKeyFilter;
        }
        if (filter != nullptr) {
            return filterKeyPress(static_cast<QLineEdit*>(watched), *static_cast<QKeyEvent*>(event),
                                  filter);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Runs the box's key filter on every character the key would type (a
// surrogate pair counts as one character, judged by its first unit). Returns
// true when the event is consumed: all its characters were cancelled, or the
// ones that remain were inserted here.
bool frmOptions::filterKeyPress(QLineEdit* box, const QKeyEvent& event, KeyFilter filter) {
    if (!typesCharacters(event)) {
        return false;
    }
    const QString text = event.text();
    QString kept;
    for (int i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const int length = pair ? 2 : 1;
        short KeyAscii = static_cast<short>(text[i].unicode());
        filter(KeyAscii);
        if (KeyAscii != 0) {
            kept += text.mid(i, length);
        }
        i += length;
    }
    if (kept == text) {
        return false;  // the box takes the key as usual (Backspace included)
    }
    if (!kept.isEmpty()) {
        box->insert(kept);
    }
    return true;
}

void frmOptions::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    unloadSelf();
}

void frmOptions::unloadSelf() {
    if (!forms::unloadIfInstance(forms::Form::Options, this)) {
        deleteLater();
    }
}

void frmOptions::tabToSelectedLettering() {
    // Qt lets Tab into a group of option buttons only through those that take
    // tab focus, and moves that right to a button when it gets the focus.
    // Give it to the selected button as soon as one is selected, by code or by
    // the user, and to "None" while none is: Tab and Shift+Tab then both land
    // on that one.
    const QRadioButton* target = lettering_[size_t(std::max(selectedLettering(), 0))];
    for (QRadioButton* option : lettering_) {
        const int policy = option->focusPolicy();
        option->setFocusPolicy(
            Qt::FocusPolicy(option == target ? policy | Qt::TabFocus : policy & ~Qt::TabFocus));
    }
}
