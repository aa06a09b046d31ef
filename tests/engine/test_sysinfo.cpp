// Where the about box finds the system-information tool on this system: the
// first of a fixed list of programs on PATH.
#include <QtTest>

#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

using testing_support::createProgram;

class SysInfoTest : public QObject {
    Q_OBJECT

  private slots:
    void toolOnPath_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("found");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("gnome-system-monitor")
            << QStringList{"gnome-system-monitor"} << "gnome-system-monitor";
        QTest::newRow("kinfocenter first")
            << QStringList{"gnome-system-monitor", "kinfocenter"} << "kinfocenter";
        QTest::newRow("hardinfo first")
            << QStringList{"kinfocenter", "hardinfo", "gnome-system-monitor"} << "hardinfo";
        QTest::newRow("hardinfo2 first")
            << QStringList{"hardinfo", "hardinfo2", "kinfocenter", "gnome-system-monitor"}
            << "hardinfo2";
        QTest::newRow("other programs ignored") << QStringList{"msinfo32", "top"} << "";
    }

    void toolOnPath() {
        QFETCH(QStringList, installed);
        QFETCH(QString, found);
        testing_support::ScopedEnvironmentDir bin("PATH");
        for (const QString& name : installed) {
            createProgram(bin.path() + '/' + name, "#!/bin/sh\n");
        }
        QCOMPARE(platform::systemInformationTool(),
                 found.isEmpty() ? QString() : bin.path() + '/' + found);
    }

    // The program order wins over the order of the directories searched, and
    // a file that cannot be run does not count.
    void searchOrder() {
        testing_support::ScopedEnvironmentDir second("PATH");
        testing_support::TempFiles first;
        createProgram(first.filePath("kinfocenter"), "#!/bin/sh\n");
        createProgram(first.filePath("hardinfo2"), "#!/bin/sh\n", false);
        createProgram(second.path() + "/hardinfo", "#!/bin/sh\n");
        qputenv("PATH", QFile::encodeName(first.path() + ':' + second.path()));
        QCOMPARE(platform::systemInformationTool(), second.path() + "/hardinfo");
    }
};

QTEST_GUILESS_MAIN(SysInfoTest)
#include "test_sysinfo.moc"
