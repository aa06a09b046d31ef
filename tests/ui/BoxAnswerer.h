#pragma once

// Answers the message boxes the code under test opens (they block in their
// own event loop) and records what each showed.

#include <QApplication>
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
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) {
            return;
        }
        box->setProperty("answered", true);
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
        answers_.takeFirst()(box);
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
