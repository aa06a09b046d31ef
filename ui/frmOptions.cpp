#include "ui/frmOptions.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <iterator>
#include <limits>

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
    if (text.isEmpty()) {
        return false;
    }
    switch (event.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return false;
        default:
            break;
    }
    const Qt::KeyboardModifiers held =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held == Qt::NoModifier) {
        return true;
    }
    // AltGr arrives as Ctrl+Alt on some systems and types a printable character.
    return held == (Qt::ControlModifier | Qt::AltModifier) && text.at(0).isPrint();
}

}  // namespace

frmOptions::frmOptions(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::frmOptions>()) {
    ui->setupUi(this);
    // No system menu and no close box: "Ok" is the only way out.
    forms::setUpDialogFrame(this, {}, icons::programIcon());
    // Enter presses the focused button only; there is no default button.
    ui->cmdOk->setAutoDefault(true);
    ui->cmdClearOptions->setAutoDefault(true);
    ui->cmdClearOptions->setFocus();  // the lowest tab position

    for (QLineEdit* box : {ui->txtPrefix, ui->txtSufix, ui->txtStartingNumber}) {
        box->installEventFilter(this);
        box->setMaxLength(std::numeric_limits<int>::max());  // no length limit
    }
    new InsertedTextFilter(ui->txtPrefix, &Filters::nameCharText);
    new InsertedTextFilter(ui->txtSufix, &Filters::nameCharText);
    new InsertedTextFilter(ui->txtStartingNumber, &Filters::numericText);

    for (QRadioButton* option : {ui->opt1_0, ui->opt1_1, ui->opt1_2}) {
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
    const QString& position = options.letteringPosition;
    if (position == QLatin1String("0")) {
        ui->opt1_0->setChecked(true);
    } else if (position == QLatin1String("1")) {
        ui->opt1_1->setChecked(true);
    } else if (position == QLatin1String("2")) {
        ui->opt1_2->setChecked(true);
    }
}

void frmOptions::cmdOK_Click() {
    NamingOptions options{ui->txtPrefix->text(), ui->txtSufix->text(),
                          ui->txtStartingNumber->text(), filledLettering_};
    // The first selected option button gives the lettering position; with none
    // selected neither the setting nor the label changes.
    const QRadioButton* const opt1[] = {ui->opt1_0, ui->opt1_1, ui->opt1_2};
    const auto selected = std::find_if(std::begin(opt1), std::end(opt1),
                                       [](const QRadioButton* b) { return b->isChecked(); });
    const bool lettering = selected != std::end(opt1);
    if (lettering) {
        options.letteringPosition = QString::number(selected - std::begin(opt1));
    }
    const platform::Status saved =
        options.save(lettering ? NamingOptions::Lettering::Write : NamingOptions::Lettering::Leave);
    hide();
    emit stored(options);
    if (forms::isLoaded(forms::Form::Options) && &forms::frmOptions() == this) {
        forms::unload(forms::Form::Options);
    } else {
        deleteLater();
    }
    saveFailure::report(saved);
}

void frmOptions::cmdClearOptions_Click() {
    ui->txtPrefix->setText(QString());
    ui->txtSufix->setText(QString());
    ui->txtStartingNumber->setText(QString());
    ui->opt1_0->setChecked(true);
}

void frmOptions::txtPrefix_KeyPress(short& KeyAscii) {
    Filters::NameCharKeyFilter(KeyAscii);
}

void frmOptions::txtSufix_KeyPress(short& KeyAscii) {
    Filters::NameCharKeyFilter(KeyAscii);
}

void frmOptions::txtStartingNumber_KeyPress(short& KeyAscii) {
    Filters::NumericKeyFilter(KeyAscii);
}

frmOptions::KeyPressHandler frmOptions::keyPressHandlerFor(QObject* watched) const {
    if (watched == ui->txtPrefix) {
        return &frmOptions::txtPrefix_KeyPress;
    }
    if (watched == ui->txtSufix) {
        return &frmOptions::txtSufix_KeyPress;
    }
    if (watched == ui->txtStartingNumber) {
        return &frmOptions::txtStartingNumber_KeyPress;
    }
    return nullptr;
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (const KeyPressHandler handler = keyPressHandlerFor(watched)) {
            return filterKeyPress(static_cast<QLineEdit*>(watched), *static_cast<QKeyEvent*>(event),
                                  handler);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Runs the box's KeyPress handler on every character the key would type (a
// surrogate pair counts as one character, judged by its first unit). Returns
// true when the event is consumed: all its characters were cancelled, or the
// ones that remain were inserted here.
bool frmOptions::filterKeyPress(QLineEdit* box, const QKeyEvent& event, KeyPressHandler handler) {
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
        (this->*handler)(KeyAscii);
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
    if (forms::isLoaded(forms::Form::Options) && &forms::frmOptions() == this) {
        forms::unload(forms::Form::Options);
    } else {
        deleteLater();
    }
}

void frmOptions::tabToSelectedLettering() {
    // Qt lets Tab into a group of option buttons only through those that take
    // tab focus, and moves that right to a button when it gets the focus.
    // Give it to the selected button as soon as one is selected, by code or by
    // the user, and to "None" while none is: Tab and Shift+Tab then both land
    // on that one.
    QRadioButton* const options[] = {ui->opt1_0, ui->opt1_1, ui->opt1_2};
    const auto selected = std::find_if(std::begin(options), std::end(options),
                                       [](const QRadioButton* b) { return b->isChecked(); });
    const QRadioButton* target = selected != std::end(options) ? *selected : ui->opt1_0;
    for (QRadioButton* option : options) {
        const Qt::FocusPolicy policy = option == target
                                           ? Qt::FocusPolicy(option->focusPolicy() | Qt::TabFocus)
                                           : Qt::FocusPolicy(option->focusPolicy() & ~Qt::TabFocus);
        option->setFocusPolicy(policy);
    }
}
