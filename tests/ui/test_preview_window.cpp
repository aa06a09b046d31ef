// The preview window through the real main window: the menu entry follows
// Rename, the table shows every listed file with its new name and result, the
// counts, the keyboard (Ctrl+P, Tab, Ctrl+A, Ctrl+C, Esc), and it writes no
// settings and touches no file.
#include <QtTest>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTableView>

#include "engine/Settings.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmPreview.h"

using testing_support::TempFiles;

class PreviewWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    std::unique_ptr<TempFiles> dir_;
    frmMain* main_ = nullptr;

    void click(QWidget* w) {
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }
    QAction* previewEntry() { return control<QAction>(*main_, "mnuFilePreview"); }

    // Select, take every file of the directory, OK.
    void chooseAll() {
        settings::write(settings::kDir, dir_->path());
        click(control<QPushButton>(*main_, "Command3"));
        frmDir& chooser = forms::frmDir();
        QListView* files = control<QListView>(chooser, "File1");
        files->setFocus();
        QTest::keyClick(files, Qt::Key_A, Qt::ControlModifier);
        click(control<QPushButton>(chooser, "Command1"));
    }
    void extract(const QString& mask) {
        QLineEdit* box = control<QLineEdit>(*main_, "txtMask");
        box->clear();
        QTest::keyClicks(box, mask);
        click(control<QPushButton>(*main_, "Command1"));
    }
    // Ctrl+P in the main window, as a user opens the preview.
    frmPreview& openByKeyboard() {
        QTest::keyClick(main_, Qt::Key_P, Qt::ControlModifier);
        frmPreview& window = forms::frmPreview();
        return window;
    }
    static QByteArray settingsFile() {
        QFile file(settings::storeLocation(settings::kAppName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    // The counts line, whole where the label elides it.
    static QString whole(const QLabel* counts) {
        return counts->toolTip().isEmpty() ? counts->text() : counts->toolTip();
    }
    QTableView* table() { return control<QTableView>(forms::frmPreview(), "tblNames"); }
    QStringList column(int c) {
        QStringList cells;
        for (int row = 0; row < table()->model()->rowCount(); ++row) {
            cells << table()->model()->index(row, c).data().toString();
        }
        return cells;
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        dir_ = std::make_unique<TempFiles>();
        main_ = &forms::frmMain();
        main_->show();
        main_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main_));
    }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        dir_.reset();
        settings_.reset();
    }

    // Wherever the main window stands, the preview leaves the steps in
    // sight and stays on the screen: a click on the mask box reaches it.
    void standsBesideTheSteps_data() {
        QTest::addColumn<QPoint>("corner");  // of the main window, as a fraction of the room left
        QTest::newRow("top left") << QPoint(0, 0);
        QTest::newRow("top right") << QPoint(1, 0);
        QTest::newRow("bottom right") << QPoint(1, 1);
        QTest::newRow("centred") << QPoint(-1, -1);
    }
    void standsBesideTheSteps() {
        QFETCH(QPoint, corner);
        const QRect area = main_->screen()->availableGeometry();
        const QSize room = area.size() - main_->frameGeometry().size();
        main_->move(corner.x() < 0 ? room.width() / 2 : corner.x() * room.width(),
                    corner.y() < 0 ? room.height() / 2 : corner.y() * room.height());
        dir_->createAll({"a.jpg"});
        chooseAll();
        frmPreview& window = openByKeyboard();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(area.contains(window.frameGeometry()));
        for (const char* step : {"txtFile", "txtMask", "Command1", "txtExample", "Command4"}) {
            QWidget* w = control<QWidget>(*main_, step);
            const QRect onScreen(w->mapToGlobal(QPoint(0, 0)), w->size());
            QVERIFY2(!window.frameGeometry().intersects(onScreen), step);
        }
        QLineEdit* mask = control<QLineEdit>(*main_, "txtMask");
        QCOMPARE(QApplication::widgetAt(mask->mapToGlobal(mask->rect().center())), mask);
    }

    // A name in the counts line is shown as it is, "&" and all; a long one
    // is elided in the middle, whole in the tool tip, and the window stays
    // on the screen.
    void namesShownAsText_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("ampersand") << QStringLiteral("a&b1.txt");
        QTest::newRow("two ampersands") << QStringLiteral("x&&y.txt");
        QTest::newRow("185 characters") << QString(181, u'n') + QStringLiteral(".txt");
    }
    void namesShownAsText() {
        QFETCH(QString, name);
        dir_->createAll({name});
        chooseAll();
        QVERIFY(QFile::remove(dir_->path() + "/" + name));  // Rename would stop at it
        frmPreview& window = openByKeyboard();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel* counts = control<QLabel>(window, "lblCounts");
        const QString seen = QAccessible::queryAccessibleInterface(counts)->text(QAccessible::Name);
        QVERIFY(whole(counts).startsWith("Rename would stop at " + name + " with "));
        if (name.size() > 100) {
            QVERIFY(seen.contains(QChar(0x2026)));
        } else {
            QVERIFY2(seen.startsWith("Rename would stop at " + name + " wit"), qPrintable(seen));
        }
        QVERIFY(main_->screen()->availableGeometry().contains(window.frameGeometry()));
    }

    // The entry is enabled while files are listed (and while their review is
    // open), and says why when it is not.
    void entryFollowsTheList() {
        QVERIFY(!previewEntry()->isEnabled());
        QVERIFY(previewEntry()->statusTip().contains("Select"));
        dir_->createAll({"a.jpg", "b.jpg"});
        chooseAll();
        QVERIFY(!control<QPushButton>(*main_, "Command4")->isEnabled());
        QVERIFY(previewEntry()->isEnabled());
        // Before any Extract it shows the plan of the mask as it reads now.
        openByKeyboard();
        QCOMPARE(column(1), (QStringList{"0001.jpg", "0002.jpg"}));
        forms::unload(forms::Form::Preview);
        click(control<QPushButton>(*main_, "Command3"));  // Select empties the list
        QVERIFY(!previewEntry()->isEnabled());
        QTest::keyClick(main_, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!forms::isLoaded(forms::Form::Preview));
        QListView* files = control<QListView>(forms::frmDir(), "File1");
        files->setFocus();
        QTest::keyClick(files, Qt::Key_A, Qt::ControlModifier);
        click(control<QPushButton>(forms::frmDir(), "Command1"));
        extract(QString());
        click(control<QPushButton>(*main_, "Command4"));
        QVERIFY(previewEntry()->isEnabled());                      // the review's record
        click(control<QPushButton>(forms::frmDir(), "Command1"));  // Accept
        QVERIFY(!previewEntry()->isEnabled());
    }

    // A batch with a name taken in the directory, a file that keeps its name
    // and one whose name is not valid UTF-8.
    void rowsCountsAndCopy() {
        dir_->createAll({"a.jpg", "b.jpg", "c.txt", "0002.jpg"});
        const QString raw = QStringLiteral("d") + QChar(0xDCE9) + QStringLiteral(".jpg");
        testing_support::createRaw(dir_->path(), platform::encodeFileName(raw));
        QStringList before = platform::real().listDirectory(dir_->path()).files;
        before.sort();
        chooseAll();
        extract(QStringLiteral("."));  // text mask: every file with a dot
        const QByteArray settingsBefore = settingsFile();

        frmPreview& window = openByKeyboard();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Preview New Names"));
        QCOMPARE(column(0), (QStringList{"0002.jpg", "a.jpg", "b.jpg", "c.txt", "d\\xE9.jpg"}));
        QCOMPARE(column(1), (QStringList{".-0001.jpg", ".-0002.jpg", ".-0003.jpg", ".-0004.txt",
                                         ".-0005.jpg"}));
        // Named so, a file vanishes from file managers: the plan says so first.
        const QString hidden =
            QStringLiteral("renamed: file managers hide names that begin with \".\"");
        QCOMPARE(column(2).first(), hidden);
        QCOMPARE(whole(control<QLabel>(window, "lblCounts")),
                 QStringLiteral("5 renamed, 0 numbered, 0 left alone, 0 skipped"));

        // The table has the focus; Ctrl+A and Ctrl+C copy every row.
        QCOMPARE(QApplication::focusWidget(), table());
        QTest::keyClick(table(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.count(QLatin1Char('\n')), 5);
        QVERIFY(copied.startsWith(QStringLiteral("0002.jpg\t.-0001.jpg\t") + hidden + "\n"));
        QVERIFY(copied.contains(QStringLiteral("d\\xE9.jpg\t.-0005.jpg\t") + hidden + "\n"));

        // Tab reaches Close; Esc closes the window.
        QTest::keyClick(table(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control<QPushButton>(window, "cmdClose"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!forms::isLoaded(forms::Form::Preview));

        QStringList after = platform::real().listDirectory(dir_->path()).files;
        after.sort();
        QCOMPARE(after, before);
        QCOMPARE(settingsFile(), settingsBefore);
        testing_support::removeAllRaw(dir_->path());
    }

    // Numbered rows say why. The open window follows each key typed into
    // the mask, keeping the row the user selected; after Rename it shows what
    // was done, until Undo ends the batch.
    void followsTheMaskAndTheBatch() {
        dir_->createAll({"x1.jpg", "y1.jpg"});
        chooseAll();
        extract(QStringLiteral("1"));  // both files would be called 1.jpg
        openByKeyboard();
        QCOMPARE(column(1), (QStringList{"1.jpg", "1-1.jpg"}));
        QCOMPARE(column(2), (QStringList{"renamed",
                                         "numbered: 1.jpg is taken by an earlier file of this "
                                         "batch"}));
        QLabel* counts = control<QLabel>(forms::frmPreview(), "lblCounts");
        QCOMPARE(whole(counts), QStringLiteral("1 renamed, 1 numbered, 0 left alone, 0 skipped"));
        table()->setCurrentIndex(table()->model()->index(1, 0));

        QLineEdit* mask = control<QLineEdit>(*main_, "txtMask");
        mask->setFocus();
        QTest::keyClick(mask, Qt::Key_Backspace);
        QTest::keyClick(mask, Qt::Key_X);
        QCOMPARE(column(1), (QStringList{"x-0001.jpg", "y1.jpg"}));
        QCOMPARE(column(2), (QStringList{"renamed", "left alone: no match"}));
        QCOMPARE(table()->currentIndex().row(), 1);
        QVERIFY(whole(counts).endsWith("(as the mask reads now; Extract makes Rename follow it)"));

        extract(QString());
        QCOMPARE(whole(counts), QStringLiteral("2 renamed, 0 numbered, 0 left alone, 0 skipped"));
        click(control<QPushButton>(*main_, "Command4"));
        QVERIFY(forms::frmPreview().isVisible());
        QCOMPARE(column(1), (QStringList{"0001.jpg", "0002.jpg"}));
        click(control<QPushButton>(forms::frmDir(), "Command2"));  // Undo
        QCOMPARE(table()->model()->rowCount(), 0);
        QCOMPARE(dir_->names(), (QStringList{"x1.jpg", "y1.jpg"}));
    }

    // Moved and resized by the user, it comes back there the next time.
    void keepsItsPlace() {
        dir_->createAll({"a.jpg"});
        chooseAll();
        frmPreview& window = openByKeyboard();
        const QRect area = main_->screen()->availableGeometry();
        window.move(area.topLeft() + QPoint(10, 20));
        window.resize(300, 200);
        const QRect moved = window.geometry();
        window.close();
        QTest::keyClick(main_, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(forms::frmPreview().geometry(), moved);
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"
