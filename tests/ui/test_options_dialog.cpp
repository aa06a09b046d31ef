// The options dialog: typing and pasting into its fields, Ok and Clear Options.
#include <QtTest>

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>

#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/BeepCounter.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

namespace {

QLineEdit* field(frmOptions& options, const QString& name) {
    return options.findChild<QLineEdit*>(name);
}

// Sends one key press that types `text`, as a keyboard or input method would.
void typeText(QWidget* target, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

// A point over `edit` whose nearest cursor position is `position`.
QPointF pointAtPosition(QLineEdit* edit, int position) {
    const int y = edit->height() / 2;
    for (int x = 0; x < edit->width(); ++x) {
        if (edit->cursorPositionAt(QPoint(x, y)) == position) {
            return QPointF(x, y);
        }
    }
    return QPointF(0, y);
}

QStringList storedOptions() {
    return {settings::read(settings::kPrefix, QStringLiteral("<unset>")),
            settings::read(settings::kSufix, QStringLiteral("<unset>")),
            settings::read(settings::kStartingNumber, QStringLiteral("<unset>")),
            settings::read(settings::kLetteringPosition, QStringLiteral("<unset>"))};
}

QStringList labelOptions() {
    const NamingOptions o = forms::frmMain().namingLabels();
    return {o.prefix, o.suffix, o.startingNumber, o.letteringPosition};
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;

    frmOptions& shownDialog() {
        frmOptions& options = forms::frmOptions();
        options.show();
        options.activateWindow();
        return options;
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        forms::frmMain();
    }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QApplication::clipboard()->clear();
        settings_.reset();
    }

    void typing_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("digits then a letter") << "txtStartingNumber"
                                              << "12a"
                                              << "12" << 1;
        QTest::newRow("signs and separators") << "txtStartingNumber"
                                              << "-+.,"
                                              << "" << 0;
        QTest::newRow("every letter beeps") << "txtStartingNumber"
                                            << "0x1y"
                                            << "01" << 2;
        QTest::newRow("space beeps") << "txtStartingNumber"
                                     << "1 2"
                                     << "12" << 1;
        QTest::newRow("all digits") << "txtStartingNumber"
                                    << "0123456789"
                                    << "0123456789" << 0;
        QTest::newRow("prefix a:b*c") << "txtPrefix"
                                      << "a:b*c"
                                      << "abc" << 0;
        QTest::newRow("suffix a:b*c") << "txtSufix"
                                      << "a:b*c"
                                      << "abc" << 0;
        QTest::newRow("every forbidden character") << "txtSufix"
                                                   << "x\"*/:<>?\\|y"
                                                   << "xy" << 0;
        QTest::newRow("letters, digits, spaces, signs") << "txtPrefix"
                                                        << "Holiday 2024 - #1, (a+b)."
                                                        << "Holiday 2024 - #1, (a+b)." << 0;
    }

    void typing() {
        QFETCH(QString, box);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        frmOptions& options = shownDialog();
        QLineEdit* edit = field(options, box);
        edit->setFocus();
        BeepCounter beeper;
        QTest::keyClicks(edit, keys);
        QCOMPARE(edit->text(), text);
        QCOMPARE(beeper.count(), beeps);
    }

    void charactersAbove127_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("prefix accents") << "txtPrefix"
                                        << "é"
                                        << "é" << 0;
        QTest::newRow("suffix euro") << "txtSufix"
                                     << "€"
                                     << "€" << 0;
        QTest::newRow("prefix outside the BMP") << "txtPrefix"
                                                << "😀"
                                                << "😀" << 0;
        QTest::newRow("number accents") << "txtStartingNumber"
                                        << "é"
                                        << "" << 1;
        QTest::newRow("number Arabic digit") << "txtStartingNumber"
                                             << "٣"
                                             << "" << 1;
        // One key, one character, one beep: the pair is judged as a whole.
        QTest::newRow("number outside the BMP") << "txtStartingNumber"
                                                << "😀"
                                                << "" << 1;
    }

    void charactersAbove127() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        frmOptions& options = shownDialog();
        QLineEdit* edit = field(options, box);
        edit->setFocus();
        BeepCounter beeper;
        typeText(edit, typed);
        QCOMPARE(edit->text(), text);
        QCOMPARE(beeper.count(), beeps);
    }

    void editingKeys_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"txtPrefix", "txtSufix", "txtStartingNumber"}) {
            QTest::newRow(box) << QString::fromLatin1(box);
        }
    }

    // Backspace, cursor keys and the standard shortcuts work; Enter does
    // nothing: no character, no button pressed, the dialog stays.
    void editingKeys() {
        QFETCH(QString, box);
        frmOptions& options = shownDialog();
        QLineEdit* edit = field(options, box);
        edit->setFocus();
        BeepCounter beeper;
        QTest::keyClicks(edit, "135");
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("13"));
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClick(edit, Qt::Key_2);
        QCOMPARE(edit->text(), QStringLiteral("123"));
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("23"));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(edit->selectedText(), QStringLiteral("23"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(edit->text(), QStringLiteral("23"));
        QCOMPARE(beeper.count(), 0);
        QVERIFY(forms::isLoaded(forms::Form::Options));
        QVERIFY(options.isVisible());
        QCOMPARE(storedOptions()[0], QStringLiteral("<unset>"));
        // Tab still leaves the box.
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(!edit->hasFocus());
        QCOMPARE(beeper.count(), 0);
    }

    // Esc types a control code: the starting number refuses it with a beep,
    // the name fields let it through; neither field changes.
    void escape_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("beeps");
        QTest::newRow("prefix") << "txtPrefix" << 0;
        QTest::newRow("suffix") << "txtSufix" << 0;
        QTest::newRow("starting number") << "txtStartingNumber" << 1;
    }

    void escape() {
        QFETCH(QString, box);
        QFETCH(int, beeps);
        frmOptions& options = shownDialog();
        QLineEdit* edit = field(options, box);
        edit->setFocus();
        QTest::keyClicks(edit, "42");
        BeepCounter beeper;
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->text(), QStringLiteral("42"));
        QCOMPARE(beeper.count(), beeps);
        QVERIFY(options.isVisible());
    }

    void paste_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("text");
        const QList<std::pair<const char*, const char*>> boxes = {
            {"txtPrefix", "a/b:c"}, {"txtSufix", "a/b:c"}, {"txtStartingNumber", "a1-2.3b"}};
        const QStringList expected = {"[abc]", "[abc]", "[123]"};
        for (const char* how :
             {"Ctrl+V", "Shift+Insert", "paste slot", "context menu", "drop", "input method"}) {
            for (int i = 0; i < boxes.size(); ++i) {
                QTest::addRow("%s %s", boxes[i].first, how)
                    << QString::fromLatin1(boxes[i].first) << QString::fromLatin1(how)
                    << QString::fromLatin1(boxes[i].second) << expected[i];
            }
        }
    }

    // Text that arrives in one piece loses what typing could not enter; the
    // cursor stays behind what was inserted.
    void paste() {
        QFETCH(QString, box);
        QFETCH(QString, how);
        QFETCH(QString, clip);
        QFETCH(QString, text);
        frmOptions& options = shownDialog();
        QLineEdit* edit = field(options, box);
        edit->setFocus();
        QTest::keyClicks(edit, "[]");
        QTest::keyClick(edit, Qt::Key_Left);
        if (box == QLatin1String("txtStartingNumber")) {
            // The brackets cannot be typed there; put them in as the program would.
            edit->setText(QStringLiteral("[]"));
            edit->setCursorPosition(1);
        }
        QApplication::clipboard()->setText(clip);
        BeepCounter beeper;
        if (how == QLatin1String("Ctrl+V")) {
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else if (how == QLatin1String("Shift+Insert")) {
            QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        } else if (how == QLatin1String("paste slot")) {
            edit->paste();
        } else if (how == QLatin1String("context menu")) {
            std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
            const QList<QAction*> actions = menu->actions();
            const auto found = std::find_if(actions.cbegin(), actions.cend(), [](QAction* a) {
                return a->text().startsWith(QLatin1String("&Paste"));
            });
            QAction* pasteAction = found == actions.cend() ? nullptr : *found;
            QVERIFY(pasteAction != nullptr);
            pasteAction->trigger();
        } else if (how == QLatin1String("drop")) {
            QMimeData data;
            data.setText(clip);
            const QPointF at = pointAtPosition(edit, edit->cursorPosition());
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(edit, &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(edit, &drop);
            QVERIFY(drop.isAccepted());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(clip);
            QApplication::sendEvent(edit, &commit);
        }
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->cursorPosition(), text.size() - 1);
        QCOMPARE(beeper.count(), 0);
        // The field keeps working normally afterwards.
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), text.chopped(1));
    }

    // Line breaks, tabs and other control characters, pasted or typed, never
    // reach the prefix and suffix, nor from there a file name; the starting
    // number keeps its digits only.
    void controlCharactersAreDropped_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        const QString name = QStringLiteral("p\nq\tr\r\x01\x1b\x1f\x7f");
        for (const char* box : {"txtPrefix", "txtSufix"}) {
            for (const char* how : {"Ctrl+V", "input method", "one key"}) {
                QTest::addRow("%s %s", box, how)
                    << QString::fromLatin1(box) << QString::fromLatin1(how) << name << "pqr";
            }
        }
        // A key carrying them is refused whole there, with a beep.
        for (const char* how : {"Ctrl+V", "input method"}) {
            QTest::addRow("txtStartingNumber %s", how)
                << "txtStartingNumber" << QString::fromLatin1(how) << "0\n1\t2\r"
                << "012";
        }
    }

    void controlCharactersAreDropped() {
        QFETCH(QString, box);
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        frmOptions& options = shownDialog();
        QLineEdit* edit = field(options, box);
        edit->setFocus();
        if (how == QLatin1String("Ctrl+V")) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else if (how == QLatin1String("input method")) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(edit, &commit);
        } else {
            typeText(edit, text);
        }
        QCOMPARE(edit->text(), kept);

        // Ok stores and shows exactly what the field holds.
        QTest::mouseClick(control<QPushButton>(options, "cmdOk"), Qt::LeftButton);
        const QStringList boxes{"txtPrefix", "txtSufix", "txtStartingNumber"};
        QCOMPARE(storedOptions().at(boxes.indexOf(box)), kept);
        QCOMPARE(labelOptions().at(boxes.indexOf(box)), kept);
    }

    void pasteReplacingASelection() {
        frmOptions& options = shownDialog();
        QLineEdit* edit = control<QLineEdit>(options, "txtPrefix");
        edit->setFocus();
        QTest::keyClicks(edit, "photo-old-1");
        edit->setSelection(6, 3);
        QApplication::clipboard()->setText(QStringLiteral("n/e\\w"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("photo-new-1"));
        QCOMPARE(edit->cursorPosition(), 9);
    }

    // Text the program puts into a field is never filtered: the dialog shows
    // what the main window holds.
    void textSetByTheProgramIsKept() {
        frmOptions& options = shownDialog();
        control<QLineEdit>(options, "txtPrefix")->setText(QStringLiteral("a/b"));
        control<QLineEdit>(options, "txtStartingNumber")->setText(QStringLiteral("x7"));
        QCOMPARE(control<QLineEdit>(options, "txtPrefix")->text(), QStringLiteral("a/b"));
        QCOMPARE(control<QLineEdit>(options, "txtStartingNumber")->text(), QStringLiteral("x7"));
        // Typing after it filters the typed characters only.
        control<QLineEdit>(options, "txtPrefix")->setFocus();
        control<QLineEdit>(options, "txtPrefix")->end(false);
        QTest::keyClicks(control<QLineEdit>(options, "txtPrefix"), "c?d");
        QCOMPARE(control<QLineEdit>(options, "txtPrefix")->text(), QStringLiteral("a/bcd"));
    }

    void ok_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("option");  // -1: none selected
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all set, First") << "Pic "
                                        << "_x"
                                        << "007" << 1 << QStringList{"Pic ", "_x", "007", "1"};
        QTest::newRow("None") << "a"
                              << "b"
                              << "5" << 0 << QStringList{"a", "b", "5", "0"};
        QTest::newRow("Last, empty number") << ""
                                            << ""
                                            << "" << 2 << QStringList{"", "", "", "2"};
        // The stored and shown lettering position stays what it was.
        QTest::newRow("no option selected") << "p"
                                            << "s"
                                            << "3" << -1 << QStringList{"p", "s", "3", "9"};
    }

    void ok() {
        QFETCH(QString, prefix);
        QFETCH(QString, suffix);
        QFETCH(QString, number);
        QFETCH(int, option);
        QFETCH(QStringList, expected);
        settings::write(settings::kLetteringPosition, QStringLiteral("9"));
        control<QLabel>(forms::frmMain(), "lblLetteringPosition")->setText(QStringLiteral("9"));

        frmOptions& options = shownDialog();
        control<QLineEdit>(options, "txtPrefix")->setFocus();
        QTest::keyClicks(control<QLineEdit>(options, "txtPrefix"), prefix);
        QTest::keyClicks(control<QLineEdit>(options, "txtSufix"), suffix);
        QTest::keyClicks(control<QLineEdit>(options, "txtStartingNumber"), number);
        QRadioButton* const opt1[] = {control<QRadioButton>(options, "opt1_0"),
                                      control<QRadioButton>(options, "opt1_1"),
                                      control<QRadioButton>(options, "opt1_2")};
        if (option >= 0) {
            QTest::mouseClick(opt1[option], Qt::LeftButton);
            QVERIFY(opt1[option]->isChecked());
        }
        QPointer<frmOptions> dialog(&options);
        QTest::mouseClick(control<QPushButton>(options, "cmdOk"), Qt::LeftButton);

        QCOMPARE(storedOptions(), expected);
        QCOMPARE(labelOptions(), expected);
        QVERIFY(!forms::isLoaded(forms::Form::Options));
        QVERIFY(dialog.isNull() || !dialog->isVisible());
        QTRY_VERIFY(dialog.isNull());  // deleted once control is back in the event loop
    }

    void clearOptionsThenOk() {
        settings::write(settings::kPrefix, QStringLiteral("old"));
        frmOptions& options = shownDialog();
        control<QLineEdit>(options, "txtPrefix")->setText(QStringLiteral("p"));
        control<QLineEdit>(options, "txtSufix")->setText(QStringLiteral("s"));
        control<QLineEdit>(options, "txtStartingNumber")->setText(QStringLiteral("12"));
        control<QRadioButton>(options, "opt1_2")->setChecked(true);

        QTest::mouseClick(control<QPushButton>(options, "cmdClearOptions"), Qt::LeftButton);
        QVERIFY(control<QLineEdit>(options, "txtPrefix")->text().isEmpty());
        QVERIFY(control<QLineEdit>(options, "txtSufix")->text().isEmpty());
        QVERIFY(control<QLineEdit>(options, "txtStartingNumber")->text().isEmpty());
        QVERIFY(control<QRadioButton>(options, "opt1_0")->isChecked());
        QVERIFY(!control<QRadioButton>(options, "opt1_2")->isChecked());
        // Nothing is stored until Ok.
        QCOMPARE(settings::read(settings::kPrefix), QStringLiteral("old"));

        QTest::mouseClick(control<QPushButton>(options, "cmdOk"), Qt::LeftButton);
        const QStringList cleared{"", "", "", "0"};
        QCOMPARE(storedOptions(), cleared);
        QCOMPARE(labelOptions(), cleared);
    }

    // No default button: Enter and Space press the focused button only.
    void buttonsByKeyboard() {
        frmOptions& options = shownDialog();
        control<QLineEdit>(options, "txtPrefix")->setText(QStringLiteral("x"));
        control<QPushButton>(options, "cmdClearOptions")->setFocus();
        QTest::keyClick(control<QPushButton>(options, "cmdClearOptions"), Qt::Key_Return);
        QVERIFY(control<QLineEdit>(options, "txtPrefix")->text().isEmpty());
        QVERIFY(forms::isLoaded(forms::Form::Options));
        QTest::keyClick(&options, Qt::Key_Escape);
        QVERIFY(forms::isLoaded(forms::Form::Options));

        control<QLineEdit>(options, "txtPrefix")->setText(QStringLiteral("kb"));
        control<QPushButton>(options, "cmdOk")->setFocus();
        QTest::keyClick(control<QPushButton>(options, "cmdOk"), Qt::Key_Return);
        QVERIFY(!forms::isLoaded(forms::Form::Options));
        QCOMPARE(settings::read(settings::kPrefix), QStringLiteral("kb"));
    }

    void noCloseBox() {
        frmOptions& options = shownDialog();
        const Qt::WindowFlags flags = options.windowFlags();
        QVERIFY(!(flags & Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & Qt::WindowSystemMenuHint));
        QVERIFY(!(flags & Qt::WindowMinMaxButtonsHint));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "test_options_dialog.moc"
