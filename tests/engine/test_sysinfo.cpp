// The system-information launcher: the registry look-up byte by byte, every
// way through StartSysInfo, and the registry stand-in of the desktop.
#include <QtTest>

#include <QFile>

#include "engine/Registry.h"
#include "engine/SysInfo.h"
#include "platform/Platform.h"
#include "tests/support/FakeRegistry.h"
#include "tests/support/TestSupport.h"

namespace {

const QByteArray kMsinfo = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QByteArray kLocation = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QByteArray kKey = QByteArrayLiteral("SOFTWARE\\Quillomat\\Test");

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

// Puts an executable file called `name` into `dir`.
void createProgram(testing_support::TempFiles& dir, const QString& name, bool executable = true) {
    dir.create(name, QByteArrayLiteral("#!/bin/sh\n"));
    QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) {
        perms |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    }
    QVERIFY(QFile::setPermissions(dir.filePath(name), perms));
}

}  // namespace

class SysInfoTest : public QObject {
    Q_OBJECT

  private slots:
    // --- GetKeyValue ----------------------------------------------------

    void value_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("reportedSize");  // -1: the data's own size
        QTest::addColumn<QString>("expected");
        QTest::newRow("text with its NUL")
            << 1u << QByteArray("C:\\Tools\\a.exe\0", 15) << -1 << "C:\\Tools\\a.exe";
        QTest::newRow("text without a NUL") << 1u << QByteArray("abc") << -1 << "abc";
        QTest::newRow("one character") << 1u << QByteArray("x") << -1 << "x";
        QTest::newRow("only a NUL") << 1u << QByteArray("\0", 1) << -1 << "";
        QTest::newRow("cut to the size returned") << 1u << QByteArray("abcdef\0", 7) << 3 << "abc";
        QTest::newRow("NUL inside kept")
            << 1u << QByteArray("a\0b\0", 4) << -1 << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("code-page text") << 1u << QString::fromUtf8("Système").toLocal8Bit() << -1
                                        << QString::fromUtf8("Système");
        QTest::newRow("exactly 1024 bytes")
            << 1u << QByteArray(1023, 'x') + '\0' << -1 << QString(1023, QLatin1Char('x'));
        QTest::newRow("number 4097") << 4u << bytes({0x01, 0x10, 0x00, 0x00}) << -1 << "4097";
        QTest::newRow("number 1") << 4u << bytes({0x01, 0x00, 0x00, 0x00}) << -1 << "1";
        QTest::newRow("number 0") << 4u << bytes({0x00, 0x00, 0x00, 0x00}) << -1 << "0";
        QTest::newRow("number 0x00FF0000")
            << 4u << bytes({0x00, 0x00, 0xFF, 0x00}) << -1 << "16711680";
        QTest::newRow("largest number")
            << 4u << bytes({0xFF, 0xFF, 0xFF, 0x7F}) << -1 << "2147483647";
        QTest::newRow("number -1") << 4u << bytes({0xFF, 0xFF, 0xFF, 0xFF}) << -1 << "-1";
        QTest::newRow("number -4097") << 4u << bytes({0xFF, 0xEF, 0xFF, 0xFF}) << -1 << "-4097";
        QTest::newRow("smallest number")
            << 4u << bytes({0x00, 0x00, 0x00, 0x80}) << -1 << "-2147483648";
        QTest::newRow("expandable text untouched")
            << 2u << QByteArray("%SystemRoot%\0", 13) << -1 << "as passed";
        QTest::newRow("binary untouched") << 3u << bytes({0x01, 0x02}) << -1 << "as passed";
        QTest::newRow("multi-text untouched")
            << 7u << QByteArray("a\0b\0\0", 5) << -1 << "as passed";
    }

    void value() {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(int, reportedSize);
        QFETCH(QString, expected);
        FakeRegistry reg;
        FakeRegistry::Value v{type, data, std::nullopt};
        if (reportedSize >= 0) {
            v.reportedSize = static_cast<std::uint32_t>(reportedSize);
        }
        reg.keys[kKey][QByteArrayLiteral("Value")] = v;
        QString KeyVal = QStringLiteral("as passed");
        QVERIFY(sysinfo::GetKeyValue(reg, registry::kHKeyLocalMachine, QString::fromLatin1(kKey),
                                     QStringLiteral("Value"), KeyVal));
        QCOMPARE(KeyVal, expected);
        QCOMPARE(reg.opened, QList<QByteArray>{kKey});
        QCOMPARE(reg.accessRights, QList<std::uint32_t>{0x2003F});
        QCOMPARE(reg.queried, QList<QByteArray>{QByteArrayLiteral("Value")});
        QCOMPARE(reg.closed.size(), 1);
        QVERIFY(reg.everyKeyClosedOnce());
    }

    void absentValue_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("no such key") << QByteArray("SOFTWARE\\Elsewhere") << QByteArray("Value");
        QTest::newRow("no such value") << kKey << QByteArray("Other");
        QTest::newRow("value over 1024 bytes") << kKey << QByteArray("Long");
    }

    // A look-up that fails empties KeyVal and still closes once (the null
    // handle when the key did not open).
    void absentValue() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, name);
        FakeRegistry reg;
        reg.setText(kKey, "Value", "here");
        reg.setText(kKey, "Long", QByteArray(1024, 'x'));  // 1025 bytes with its NUL
        QString KeyVal = QStringLiteral("left over");
        QVERIFY(!sysinfo::GetKeyValue(reg, registry::kHKeyLocalMachine, QString::fromLatin1(key),
                                      QString::fromLatin1(name), KeyVal));
        QCOMPARE(KeyVal, QString());
        QCOMPARE(reg.closed.size(), 1);
        if (reg.handedOut.isEmpty()) {
            QCOMPARE(reg.closed.first(), registry::Handle(0));
        }
        QVERIFY(reg.everyKeyClosedOnce());
    }

    void otherRootIsNotOpened() {
        FakeRegistry reg;
        reg.setText(kKey, "Value", "here");
        QString KeyVal;
        QVERIFY(!sysinfo::GetKeyValue(reg, static_cast<std::int32_t>(0x80000001u),
                                      QString::fromLatin1(kKey), QStringLiteral("Value"), KeyVal));
        QVERIFY(reg.everyKeyClosedOnce());
    }

    void unconvertibleValue_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("reportedSize");
        QTest::newRow("text of size 0") << 1u << QByteArray("abc") << 0;
        QTest::newRow("other type of size 0") << 3u << QByteArray() << 0;
        QTest::newRow("number without data") << 4u << QByteArray("\0", 1) << -1;
        QTest::newRow("number over 32 bits") << 4u << bytes({1, 2, 3, 4, 5}) << -1;
    }

    // Data that cannot be turned into text raise an error, after the key is closed,
    // and leave the caller's text as it was.
    void unconvertibleValue() {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(int, reportedSize);
        FakeRegistry reg;
        FakeRegistry::Value v{type, data, std::nullopt};
        if (reportedSize >= 0) {
            v.reportedSize = static_cast<std::uint32_t>(reportedSize);
        }
        reg.keys[kKey][QByteArrayLiteral("Value")] = v;
        QString KeyVal = QStringLiteral("before");
        Error raised = Error::None;
        QVERIFY(!sysinfo::GetKeyValue(reg, registry::kHKeyLocalMachine, QString::fromLatin1(kKey),
                                      QStringLiteral("Value"), KeyVal, &raised));
        QVERIFY(raised != Error::None);
        QCOMPARE(KeyVal, QStringLiteral("before"));
        QCOMPARE(reg.closed.size(), 1);
        QVERIFY(reg.everyKeyClosedOnce());
    }

    // --- StartSysInfo ---------------------------------------------------

    void launch_data() {
        QTest::addColumn<QString>("path");  // value PATH; empty: absent
        QTest::addColumn<bool>("pathStarts");
        QTest::addColumn<QString>("folder");  // value MSINFO; empty: absent
        QTest::addColumn<bool>("programInFolder");
        QTest::addColumn<QString>("started");  // empty: nothing started, the message shown
        QTest::addColumn<bool>("secondKeyConsulted");
        const QString tool = QStringLiteral("C:\\Tools\\msinfo32.exe");
        const QString folder = QStringLiteral("C:\\Shared");
        const QString inFolder = folder + platform::separator() + QStringLiteral("MSINFO32.EXE");
        QTest::newRow("PATH present and started")
            << tool << true << folder << true << tool << false;
        QTest::newRow("PATH naming a missing file")
            << tool << false << folder << true << "" << false;
        QTest::newRow("PATH absent, folder holds the program")
            << "" << false << folder << true << inFolder << true;
        QTest::newRow("PATH absent, folder without the program")
            << "" << false << folder << false << "" << true;
        QTest::newRow("neither value") << "" << false << "" << false << "" << true;
    }

    void launch() {
        QFETCH(QString, path);
        QFETCH(bool, pathStarts);
        QFETCH(QString, folder);
        QFETCH(bool, programInFolder);
        QFETCH(QString, started);
        QFETCH(bool, secondKeyConsulted);
        FakeServices fake;
        if (!path.isEmpty()) {
            fake.registry.setText(kMsinfo, "PATH", path.toLocal8Bit());
            if (pathStarts) {
                fake.starter.startable << path;
            }
        }
        if (!folder.isEmpty()) {
            fake.registry.setText(kLocation, "MSINFO", folder.toLocal8Bit());
        }
        const QString candidate = folder + platform::separator() + QStringLiteral("MSINFO32.EXE");
        if (programInFolder) {
            fake.files << candidate;
            fake.starter.startable << candidate;
        }

        sysinfo::StartSysInfo(fake.services());

        if (started.isEmpty()) {
            QCOMPARE(fake.starter.started, QStringList());
            QCOMPARE(fake.messages, QStringList{QString::fromLatin1(sysinfo::kUnavailable)});
        } else {
            QCOMPARE(fake.starter.started, QStringList{started});
            QCOMPARE(fake.messages, QStringList());
        }
        QCOMPARE(fake.registry.opened.contains(kLocation), secondKeyConsulted);
        QCOMPARE(fake.registry.opened.first(), kMsinfo);
        QVERIFY(fake.registry.everyKeyClosedOnce());
    }

    // An existing PATH is started without looking whether its file exists.
    void pathIsStartedUnchecked() {
        FakeServices fake;
        fake.registry.setText(kMsinfo, "PATH", "C:\\Tools\\msinfo32.exe");
        fake.starter.startable << QStringLiteral("C:\\Tools\\msinfo32.exe");
        bool checked = false;
        sysinfo::Services services = fake.services();
        services.fileExists = [&checked](const QString&) { return checked = true; };
        sysinfo::StartSysInfo(services);
        QVERIFY(!checked);
        QCOMPARE(fake.starter.started.size(), 1);
    }

    // A folder ending in a separator gets another one: plain concatenation.
    void folderIsJoinedAsItIs() {
        FakeServices fake;
        const QString folder = QStringLiteral("C:\\Shared") + platform::separator();
        fake.registry.setText(kLocation, "MSINFO", folder.toLocal8Bit());
        sysinfo::StartSysInfo(fake.services());
        QCOMPARE(fake.starter.attempts, QStringList());
        QCOMPARE(fake.messages.size(), 1);
        fake.files << folder + platform::separator() + QStringLiteral("MSINFO32.EXE");
        fake.starter.startable = QSet<QString>(fake.files.cbegin(), fake.files.cend());
        fake.messages.clear();
        sysinfo::StartSysInfo(fake.services());
        QCOMPARE(fake.starter.started,
                 QStringList{folder + platform::separator() + QStringLiteral("MSINFO32.EXE")});
    }

    // An error in the first look-up ends the launch: no second look-up.
    void errorInTheLookUpShowsTheMessage() {
        FakeServices fake;
        fake.registry.keys[kMsinfo]["PATH"] = FakeRegistry::Value{1, QByteArray("x"), 0u};
        fake.registry.setText(kLocation, "MSINFO", "C:\\Shared");
        fake.files << QStringLiteral("C:\\Shared") + platform::separator() +
                          QStringLiteral("MSINFO32.EXE");
        sysinfo::StartSysInfo(fake.services());
        QCOMPARE(fake.messages, QStringList{QString::fromLatin1(sysinfo::kUnavailable)});
        QVERIFY(!fake.registry.opened.contains(kLocation));
        QCOMPARE(fake.starter.attempts, QStringList());
        QVERIFY(fake.registry.everyKeyClosedOnce());
    }

    // PATH of a type that is read but not converted leaves the path empty,
    // which then fails to start.
    void pathOfAnotherType() {
        FakeServices fake;
        fake.registry.keys[kMsinfo]["PATH"] =
            FakeRegistry::Value{2, QByteArray("%ProgramFiles%\\x.exe\0", 21), std::nullopt};
        fake.registry.setText(kLocation, "MSINFO", "C:\\Shared");
        sysinfo::StartSysInfo(fake.services());
        QCOMPARE(fake.starter.attempts, QStringList{QString()});
        QCOMPARE(fake.messages, QStringList{QString::fromLatin1(sysinfo::kUnavailable)});
        QVERIFY(!fake.registry.opened.contains(kLocation));
    }

    // A key that holds no PATH value counts as absent.
    void msinfoKeyWithoutPath() {
        FakeServices fake;
        fake.registry.setText(kMsinfo, "Other", "x");
        fake.registry.setText(kLocation, "MSINFO", "C:\\Shared");
        const QString program =
            QStringLiteral("C:\\Shared") + platform::separator() + QStringLiteral("MSINFO32.EXE");
        fake.files << program;
        fake.starter.startable << program;
        sysinfo::StartSysInfo(fake.services());
        QCOMPARE(fake.starter.started, QStringList{program});
        QVERIFY(fake.registry.everyKeyClosedOnce());
    }

    void fileExistsMeansAnOrdinaryFile() {
        testing_support::TempFiles dir;
        dir.create(QStringLiteral("MSINFO32.EXE"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.exe")));
        QVERIFY(sysinfo::fileExists(dir.filePath(QStringLiteral("MSINFO32.EXE"))));
        QVERIFY(!sysinfo::fileExists(dir.filePath(QStringLiteral("folder.exe"))));
        QVERIFY(!sysinfo::fileExists(dir.filePath(QStringLiteral("missing.exe"))));
        QVERIFY(!sysinfo::fileExists(QString()));
    }

    void startingAMissingProgramFails() {
        testing_support::TempFiles dir;
        QCOMPARE(sysinfo::systemStarter().start(dir.filePath(QStringLiteral("no-such-program"))),
                 Error::FileNotFound);
    }

    // --- The desktop's stand-in for the registry ------------------------

    void desktopProgram_data() {
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

    void desktopProgram() {
        QFETCH(QStringList, installed);
        QFETCH(QString, found);
        testing_support::TempFiles bin;
        for (const QString& name : installed) {
            createProgram(bin, name);
        }
        registry::DesktopRegistry reg({bin.path()});
        QString KeyVal = QStringLiteral("before");
        const bool ok = sysinfo::GetKeyValue(reg, registry::kHKeyLocalMachine, sysinfo::kMsinfoKey,
                                             sysinfo::kMsinfoValue, KeyVal);
        QCOMPARE(ok, !found.isEmpty());
        QCOMPARE(KeyVal, found.isEmpty() ? QString() : bin.filePath(found));
        // The second place is always empty.
        QVERIFY(!sysinfo::GetKeyValue(reg, registry::kHKeyLocalMachine, sysinfo::kLocationKey,
                                      sysinfo::kLocationValue, KeyVal));
    }

    // The program order wins over the order of the directories searched, and
    // a file that cannot be run does not count.
    void desktopProgramSearch() {
        testing_support::TempFiles first;
        testing_support::TempFiles second;
        createProgram(first, QStringLiteral("kinfocenter"));
        createProgram(first, QStringLiteral("hardinfo2"), false);
        createProgram(second, QStringLiteral("hardinfo"));
        registry::DesktopRegistry reg({first.path(), second.path()});
        QCOMPARE(reg.systemInformationProgram(), second.filePath(QStringLiteral("hardinfo")));
    }

    // By default the directories of PATH are searched at each look-up.
    void desktopProgramOnPath() {
        testing_support::TempFiles bin;
        createProgram(bin, QStringLiteral("gnome-system-monitor"));
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        registry::DesktopRegistry reg;
        const QString found = reg.systemInformationProgram();
        qputenv("PATH", QByteArrayLiteral("/nonexistent-quillomat-dir"));
        const QString none = reg.systemInformationProgram();
        qputenv("PATH", savedPath);
        QCOMPARE(found, bin.filePath(QStringLiteral("gnome-system-monitor")));
        QCOMPARE(none, QString());
    }

    void desktopKeys() {
        testing_support::TempFiles bin;
        createProgram(bin, QStringLiteral("hardinfo"));
        registry::DesktopRegistry reg({bin.path()});
        const auto hklm = static_cast<registry::Handle>(registry::kHKeyLocalMachine);
        registry::Handle key = 0;
        // Names compare without regard to case, as in the registry.
        QCOMPARE(reg.RegOpenKeyExA(hklm, "software\\microsoft\\shared tools\\msinfo", 0,
                                   registry::kKeyAllAccess, key),
                 registry::kErrorSuccess);
        std::uint32_t type = 0;
        unsigned char small[4] = {};
        std::uint32_t size = sizeof small;
        QCOMPARE(reg.RegQueryValueExA(key, "path", 0, type, small, size), registry::kErrorMoreData);
        const QByteArray expected = bin.filePath(QStringLiteral("hardinfo")).toLocal8Bit() + '\0';
        QCOMPARE(size, static_cast<std::uint32_t>(expected.size()));
        QByteArray buffer(1024, '\0');
        size = 1024;
        QCOMPARE(reg.RegQueryValueExA(key, "PATH", 0, type,
                                      reinterpret_cast<unsigned char*>(buffer.data()), size),
                 registry::kErrorSuccess);
        QCOMPARE(type, registry::kRegSz);
        QCOMPARE(buffer.left(size), expected);
        QCOMPARE(reg.RegQueryValueExA(key, "Other", 0, type,
                                      reinterpret_cast<unsigned char*>(buffer.data()), size),
                 registry::kErrorFileNotFound);
        QCOMPARE(reg.RegCloseKey(key), registry::kErrorSuccess);
        QCOMPARE(reg.RegCloseKey(key), registry::kErrorInvalidHandle);
        QCOMPARE(reg.RegQueryValueExA(key, "PATH", 0, type,
                                      reinterpret_cast<unsigned char*>(buffer.data()), size),
                 registry::kErrorInvalidHandle);

        QCOMPARE(reg.RegOpenKeyExA(hklm, "SOFTWARE\\Microsoft\\Windows", 0, registry::kKeyAllAccess,
                                   key),
                 registry::kErrorFileNotFound);
        QCOMPARE(reg.RegOpenKeyExA(
                     static_cast<registry::Handle>(static_cast<std::int32_t>(0x80000001u)),
                     "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0, registry::kKeyAllAccess, key),
                 registry::kErrorFileNotFound);
    }

    void launchOverTheDesktopStore_data() {
        QTest::addColumn<bool>("installed");
        QTest::newRow("a tool installed") << true;
        QTest::newRow("no tool") << false;
    }

    void launchOverTheDesktopStore() {
        QFETCH(bool, installed);
        testing_support::TempFiles bin;
        if (installed) {
            createProgram(bin, QStringLiteral("kinfocenter"));
        }
        registry::DesktopRegistry reg({bin.path()});
        FakeServices fake;
        sysinfo::Services services = fake.services();
        services.registry = &reg;
        const QString program = bin.filePath(QStringLiteral("kinfocenter"));
        fake.starter.startable << program;
        sysinfo::StartSysInfo(services);
        if (installed) {
            QCOMPARE(fake.starter.started, QStringList{program});
            QCOMPARE(fake.messages, QStringList());
        } else {
            QCOMPARE(fake.starter.attempts, QStringList());
            QCOMPARE(fake.messages, QStringList{QString::fromLatin1(sysinfo::kUnavailable)});
        }
    }
};

QTEST_GUILESS_MAIN(SysInfoTest)
#include "test_sysinfo.moc"
