// The about box: its keys, its close box and the System Info button.
#include <QtTest>

#include <QScreen>

#include "tests/support/FakeRegistry.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/frmAbout.h"

namespace {

const QByteArray kMsinfo = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kTool = QStringLiteral("/opt/tools/sysinfo");

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeServices> fake_;
    sysinfo::Services saved_;

    frmAbout& shownBox() {
        frmAbout& about = forms::frmAbout();
        about.show();
        about.activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&about)); }();
        return about;
    }

  private slots:
    void init() {
        fake_ = std::make_unique<FakeServices>();
        saved_ = frmAbout::services();
        frmAbout::services() = fake_->services();
    }
    void cleanup() {
        forms::unloadDialogs();
        frmAbout::services() = saved_;
        fake_.reset();
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

    // Every way out unloads the box: the next touch builds it afresh.
    void closing() {
        QFETCH(QString, how);
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
        QCOMPARE(fake_->messages, QStringList());
        QCOMPARE(fake_->starter.attempts, QStringList());
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
        fake_->registry.setText(kMsinfo, "PATH", kTool.toLocal8Bit());
        fake_->starter.startable << kTool;
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
            QTRY_COMPARE(fake_->starter.started.size(), press + 1);
        }
        QCOMPARE(fake_->starter.started, QStringList({kTool, kTool}));
        QCOMPARE(fake_->messages, QStringList());
        QVERIFY(forms::isLoaded(forms::Form::About));
        QVERIFY(about.isVisible());
    }

    void systemInfoUnavailable() {
        frmAbout& about = shownBox();
        QTest::mouseClick(control<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(fake_->messages,
                 QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
        QVERIFY(about.isVisible());
        QVERIFY(fake_->registry.everyKeyClosedOnce());
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
