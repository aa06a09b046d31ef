#pragma once

// Answers the message boxes the code under test opens (they block in their
// own event loop) and records what each showed. A box is answered once it is
// the active window, where a user's keys would go: an access key (Alt+A)
// sent before then matches no shortcut and is lost. A box still open a while
// after its answer, or never made active, is rejected and the test fails, so
// a lost answer cannot leave the test waiting for ever.

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

// What a message box showed.
struct Shown {
    QString title;
    QString text;
    QString informative;
    QString detailed;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QStringList buttons;  // their texts, in the order they are laid out
};

class BoxAnswerer : public QObject {
  public:
    using Answer = std::function<void(QMessageBox*)>;

    explicit BoxAnswerer(QList<Answer> answers) : answers_(std::move(answers)) {
        connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::poll);
        timer_.start(10);
    }

    QList<Shown> shown;

  private:
    // How long a box may wait to be made active, and to close after its answer.
    static constexpr qint64 kBoundMs = 5000;

    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        // When this answerer first saw the box, or answered it.
        const qint64 now = QDeadlineTimer::current().deadline();  // ms
        const QVariant since = box->property("answererSince");
        if (!since.isValid()) {
            box->setProperty("answererSince", now);
        } else if (now - since.toLongLong() > kBoundMs) {
            const bool answered = box->property("answered").toBool();
            box->reject();
            QTest::qFail(answered ? "a message box stayed open after its answer"
                                  : "a message box was never made the active window",
                         __FILE__, __LINE__);
            return;
        }
        if (box->property("answered").toBool() || QApplication::activeWindow() != box) {
            return;
        }
        box->setProperty("answered", true);
        box->setProperty("answererSince", now);
        QPushButton* defaultButton = box->defaultButton();
        QStringList buttons;
        for (QAbstractButton* button : box->buttons()) {
            buttons << button->text();
        }
        shown << Shown{
            box->windowTitle(),
            box->text(),
            box->informativeText(),
            box->detailedText(),
            box->icon(),
            defaultButton != nullptr ? box->standardButton(defaultButton) : QMessageBox::NoButton,
            buttons};
        if (answers_.isEmpty()) {
            box->reject();  // not expected: let the test see it
            return;
        }
        // Answered outside this slot: a box the answer opens in turn is
        // polled too, while this one's timer would not fire again until the
        // slot returned.
        QTimer::singleShot(0, box, [box, answer = answers_.takeFirst()] { answer(box); });
    }

    QList<Answer> answers_;
    QTimer timer_;
};

inline void pressEnter(QMessageBox* box) {
    QTest::keyClick(box, Qt::Key_Return);
}

inline BoxAnswerer::Answer clickOn(QMessageBox::StandardButton button) {
    return [button](QMessageBox* box) { QTest::mouseClick(box->button(button), Qt::LeftButton); };
}
