// The file chooser and the Select command, driven by real clicks and keys over
// real temporary directories.
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <cerrno>

#include "engine/AppState.h"
#include "engine/Settings.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/ChooserLists.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"

using testing_support::FaultPlatform;
using testing_support::ScopedPlatform;
using testing_support::ScopedSettings;
using testing_support::TempFiles;

namespace {

const QString kNoValue = QStringLiteral("<no value>");
const QString kSelectCaption = QStringLiteral("Select the files to rename");

// Files and directories whose names are raw bytes (not necessarily UTF-8).
// Qt's own removal skips such names, so they are removed here, newest first;
// declare it after the TempFiles that holds them.
class RawEntries {
  public:
    RawEntries() = default;
    RawEntries(const RawEntries&) = delete;
    RawEntries& operator=(const RawEntries&) = delete;
    ~RawEntries() {
        for (auto it = entries_.crbegin(); it != entries_.crend(); ++it) {
            (it->second ? ::rmdir : ::unlink)(it->first.constData());
        }
    }

    // Creates the file `name` in `dir` and returns its path as text.
    QString file(const QString& dir, const QByteArray& name) {
        const QByteArray path = platform::encodeFileName(dir) + '/' + name;
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) {
            ::close(fd);
            entries_.append({path, false});
        }
        return platform::decodeFileName(path);
    }
    QString directory(const QString& dir, const QByteArray& name) {
        const QByteArray path = platform::encodeFileName(dir) + '/' + name;
        if (::mkdir(path.constData(), 0755) == 0) {
            entries_.append({path, true});
        }
        return platform::decodeFileName(path);
    }

  private:
    QList<std::pair<QByteArray, bool>> entries_;  // path, is a directory
};

// The fault platform, counting the readings of each directory by path.
class CountingPlatform : public FaultPlatform {
  public:
    QHash<QString, int> reads;
    platform::Listing listDirectory(const QString& dir) override {
        ++reads[dir];
        return FaultPlatform::listDirectory(dir);
    }
};

void makeDirs(const QString& root, const QStringList& relative) {
    for (const QString& dir : relative) {
        QVERIFY(QDir(root).mkpath(dir));
    }
}

QModelIndex rowNamed(QAbstractItemView* view, const QString& name) {
    QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (index.data(chooser::NameRole).toString() == name) {
            return index;
        }
    }
    return QModelIndex();
}

QModelIndex dirRowFor(frmDir& chooser, const QString& path) {
    QAbstractItemModel* model = control<QListView>(chooser, "Dir1")->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (index.data(chooser::PathRole).toString() == path) {
            return index;
        }
    }
    return QModelIndex();
}

QPoint centreOf(QAbstractItemView* view, const QModelIndex& index) {
    view->scrollTo(index);
    return view->visualRect(index).center();
}

void click(QAbstractItemView* view, const QModelIndex& index, Qt::KeyboardModifiers keys = {}) {
    QVERIFY(index.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, centreOf(view, index));
}

// Press, release, press as a double-click, release: what a real double-click sends.
void doubleClick(QAbstractItemView* view, const QModelIndex& index) {
    QVERIFY(index.isValid());
    const QPoint at = centreOf(view, index);
    QWidget* viewport = view->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

QStringList list1Items() {
    QStringList items;
    QListWidget* list = control<QListWidget>(forms::frmMain(), "List1");
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

QStringList file1Names(frmDir& chooser) {
    QStringList names;
    for (int i = 0; i < chooser.File1ListCount(); ++i) {
        names << chooser.File1List(i);
    }
    return names;
}

int visibleChoosers() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<frmDir*>(w) != nullptr && w->isVisible()) {
            ++count;
        }
    }
    return count;
}

bool messageBoxShown() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox*>(w) != nullptr && w->isVisible()) {
            return true;
        }
    }
    return false;
}

// Main-window buttons: Set Mask, Extract, Rename.
struct MainButtons {
    bool setMask;
    bool extract;
    bool rename;
};

MainButtons mainButtons() {
    frmMain& main = forms::frmMain();
    return {control<QPushButton>(main, "Command2")->isEnabled(),
            control<QPushButton>(main, "Command1")->isEnabled(),
            control<QPushButton>(main, "Command4")->isEnabled()};
}

void setMainButtons(bool enabled) {
    frmMain& main = forms::frmMain();
    control<QPushButton>(main, "Command2")->setEnabled(enabled);
    control<QPushButton>(main, "Command1")->setEnabled(enabled);
    control<QPushButton>(main, "Command4")->setEnabled(enabled);
}

}  // namespace

class ChooserTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ScopedSettings> settings_;

    frmMain& shownMain() {
        frmMain& main = forms::frmMain();
        main.show();
        return main;
    }

    // Stores `dir` as the last directory and presses Select.
    frmDir& select(const QString& dir) {
        if (!dir.isNull()) {
            settings::write(settings::kDir, dir);
        }
        QTest::mouseClick(control<QPushButton>(shownMain(), "Command3"), Qt::LeftButton);
        frmDir& chooser = forms::frmDir();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&chooser)); }();
        return chooser;
    }

  private slots:
    void init() { settings_ = std::make_unique<ScopedSettings>(); }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settings_.reset();
    }

    // OK with none, one and several files picked by clicks and keys.
    void okCopiesTheSelection_data() {
        QTest::addColumn<QStringList>("picks");  // "name" click, "+name" Shift, "^name" Ctrl
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << QStringList{} << QStringList{};
        QTest::newRow("one") << QStringList{"c.txt"} << QStringList{"c.txt"};
        QTest::newRow("Ctrl adds, list order kept")
            << QStringList{"d.txt", "^a.txt", "^c.txt"} << QStringList{"a.txt", "c.txt", "d.txt"};
        QTest::newRow("Shift extends a range")
            << QStringList{"b.txt", "+d.txt"} << QStringList{"b.txt", "c.txt", "d.txt"};
        QTest::newRow("Shift range upwards")
            << QStringList{"d.txt", "+B.txt"} << QStringList{"B.txt", "b.txt", "c.txt", "d.txt"};
        QTest::newRow("Ctrl removes from a range")
            << QStringList{"a.txt", "+d.txt", "^c.txt"}
            << QStringList{"a.txt", "B.txt", "b.txt", "d.txt"};
        QTest::newRow("a click starts again")
            << QStringList{"a.txt", "^b.txt", "e"} << QStringList{"e"};
        QTest::newRow("Ctrl+A") << QStringList{"^A"}
                                << QStringList{"a.txt", "B.txt", "b.txt", "c.txt", "d.txt", "e"};
    }

    void okCopiesTheSelection() {
        QFETCH(QStringList, picks);
        QFETCH(QStringList, expected);
        TempFiles dir;
        dir.createAll({"a.txt", "b.txt", "c.txt", "d.txt", "e", "B.txt"});
        makeDirs(dir.path(), {"sub"});
        frmDir& chooser = select(dir.path());
        setMainButtons(true);  // as after an earlier Extract

        QCOMPARE(file1Names(chooser),
                 (QStringList{"a.txt", "B.txt", "b.txt", "c.txt", "d.txt", "e"}));
        QListView* files = control<QListView>(chooser, "File1");
        for (const QString& pick : picks) {
            if (pick == QLatin1String("^A")) {
                files->setFocus();
                QTest::keyClick(files, Qt::Key_A, Qt::ControlModifier);
            } else if (pick.startsWith(QLatin1Char('+'))) {
                click(files, rowNamed(files, pick.mid(1)), Qt::ShiftModifier);
            } else if (pick.startsWith(QLatin1Char('^'))) {
                click(files, rowNamed(files, pick.mid(1)), Qt::ControlModifier);
            } else {
                click(files, rowNamed(files, pick));
            }
        }
        QTest::mouseClick(control<QPushButton>(chooser, "Command1"), Qt::LeftButton);

        QCOMPARE(list1Items(), expected);
        // The directory is pinned for the batch at OK, even with nothing picked.
        QVERIFY(appState().chosenDirectory);
        QCOMPARE(appState().chosenDirectory->path(), dir.path());
        frmMain& main = forms::frmMain();
        QCOMPARE(control<KeepSelectionLineEdit>(main, "txtFile")->text(), expected.value(0));
        const MainButtons buttons = mainButtons();
        QCOMPARE(buttons.setMask, !expected.isEmpty());
        QCOMPARE(buttons.extract, !expected.isEmpty());
        QVERIFY(!buttons.rename);
        QCOMPARE(settings::read(settings::kDir, kNoValue), dir.path());
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        QCOMPARE(visibleChoosers(), 0);

        // The next opening, and the rename step's read, start where OK was pressed.
        QCOMPARE(forms::frmDir().Dir1Path(), dir.path());
        QVERIFY(!forms::frmDir().isVisible());
    }

    void doubleClickActsAsOk() {
        TempFiles dir;
        dir.createAll({"a.txt", "b.txt", "c.txt"});
        frmDir& chooser = select(dir.path());
        QListView* files = control<QListView>(chooser, "File1");
        click(files, rowNamed(files, "a.txt"));
        click(files, rowNamed(files, "b.txt"), Qt::ControlModifier);
        doubleClick(files, rowNamed(files, "c.txt"));

        // The double-click's first press picked c.txt alone.
        QCOMPARE(list1Items(), QStringList{"c.txt"});
        QCOMPARE(control<KeepSelectionLineEdit>(forms::frmMain(), "txtFile")->text(),
                 QStringLiteral("c.txt"));
        QCOMPARE(settings::read(settings::kDir, kNoValue), dir.path());
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
    }

    void cancelWritesNothing_data() {
        QTest::addColumn<bool>("storedBefore");
        QTest::newRow("with a stored directory") << true;
        QTest::newRow("first use") << false;
    }

    void cancelWritesNothing() {
        QFETCH(bool, storedBefore);
        TempFiles dir;
        dir.createAll({"a.txt", "b.txt"});
        makeDirs(dir.path(), {"sub"});
        frmDir& chooser = select(storedBefore ? dir.path() : QString());
        QVERIFY(chooser.setDir1Path(dir.path()));
        doubleClick(control<QListView>(chooser, "Dir1"), dirRowFor(chooser, dir.filePath("sub")));
        QCOMPARE(chooser.Dir1Path(), dir.filePath("sub"));
        QVERIFY(chooser.setDir1Path(dir.path()));
        click(control<QListView>(chooser, "File1"),
              rowNamed(control<QListView>(chooser, "File1"), "a.txt"));
        setMainButtons(true);

        QTest::mouseClick(control<QPushButton>(chooser, "Command2"), Qt::LeftButton);

        QCOMPARE(settings::read(settings::kDir, kNoValue), storedBefore ? dir.path() : kNoValue);
        const MainButtons buttons = mainButtons();
        QVERIFY(!buttons.setMask && !buttons.extract && !buttons.rename);
        frmMain& main = forms::frmMain();
        QCOMPARE(control<QListWidget>(main, "List1")->count(), 0);
        QVERIFY(control<KeepSelectionLineEdit>(main, "txtFile")->text().isEmpty());
        QVERIFY(control<QLineEdit>(main, "txtMask")->text().isEmpty());
        QVERIFY(control<QLineEdit>(main, "txtExample")->text().isEmpty());
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
    }

    // Enter presses only the focused button; Esc presses nothing.
    void keysPressNoButton_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("pressed");  // "", "OK" or "Cancel"
        QTest::newRow("Enter in File1") << "File1" << int(Qt::Key_Return) << "";
        QTest::newRow("keypad Enter in File1") << "File1" << int(Qt::Key_Enter) << "";
        QTest::newRow("Esc in File1") << "File1" << int(Qt::Key_Escape) << "";
        QTest::newRow("Enter in Drive1") << "Drive1" << int(Qt::Key_Return) << "";
        QTest::newRow("Esc in Dir1") << "Dir1" << int(Qt::Key_Escape) << "";
        QTest::newRow("Esc on OK") << "Command1" << int(Qt::Key_Escape) << "";
        QTest::newRow("Esc on Cancel") << "Command2" << int(Qt::Key_Escape) << "";
        QTest::newRow("Enter on OK") << "Command1" << int(Qt::Key_Return) << "OK";
        QTest::newRow("Space on OK") << "Command1" << int(Qt::Key_Space) << "OK";
        QTest::newRow("Enter on Cancel") << "Command2" << int(Qt::Key_Return) << "Cancel";
    }

    void keysPressNoButton() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, pressed);
        TempFiles dir;
        makeDirs(dir.path(), {"sub"});
        dir.createAll({"sub/a.txt", "sub/b.txt"});
        frmDir& chooser = select(dir.path());
        QCOMPARE(chooser.focusWidget(),
                 static_cast<QWidget*>(control<QComboBox>(chooser, "Drive1")));
        QVERIFY(chooser.setDir1Path(dir.filePath("sub")));
        QListView* files = control<QListView>(chooser, "File1");
        click(files, rowNamed(files, "b.txt"));
        auto* target = chooser.findChild<QWidget*>(focus);
        QVERIFY(target != nullptr);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));

        const bool ok = pressed == QLatin1String("OK");
        QCOMPARE(forms::isLoaded(forms::Form::Dir), pressed.isEmpty());
        QCOMPARE(list1Items(), ok ? QStringList{"b.txt"} : QStringList{});
        QCOMPARE(settings::read(settings::kDir, kNoValue), ok ? dir.filePath("sub") : dir.path());
        if (pressed.isEmpty()) {
            QVERIFY(chooser.isVisible());
            QCOMPARE(chooser.Dir1Path(), dir.filePath("sub"));
            QVERIFY(chooser.File1Selected(1));
        }
    }

    // Where Load puts the lists, and its quiet fallback to the root.
    void loadRestoresTheDirectory_data() {
        QTest::addColumn<QString>("stored");  // relative to a temp dir; <unset>, <gone>
        QTest::addColumn<QString>("fault");   // "", "unreadable", "hidden"
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored directory") << "sub"
                                          << ""
                                          << "sub";
        QTest::newRow("trailing separator dropped") << "sub/"
                                                    << ""
                                                    << "sub";
        QTest::newRow("dots folded") << "sub/../sub/./deeper/.."
                                     << ""
                                     << "sub";
        QTest::newRow("first use") << "<unset>"
                                   << ""
                                   << "/";
        QTest::newRow("deleted since") << "<gone>"
                                       << ""
                                       << "/";
        QTest::newRow("empty text") << "<empty>"
                                    << ""
                                    << "/";
        QTest::newRow("unreadable") << "sub"
                                    << "unreadable"
                                    << "/";
        QTest::newRow("drive not ready") << "sub"
                                         << "hidden"
                                         << "/";
    }

    void loadRestoresTheDirectory() {
        QFETCH(QString, stored);
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        TempFiles dir;
        makeDirs(dir.path(), {"sub/deeper"});
        dir.create("sub/in-sub.txt");
        if (stored == QLatin1String("<gone>")) {
            makeDirs(dir.path(), {"gone"});
            settings::write(settings::kDir, dir.filePath("gone"));
            QVERIFY(QDir(dir.filePath("gone")).removeRecursively());
        } else if (stored == QLatin1String("<empty>")) {
            settings::write(settings::kDir, QString());
        } else if (stored != QLatin1String("<unset>")) {
            settings::write(settings::kDir, dir.path() + QLatin1Char('/') + stored);
        }
        FaultPlatform faults;
        if (fault == QLatin1String("unreadable")) {
            faults.failListing(dir.filePath("sub"));
        } else if (fault == QLatin1String("hidden")) {
            faults.hideDirectory(dir.filePath("sub"));
        }
        ScopedPlatform installed(faults);

        const QString want = expected == QLatin1String("/") ? expected : dir.filePath(expected);
        // Reading Dir1's path loads the chooser, hidden.
        frmDir& chooser = forms::frmDir();
        QCOMPARE(chooser.Dir1Path(), want);
        QVERIFY(!chooser.isVisible());
        QCOMPARE(chooser.File1Path(), want);
        QCOMPARE(file1Names(chooser),
                 chooser::listOrder(platform::current().listDirectory(want).files, false));
        QVERIFY(!chooser.Drive1Drive().isEmpty());
        QVERIFY(want.startsWith(platform::withoutRootSeparator(chooser.Drive1Drive())));
        QVERIFY(!messageBoxShown());
        // Loading reads the setting and never writes it.
        QCOMPARE(settings::read(settings::kDir, kNoValue) == kNoValue,
                 stored == QLatin1String("<unset>"));
    }

    // Load picks the drive of the stored directory; the drive change that
    // raises must leave Dir1 where Load put it.
    void loadKeepsDirectoryOnAnotherDrive() {
        TempFiles volume;
        makeDirs(volume.path(), {"photos/2024"});
        volume.create("photos/2024/p1.jpg");
        FaultPlatform faults;
        faults.setDrives({"/", volume.path()});
        ScopedPlatform installed(faults);
        settings::write(settings::kDir, volume.filePath("photos/2024"));

        frmDir& chooser = forms::frmDir();
        QCOMPARE(chooser.Drive1Drive(), volume.path());
        QCOMPARE(control<QComboBox>(chooser, "Drive1")->count(), 2);
        QCOMPARE(control<QComboBox>(chooser, "Drive1")->itemData(0).toString(),
                 QStringLiteral("/"));
        QCOMPARE(chooser.Dir1Path(), volume.filePath("photos/2024"));
        QCOMPARE(file1Names(chooser), QStringList{"p1.jpg"});
    }

    // Choosing a drive in Drive1 with the keyboard.
    void driveChange_data() {
        QTest::addColumn<QString>("fault");  // on the second volume
        QTest::addColumn<bool>("opens");
        QTest::newRow("readable drive") << "" << true;
        QTest::newRow("unreadable drive") << "unreadable" << false;
        QTest::newRow("drive not ready") << "hidden" << false;
    }

    void driveChange() {
        QFETCH(QString, fault);
        QFETCH(bool, opens);
        TempFiles first;
        TempFiles second;
        makeDirs(first.path(), {"a/b"});
        first.create("a/b/one.txt");
        second.create("two.txt");
        FaultPlatform faults;
        faults.setDrives({"/", first.path(), second.path()});
        if (fault == QLatin1String("unreadable")) {
            faults.failListing(second.path());
        } else if (fault == QLatin1String("hidden")) {
            faults.hideDirectory(second.path());
        }
        ScopedPlatform installed(faults);
        frmDir& chooser = select(first.filePath("a/b"));
        QCOMPARE(chooser.Drive1Drive(), first.path());

        QComboBox* drives = control<QComboBox>(chooser, "Drive1");
        drives->setFocus();
        QTest::keyClick(drives, Qt::Key_Down);
        if (opens) {
            QCOMPARE(chooser.Drive1Drive(), second.path());
            QCOMPARE(chooser.Dir1Path(), second.path());
            QCOMPARE(file1Names(chooser), QStringList{"two.txt"});
            // Back on the first drive: the directory last shown there.
            QTest::keyClick(drives, Qt::Key_Up);
            QCOMPARE(chooser.Drive1Drive(), first.path());
            QCOMPARE(chooser.Dir1Path(), first.filePath("a/b"));
        } else {
            QCOMPARE(chooser.Drive1Drive(), first.path());
            QCOMPARE(chooser.Dir1Path(), first.filePath("a/b"));
            QCOMPARE(file1Names(chooser), QStringList{"one.txt"});
        }
        QVERIFY(!messageBoxShown());
        // The root drive opens at its root.
        QTest::keyClick(drives, Qt::Key_Home);
        QCOMPARE(chooser.Drive1Drive(), QStringLiteral("/"));
        QCOMPARE(chooser.Dir1Path(), QStringLiteral("/"));
    }

    // Moving through Dir1 across a mount point takes Drive1 along, and the
    // drive left behind can be chosen again.
    void driveFollowsTheDirectory() {
        TempFiles volume;
        makeDirs(volume.path(), {"photos/2024"});
        volume.create("photos/2024/p1.jpg");
        const QString above = QFileInfo(volume.path()).path();  // on the root volume
        FaultPlatform faults;
        faults.setDrives({"/", volume.path()});
        ScopedPlatform installed(faults);
        frmDir& chooser = select(volume.filePath("photos/2024"));
        QCOMPARE(chooser.Drive1Drive(), volume.path());
        QComboBox* drives = control<QComboBox>(chooser, "Drive1");
        QListView* dirs = control<QListView>(chooser, "Dir1");

        // Up out of the volume, by double-click and by Enter.
        doubleClick(dirs, dirRowFor(chooser, volume.path()));
        QCOMPARE(chooser.Drive1Drive(), volume.path());
        doubleClick(dirs, dirRowFor(chooser, above));
        QCOMPARE(chooser.Dir1Path(), above);
        QCOMPARE(chooser.Drive1Drive(), QStringLiteral("/"));
        QCOMPARE(drives->currentText(), QStringLiteral("/"));

        // Choosing the volume again opens it where it was left.
        drives->setFocus();
        QTest::keyClick(drives, Qt::Key_Down);
        QCOMPARE(chooser.Drive1Drive(), volume.path());
        QCOMPARE(chooser.Dir1Path(), volume.path());

        // Into the volume from above, by Enter on its entry.
        QTest::keyClick(drives, Qt::Key_Up);
        QCOMPARE(chooser.Dir1Path(), above);
        dirs->setFocus();
        dirs->setCurrentIndex(dirRowFor(chooser, volume.path()));
        QTest::keyClick(dirs, Qt::Key_Return);
        QCOMPARE(chooser.Dir1Path(), volume.path());
        QCOMPARE(chooser.Drive1Drive(), volume.path());
        QVERIFY(!messageBoxShown());
    }

    // The lists leave out names that start with "." until Ctrl+H, and sort as
    // people read: without regard to case, numbers by value. OK copies that
    // order, and a batch is numbered in it.
    void hiddenNamesAndNaturalOrder() {
        TempFiles dir;
        RawEntries raw;
        dir.createAll({"IMG_10.jpg", "IMG_2.jpg", "img_3.jpg", "README", "a.txt", ".hidden"});
        const QByteArray oddBytes = "caf\xe9 9.jpg";
        const QString odd = platform::nameOf(raw.file(dir.path(), oddBytes));
        makeDirs(dir.path(), {"Zeta", "alpha", "Beta 10", "Beta 9", ".cache"});
        frmDir& chooser = select(dir.path());
        QListView* files = control<QListView>(chooser, "File1");
        QAbstractItemModel* dirs = control<QListView>(chooser, "Dir1")->model();
        const auto subdirectories = [&] {
            QStringList names;
            const int first = int(chooser::ancestorsOf(dir.path()).size());
            for (int row = first; row < dirs->rowCount(); ++row) {
                names << dirs->index(row, 0).data(chooser::NameRole).toString();
            }
            return names;
        };

        const QStringList shown{"a.txt", odd, "IMG_2.jpg", "img_3.jpg", "IMG_10.jpg", "README"};
        QCOMPARE(file1Names(chooser), shown);
        QCOMPARE(subdirectories(), (QStringList{"alpha", "Beta 9", "Beta 10", "Zeta"}));
        // The name that is not UTF-8 is listed byte for byte.
        QCOMPARE(platform::encodeFileName(chooser.File1List(1)), oddBytes);

        // Ctrl+H shows the hidden names; what was selected stays selected.
        click(files, rowNamed(files, "img_3.jpg"));
        QTest::keyClick(files, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(file1Names(chooser), QStringList{".hidden"} + shown);
        QCOMPARE(subdirectories(), (QStringList{".cache", "alpha", "Beta 9", "Beta 10", "Zeta"}));
        QVERIFY(chooser.File1Selected(4));
        QTest::keyClick(control<QListView>(chooser, "Dir1"), Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(file1Names(chooser), shown);
        QCOMPARE(subdirectories().size(), 4);
        QVERIFY(chooser.File1Selected(3));

        // OK hands the files over in this order, and Rename numbers them so.
        files->setFocus();
        QTest::keyClick(files, Qt::Key_A, Qt::ControlModifier);
        QTest::mouseClick(control<QPushButton>(chooser, "Command1"), Qt::LeftButton);
        QCOMPARE(list1Items(), shown);
        frmMain& main = forms::frmMain();
        QTest::mouseClick(control<QPushButton>(main, "Command1"), Qt::LeftButton);  // no mask
        QTest::mouseClick(control<QPushButton>(main, "Command4"), Qt::LeftButton);
        QVERIFY(forms::isLoaded(forms::Form::Dir));
        QCOMPARE(forms::frmDir().mode(), frmDir::Mode::Review);
        QCOMPARE(dir.read("0001.txt"), QByteArray("a.txt"));
        QVERIFY(QFile::exists(dir.filePath("0002.jpg")));
        QCOMPARE(dir.read("0003.jpg"), QByteArray("IMG_2.jpg"));
        QCOMPARE(dir.read("0004.jpg"), QByteArray("img_3.jpg"));
        QCOMPARE(dir.read("0005.jpg"), QByteArray("IMG_10.jpg"));
        QCOMPARE(dir.read("0006"), QByteArray("README"));
        QCOMPARE(dir.read(".hidden"), QByteArray(".hidden"));  // never listed, never renamed
        QTest::mouseClick(control<QPushButton>(forms::frmDir(), "Command1"), Qt::LeftButton);
    }

    // The directory list: ancestors opened, then the subdirectories; a
    // double-click or Enter opens an entry.
    void directoryList() {
        TempFiles dir;
        makeDirs(dir.path(), {"top/mid/one", "top/mid/two", "top/mid/.hidden", "top/other"});
        dir.create("top/mid/one/file1.txt");
        dir.create("top/mid/in-mid.txt");
        dir.create("top/in-top.txt");
        frmDir& chooser = select(dir.filePath("top/mid"));

        const QStringList ancestors = chooser::ancestorsOf(dir.filePath("top/mid"));
        QCOMPARE(ancestors.first(), QStringLiteral("/"));
        QCOMPARE(ancestors.last(), dir.filePath("top/mid"));
        QAbstractItemModel* model = control<QListView>(chooser, "Dir1")->model();
        QCOMPARE(model->rowCount(), ancestors.size() + 2);  // .hidden is not listed
        for (int row = 0; row < ancestors.size(); ++row) {
            QCOMPARE(model->index(row, 0).data(chooser::PathRole).toString(), ancestors[row]);
            QCOMPARE(model->index(row, 0).data(chooser::DepthRole).toInt(), row);
        }
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("/"));
        QCOMPARE(model->index(ancestors.size() - 1, 0).data().toString(), QStringLiteral("mid"));
        QStringList children;
        for (int row = int(ancestors.size()); row < model->rowCount(); ++row) {
            children << model->index(row, 0).data().toString();
            QCOMPARE(model->index(row, 0).data(chooser::DepthRole).toInt(), ancestors.size());
        }
        QCOMPARE(children, (QStringList{"one", "two"}));
        // The current directory is the highlighted entry.
        QCOMPARE(control<QListView>(chooser, "Dir1")->currentIndex().row(), ancestors.size() - 1);

        // Double-click opens a subdirectory.
        QSignalSpy files(control<QListView>(chooser, "File1")->model(),
                         &QAbstractItemModel::modelReset);
        doubleClick(control<QListView>(chooser, "Dir1"),
                    dirRowFor(chooser, dir.filePath("top/mid/one")));
        QCOMPARE(chooser.Dir1Path(), dir.filePath("top/mid/one"));
        QCOMPARE(chooser.File1Path(), dir.filePath("top/mid/one"));
        QCOMPARE(file1Names(chooser), QStringList{"file1.txt"});
        QCOMPARE(files.count(), 1);

        // Going up through an ancestor entry.
        doubleClick(control<QListView>(chooser, "Dir1"), dirRowFor(chooser, dir.filePath("top")));
        QCOMPARE(chooser.Dir1Path(), dir.filePath("top"));
        QCOMPARE(file1Names(chooser), QStringList{"in-top.txt"});

        // Enter opens the highlighted entry; a single click only highlights.
        click(control<QListView>(chooser, "Dir1"), dirRowFor(chooser, dir.filePath("top/other")));
        QCOMPARE(chooser.Dir1Path(), dir.filePath("top"));
        QTest::keyClick(control<QListView>(chooser, "Dir1"), Qt::Key_Return);
        QCOMPARE(chooser.Dir1Path(), dir.filePath("top/other"));
        QVERIFY(file1Names(chooser).isEmpty());
        QVERIFY(forms::isLoaded(forms::Form::Dir));

        // Arrow keys then Enter: up one entry is the parent.
        control<QListView>(chooser, "Dir1")->setFocus();
        QTest::keyClick(control<QListView>(chooser, "Dir1"), Qt::Key_Up);
        QTest::keyClick(control<QListView>(chooser, "Dir1"), Qt::Key_Enter);
        QCOMPARE(chooser.Dir1Path(), dir.filePath("top"));

        // The root keeps its separator, and only the root.
        doubleClick(control<QListView>(chooser, "Dir1"),
                    control<QListView>(chooser, "Dir1")->model()->index(0, 0));
        QCOMPARE(chooser.Dir1Path(), QStringLiteral("/"));
        QCOMPARE(control<QListView>(chooser, "Dir1")->model()->rowCount() > 1, true);
        QCOMPARE(control<QListView>(chooser, "Dir1")->currentIndex().row(), 0);
    }

    void setDir1PathRaisesDir1Change_data() {
        QTest::addColumn<QString>("target");  // relative to the temp dir
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("listings");  // times File1 was listed again
        QTest::newRow("another directory") << "sub" << true << 1;
        QTest::newRow("the same directory") << "." << true << 0;
        QTest::newRow("a missing directory") << "missing" << false << 0;
        QTest::newRow("a file") << "a.txt" << false << 0;
    }

    void setDir1PathRaisesDir1Change() {
        QFETCH(QString, target);
        QFETCH(bool, accepted);
        QFETCH(int, listings);
        TempFiles dir;
        makeDirs(dir.path(), {"sub"});
        dir.create("a.txt");
        frmDir& chooser = select(dir.path());
        QSignalSpy files(control<QListView>(chooser, "File1")->model(),
                         &QAbstractItemModel::modelReset);
        QCOMPARE(chooser.setDir1Path(dir.filePath(target)), accepted);
        QCOMPARE(files.count(), listings);
        QCOMPARE(chooser.Dir1Path(), accepted ? QDir::cleanPath(dir.filePath(target)) : dir.path());
        QCOMPARE(chooser.File1Path(), chooser.Dir1Path());
    }

    // One reading of a directory fills both lists, whichever way it comes to be shown.
    void oneReadingForBothLists_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("shown");  // relative to the temp dir
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("subdirectory");
        QTest::newRow("Select loads the chooser") << 0 << "." << QStringList{"a.txt"} << "sub";
        QTest::newRow("Select on the open chooser") << 1 << "." << QStringList{"a.txt"} << "sub";
        QTest::newRow("a subdirectory opened") << 2 << "sub" << QStringList{"b.txt"} << "inner";
        QTest::newRow("Ctrl+H") << 3 << "." << QStringList{".h", "a.txt"} << "sub";
    }

    void oneReadingForBothLists() {
        QFETCH(int, way);
        QFETCH(QString, shown);
        QFETCH(QStringList, files);
        QFETCH(QString, subdirectory);
        TempFiles dir;
        makeDirs(dir.path(), {"sub/inner"});
        dir.createAll({"a.txt", ".h", "sub/b.txt"});
        CountingPlatform counting;
        ScopedPlatform installed(counting);
        frmDir& chooser = select(dir.path());
        if (way != 0) {
            counting.reads.clear();
        }
        if (way == 1) {
            select(QString());
        } else if (way == 2) {
            doubleClick(control<QListView>(chooser, "Dir1"),
                        dirRowFor(chooser, dir.filePath("sub")));
        } else if (way == 3) {
            QTest::keyClick(control<QListView>(chooser, "File1"), Qt::Key_H, Qt::ControlModifier);
        }
        const QString path = QDir::cleanPath(dir.filePath(shown));
        QCOMPARE(chooser.Dir1Path(), path);
        QCOMPARE(counting.reads.value(path), 1);
        QCOMPARE(file1Names(chooser), files);
        QVERIFY(dirRowFor(chooser, path + "/" + subdirectory).isValid());
    }

    // Select empties the work area, opens the chooser and leaves the buttons alone.
    void selectEmptiesTheWorkArea_data() {
        QTest::addColumn<bool>("afterExtract");
        QTest::newRow("after a finished batch") << false;
        QTest::newRow("after Extract") << true;
    }

    void selectEmptiesTheWorkArea() {
        QFETCH(bool, afterExtract);
        TempFiles dir;
        dir.createAll({"x.txt", "y.txt"});
        frmMain& main = shownMain();
        control<QListWidget>(main, "List1")->addItems({"old1", "old2"});
        control<KeepSelectionLineEdit>(main, "txtFile")->setText(QStringLiteral("old1"));
        control<QLineEdit>(main, "txtMask")->setText(QStringLiteral("ld"));
        control<QLineEdit>(main, "txtExample")->setText(QStringLiteral("new1"));
        setMainButtons(afterExtract);

        frmDir& chooser = select(dir.path());

        QCOMPARE(control<QListWidget>(main, "List1")->count(), 0);
        QVERIFY(control<KeepSelectionLineEdit>(main, "txtFile")->text().isEmpty());
        QVERIFY(control<QLineEdit>(main, "txtMask")->text().isEmpty());
        QVERIFY(control<QLineEdit>(main, "txtExample")->text().isEmpty());
        const MainButtons buttons = mainButtons();
        QCOMPARE(buttons.setMask, afterExtract);
        QCOMPARE(buttons.extract, afterExtract);
        QCOMPARE(buttons.rename, afterExtract);
        QCOMPARE(chooser.Dir1Path(), dir.path());
        QCOMPARE(chooser.windowTitle(), kSelectCaption);
        QVERIFY(chooser.isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(control<QPushButton>(chooser, "Command1")->text(), QStringLiteral("&OK"));
        QCOMPARE(control<QPushButton>(chooser, "Command2")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(file1Names(chooser), (QStringList{"x.txt", "y.txt"}));
        QCOMPARE(chooser.focusWidget(),
                 static_cast<QWidget*>(control<QComboBox>(chooser, "Drive1")));
    }

    void selectTwiceShowsOneChooser() {
        TempFiles dir;
        dir.createAll({"a.txt"});
        frmDir& chooser = select(dir.path());
        frmDir* first = &chooser;
        click(control<QListView>(chooser, "File1"),
              rowNamed(control<QListView>(chooser, "File1"), "a.txt"));
        chooser.setWindowTitle(QStringLiteral("something else"));
        control<QListWidget>(forms::frmMain(), "List1")->addItem(QStringLiteral("stray"));
        dir.create("b.txt");

        frmDir& again = select(QString());

        QCOMPARE(&again, first);
        QCOMPARE(visibleChoosers(), 1);
        QCOMPARE(again.windowTitle(), kSelectCaption);
        QCOMPARE(file1Names(again), (QStringList{"a.txt", "b.txt"}));
        QVERIFY(!again.File1Selected(0));  // refreshed
        QCOMPARE(control<QListWidget>(forms::frmMain(), "List1")->count(), 0);
    }

    // Select over an open review brings the review to the front and changes
    // nothing: neither the window nor the main window's work area.
    void selectOverReviewKeepsItsButtons() {
        TempFiles dir;
        dir.createAll({"a.txt"});
        frmDir& chooser = select(dir.path());
        chooser.enterReview(dir.path());
        control<QListWidget>(forms::frmMain(), "List1")->addItem(QStringLiteral("stray"));
        control<QLineEdit>(forms::frmMain(), "txtExample")
            ->setText(QStringLiteral("Some Files Were Skipped"));

        frmDir& again = select(QString());
        QCOMPARE(&again, &chooser);
        QCOMPARE(again.mode(), frmDir::Mode::Review);
        QCOMPARE(again.windowTitle(), QStringLiteral("Accept the new names, or Undo the changes"));
        QCOMPARE(control<QPushButton>(again, "Command1")->text(), QStringLiteral("Accept"));
        QCOMPARE(control<QPushButton>(again, "Command2")->text(), QStringLiteral("Undo"));
        QCOMPARE(control<QListWidget>(forms::frmMain(), "List1")->count(), 1);
        QCOMPARE(control<QLineEdit>(forms::frmMain(), "txtExample")->text(),
                 QStringLiteral("Some Files Were Skipped"));
    }

    // A name that is not valid UTF-8 goes into List1 and back to the same bytes.
    void nonUtf8NameTravelsByteExact() {
        TempFiles dir;
        RawEntries raw;
        const QByteArray latin1 = "caf\xe9.txt";
        const QByteArray broken = "\xff\xfe-\xc3(.jpg";
        raw.file(dir.path(), latin1);
        raw.file(dir.path(), broken);
        dir.create("plain.txt");
        frmDir& chooser = select(dir.path());
        QCOMPARE(chooser.File1ListCount(), 3);

        QListView* files = control<QListView>(chooser, "File1");
        const QModelIndex cafe = rowNamed(files, platform::decodeFileName(latin1));
        const QModelIndex odd = rowNamed(files, platform::decodeFileName(broken));
        QVERIFY(cafe.isValid() && odd.isValid());
        QCOMPARE(cafe.data().toString(), QStringLiteral("caf\\xE9.txt"));
        QCOMPARE(odd.data().toString(), QStringLiteral("\\xFF\\xFE-\\xC3(.jpg"));
        click(files, cafe);
        click(files, odd, Qt::ControlModifier);
        QTest::mouseClick(control<QPushButton>(chooser, "Command1"), Qt::LeftButton);

        QListWidget* list = control<QListWidget>(forms::frmMain(), "List1");
        QCOMPARE(list->count(), 2);
        QSet<QByteArray> back;
        for (int i = 0; i < list->count(); ++i) {
            const QString name = list->item(i)->text();
            back << platform::encodeFileName(name);
            QVERIFY(platform::current().listDirectory(dir.path()).files.contains(name));
        }
        QCOMPARE(back, (QSet<QByteArray>{latin1, broken}));
        QCOMPARE(platform::encodeFileName(
                     control<KeepSelectionLineEdit>(forms::frmMain(), "txtFile")->text()),
                 platform::encodeFileName(list->item(0)->text()));
    }

    // A directory whose path is not valid UTF-8 is stored and restored exactly.
    void nonUtf8DirectoryRoundTrips() {
        TempFiles dir;
        RawEntries raw;
        const QString odd = raw.directory(dir.path(), "d\xe9j\xe0-\xff");
        QVERIFY(platform::current().directoryExists(odd));
        raw.file(odd, "inside.txt");
        frmDir& chooser = select(dir.path());
        const QModelIndex entry = dirRowFor(chooser, odd);
        QCOMPARE(entry.data().toString(), QStringLiteral("d\\xE9j\\xE0-\\xFF"));
        doubleClick(control<QListView>(chooser, "Dir1"), entry);
        QCOMPARE(chooser.Dir1Path(), odd);
        QCOMPARE(file1Names(chooser), QStringList{"inside.txt"});
        QTest::mouseClick(control<QPushButton>(chooser, "Command1"), Qt::LeftButton);

        // The rename step's read: a fresh, hidden chooser on the same bytes.
        const QString restored = forms::frmDir().Dir1Path();
        QCOMPARE(platform::encodeFileName(restored), platform::encodeFileName(odd));
        QCOMPARE(file1Names(forms::frmDir()), QStringList{"inside.txt"});
    }

    // A directory that cannot be read shows no files; the user can move on or Cancel.
    void unreadableDirectory() {
        TempFiles dir;
        makeDirs(dir.path(), {"shown/inner", "locked"});
        dir.create("shown/a.txt");
        dir.create("locked/secret.txt");
        dir.create("top.txt");
        FaultPlatform faults;
        ScopedPlatform installed(faults);
        frmDir& chooser = select(dir.filePath("shown"));
        QCOMPARE(file1Names(chooser), QStringList{"a.txt"});

        // Refused while shown: Select lists it again and finds nothing.
        faults.failListing(dir.filePath("shown"));
        select(QString());
        QCOMPARE(chooser.File1ListCount(), 0);
        QCOMPARE(chooser.Dir1Path(), dir.filePath("shown"));

        // Up to the parent, which still reads.
        doubleClick(control<QListView>(chooser, "Dir1"), dirRowFor(chooser, dir.path()));
        QCOMPARE(chooser.Dir1Path(), dir.path());
        QCOMPARE(file1Names(chooser), QStringList{"top.txt"});

        // Opening a directory that refuses to be read shows it empty.
        faults.failListing(dir.filePath("locked"));
        doubleClick(control<QListView>(chooser, "Dir1"),
                    dirRowFor(chooser, dir.filePath("locked")));
        QCOMPARE(chooser.Dir1Path(), dir.filePath("locked"));
        QCOMPARE(chooser.File1ListCount(), 0);
        QCOMPARE(control<QListView>(chooser, "Dir1")->model()->rowCount(),
                 chooser::ancestorsOf(dir.filePath("locked")).size());

        QTest::mouseClick(control<QPushButton>(chooser, "Command2"), Qt::LeftButton);
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        QCOMPARE(settings::read(settings::kDir, kNoValue), dir.filePath("shown"));
    }

    // A directory that cannot be held for the batch (search permission
    // refused) is reported at OK with the system's reason, not at Rename.
    void okWhereTheDirectoryCannotBeOpened() {
        TempFiles dir;
        dir.createAll({"a.txt", "b.txt"});
        FaultPlatform faults;
        ScopedPlatform installed(faults);
        frmDir& chooser = select(dir.path());
        faults.refuseOpening(dir.path());
        QListView* files = control<QListView>(chooser, "File1");
        click(files, rowNamed(files, "a.txt"));
        QTest::mouseClick(control<QPushButton>(chooser, "Command1"), Qt::LeftButton);

        QCOMPARE(list1Items(), QStringList{});
        QVERIFY(!appState().chosenDirectory);
        const MainButtons buttons = mainButtons();
        QVERIFY(!buttons.setMask && !buttons.extract && !buttons.rename);
        const QString said = control<QLineEdit>(forms::frmMain(), "txtExample")->text();
        const QString reason = platform::Status{Error::PathFileAccess, EACCES}.reason();
        QVERIFY2(!reason.isEmpty() && said.startsWith(QStringLiteral("Error # 75:")) &&
                     said.contains(dir.path()) && said.contains(reason),
                 qPrintable(said));
        QCOMPARE(settings::read(settings::kDir, kNoValue), dir.path());
    }

    // The directory removed from under the open chooser.
    void directoryRemovedWhileShown() {
        TempFiles dir;
        makeDirs(dir.path(), {"doomed/child"});
        dir.create("doomed/a.txt");
        frmDir& chooser = select(dir.filePath("doomed"));
        const QModelIndex child = dirRowFor(chooser, dir.filePath("doomed/child"));
        QVERIFY(QDir(dir.filePath("doomed")).removeRecursively());

        chooser.File1Refresh();
        QCOMPARE(chooser.File1ListCount(), 0);
        // Its listed subdirectory is gone too: nothing opens, nothing breaks.
        doubleClick(control<QListView>(chooser, "Dir1"), child);
        QCOMPARE(chooser.Dir1Path(), dir.filePath("doomed"));
        QVERIFY(!dirRowFor(chooser, dir.filePath("doomed/child")).isValid());

        // OK still works and stores the directory shown.
        QTest::mouseClick(control<QPushButton>(chooser, "Command1"), Qt::LeftButton);
        QCOMPARE(list1Items(), QStringList{});
        QCOMPARE(settings::read(settings::kDir, kNoValue), dir.filePath("doomed"));
        // Next time the stored directory is gone: the root, quietly.
        QCOMPARE(forms::frmDir().Dir1Path(), QStringLiteral("/"));
    }
};

QTEST_MAIN(ChooserTest)
#include "test_chooser.moc"
