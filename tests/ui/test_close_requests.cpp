// Close requests from the window system (what Alt+F4 or a task bar's Close
// sends) on windows a user must not leave half-done: the chooser cancels, a
// review stays until Accept or Undo, the options dialog cancels. Closing the
// main window still ends the program whatever is open.
#include <QtTest>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWindow>

#include "engine/Journal.h"
#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/BoxAnswerer.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

using testing_support::TempFiles;

namespace {

const QString kUnset = QStringLiteral("<unset>");

// Asks `window` to close the way `how` names; what the window system sends
// arrives at the window's QWindow as a spontaneous close event.
void requestClose(QWidget* window, const QString& how) {
    if (how == QLatin1String("window manager")) {
        QVERIFY(window->windowHandle() != nullptr);
        QCloseEvent event;
        QSpontaneKeyEvent::setSpontaneous(&event);
        QCoreApplication::sendEvent(window->windowHandle(), &event);
    } else if (how == QLatin1String("QWindow::close")) {
        QVERIFY(window->windowHandle() != nullptr);
        window->windowHandle()->close();
    } else {
        window->close();
    }
}

bool anyWindowVisible() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](QWidget* w) { return w->isVisible(); });
}

}  // namespace

class CloseRequestsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    std::unique_ptr<TempFiles> dir_;

    frmMain& main() { return forms::frmMain(); }

    void click(QWidget* w) {
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }

    frmDir& openChooser() {
        click(control<QPushButton>(main(), "Command3"));
        frmDir& chooser = forms::frmDir();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&chooser)); }();
        return chooser;
    }

    // Chooses every file of the directory, then Extract with no mask and
    // Rename: the batch is on disk and its review is open.
    frmDir& openReview() {
        frmDir& chooser = openChooser();
        control<QListView>(chooser, "File1")->setFocus();
        QTest::keyClick(control<QListView>(chooser, "File1"), Qt::Key_A, Qt::ControlModifier);
        click(control<QPushButton>(chooser, "Command1"));
        click(control<QPushButton>(main(), "Command1"));
        click(control<QPushButton>(main(), "Command4"));
        frmDir& review = forms::frmDir();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&review)); }();
        [&] { QCOMPARE(review.mode(), frmDir::Mode::Review); }();
        return review;
    }

    frmOptions& openOptions() {
        main().findChild<QAction*>(QStringLiteral("mnuOptionsSetOptions"))->trigger();
        frmOptions& options = forms::frmOptions();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&options)); }();
        return options;
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        dir_ = std::make_unique<TempFiles>();
        dir_->createAll({"a.txt", "b.txt"});
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("elsewhere")));
        settings::write(settings::kDir, dir_->path());
        main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
    }
    void cleanup() {
        journal::close();
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dir_.reset();
        settings_.reset();
    }

    void closeRequest_data() {
        QTest::addColumn<QString>("window");  // "chooser", "review", "options"
        QTest::addColumn<QString>("how");
        for (const char* window : {"chooser", "review", "options"}) {
            for (const char* how : {"window manager", "QWindow::close", "QWidget::close"}) {
                QTest::addRow("%s, %s", window, how)
                    << QString::fromLatin1(window) << QString::fromLatin1(how);
            }
        }
    }

    void closeRequest() {
        QFETCH(QString, window);
        QFETCH(QString, how);
        if (window == QLatin1String("chooser")) {
            frmDir& chooser = openChooser();
            QVERIFY(chooser.setDir1Path(dir_->filePath("elsewhere")));
            main().enableSteps(true, true, true);  // as after an earlier Extract

            requestClose(&chooser, how);

            // A Cancel: buttons off, nothing stored, and gone for good, so the
            // next Select starts again from the stored directory.
            QVERIFY(!forms::isLoaded(forms::Form::Dir));
            QVERIFY(!control<QPushButton>(main(), "Command2")->isEnabled());
            QVERIFY(!control<QPushButton>(main(), "Command1")->isEnabled());
            QVERIFY(!control<QPushButton>(main(), "Command4")->isEnabled());
            QCOMPARE(settings::read(settings::kDir, kUnset), dir_->path());
            frmDir& again = openChooser();
            QCOMPARE(again.Dir1Path(), dir_->path());
            QCOMPARE(again.mode(), frmDir::Mode::Choose);
        } else if (window == QLatin1String("review")) {
            frmDir& review = openReview();
            const QStringList renamed = dir_->names();
            QCOMPARE(renamed, (QStringList{"0001.txt", "0002.txt"}));

            requestClose(&review, how);

            // Refused: the batch can still be undone, file for file.
            QVERIFY(forms::isLoaded(forms::Form::Dir));
            QCOMPARE(&forms::frmDir(), &review);
            QVERIFY(review.isVisible());
            QCOMPARE(review.mode(), frmDir::Mode::Review);
            QCOMPARE(dir_->names(), renamed);
            click(control<QPushButton>(review, "Command2"));  // Undo
            QCOMPARE(dir_->names(), (QStringList{"a.txt", "b.txt"}));
            QCOMPARE(dir_->read(QStringLiteral("a.txt")), QByteArray("a.txt"));
            QVERIFY(!forms::isLoaded(forms::Form::Dir));
        } else {
            main().setNamingLabels(
                {QStringLiteral("keep"), QString(), QStringLiteral("5"), QStringLiteral("1")});
            frmOptions& options = openOptions();
            QLineEdit* prefix = control<QLineEdit>(options, "txtPrefix");
            prefix->setFocus();
            QTest::keyClicks(prefix, "-changed");
            QTest::mouseClick(control<QRadioButton>(options, "opt1_2"), Qt::LeftButton);

            requestClose(&options, how);

            // A Cancel: nothing stored, the labels as they were, and the next
            // Set Options starts from them.
            QVERIFY(!forms::isLoaded(forms::Form::Options));
            QCOMPARE(settings::read(settings::kPrefix, kUnset), kUnset);
            QCOMPARE(settings::read(settings::kLetteringPosition, kUnset), kUnset);
            QCOMPARE(main().namingLabels().prefix, QStringLiteral("keep"));
            QCOMPARE(main().namingLabels().letteringPosition, QStringLiteral("1"));
            frmOptions& again = openOptions();
            QCOMPARE(control<QLineEdit>(again, "txtPrefix")->text(), QStringLiteral("keep"));
            QVERIFY(control<QRadioButton>(again, "opt1_1")->isChecked());
        }
    }

    // The main window's close box ends the program, in the event loop as a
    // user runs it, with any dialog open; a review that refuses a close of
    // its own does not hold the program up.
    void closingTheMainWindowEndsTheProgram_data() {
        QTest::addColumn<QString>("open");
        for (const char* open : {"nothing", "chooser", "review", "options"}) {
            QTest::newRow(open) << QString::fromLatin1(open);
        }
    }

    void closingTheMainWindowEndsTheProgram() {
        QFETCH(QString, open);
        if (open == QLatin1String("chooser")) {
            openChooser();
        } else if (open == QLatin1String("review")) {
            openReview();
        } else if (open == QLatin1String("options")) {
            openOptions();
        }
        // A review asks first; Accept lets the program end.
        BoxAnswerer answerer(
            {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_A, Qt::AltModifier); }});
        QPointer<frmMain> window(&main());
        // Should the program fail to end, this ends the loop with another code.
        QTimer stuck;
        stuck.setSingleShot(true);
        connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        stuck.start(10000);
        QTimer::singleShot(0, window, [window] { requestClose(window, "window manager"); });

        QCOMPARE(QApplication::exec(), 0);

        for (auto form :
             {forms::Form::Main, forms::Form::Dir, forms::Form::Options, forms::Form::About}) {
            QVERIFY(!forms::isLoaded(form));
        }
        QVERIFY(!anyWindowVisible());
        QCOMPARE(answerer.shown.size(), open == QLatin1String("review") ? 1 : 0);
    }

    // Exit or the close box while a review is open asks "Accept, Undo or
    // Cancel?" (Cancel the default, Esc too). Accept and Undo end the batch as
    // the review's buttons do, then the program; an Undo that cannot put
    // every file back keeps both open, with its report.
    void exitDuringReview_data() {
        QTest::addColumn<QString>("how");     // "Exit" or "close box"
        QTest::addColumn<QString>("answer");  // a button clicked, or keys
        QTest::addColumn<bool>("ends");
        QTest::addColumn<QStringList>("names");  // in the directory afterwards
        const auto row = [](const char* how, const char* answer, bool ends, QStringList names) {
            QTest::addRow("%s, %s", how, answer) << how << answer << ends << names;
        };
        const QStringList renamed{"0001.txt", "0002.txt"};
        row("Exit", "&Accept", true, renamed);
        row("close box", "Alt+A", true, renamed);
        row("Exit", "&Undo", true, {"a.txt", "b.txt"});
        row("close box", "Alt+U", true, {"a.txt", "b.txt"});
        row("Exit, a file deleted meanwhile", "&Undo", false, {"b.txt"});
        row("Exit", "Cancel", false, renamed);
        row("close box", "Esc", false, renamed);
        row("Exit", "Enter", false, renamed);  // Cancel is the default
    }

    void exitDuringReview() {
        QFETCH(QString, how);
        QFETCH(QString, answer);
        QFETCH(bool, ends);
        QFETCH(QStringList, names);
        frmDir& review = openReview();
        const QString journalPath = journal::currentPath();
        QVERIFY(QFile::exists(journalPath));
        const bool fileDeleted = how.contains(QLatin1String("deleted"));
        if (fileDeleted) {
            QVERIFY(QFile::remove(dir_->filePath(QStringLiteral("0001.txt"))));
        }
        BoxAnswerer answerer({[answer](QMessageBox* box) {
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == answer) {
                    QTest::mouseClick(button, Qt::LeftButton);
                    return;
                }
            }
            QTest::keySequence(box, QKeySequence(answer));
        }});
        if (how.startsWith(QLatin1String("Exit"))) {
            main().findChild<QAction*>(QStringLiteral("MnuFileExit"))->trigger();
        } else {
            requestClose(&main(), "window manager");
        }

        QCOMPARE(answerer.shown.size(), 1);
        const Shown& question = answerer.shown.first();
        QCOMPARE(question.title, QStringLiteral("Quillomat"));
        QCOMPARE(question.text, QStringLiteral("The new names have not been accepted yet."));
        QStringList buttons = question.buttons;
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"&Accept", "&Undo", "Cancel"}));
        QCOMPARE(question.defaultButton, QMessageBox::Cancel);
        QCOMPARE(dir_->names(), names);
        QCOMPARE(forms::isLoaded(forms::Form::Main), !ends);
        QCOMPARE(forms::isLoaded(forms::Form::Dir), !ends);
        // The batch's way back is gone only with the batch.
        QCOMPARE(QFile::exists(journalPath), !ends);
        if (fileDeleted) {
            QCOMPARE(review.mode(), frmDir::Mode::Review);
            QVERIFY(control<QLineEdit>(main(), "txtExample")->text().startsWith("Error # 53"));
        }
    }

    // A session that ends (logout) asks nothing and keeps a batch under review
    // for the next start, which offers to restore it.
    void sessionEndKeepsTheReviewForTheNextStart() {
        openReview();
        const QString journalPath = journal::currentPath();
        BoxAnswerer answerer({});
        main().sessionEnding();
        requestClose(&main(), "window manager");

        QVERIFY(answerer.shown.isEmpty());
        QVERIFY(!forms::isLoaded(forms::Form::Main));
        QCOMPARE(dir_->names(), (QStringList{"0001.txt", "0002.txt"}));
        QList<journal::Leftover> left = journal::leftovers();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().path, journalPath);
        QVERIFY(left.first().record.has_value());
        QCOMPARE(left.first().record->entries.size(), 2);
        journal::discard(left.first());
    }
};

QTEST_MAIN(CloseRequestsTest)
#include "test_close_requests.moc"
