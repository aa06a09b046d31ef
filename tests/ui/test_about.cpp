// The about box: its keys, its close box and the System Info button, which
// looks for the tool on a PATH of the test's own.
#include <QtTest>

#include <QScreen>

#include "tests/support/TestSupport.h"
#include "tests/ui/BoxAnswerer.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmAbout.h"

class AboutTest : public QObject {
    Q_OBJECT
    // PATH: an empty directory of the test's own.
    std::unique_ptr<testing_support::ScopedEnvironmentDir> path_;

    // Puts the program `name` holding `script` on PATH.
    QString install(const QString& name, const QByteArray& script, bool executable = true) {
        const QString program = path_->path() + '/' + name;
        testing_support::createProgram(program, script, executable);
        return program;
    }

    // How often `program` (installed with kNoteStart) has run.
    static int starts(const QString& program) {
        QFile log(program + ".log");
        return log.open(QIODevice::ReadOnly) ? int(log.readAll().count('\n')) : 0;
    }
    static constexpr char kNoteStart[] = "#!/bin/sh\necho started >> \"$0.log\"\n";

    frmAbout& shownBox() {
        frmAbout& about = forms::frmAbout();
        about.show();
        about.activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&about)); }();
        return about;
    }

  private slots:
    void init() { path_ = std::make_unique<testing_support::ScopedEnvironmentDir>("PATH"); }
    void cleanup() {
        forms::unloadDialogs();
        path_.reset();
    }

    void centredAndModeless() {
        frmAbout& about = shownBox();
        QVERIFY(!about.isModal());
        const QRect screen = about.screen()->geometry();
        const QRect outer = about.frameGeometry();
        // Centred before the window had a frame: off by at most the frame's width.
        const int slack = qMax(1, outer.width() - about.width());
        QVERIFY(qAbs(outer.center().x() - screen.center().x()) <= slack);
        QVERIFY(qAbs(outer.center().y() - screen.center().y()) <= slack);
        QVERIFY(control<QPushButton>(about, "cmdOK")->hasFocus());
    }

    void closing_data() {
        QTest::addColumn<QString>("how");
        for (const char* how :
             {"OK clicked", "Enter", "Esc", "Esc on System Info", "Space on OK", "close box"}) {
            QTest::newRow(how) << QString::fromLatin1(how);
        }
    }

    // Every way out unloads the box: the next touch builds it afresh. With
    // no tool on PATH, a press of System Info on the way would show a message.
    void closing() {
        QFETCH(QString, how);
        BoxAnswerer answerer({});
        frmAbout& about = shownBox();
        QPointer<frmAbout> box(&about);
        if (how == QLatin1String("OK clicked")) {
            QTest::mouseClick(control<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        } else if (how == QLatin1String("Enter")) {
            QTest::keyClick(control<QPushButton>(about, "cmdOK"), Qt::Key_Return);
        } else if (how == QLatin1String("Esc")) {
            QTest::keyClick(&about, Qt::Key_Escape);
        } else if (how == QLatin1String("Esc on System Info")) {
            control<QPushButton>(about, "cmdSysInfo")->setFocus();
            QTest::keyClick(control<QPushButton>(about, "cmdSysInfo"), Qt::Key_Escape);
        } else if (how == QLatin1String("Space on OK")) {
            QTest::keyClick(control<QPushButton>(about, "cmdOK"), Qt::Key_Space);
        } else {
            QVERIFY(about.close());
        }
        QVERIFY(!forms::isLoaded(forms::Form::About));
        QVERIFY(box.isNull() || !box->isVisible());
        QTRY_VERIFY(box.isNull());
        QCOMPARE(answerer.shown.size(), 0);
    }

    void systemInfo_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"click", "Enter on System Info", "Alt+S"}) {
            QTest::newRow(how) << QString::fromLatin1(how);
        }
    }

    // "System Info..." starts the tool and the box stays; each press starts
    // another one.
    void systemInfo() {
        QFETCH(QString, how);
        const QString tool = install("hardinfo", kNoteStart);
        BoxAnswerer answerer({});
        frmAbout& about = shownBox();
        for (int press = 0; press < 2; ++press) {
            if (how == QLatin1String("click")) {
                QTest::mouseClick(control<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);
            } else if (how == QLatin1String("Enter on System Info")) {
                control<QPushButton>(about, "cmdSysInfo")->setFocus();
                QTest::keyClick(control<QPushButton>(about, "cmdSysInfo"), Qt::Key_Return);
            } else {
                // The access key presses the button a moment later, as a click would look.
                QTest::keyClick(&about, Qt::Key_S, Qt::AltModifier);
            }
            QTRY_COMPARE(starts(tool), press + 1);
        }
        QCOMPARE(answerer.shown.size(), 0);
        QVERIFY(forms::isLoaded(forms::Form::About));
        QVERIFY(about.isVisible());
    }

    void systemInfoUnavailable_data() {
        QTest::addColumn<QByteArray>("script");  // of hardinfo; empty: none on PATH
        QTest::addColumn<bool>("executable");
        QTest::newRow("no tool on PATH") << QByteArray() << true;
        QTest::newRow("a tool that may not be run") << QByteArray(kNoteStart) << false;
        QTest::newRow("a tool that fails to start")
            << QByteArray("#!/nonexistent/interpreter\n") << true;
    }

    // The message, with OK only, and the box stays as it was.
    void systemInfoUnavailable() {
        QFETCH(QByteArray, script);
        QFETCH(bool, executable);
        if (!script.isEmpty()) {
            install("hardinfo", script, executable);
        }
        BoxAnswerer answerer({clickOn(QMessageBox::Ok)});
        frmAbout& about = shownBox();
        QTest::mouseClick(control<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(answerer.shown.size(), 1);
        const Shown& message = answerer.shown.first();
        QCOMPARE(message.title, QStringLiteral("Quillomat"));
        QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(message.buttons, QStringList{"OK"});
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QVERIFY(forms::isLoaded(forms::Form::About));
        QVERIFY(about.isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
