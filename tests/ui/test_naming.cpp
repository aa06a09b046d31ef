// The naming steps as a user meets them: files named on the command line,
// the Naming dialog filled in, Extract, Rename, then the names on disk; Undo
// gives back every old name, and Clear Options clears the steps too.
#include <QtTest>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QSpinBox>

#include "engine/AppState.h"
#include "engine/CommandLine.h"
#include "engine/Journal.h"
#include "engine/Settings.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"
#include "ui/frmNaming.h"
#include "ui/frmOptions.h"

class NamingTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;

    static void click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }
    static frmMain& main() { return forms::frmMain(); }
    static QAction* action(const char* name) { return control<QAction>(main(), name); }

    // Sets each "control=value" of `fields` in the open Naming dialog, as
    // typed or chosen there.
    static void fillNaming(const QStringList& fields) {
        frmNaming& dialog = forms::frmNaming();
        for (const QString& field : fields) {
            const QString name = field.section(u'=', 0, 0);
            const QString value = field.section(u'=', 1);
            QWidget* widget = control<QWidget>(dialog, qPrintable(name));
            if (auto* box = qobject_cast<QComboBox*>(widget)) {
                box->setFocus();
                for (int i = 0; i < value.toInt(); ++i) {
                    QTest::keyClick(box, Qt::Key_Down);
                }
            } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                edit->clear();
                QTest::keyClicks(edit, value);
            } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
                check->setChecked(value == u"1");
            }
        }
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        main().show();
    }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        journal::close();
        settings_.reset();
    }

    void tasks_data() {
        QTest::addColumn<QStringList>("files");   // "name" or "name=Exif date taken"
        QTest::addColumn<QString>("prefix");      // typed into Set Options
        QTest::addColumn<QStringList>("naming");  // the Naming dialog's fields
        QTest::addColumn<QString>("example");     // Extract's example
        QTest::addColumn<QStringList>("after");   // on disk after Rename

        QTest::newRow("scans to two-digit invoices")
            << QStringList{"scan 1.pdf", "scan 2.pdf", "scan 12.pdf"} << "Invoice-"
            << QStringList{"cboDigits=2"} << "Invoice-01.pdf"
            << QStringList{"Invoice-01.pdf", "Invoice-02.pdf", "Invoice-03.pdf"};
        QTest::newRow("DSC_ removed, an edited copy kept apart")
            << QStringList{"DSC_0001.jpg", "DSC_0001_edit.jpg", "DSC_0002.jpg"} << ""
            << QStringList{"txtFind=DSC_"} << "0001_edit.jpg"
            << QStringList{"0001.jpg", "0001_edit.jpg", "0002.jpg"};

        QTest::newRow("photos named by the day taken")
            << QStringList{"b.jpg=2024:06:01 10:00:00", "a.jpg=2024:06:01 09:00:00",
                           "c.jpg=2024:06:02 08:00:00"}
            << "" << QStringList{"cboDigits=3", "cboOrder=1", "cboDate=1"} << ""
            << QStringList{"2024-06-01 001.jpg", "2024-06-01 002.jpg", "2024-06-02 003.jpg"};

        QTest::newRow("upper case to lower case")
            << QStringList{"IMG_0001.JPG", "IMG_0002.JPG"} << ""
            << QStringList{"cboNameCase=1", "cboExtensionCase=1"} << "img_0001.jpg"
            << QStringList{"img_0001.jpg", "img_0002.jpg"};
    }
    void tasks() {
        QFETCH(QStringList, files);
        QFETCH(QString, prefix);
        QFETCH(QStringList, naming);
        QFETCH(QString, example);
        testing_support::TempFiles dir;
        QStringList arguments{"quillomat"};
        testing_support::createFiles(dir, files);
        for (const QString& file : files) {
            arguments << dir.filePath(file.section(u'=', 0, 0));
        }
        const QStringList before = dir.names();
        main().takeCommandLine(commandline::read(arguments));

        if (!prefix.isEmpty()) {
            action("mnuOptionsSetOptions")->trigger();
            QTest::keyClicks(control<QLineEdit>(forms::frmOptions(), "txtPrefix"), prefix);
            click(control<QPushButton>(forms::frmOptions(), "cmdOk"));
        }
        action("mnuOptionsNaming")->trigger();
        fillNaming(naming);
        click(
            control<QDialogButtonBox>(forms::frmNaming(), "buttons")->button(QDialogButtonBox::Ok));
        QVERIFY(!forms::isLoaded(forms::Form::Naming));

        click(control<QPushButton>(main(), "Command1"));  // Extract
        if (!example.isEmpty()) {
            QCOMPARE(control<QLineEdit>(main(), "txtExample")->text(), example);
        }
        click(control<QPushButton>(main(), "Command4"));  // Rename
        QTEST(dir.names(), "after");

        click(control<QPushButton>(forms::frmDir(), "Command2"));  // Undo
        QCOMPARE(dir.names(), before);
    }

    // The steps are kept in the settings store for the next run; Clear
    // Options gives their defaults back, there and in the dialog.
    void storedAndCleared() {
        action("mnuOptionsNaming")->trigger();
        fillNaming({"cboDigits=2", "txtFind=x", "chkPattern=1", "cboDate=2"});
        click(
            control<QDialogButtonBox>(forms::frmNaming(), "buttons")->button(QDialogButtonBox::Ok));
        QVERIFY(NamingSteps::load() ==
                testing_support::namingSteps({"digits=2", "find=x", "pattern=1", "date=2"}));
        QCOMPARE(settings::read(settings::kStartingNumber, "<unset>"), QString("<unset>"));

        action("mnuClearOptions")->trigger();
        QVERIFY(NamingSteps::load() == NamingSteps());
        action("mnuOptionsNaming")->trigger();
        QVERIFY(forms::frmNaming().steps() == NamingSteps());
        QTest::keyClick(&forms::frmNaming(), Qt::Key_Escape);
        QVERIFY(!forms::isLoaded(forms::Form::Naming));
    }
};

QTEST_MAIN(NamingTest)
#include "test_naming.moc"
