// Saving settings through the real windows when the store cannot be written:
// one message per action, naming the file and the reason; the new values stay
// in use for the rest of the run; the file is left as it was. Also a store
// that is a FIFO at start-up, and option texts longer than a line edit's
// default limit.
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <cerrno>
#include <cstring>

#include "engine/Settings.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/BoxAnswerer.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/SaveFailure.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"

using testing_support::FaultPlatform;
using testing_support::ScopedPlatform;
using testing_support::ScopedSettings;
using testing_support::ScopedTmpfs;
using testing_support::TempFiles;

namespace {

QString reasonFor(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString storeFile() {
    return settings::storeLocation(settings::kAppName);
}

QStringList labels() {
    const NamingOptions o = forms::frmMain().namingLabels();
    return {o.prefix, o.suffix, o.startingNumber, o.letteringPosition};
}

void click(QWidget* w) {
    QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

bool isDirectory(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

class SettingsFailureTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ScopedSettings> settings_;
    std::unique_ptr<TempFiles> files_;
    std::unique_ptr<ScopedTmpfs> tmpfs_;
    FaultPlatform faults_;
    std::unique_ptr<ScopedPlatform> platform_;
    std::function<void(const QString&)> realBox_;
    QStringList messages_;
    frmMain* main_ = nullptr;

    void restartMain() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        main_ = &forms::frmMain();
        main_->show();
    }

    // Select, all files of files_ in the chooser, then OK.
    void chooseAll() {
        click(control<QPushButton>(*main_, "Command3"));
        frmDir& chooser = forms::frmDir();
        QVERIFY(chooser.setDir1Path(files_->path()));
        control<QListView>(chooser, "File1")->setFocus();
        QTest::keyClick(control<QListView>(chooser, "File1"), Qt::Key_A, Qt::ControlModifier);
        click(control<QPushButton>(chooser, "Command1"));
    }

    // Puts the store where the cause needs it; false when this system cannot
    // give that cause.
    bool prepareStore(const QString& cause) {
        if (cause == QLatin1String("full disk") ||
            cause == QLatin1String("read-only file system")) {
            tmpfs_ = std::make_unique<ScopedTmpfs>(64);
            if (!tmpfs_->mounted()) {
                return false;
            }
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(tmpfs_->path()));
        }
        return true;
    }

    // Makes the store unwritable; returns the reason a save will give.
    QString breakStore(const QString& cause) {
        const QString dir = QFileInfo(storeFile()).path();
        if (cause == QLatin1String("directory in the way")) {
            QFile::remove(storeFile());
            QDir().mkpath(storeFile());
            return reasonFor(EISDIR);
        }
        if (cause == QLatin1String("read-only config directory")) {
            if (::geteuid() != 0) {
                QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
            } else {
                // Modes do not stop root: the refusal others get, through the platform.
                faults_.failDurableWrites(Error::PathFileAccess);
                platform_ = std::make_unique<ScopedPlatform>(faults_);
            }
            return reasonFor(EACCES);
        }
        if (cause == QLatin1String("read-only file system")) {
            return tmpfs_->makeReadOnly() ? reasonFor(EROFS) : QStringLiteral("<not read-only>");
        }
        return tmpfs_->fill() ? reasonFor(ENOSPC) : QStringLiteral("<not full>");
    }

  private slots:
    void init() {
        settings_ = std::make_unique<ScopedSettings>();
        files_ = std::make_unique<TempFiles>();
        files_->createAll({"a.txt", "b.txt"});
        realBox_ = saveFailure::messageBox();
        saveFailure::messageBox() = [this](const QString& text) { messages_ << text; };
        restartMain();
    }

    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        QTest::qWait(0);
        saveFailure::messageBox() = realBox_;
        messages_.clear();
        if (::geteuid() != 0) {
            QFile::setPermissions(settings_->configDir(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        platform_.reset();
        faults_.clearFaults();
        tmpfs_.reset();
        files_.reset();
        settings_.reset();
    }

    void failureReportedOncePerAction_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("action");
        for (const char* cause : {"directory in the way", "read-only config directory",
                                  "read-only file system", "full disk"}) {
            for (const char* action : {"options Ok", "Clear Options", "chooser OK", "Accept"}) {
                QTest::addRow("%s, %s", cause, action) << cause << action;
            }
        }
    }

    void failureReportedOncePerAction() {
        QFETCH(QString, cause);
        QFETCH(QString, action);
        if (!prepareStore(cause)) {
            QSKIP("this system does not let the test mount a tmpfs");
        }
        // A store with values in it, then the action up to its last click.
        QVERIFY((NamingOptions{"p", "s", "5", "2"}.save().ok()));
        QVERIFY(settings::write(settings::kDir, QStringLiteral("/")).ok());
        restartMain();
        QPushButton* last = nullptr;
        if (action == QLatin1String("options Ok")) {
            control<QAction>(*main_, "mnuOptionsSetOptions")->trigger();
            frmOptions& options = forms::frmOptions();
            control<QLineEdit>(options, "txtPrefix")->selectAll();
            QTest::keyClicks(control<QLineEdit>(options, "txtPrefix"), "Smith, John");
            click(control<QRadioButton>(options, "opt1_1"));
            last = control<QPushButton>(options, "cmdOk");
        } else if (action == QLatin1String("chooser OK")) {
            click(control<QPushButton>(*main_, "Command3"));
            frmDir& chooser = forms::frmDir();
            QVERIFY(chooser.setDir1Path(files_->path()));
            last = control<QPushButton>(chooser, "Command1");
        } else if (action == QLatin1String("Accept")) {
            chooseAll();
            click(control<QPushButton>(*main_, "Command1"));  // Extract
            click(control<QPushButton>(*main_, "Command4"));  // Rename
            QVERIFY(forms::isLoaded(forms::Form::Dir));
            last = control<QPushButton>(forms::frmDir(), "Command1");
            QCOMPARE(last->text(), QStringLiteral("Accept"));
            // Something for Accept to save.
            QVERIFY(settings::write(settings::kDir, QStringLiteral("/")).ok());
        }
        const QString reason = breakStore(cause);
        const auto before = testing_support::snapshot(QFileInfo(storeFile()).path());

        if (last != nullptr) {
            click(last);
        } else {
            control<QAction>(*main_, "mnuClearOptions")->trigger();
        }

        QCOMPARE(messages_.size(), 1);
        QVERIFY2(messages_[0].contains(storeFile()), qPrintable(messages_[0]));
        QVERIFY2(messages_[0].contains(reason), qPrintable(messages_[0]));
        QCOMPARE(testing_support::snapshot(QFileInfo(storeFile()).path()), before);
        if (cause == QLatin1String("directory in the way")) {
            QVERIFY(isDirectory(storeFile()));
        }

        // The run goes on with the new values.
        if (action == QLatin1String("options Ok")) {
            QCOMPARE(labels(), QStringList({"Smith, John", "s", "5", "1"}));
            QCOMPARE(NamingOptions::load().prefix, QStringLiteral("Smith, John"));
        } else if (action == QLatin1String("Clear Options")) {
            QCOMPARE(labels(), QStringList({"", "", "", "0"}));
        } else {
            QVERIFY(!forms::isLoaded(forms::Form::Dir));
            // The chooser opens again where it was left.
            click(control<QPushButton>(*main_, "Command3"));
            QCOMPARE(forms::frmDir().Dir1Path(), files_->path());
        }
    }

    // The message itself: a warning box over the main window with OK, naming
    // the file and the reason.
    void messageBoxShown() {
        saveFailure::messageBox() = realBox_;
        const QString reason = breakStore(QStringLiteral("directory in the way"));
        QWidget* parent = nullptr;
        BoxAnswerer answerer({[&parent](QMessageBox* box) {
            parent = box->parentWidget();
            clickOn(QMessageBox::Ok)(box);
        }});
        control<QAction>(*main_, "mnuClearOptions")->trigger();
        QCOMPARE(answerer.shown.size(), 1);
        const Shown& message = answerer.shown.first();
        QCOMPARE(message.title, QStringLiteral("Quillomat"));
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(parent, main_);
        QVERIFY2(message.text.contains(storeFile() + QStringLiteral(":\n") + reason),
                 qPrintable(message.text));
    }

    // A FIFO in the store's place: start-up goes on with the defaults without
    // waiting for a writer, and a save says what is wrong.
    void fifoStore() {
        QVERIFY(::mkfifo(QFile::encodeName(storeFile()).constData(), 0600) == 0);
        testing_support::FifoWatchdog watchdog(storeFile(), 5);
        restartMain();
        control<QAction>(*main_, "mnuClearOptions")->trigger();
        QVERIFY2(!watchdog.finish(), "start-up waited on the FIFO");
        QCOMPARE(labels(), QStringList({"", "", "", "0"}));
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QStringLiteral("Not a regular file")));
        struct stat info {};
        QVERIFY(::lstat(QFile::encodeName(storeFile()).constData(), &info) == 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }

    // The option fields and the main window's boxes have no length limit: a
    // 40,000-character prefix is pasted, stored, shown and used whole.
    void longPrefixSurvivesOk() {
        QString prefix;
        while (prefix.size() < 40000) {
            prefix += QStringLiteral("Long%1 ").arg(prefix.size());
        }
        control<QAction>(*main_, "mnuOptionsSetOptions")->trigger();
        frmOptions& options = forms::frmOptions();
        QLineEdit* box = control<QLineEdit>(options, "txtPrefix");
        box->setFocus();
        QApplication::clipboard()->setText(prefix);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), prefix);
        click(control<QPushButton>(options, "cmdOk"));

        QCOMPARE(labels().first(), prefix);
        QCOMPARE(settings::read(settings::kPrefix), prefix);
        QVERIFY(messages_.isEmpty());
        chooseAll();
        click(control<QPushButton>(*main_, "Command1"));  // Extract
        QVERIFY(control<QLineEdit>(*main_, "txtExample")->text().startsWith(prefix));
        QApplication::clipboard()->clear();
    }
};

QTEST_MAIN(SettingsFailureTest)
#include "test_settings_failures.moc"
