// Rename, Accept and Undo end to end through the real windows, on real
// temporary directories: choose the files, take the mask, Extract, Rename,
// then review. After every test no file is lost and none is overwritten.
#include <QtTest>

#include <QProgressBar>

#include <unistd.h>
#include <QGuiApplication>
#include <functional>

#include "engine/AppState.h"
#include "engine/Journal.h"
#include "engine/Settings.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/BoxAnswerer.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/SaveFailure.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"

using testing_support::FaultPlatform;
using testing_support::ScopedPlatform;
using testing_support::TempFiles;

class RenameWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    std::unique_ptr<TempFiles> dir_;
    QList<QByteArray> before_;
    frmMain* main_ = nullptr;

    void click(QWidget* w) {
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }

    void setOptions(const QString& prefix, const QString& suffix, const QString& start,
                    const QString& lettering) {
        control<QLabel>(*main_, "lblPrefix")->setText(prefix);
        control<QLabel>(*main_, "lblSufix")->setText(suffix);
        control<QLabel>(*main_, "lblStartNumber")->setText(start);
        control<QLabel>(*main_, "lblLetteringPosition")->setText(lettering);
    }

    // Select, then pick `files` (all when empty) in the chooser of `in` (the
    // test's directory when empty) and press OK; `beforeOk` runs just before.
    void choose(const QStringList& files = {}, const QString& in = QString(),
                const std::function<void()>& beforeOk = {}) {
        const QString dir = in.isEmpty() ? dir_->path() : in;
        settings::write(settings::kDir, dir);
        click(control<QPushButton>(*main_, "Command3"));
        frmDir& chooser = forms::frmDir();
        QVERIFY(chooser.isVisible());
        QCOMPARE(chooser.Dir1Path(), dir);
        if (files.isEmpty()) {
            control<QListView>(chooser, "File1")->setFocus();
            QTest::keyClick(control<QListView>(chooser, "File1"), Qt::Key_A, Qt::ControlModifier);
        } else {
            for (int i = 0; i < chooser.File1ListCount(); ++i) {
                chooser.setFile1Selected(i, files.contains(chooser.File1List(i)));
            }
        }
        if (beforeOk) {
            beforeOk();
        }
        click(control<QPushButton>(chooser, "Command1"));
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
    }

    // Types `mask` into the mask box and presses Extract.
    void extract(const QString& mask) {
        control<QLineEdit>(*main_, "txtMask")->clear();
        QTest::keyClicks(control<QLineEdit>(*main_, "txtMask"), mask);
        click(control<QPushButton>(*main_, "Command1"));
    }

    void rename() {
        click(control<QPushButton>(*main_, "Command4"));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // pointer restored
    }

    // Creates `files` and renames them all in one batch (prefix "n", running
    // numbers); the review is open afterwards.
    void renameAll(const QStringList& files) {
        dir_->createAll(files);
        before_ = testing_support::contents(dir_->path());
        setOptions("n", "", "", "0");
        choose();
        extract("");
        rename();
    }

    bool reviewOpen() {
        return forms::isLoaded(forms::Form::Dir) && forms::frmDir().isVisible() &&
               control<QPushButton>(forms::frmDir(), "Command1")->text() == QLatin1String("Accept");
    }

    QStringList names() const { return dir_->names(); }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        dir_ = std::make_unique<TempFiles>();
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        main_ = &forms::frmMain();
        main_->show();
    }

    void cleanup() {
        if (!before_.isEmpty()) {
            QCOMPARE(testing_support::contents(dir_->path()), before_);
        }
        before_.clear();
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        journal::close();
        settings_.reset();
    }

    void eachMaskKind_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("options");  // prefix, suffix, start, lettering
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("1 no mask")
            << QStringList{"a.txt", "b", "c.doc"} << "" << QStringList{"Pic", "x", "", "0"}
            << QStringList{"Pic0001x.txt", "Pic0002x", "Pic0003x.doc"};
        QTest::newRow("2 numeric")
            << QStringList{"DSC_1.jpg", "IMG_042.jpg", "IMG_043.jpg", "IMG_0A1.jpg"} << "042"
            << QStringList{"", "", "", "0"}
            << QStringList{"042.jpg", "043.jpg", "DSC_1.jpg", "IMG_0A1.jpg"};
        QTest::newRow("3 text") << QStringList{"MyReport.doc", "Other.txt", "Report.txt"}
                                << "Report" << QStringList{"", "", "", "0"}
                                << QStringList{"Other.txt", "Report-0001.doc", "Report-0002.txt"};
        QTest::newRow("4 lettered first")
            << QStringList{"AReport.txt", "BReport.doc", "Zother.txt"} << "AReport"
            << QStringList{"", "", "", "1"}
            << QStringList{"AReport.txt", "BReport.doc", "Zother.txt"};
        // The file's letter is a dot: a name file managers hide, listed all the same.
        QTest::newRow("4 lettered first, a dot for the letter")
            << QStringList{"AReport.txt", "x.Report.txt"} << "AReport"
            << QStringList{"", "", "", "1"} << QStringList{".Report.txt", "AReport.txt"};
        QTest::newRow("5 pattern")
            << QStringList{"Scan01-A.tif", "Scan02-A.tif", "Scan02-B.tif"} << "01-A"
            << QStringList{"", "", "", "0"} << QStringList{"01-A.tif", "02-A.tif", "Scan02-B.tif"};
        QTest::newRow("6 lettered pattern")
            << QStringList{"Scan01-A.tif", "Scan02-B.tif", "Scan02-Bb.tif"} << "01-A"
            << QStringList{"s", "", "", "2"}
            << QStringList{"s01-A.tif", "s02-B-1.tif", "s02-B.tif"};
    }

    void eachMaskKind() {
        QFETCH(QStringList, files);
        QFETCH(QString, mask);
        QFETCH(QStringList, options);
        QFETCH(QStringList, expected);
        dir_->createAll(files);
        before_ = testing_support::contents(dir_->path());
        setOptions(options[0], options[1], options[2], options[3]);
        choose();
        // The example is the second listed file where the mask is taken from it.
        if (!mask.isEmpty() &&
            !control<KeepSelectionLineEdit>(*main_, "txtFile")->text().contains(mask)) {
            for (int i = 0; i < control<QListWidget>(*main_, "List1")->count(); ++i) {
                if (control<QListWidget>(*main_, "List1")->item(i)->text().contains(mask)) {
                    control<QListWidget>(*main_, "List1")->setCurrentRow(i);
                    QTest::keyClick(control<QListWidget>(*main_, "List1"), Qt::Key_Return);
                    break;
                }
            }
        }
        extract(mask);
        rename();
        QCOMPARE(names(), expected);
        QVERIFY(reviewOpen());
        QCOMPARE(forms::frmDir().windowTitle(),
                 QStringLiteral("Accept the new names, or Undo the changes"));
        QCOMPARE(control<QPushButton>(forms::frmDir(), "Command2")->text(), QStringLiteral("Undo"));
        QCOMPARE(control<QListWidget>(*main_, "List1")->count(), 0);
        QVERIFY(control<KeepSelectionLineEdit>(*main_, "txtFile")->text().isEmpty());
        QVERIFY(control<QLineEdit>(*main_, "txtMask")->text().isEmpty());
        QVERIFY(control<QLineEdit>(*main_, "txtExample")->text().isEmpty());

        // The review lists the new names.
        QStringList listed;
        for (int i = 0; i < forms::frmDir().File1ListCount(); ++i) {
            listed << forms::frmDir().File1List(i);
        }
        QCOMPARE(listed, expected);

        click(control<QPushButton>(forms::frmDir(), "Command2"));  // Undo
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        files.sort();
        QCOMPARE(names(), files);
        QVERIFY(!control<QPushButton>(*main_, "Command4")->isEnabled());
        QVERIFY(!control<QPushButton>(*main_, "Command1")->isEnabled());
        QVERIFY(!control<QPushButton>(*main_, "Command2")->isEnabled());
    }

    void accept() {
        renameAll({"a.txt", "b.txt"});
        settings::write(settings::kDir, "/elsewhere");
        click(control<QPushButton>(forms::frmDir(), "Command1"));  // Accept
        QCOMPARE(names(), QStringList({"n0001.txt", "n0002.txt"}));
        QCOMPARE(settings::read(settings::kDir), dir_->path());
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        QVERIFY(!control<QPushButton>(*main_, "Command4")->isEnabled());
    }

    void doubleClickInTheReviewAccepts() {
        dir_->createAll({"a.txt"});
        before_ = testing_support::contents(dir_->path());
        setOptions("n", "", "", "0");
        choose();
        extract("");
        rename();
        QAbstractItemView* list = control<QListView>(forms::frmDir(), "File1");
        const QRect first = list->visualRect(list->model()->index(0, 0));
        // A double-click is a click, then the second press of the pair.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        QCOMPARE(names(), QStringList{"n0001.txt"});
    }

    void collisionsInTheWindow() {
        dir_->createAll({"1.txt", "x1.txt", "y1.txt", "p.jpeg", "0001.jpeg", "r"});
        before_ = testing_support::contents(dir_->path());
        setOptions("", "", "", "0");
        choose({"x1.txt", "y1.txt"});
        extract("1");  // numeric: both become "1", which an unselected file holds
        rename();
        QCOMPARE(names(), QStringList({"0001.jpeg", "1-1.txt", "1-2.txt", "1.txt", "p.jpeg", "r"}));
        click(control<QPushButton>(forms::frmDir(), "Command1"));

        choose({"p.jpeg", "r"});
        extract("");
        rename();
        QCOMPARE(names(),
                 QStringList({"0001-1.jpeg", "0001.jpeg", "0002", "1-1.txt", "1-2.txt", "1.txt"}));
        click(control<QPushButton>(forms::frmDir(), "Command1"));
    }

    void deletedBeforeRenameStopsAndRestores() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        setOptions("n", "", "", "0");
        choose();
        extract("");
        QFile::remove(dir_->filePath("b.txt"));
        before_ = testing_support::contents(dir_->path());
        rename();
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(), QStringLiteral("Error # 53"));
        QCOMPARE(names(), QStringList({"a.txt", "c.txt"}));  // a.txt is back
        QVERIFY(!reviewOpen());
        QCOMPARE(control<QListWidget>(*main_, "List1")->count(),
                 3);  // the batch can be looked at again
    }

    void errorNumbers_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("example");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("outcome");    // what the review shows and tells a screen reader
        QTest::addColumn<QStringList>("notes");  // the files it lists, and why
        const QStringList untouched{"a.txt", "b.txt", "c.txt"};
        QTest::newRow("58 taken")
            << 58 << "" << QStringList{"n0001.txt", "n0002-1.txt", "n0003.txt"}
            << "2 renamed, 1 numbered, 0 skipped"
            << QStringList{"n0002-1.txt: numbered: n0002.txt is taken in the directory"};
        QTest::newRow("75 access")
            << 75 << "Some Files Were Skipped" << QStringList{"b.txt", "n0001.txt", "n0003.txt"}
            << "2 renamed, 0 numbered, 1 skipped"
            << QStringList{"b.txt: skipped: the system refuses the rename"};
        QTest::newRow("53 missing") << 53 << "Error # 53" << untouched << "" << QStringList();
        QTest::newRow("76 path") << 76 << "Error # 76" << untouched << "" << QStringList();
        QTest::newRow("61 disk full") << 61 << "Error # 61" << untouched << "" << QStringList();
        QTest::newRow("74 device") << 74 << "Error # 74" << untouched << "" << QStringList();
        QTest::newRow("5 other") << 5 << "Error # 5" << untouched << "" << QStringList();
    }

    // Each error number of the platform, injected at the second file.
    void errorNumbers() {
        QFETCH(int, error);
        QFETCH(QString, example);
        QFETCH(QStringList, after);
        QFETCH(QString, outcome);
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        before_ = testing_support::contents(dir_->path());
        FaultPlatform p;
        ScopedPlatform scoped(p);
        p.failRename("b.txt", Error(error), 1, testing_support::RenameSide::Source);
        setOptions("n", "", "", "0");
        choose();
        extract("");
        rename();
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(), example);
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->toolTip(),
                 QStringLiteral("Example Filename"));
        QCOMPARE(names(), after);
        QFETCH(QStringList, notes);
        QCOMPARE(reviewOpen(), !outcome.isEmpty());
        if (reviewOpen()) {
            frmDir& review = forms::frmDir();
            QCOMPARE(review.accessibleDescription(), outcome);
            QLabel* shown = control<QLabel>(review, "lblOutcome");
            QVERIFY(shown->isVisible());
            QCOMPARE(shown->text(), outcome);
            QListWidget* listed = control<QListWidget>(review, "lstNotes");
            QStringList lines;
            for (int i = 0; i < listed->count(); ++i) {
                lines << listed->item(i)->text();
            }
            QCOMPARE(lines, notes);
            QVERIFY(listed->isVisible());
        }
    }

    // A Rename or an Undo that takes longer than half a second shows how
    // far it is as it goes, over the main window, and takes it away at the end.
    void progressOnLongWork_data() {
        QTest::addColumn<bool>("undo");
        QTest::newRow("Rename") << false;
        QTest::newRow("Undo") << true;
    }
    void progressOnLongWork() {
        QFETCH(bool, undo);
        QStringList files;
        for (int i = 0; i < 12; ++i) {
            files << QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        }
        FaultPlatform p;
        ScopedPlatform scoped(p);
        QStringList seen;  // what the progress showed as each rename began
        bool slow = !undo;
        p.beforeRename = [&](const QString&, const QString&) {
            if (!slow) {
                return;
            }
            QTest::qSleep(70);
            auto* shown = main_->findChild<QWidget*>(QStringLiteral("frmProgress"));
            if (shown != nullptr && shown->isVisible()) {
                seen << shown->findChild<QLabel*>()->text();
                QCOMPARE(shown->findChild<QProgressBar*>()->maximum(), 12);
            }
        };
        renameAll(files);
        slow = true;
        if (undo) {
            click(control<QPushButton>(forms::frmDir(), "Command2"));
        }
        QVERIFY2(seen.size() >= 3, qPrintable(seen.join(", ")));
        QCOMPARE(seen.last(), QStringLiteral("11 of 12"));
        QVERIFY(main_->findChild<QWidget*>(QStringLiteral("frmProgress")) == nullptr);
        if (!undo) {
            click(control<QPushButton>(forms::frmDir(), "Command1"));
            before_.clear();
        }
    }

    // A stop whose way back fails too: the box shows the beginning of the
    // long report, and the whole of it can be read in its tooltip.
    void stoppedBatchIsSeenFromItsBeginning() {
        QStringList files;
        for (int i = 1; i <= 12; ++i) {
            files << QStringLiteral("scan%1.pdf").arg(i, 4, 10, QLatin1Char('0'));
        }
        dir_->createAll(files);
        FaultPlatform p;
        ScopedPlatform scoped(p);
        p.failRenameAfter(10, Error::DiskFull);
        setOptions("Doc-", "", "", "0");
        choose();
        extract("");
        rename();
        const auto* box = control<QLineEdit>(*main_, "txtExample");
        QVERIFY2(
            box->text().startsWith("Error # 61 - Not Restored: scan0001.pdf (now Doc-0001.pdf), "
                                   "scan0002.pdf (now Doc-0002.pdf)"),
            qPrintable(box->text()));
        QCOMPARE(box->cursorPosition(), 0);
        QCOMPARE(box->toolTip(), box->text());
    }

    void undoWithAnOldNameTakenMeanwhile() {
        dir_->createAll({"c.txt", "d.txt"});
        setOptions("n", "", "", "0");
        choose();
        extract("");
        rename();
        dir_->create("c.txt", "newcomer");
        before_ = testing_support::contents(dir_->path());
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QCOMPARE(names(), QStringList({"c-1.txt", "c.txt", "d.txt"}));
        QCOMPARE(dir_->read("c.txt"), QByteArray("newcomer"));
        QCOMPARE(dir_->read("c-1.txt"), QByteArray("c.txt"));
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(),
                 QStringLiteral("Undone, but numbered (the old name was taken): c.txt -> c-1.txt"));
    }

    // Undo carries on past a file it cannot restore and says which; tried
    // again once the cause is mended it finishes, and no stale error stays.
    void undoStoppedByADeletedFile() {
        renameAll({"a.txt", "b.txt", "c.txt"});
        QVERIFY(QFile::rename(dir_->filePath("n0002.txt"), dir_->filePath("elsewhere")));
        before_ = testing_support::contents(dir_->path());
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(),
                 QStringLiteral("Error # 53 - Not Restored: b.txt (now n0002.txt)"));
        QVERIFY(reviewOpen());
        QCOMPARE(names(), QStringList({"a.txt", "c.txt", "elsewhere"}));
        QVERIFY(QFile::exists(journal::currentPath()));  // n0002.txt is not back yet
        // Once the cause is mended, Undo goes on with what is left.
        QVERIFY(QFile::rename(dir_->filePath("elsewhere"), dir_->filePath("n0002.txt")));
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        QCOMPARE(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
        QVERIFY(control<QLineEdit>(*main_, "txtExample")->text().isEmpty());
        QVERIFY(journal::currentPath().isEmpty());
    }

    // While the review is open its batch keeps its way back: a quick
    // double-click on Rename renames nothing more, Set Mask, Extract and
    // Rename stay disabled, Select only brings the review to the front, and
    // Undo puts every name back.
    void reviewKeepsItsBatch() {
        dir_->createAll({"a.txt", "b.txt"});
        before_ = testing_support::contents(dir_->path());
        setOptions("n", "", "", "0");
        choose();
        extract("");
        // Press, release, press, release, as the window system sends a
        // double-click.
        QPushButton* renameButton = control<QPushButton>(*main_, "Command4");
        QVERIFY(QTest::qWaitForWindowExposed(main_));
        QTest::mouseDClick(main_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                           renameButton->mapTo(main_, renameButton->rect().center()));
        QVERIFY(reviewOpen());
        QCOMPARE(names(), QStringList({"n0001.txt", "n0002.txt"}));
        for (const char* step : {"Command2", "Command1", "Command4"}) {
            QVERIFY2(!control<QPushButton>(*main_, step)->isEnabled(), step);
        }

        frmDir* review = &forms::frmDir();
        click(control<QPushButton>(*main_, "Command3"));  // Select
        QCOMPARE(&forms::frmDir(), review);
        QVERIFY(reviewOpen());
        QCOMPARE(review->windowTitle(),
                 QStringLiteral("Accept the new names, or Undo the changes"));
        QCOMPARE(review->File1ListCount(), 2);
        QVERIFY(!control<QPushButton>(*main_, "Command4")->isEnabled());

        click(control<QPushButton>(forms::frmDir(), "Command2"));  // Undo
        QCOMPARE(names(), QStringList({"a.txt", "b.txt"}));
        for (const char* step : {"Command2", "Command1", "Command4"}) {
            QVERIFY2(!control<QPushButton>(*main_, step)->isEnabled(), step);
        }
        // Only now does Select choose again.
        choose();
        QCOMPARE(control<QListWidget>(*main_, "List1")->count(), 2);
    }

    // The batch renames in the directory chosen at OK, whatever happens to
    // "Dir" or to the directory's path afterwards, and never anywhere else.
    void renamesOnlyWhereChosen_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("example");  // the example box after Rename
        QTest::newRow("another instance writes Dir") << "other Dir"
                                                     << "";
        QTest::newRow("settings cannot be written") << "no settings"
                                                    << "";
        QTest::newRow("chosen directory moved") << "moved"
                                                << "";
        QTest::newRow("chosen directory removed") << "removed"
                                                  << "Error # 76";
        QTest::newRow("removed before OK") << "removed before OK"
                                           << "Error # 76";
    }

    void renamesOnlyWhereChosen() {
        QFETCH(QString, event);
        QFETCH(QString, example);
        const QString chosen = dir_->filePath("chosen");
        const QString moved = dir_->filePath("moved");
        QVERIFY(QDir().mkdir(chosen));
        for (const char* name : {"a.txt", "b.txt"}) {
            QFile f(chosen + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(name);
        }
        // A directory holding the same names, where the batch must never go.
        TempFiles other;
        other.createAll({"a.txt", "b.txt"});
        TempFiles blocker;
        blocker.create("config");
        // A store that cannot be written is reported in a message box; it is
        // counted here instead of shown.
        QStringList messages;
        const auto shownBefore = saveFailure::messageBox();
        saveFailure::messageBox() = [&messages](const QString& text) { messages << text; };
        const auto restoreBox = qScopeGuard([&] { saveFailure::messageBox() = shownBefore; });
        setOptions("n", "", "", "0");
        choose({}, chosen, [&] {
            if (event == "no settings") {
                // OK cannot store "Dir": it reads back as nothing from now on.
                qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker.filePath("config")));
            } else if (event == "removed before OK") {
                QVERIFY(QDir(chosen).removeRecursively());
            }
        });
        QCOMPARE(messages.size(), event == "no settings" ? 1 : 0);
        if (event == "removed before OK") {
            // Said at OK, with the reason: no file is listed, none can be renamed.
            QVERIFY(control<QLineEdit>(*main_, "txtExample")->text().startsWith(example + ":"));
            QVERIFY(!control<QPushButton>(*main_, "Command1")->isEnabled());
            QCOMPARE(other.names(), QStringList({"a.txt", "b.txt"}));
            return;
        }
        extract("");
        if (event == "other Dir") {
            settings::write(settings::kDir, other.path());
        } else if (event == "moved") {
            QVERIFY(QDir().rename(chosen, moved));
        } else if (event == "removed") {
            QVERIFY(QDir(chosen).removeRecursively());
        }
        const bool removed = event.startsWith("removed");
        if (event == "moved" || removed) {
            // Another directory made at the chosen path meanwhile.
            QVERIFY(QDir().mkdir(chosen));
            QFile(chosen + "/a.txt").open(QIODevice::WriteOnly);
        }
        rename();
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(), example);
        QCOMPARE(other.names(), QStringList({"a.txt", "b.txt"}));
        if (event == "moved" || removed) {
            QCOMPARE(QDir(chosen).entryList(QDir::Files), QStringList{"a.txt"});
        }
        if (removed) {
            QVERIFY(!reviewOpen());
            return;
        }
        const QString batchDir = event == "moved" ? moved : chosen;
        QCOMPARE(QDir(batchDir).entryList(QDir::Files), QStringList({"n0001.txt", "n0002.txt"}));
        click(control<QPushButton>(forms::frmDir(), "Command2"));  // Undo
        QCOMPARE(QDir(batchDir).entryList(QDir::Files), QStringList({"a.txt", "b.txt"}));
    }

    // The journal goes when the batch ends: Accept, a complete Undo, or the
    // program closed with the review open and the batch accepted when asked.
    void journalEndsWithTheBatch_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("Accept") << "accept" << QStringList{"n0001.txt", "n0002.txt"};
        QTest::newRow("Undo") << "undo" << QStringList{"a.txt", "b.txt"};
        QTest::newRow("program closed") << "close" << QStringList{"n0001.txt", "n0002.txt"};
    }

    void journalEndsWithTheBatch() {
        QFETCH(QString, end);
        QFETCH(QStringList, after);
        renameAll({"a.txt", "b.txt"});
        const QString path = journal::currentPath();
        QVERIFY(path.startsWith(settings_->stateDir() + "/Quillomat/"));
        QVERIFY(QFile::exists(path));
        if (end == "accept") {
            click(control<QPushButton>(forms::frmDir(), "Command1"));
        } else if (end == "undo") {
            click(control<QPushButton>(forms::frmDir(), "Command2"));
        } else {
            BoxAnswerer accept(
                {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_A, Qt::AltModifier); }});
            main_->close();
            QCOMPARE(accept.shown.size(), 1);
            main_ = &forms::frmMain();
        }
        QVERIFY(!QFile::exists(path));
        QCOMPARE(names(), after);
        if (end != "close") {
            QVERIFY(!appState().chosenDirectory);  // held open no longer
        }
    }

    // Double-clicking the emptied list while the review is open must not
    // cost the review its way back.
    void reviewSurvivesADoubleClickInTheEmptyList() {
        dir_->createAll({"a.txt", "b.txt"});
        before_ = testing_support::contents(dir_->path());
        setOptions("n", "", "", "0");
        choose();
        extract("");
        rename();
        QTest::mouseDClick(control<QListWidget>(*main_, "List1")->viewport(), Qt::LeftButton);
        QCOMPARE(appState().lastIndex, -1);
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QCOMPARE(names(), QStringList({"a.txt", "b.txt"}));
    }

    void emptyBatch() {
        dir_->createAll({"a.txt"});
        before_ = testing_support::contents(dir_->path());
        setOptions("n", "", "", "0");
        control<QPushButton>(*main_, "Command4")->setEnabled(true);
        rename();
        QVERIFY(reviewOpen());
        QVERIFY(control<QLineEdit>(*main_, "txtExample")->text().isEmpty());
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QVERIFY(!control<QPushButton>(*main_, "Command4")->isEnabled());
        QCOMPARE(names(), QStringList{"a.txt"});
    }

    void moreThan1001FilesAreCapped() {
        QStringList files;
        for (int i = 0; i < AppState::kMaxEntries + 1; ++i) {
            files << QStringLiteral("f%1.txt").arg(i, 4, 10, QLatin1Char('0'));
        }
        dir_->createAll(files);
        before_ = testing_support::contents(dir_->path());
        setOptions("n", "", "", "0");
        choose();
        QCOMPARE(control<QListWidget>(*main_, "List1")->count(), AppState::kMaxEntries + 1);
        extract("");
        rename();
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(),
                 QStringLiteral("Some Files Were Skipped"));
        QVERIFY(dir_->exists("n1001.txt"));
        QVERIFY(dir_->exists("f1001.txt"));  // the 1002nd file was left out
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QCOMPARE(names(), files);
    }

    void prefixLeavingTheDirectoryIsSkipped_data() {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("separator") << "sub/";
        QTest::newRow("parent") << "../";
    }

    void prefixLeavingTheDirectoryIsSkipped() {
        QFETCH(QString, prefix);
        QDir(dir_->path()).mkdir("sub");
        dir_->createAll({"a.txt"});
        before_ = testing_support::contents(dir_->path());
        setOptions(prefix, "", "", "0");  // as an edited settings file could hold it
        choose({"a.txt"});
        extract("");
        rename();
        QCOMPARE(control<QLineEdit>(*main_, "txtExample")->text(),
                 QStringLiteral("Some Files Were Skipped"));
        QCOMPARE(names(), QStringList{"a.txt"});
        QVERIFY(QDir(dir_->path() + "/sub").isEmpty());
        click(control<QPushButton>(forms::frmDir(), "Command1"));
    }

    void newNameEqualToTheOldOneIsLeftAlone() {
        dir_->createAll({"Report.txt", "Report-1.txt"});
        before_ = testing_support::contents(dir_->path());
        setOptions("", "", "", "0");
        choose({"Report.txt"});
        extract("Report");  // kind 3 with start "": Report-0001
        rename();
        QCOMPARE(names(), QStringList({"Report-0001.txt", "Report-1.txt"}));
        click(control<QPushButton>(forms::frmDir(), "Command2"));

        // A numeric mask that yields the file's own name.
        dir_->createAll({"42"});
        before_ = testing_support::contents(dir_->path());
        choose({"42"});
        extract("42");
        rename();
        QVERIFY(dir_->exists("42"));
        QVERIFY(!dir_->exists("42-1"));
        click(control<QPushButton>(forms::frmDir(), "Command2"));
    }

    void directoryRightUnderTheRoot() {
        if (geteuid() != 0) {
            QSKIP("needs to create a directory under /");
        }
        QTemporaryDir top(QStringLiteral("/qtest-XXXXXX"));
        QVERIFY(top.isValid());
        QFile f(top.filePath("a.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        settings::write(settings::kDir, top.path());
        setOptions("n", "", "", "0");
        click(control<QPushButton>(*main_, "Command3"));
        QTest::keyClick(control<QListView>(forms::frmDir(), "File1"), Qt::Key_A,
                        Qt::ControlModifier);
        click(control<QPushButton>(forms::frmDir(), "Command1"));
        extract("");
        rename();
        QVERIFY(QFile::exists(top.filePath("n0001.txt")));
        QCOMPARE(appState().oldNames[0], top.path() + "/a.txt");  // "/qtest-..." kept whole
        click(control<QPushButton>(forms::frmDir(), "Command1"));
    }
};

QTEST_MAIN(RenameWindowTest)
#include "test_rename_window.moc"
