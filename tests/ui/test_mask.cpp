// The example name, Set Mask and Extract driven through the main window.
#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>

#include "engine/AppState.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmMain.h"

class MaskTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    frmMain* main_ = nullptr;

    // A main window as the chooser's OK leaves it.
    void chosen(const QStringList& files) {
        control<QListWidget>(*main_, "List1")->addItems(files);
        control<KeepSelectionLineEdit>(*main_, "txtFile")->setText(files.value(0));
        control<QPushButton>(*main_, "Command2")->setEnabled(true);
        control<QPushButton>(*main_, "Command1")->setEnabled(true);
    }

    // Highlights `count` characters of txtFile from `from` with real keys.
    void highlightByKeys(int from, int count) {
        QLineEdit* box = control<KeepSelectionLineEdit>(*main_, "txtFile");
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < from; ++i) {
            QTest::keyClick(box, Qt::Key_Right);
        }
        for (int i = 0; i < count; ++i) {
            QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
        }
        QVERIFY(box->hasFocus());
    }

    void click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        forms::unload(forms::Form::Main);
        main_ = &forms::frmMain();
        main_->show();
        main_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main_));
    }
    void cleanup() {
        forms::unload(forms::Form::Main);
        settings_.reset();
    }

    void setMaskKeepsTheHighlightWhenClicked() {
        chosen({"holiday042.jpg"});
        QGuiApplication::clipboard()->setText("before");
        highlightByKeys(0, 7);
        click(control<QPushButton>(*main_, "Command2"));
        QVERIFY(control<QPushButton>(*main_, "Command2")->hasFocus());  // the focus really moved
        QCOMPARE(control<QLineEdit>(*main_, "txtMask")->text(), QStringLiteral("holiday"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("holiday"));
        QVERIFY(control<QPushButton>(*main_, "Command1")->isEnabled());
    }

    void setMaskKeepsTheHighlightWhenTabbedTo() {
        chosen({"IMG_042.jpg"});
        highlightByKeys(4, 3);
        // txtFile -> txtMask -> Extract -> txtExample -> Set Mask, then Space.
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), control<QPushButton>(*main_, "Command2"));
        QTest::keyClick(control<QPushButton>(*main_, "Command2"), Qt::Key_Space);
        QCOMPARE(control<QLineEdit>(*main_, "txtMask")->text(), QStringLiteral("042"));
    }

    void setMaskAfterAMouseHighlight() {
        chosen({"Report final.txt"});
        QLineEdit* box = control<KeepSelectionLineEdit>(*main_, "txtFile");
        QTest::mouseDClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
        QVERIFY(box->hasSelectedText());
        const QString word = box->selectedText();
        click(control<QPushButton>(*main_, "Command2"));
        QCOMPARE(control<QLineEdit>(*main_, "txtMask")->text(), word);
        QVERIFY(word.startsWith("Report"));
    }

    void setMaskWithNothingHighlighted() {
        chosen({"a.txt"});
        control<QLineEdit>(*main_, "txtMask")->setText("old");
        QGuiApplication::clipboard()->setText("before");
        click(control<QPushButton>(*main_, "Command2"));
        QCOMPARE(control<QLineEdit>(*main_, "txtMask")->text(), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

    // A highlight made in an earlier text does not survive a new example.
    void newExampleDropsTheOldHighlight() {
        chosen({"first.txt", "second.txt"});
        highlightByKeys(0, 5);
        click(control<QLineEdit>(*main_, "txtMask"));  // focus leaves with "first" highlighted
        control<KeepSelectionLineEdit>(*main_, "txtFile")->setText("second.txt");
        click(control<QPushButton>(*main_, "Command2"));
        QCOMPARE(control<QLineEdit>(*main_, "txtMask")->text(), QString());
    }

    void doubleClickMakesTheExample() {
        chosen({"a.txt", "b.txt", "c.txt"});
        QListWidget* list = control<QListWidget>(*main_, "List1");
        const QRect second = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
        QCOMPARE(control<KeepSelectionLineEdit>(*main_, "txtFile")->text(),
                 QStringLiteral("b.txt"));
        QCOMPARE(appState().lastIndex, 2);

        // Enter in the list does the same.
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(control<KeepSelectionLineEdit>(*main_, "txtFile")->text(),
                 QStringLiteral("c.txt"));
    }

    void doubleClickWithNothingSelected() {
        chosen({"a.txt", "b.txt"});
        control<QLineEdit>(*main_, "txtMask")->setText("mask");
        QListWidget* list = control<QListWidget>(*main_, "List1");
        list->clearSelection();
        const QPoint below(10, list->viewport()->height() - 5);  // empty space
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, below);
        QCOMPARE(control<KeepSelectionLineEdit>(*main_, "txtFile")->text(),
                 QStringLiteral("a.txt"));
        QCOMPARE(control<QLineEdit>(*main_, "txtMask")->text(), QStringLiteral("mask"));
    }

    void extract_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("lettering");
        QTest::addColumn<QString>("example");
        QTest::addColumn<int>("kind");
        QTest::newRow("text mask") << "holiday.jpg"
                                   << "holiday"
                                   << "0"
                                   << "xholiday-0001.jpg" << 3;
        QTest::newRow("lettered first") << "holiday.jpg"
                                        << "holiday"
                                        << "1"
                                        << "x!oliday.jpg" << 4;
        QTest::newRow("lettered last") << "holiday.jpg"
                                       << "holiday"
                                       << "2"
                                       << "xholida!.jpg" << 4;
        QTest::newRow("pattern") << "img042.png"
                                 << "img042"
                                 << "0"
                                 << "ximg042.png" << 5;
        QTest::newRow("numeric") << "img042.png"
                                 << "042"
                                 << "1"
                                 << "x042.png" << 2;
        QTest::newRow("no mask") << "README"
                                 << ""
                                 << "0"
                                 << "x0001" << 1;
    }

    void extract() {
        QFETCH(QString, file);
        QFETCH(QString, mask);
        QFETCH(QString, lettering);
        QFETCH(QString, example);
        QFETCH(int, kind);
        control<QLabel>(*main_, "lblPrefix")->setText("x");
        control<QLabel>(*main_, "lblLetteringPosition")->setText(lettering);
        chosen({file});
        QTest::keyClicks(control<QLineEdit>(*main_, "txtMask"), mask);
        QVERIFY(!control<QPushButton>(*main_, "Command4")->isEnabled());
        click(control<QPushButton>(*main_, "Command1"));
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(), example);
        QCOMPARE(int(appState().maskKind), kind);
        QCOMPARE(control<QLineEdit>(*main_, "txtMask")->text(),
                 mask);  // Extract never rewrites the mask box
        QVERIFY(control<QPushButton>(*main_, "Command4")->isEnabled());
    }
};

QTEST_MAIN(MaskTest)
#include "test_mask.moc"
