// The settings store on real files: hand-edited values, every byte that is
// not one of our values kept, values that survive any text, saves that fail
// without harming the file, and running instances that save at the same time.
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

#include "engine/Settings.h"
#include "platform/Platform.h"
#include "platform/PlatformLinux.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"

using testing_support::ScopedPlatform;
using testing_support::ScopedSettings;

namespace {

const QString kNone = QStringLiteral("<none>");
const QStringList kKeys{settings::kPrefix, settings::kSufix, settings::kStartingNumber,
                        settings::kLetteringPosition, settings::kDir};

// Our keys and as many more, so that one save carries many random values.
QStringList manyKeys() {
    QStringList keys = kKeys;
    for (int i = 0; i < 35; ++i) {
        keys << QStringLiteral("Extra%1").arg(i);
    }
    return keys;
}

// The keys whose random values may hold line breaks: "Dir" (a directory's
// name may) and the extra ones.
bool mayBreakLines(const QString& key) {
    return key == settings::kDir || key.startsWith(QLatin1String("Extra"));
}

QString fromBytes(const QByteArray& bytes) {
    return platform::decodeFileName(bytes);
}

QString storeFile() {
    return settings::storeLocation(settings::kAppName);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A random value made of the pieces that trouble INI files.
QString randomValue(QRandomGenerator& random, bool lineBreaks) {
    static const QList<QByteArray> pieces{
        " ",         "  ",          ",",           "\"",   "=",           ";",
        "#",         "[",           "]",           "\\",   "\\n",         "\\x",
        "@",         "@@",          "@ByteArray(", ")",    "\t",          "a",
        "Z",         "0",           "7",           "f",    "caf\xc3\xa9", "\xf0\x9f\x93\xb7",
        "\xff",      "\xe9",        "\xc3",        "\x80", "\x01",        "\x7f",
        "%U",        "/",           "\\\\",        "'",    "%",           "%0A",
        "@Escaped(", "\xef\xbb\xbf"};
    QByteArray bytes;
    const int count = random.bounded(0, 12);
    for (int i = 0; i < count; ++i) {
        if (lineBreaks && random.bounded(8) == 0) {
            bytes += random.bounded(2) ? "\n" : "\r";
        } else {
            bytes += pieces[random.bounded(int(pieces.size()))];
        }
    }
    return fromBytes(bytes);
}

// A value's bytes in a printable form, for failure messages.
QByteArray printable(const QString& value) {
    return platform::encodeFileName(value).toPercentEncoding(" /@=,;#[]()");
}

// The line of `file` that starts with `start`.
QByteArray lineStarting(const QByteArray& file, const QByteArray& start) {
    const qsizetype at = file.indexOf('\n' + start) + 1;
    const qsizetype end = file.indexOf('\n', at);
    return file.mid(at, end < 0 ? -1 : end - at);
}

int modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// The step of a durable write that fails, for LinuxSystem's calls.
struct WriteFault {
    QByteArray step;    // "open", "write", "fsync" or "rename"
    int error = 0;      // errno it fails with; a write takes nothing when 0
    long accepted = 0;  // bytes write() takes (and drops) before it fails
};
WriteFault fault;

int failedCall() {
    errno = fault.error;
    return -1;
}

platform::LinuxSystem faultySystem(const WriteFault& f) {
    fault = f;
    platform::SystemCalls calls = platform::SystemCalls::system();
    calls.openat = [](int dir, const char* path, int flags, mode_t mode) {
        return fault.step == "open" ? failedCall() : ::openat(dir, path, flags, mode);
    };
    calls.write = [](int fd, const void* data, unsigned long size) -> long {
        if (fault.step != "write") {
            return ::write(fd, data, size);
        }
        const long taken = std::min<long>(fault.accepted, long(size));
        fault.accepted -= taken;
        return taken > 0 || fault.error == 0 ? taken : failedCall();
    };
    calls.fsync = [](int fd) { return fault.step == "fsync" ? failedCall() : ::fsync(fd); };
    calls.renameat2 = [](int a, const char* from, int b, const char* to, unsigned int flags) {
        return fault.step == "rename" ? failedCall() : ::renameat2(a, from, b, to, flags);
    };
    return platform::LinuxSystem(calls);
}

// Starts `work` in a child process, as another running Quillomat.
pid_t inChild(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(work());
    }
    return child;
}

// How the child ended (waitpid's status: 0 for exit code 0).
int endOf(pid_t child) {
    int status = -1;
    ::waitpid(child, &status, 0);
    return status;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ScopedSettings> settings_;

  private slots:
    void init() { settings_ = std::make_unique<ScopedSettings>(); }
    void cleanup() { settings_.reset(); }

    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, const QByteArray& file, const QString& key,
                            const QString& value) { QTest::newRow(name) << file << key << value; };
        row("comma", "[Defaults]\nPrefix=Smith, John\n", "Prefix", "Smith, John");
        row("number with a comma", "[Defaults]\nStartingNumber=1,000\n", "StartingNumber", "1,000");
        row("blanks at both ends", "[Defaults]\nSufix=  padded  \n", "Sufix", "  padded  ");
        row("lower-case group and key", "[defaults]\nprefix=low\n", "Prefix", "low");
        row("mixed case", "[DEFAULTS]\nsUfIx=x\n", "Sufix", "x");
        row("blanks around names", "  [ Defaults ]  \n\t Prefix \t=x\n", "Prefix", "x");
        row("blank after the equals sign", "[Defaults]\nPrefix= x\n", "Prefix", " x");
        row("semicolon and hash are text", "[Defaults]\nPrefix=a;b #c\n", "Prefix", "a;b #c");
        row("quotes are text", "[Defaults]\nPrefix=\"x\"\n", "Prefix", "\"x\"");
        row("a lone backslash is text", "[Defaults]\nDir=C:\\Users\\x\n", "Dir", "C:\\Users\\x");
        row("later equals signs are text", "[Defaults]\nPrefix=a=b\n", "Prefix", "a=b");
        row("empty value", "[Defaults]\nPrefix=\n", "Prefix", "");
        row("CRLF line ends", "[Defaults]\r\nPrefix=crlf\r\nSufix=s\r\n", "Prefix", "crlf");
        row("no line end at the end", "[Defaults]\nPrefix=end", "Prefix", "end");
        row("byte order mark", "\xef\xbb\xbf[Defaults]\nPrefix=bom\n", "Prefix", "bom");
        row("the last one counts",
            "[Defaults]\nPrefix=a\n[Other]\nPrefix=o\n[defaults]\nPrefix=b\n", "Prefix", "b");
        row("another group's key", "[Other]\nPrefix=no\n[Defaults]\n", "Prefix", kNone);
        row("escaped form", "[Defaults]\nDir=@Escaped(/x%0Ay%25%FF)\n", "Dir",
            fromBytes("/x\ny%\xff"));
        row("a lone percent sign is literal", "[Defaults]\nPrefix=@Escaped(50%)\n", "Prefix",
            "@Escaped(50%)");
        row("an escape the writer does not give is literal", "[Defaults]\nPrefix=@Escaped(%41)\n",
            "Prefix", "@Escaped(%41)");
        row("a key before any group", "Prefix=top\n[Defaults]\nSufix=s\n", "Prefix", kNone);
        row("comment lines are not keys", "[Defaults]\n;Prefix=c\n#Prefix=d\n", "Prefix", kNone);
        row("a malformed header opens its group", "[Defaults]\nPrefix=a\n[Other\nPrefix=b\n",
            "Prefix", "a");
        row("bytes that are not UTF-8", "[Defaults]\nDir=/home/j\xfcrgen/\xff\n", "Dir",
            fromBytes("/home/j\xfcrgen/\xff"));
    }

    void handEditedValues() {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(QString, value);
        writeBytes(storeFile(), file);
        QCOMPARE(settings::read(key, kNone), value);
    }

    // The naming steps read back as saved, beside the five keys, which keep
    // their values; a hand-edited value out of range or not a number gives
    // that option's default.
    void namingSteps() {
        writeBytes(storeFile(),
                   "[Defaults]\nPrefix=p\nStartingNumber=7\nNumberDigits=12\n"
                   "NumberStep=0\nNameCase=x\nDateSource=-1\nDateFormat=\n");
        QVERIFY(NamingSteps::load() == NamingSteps());
        const NamingSteps steps = testing_support::namingSteps(
            {"digits=9", "step=1000", "find=a=b\nc", "pattern=1", "nameCase=3", "extensionCase=2",
             "date=1", "dateFormat=dd.MM.yy", "dateAfter=1", "byDateTaken=1"});
        QVERIFY(steps.save().ok());
        QVERIFY(NamingSteps::load() == steps);
        QCOMPARE(settings::read(settings::kPrefix), QString("p"));
        QCOMPARE(settings::read(settings::kStartingNumber), QString("7"));
    }

    // Whatever the values, they read back as they were saved, and the file
    // keeps its other lines: one line per key, never more.
    void roundTrip() {
        const QByteArray head = "; kept\n[Other]\nPrefix=other\n\n[Defaults]\n";
        const QByteArray tail = "\n; end\n[Last]\nx=1\n";
        QRandomGenerator random(7);
        for (int round = 0; round < 60; ++round) {
            QByteArray lines;
            for (const QString& key : manyKeys()) {
                lines += key.toUtf8() + "=old\n";
            }
            writeBytes(storeFile(), head + lines + tail);
            QList<std::pair<QString, QString>> values;
            settings::Changes changes;
            for (const QString& key : manyKeys()) {
                values.append({key, randomValue(random, mayBreakLines(key))});
                changes.set(key, values.last().second);
            }
            QVERIFY(changes.save().ok());
            for (const auto& [key, value] : values) {
                QVERIFY2(settings::read(key, kNone) == value, printable(value).constData());
            }
            const QByteArray file = readBytes(storeFile());
            QVERIFY(file.startsWith(head));
            QVERIFY(file.endsWith(tail));
            QCOMPARE(file.count('\n'), (head + lines + tail).count('\n'));
            QCOMPARE(file.count('\r'), 0);
        }
    }

    // Saving changes our values and nothing else: comments, other groups,
    // lines without "=", malformed headers, blanks, case and line ends stay
    // byte for byte; a missing key joins the last [Defaults] group.
    void keepsEveryOtherByte_data() {
        QTest::addColumn<QByteArray>("eol");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CRLF") << QByteArray("\r\n");
    }

    void keepsEveryOtherByte() {
        QFETCH(QByteArray, eol);
        const QList<QByteArray> before{
            "; Quillomat, edited by hand",
            "# the other comment style",
            "",
            "[Window]",
            "Geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb)",
            "Name=caf\xe9 au lait",
            "a line without an equals sign",
            "",
            "[defaults]",
            "prefix=old, value",
            "  Sufix =  keep blanks  ",
            "; a comment inside",
            "Dir=/home/j\xfcrgen/\xff",
            "[Broken",
            "StartingNumber=5",
            "[Defaults]",
            "LetteringPosition=1",
            "trailing words",
        };
        QList<QByteArray> after = before;
        after[9] = "prefix=New";
        after[10] = "  Sufix =  s p  ";
        after[16] = "LetteringPosition=2";
        after.insert(17, "StartingNumber=10");
        writeBytes(storeFile(), before.join(eol) + eol);

        const NamingOptions options{"New", "  s p  ", "10", "2"};
        QVERIFY(options.save().ok());
        QCOMPARE(readBytes(storeFile()), after.join(eol) + eol);
        QCOMPARE(NamingOptions::load(), options);
        QCOMPARE(settings::read(settings::kDir), fromBytes("/home/j\xfcrgen/\xff"));
    }

    // Values that cannot be written literally take the escaped form, as the
    // README describes it, and read back as they were.
    void escapedForm_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line");
        const auto row = [](const char* name, const QByteArray& value, const QByteArray& line) {
            QTest::newRow(name) << fromBytes(value) << line;
        };
        row("line feed", "a\nb", "Dir=@Escaped(a%0Ab)");
        row("carriage return at the end", "x\r", "Dir=@Escaped(x%0D)");
        row("byte order mark and a line break", "\xef\xbb\xbfx\ny", "Dir=@Escaped(%EF%BB%BFx%0Ay)");
        row("bytes that are not UTF-8", "/j\xfcrgen", "Dir=@Escaped(/j%FCrgen)");
        row("literal that looks escaped", "@Escaped(a%0Ab)", "Dir=@Escaped(@Escaped(a%250Ab))");
        row("percent sign", "50% off", "Dir=50% off");
    }

    void escapedForm() {
        QFETCH(QString, value);
        QFETCH(QByteArray, line);
        QVERIFY(settings::write(settings::kDir, value).ok());
        QCOMPARE(lineStarting(readBytes(storeFile()), "Dir="), line);
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("other")).ok());
        QCOMPARE(settings::read(settings::kDir), value);
    }

    void missingGroupOrFile_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray() << QByteArray("[Defaults]\nPrefix=p\n");
        QTest::newRow("other groups only, no last line end")
            << QByteArray("[Other]\nx=1") << QByteArray("[Other]\nx=1\n\n[Defaults]\nPrefix=p\n");
        QTest::newRow("empty group at the end")
            << QByteArray("[Defaults]") << QByteArray("[Defaults]\nPrefix=p\n");
        QTest::newRow("value at the very end")
            << QByteArray("[Defaults]\nSufix=") << QByteArray("[Defaults]\nSufix=\nPrefix=p\n");
        QTest::newRow("CRLF file ending in a bare CR")
            << QByteArray("[Defaults]\r\nDir=/x\r")
            << QByteArray("[Defaults]\r\nDir=/x\r\nPrefix=p\r\n");
        QTest::newRow("other group ending in a bare CR")
            << QByteArray("[Other]\r\nDir=/x\r")
            << QByteArray("[Other]\r\nDir=/x\r\n\r\n[Defaults]\r\nPrefix=p\r\n");
    }

    void missingGroupOrFile() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        if (!before.isNull()) {
            writeBytes(storeFile(), before);
        }
        const QString dir = settings::read(settings::kDir, kNone);
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("p")).ok());
        QCOMPARE(readBytes(storeFile()), after);
        QCOMPARE(settings::read(settings::kDir, kNone), dir);
    }

    // A failed save leaves the file as it was and no temporary file behind,
    // names the file and the reason, and keeps the value in use; the next
    // save that works writes it too.
    void failedSave_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("acceptedBytes");  // by write() before it fails
        QTest::newRow("create refused") << "open" << EACCES << 0;
        QTest::newRow("read-only file system") << "open" << EROFS << 0;
        QTest::newRow("disk full at once") << "write" << ENOSPC << 0;
        QTest::newRow("disk full midway") << "write" << ENOSPC << 10;
        QTest::newRow("quota") << "write" << EDQUOT << 0;
        QTest::newRow("write takes nothing") << "write" << 0 << 0;
        QTest::newRow("flush fails") << "fsync" << EIO << 0;
        QTest::newRow("rename refused") << "rename" << EBUSY << 0;
    }

    void failedSave() {
        QFETCH(QString, step);
        QFETCH(int, error);
        QFETCH(int, acceptedBytes);
        const QByteArray before = "; mine\n[Defaults]\nPrefix=old\nDir=/old\n";
        writeBytes(storeFile(), before);

        platform::LinuxSystem faulty =
            faultySystem({step.toLatin1(), error, static_cast<long>(acceptedBytes)});
        {
            ScopedPlatform installed(faulty);
            const NamingOptions options{"new", "s", "7", "1"};
            const platform::Status saved = options.save();
            QVERIFY(!saved.ok());
            QCOMPARE(saved.reason(), QString::fromLocal8Bit(std::strerror(error ? error : ENOSPC)));
            QCOMPARE(readBytes(storeFile()), before);
            QCOMPARE(QDir(settings_->configDir()).entryList(QDir::Files | QDir::Hidden),
                     QStringList({"Quillomat.conf", "Quillomat.conf.lock"}));
            // In use for the rest of the run.
            QCOMPARE(NamingOptions::load(), options);
            QCOMPARE(settings::read(settings::kDir), QStringLiteral("/old"));
        }
        QVERIFY(settings::write(settings::kDir, QStringLiteral("/new")).ok());
        QCOMPARE(readBytes(storeFile()),
                 QByteArray("; mine\n[Defaults]\nPrefix=new\nDir=/new\n"
                            "Sufix=s\nStartingNumber=7\nLetteringPosition=1\n"));
    }

    // Only a regular file is read or replaced: a FIFO, a directory or a link
    // to a device gives the defaults at once and a save that fails.
    void storeThatIsNotAFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("FIFO") << "fifo"
                              << "Not a regular file";
        QTest::newRow("directory") << "directory" << QString::fromLocal8Bit(std::strerror(EISDIR));
        QTest::newRow("link to a device") << "device"
                                          << "Not a regular file";
    }

    void storeThatIsNotAFile() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QByteArray path = QFile::encodeName(storeFile());
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        } else if (kind == QLatin1String("directory")) {
            QCOMPARE(::mkdir(path.constData(), 0700), 0);
        } else {
            QCOMPARE(::symlink("/dev/null", path.constData()), 0);
        }
        struct stat before {};
        QCOMPARE(::lstat(path.constData(), &before), 0);

        testing_support::FifoWatchdog watchdog(storeFile(), 5);
        QCOMPARE(settings::read(settings::kPrefix, kNone), kNone);
        const platform::Status saved = settings::write(settings::kPrefix, QStringLiteral("p"));
        QVERIFY2(!watchdog.finish(), "the store waited on the FIFO");
        QVERIFY(!saved.ok());
        QCOMPARE(saved.reason(), reason);

        struct stat after {};
        QCOMPARE(::lstat(path.constData(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
    }

    // A relative or empty XDG_CONFIG_HOME is ignored, as the XDG rules say.
    void storeLocation_data() {
        QTest::addColumn<QString>("xdg");  // <abs>: an absolute directory
        QTest::addColumn<QString>("dir");  // where the store goes; <home>: HOME
        const auto row = [](const char* name, const QString& xdg, const QString& dir) {
            QTest::newRow(name) << xdg << dir;
        };
        row("absolute", "<abs>", "<abs>");
        row("trailing slash", "<abs>/", "<abs>");
        row("relative", "relative/config", "<home>/.config");
        row("dot", ".", "<home>/.config");
        row("empty", "", "<home>/.config");
        row("unset", "<unset>", "<home>/.config");
    }

    void storeLocation() {
        QFETCH(QString, xdg);
        QFETCH(QString, dir);
        QTemporaryDir home;
        QTemporaryDir absolute;
        const auto expand = [&](QString text) {
            return text.replace("<abs>", absolute.path()).replace("<home>", home.path());
        };
        const QByteArray savedHome = qgetenv("HOME");
        const QString savedCurrent = QDir::currentPath();
        qputenv("HOME", QFile::encodeName(home.path()));
        QDir::setCurrent(home.path());  // where a relative directory would land
        if (xdg == QLatin1String("<unset>")) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(expand(xdg)));
        }

        const QString file = expand(dir) + "/Quillomat.conf";
        QCOMPARE(settings::storeLocation(settings::kAppName), file);
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("here")).ok());
        QCOMPARE(readBytes(file), QByteArray("[Defaults]\nPrefix=here\n"));
        QVERIFY(!QFile::exists(home.filePath("relative")));

        qputenv("HOME", savedHome);
        QDir::setCurrent(savedCurrent);
    }

    // A new store's directories are created private to the user; a replaced
    // file keeps its permissions, and a link to the file stays a link.
    void fileAttributesKept() {
        const QString top = settings_->configDir() + "/a";
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(top + "/b"));
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("x")).ok());
        QCOMPARE(modeOf(top), 0700);
        QCOMPARE(modeOf(top + "/b"), 0700);

        const QString file = top + "/b/Quillomat.conf";
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("y")).ok());
        QCOMPARE(modeOf(file), 0640);

        const QString real = settings_->configDir() + "/dotfiles/quillomat.conf";
        QVERIFY(QDir().mkpath(settings_->configDir() + "/dotfiles"));
        QVERIFY(QFile::rename(file, real));
        QVERIFY(QFile::link(real, file));
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("z")).ok());
        QVERIFY(QFileInfo(file).isSymLink());
        QCOMPARE(readBytes(real), QByteArray("[Defaults]\nPrefix=z\n"));
        QCOMPARE(modeOf(real), 0640);
        QCOMPARE(QDir(settings_->configDir() + "/dotfiles").entryList(QDir::Files | QDir::Hidden),
                 QStringList{"quillomat.conf"});
    }

    // Two instances saving at the same time never lose each other's keys.
    void concurrentSavesKeepEveryKey() {
        const auto saves = [](const QString& key) {
            int failed = 0;
            for (int i = 0; i < 400; ++i) {
                failed += settings::write(key, key + QString::number(i)).ok() ? 0 : 1;
            }
            return failed;
        };
        const pid_t prefixes = inChild([&] { return saves(settings::kPrefix); });
        const pid_t sufixes = inChild([&] { return saves(settings::kSufix); });
        const int prefixesEnded = endOf(prefixes);
        QCOMPARE(endOf(sufixes), 0);  // every save went through
        QCOMPARE(prefixesEnded, 0);
        QCOMPARE(settings::read(settings::kPrefix), QStringLiteral("Prefix399"));
        QCOMPARE(settings::read(settings::kSufix), QStringLiteral("Sufix399"));
    }

    // An instance that keeps the lock past the wait: the save gives up after
    // a few seconds, says so, and leaves the file as it was.
    void lockHeldTooLong() {
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("before")).ok());
        const int held = ::open(QFile::encodeName(storeFile() + ".lock").constData(), O_RDONLY);
        const auto release = qScopeGuard([held] { ::close(held); });
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);
        QElapsedTimer waited;
        waited.start();
        const platform::Status saved = settings::write(settings::kPrefix, QStringLiteral("after"));
        QVERIFY(!saved.ok());
        QVERIFY(waited.elapsed() >= 4900);
        QCOMPARE(saved.reason(),
                 QStringLiteral("Another program has kept the settings file locked for too long"));
        QCOMPARE(readBytes(storeFile()), QByteArray("[Defaults]\nPrefix=before\n"));
    }

    // A save killed half-way leaves the file as it was; the next save removes
    // the new file it left, and nothing else.
    void killedSaveLeavesNothingBehind() {
        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("before")).ok());
        writeBytes(storeFile() + ".tmp-other", "not ours");
        const int killed = endOf(inChild([] {
            platform::SystemCalls calls = platform::SystemCalls::system();
            calls.fsync = [](int) { return ::raise(SIGKILL); };  // after the new file is written
            platform::LinuxSystem dying(calls);
            ScopedPlatform installed(dying);
            return int(settings::write(settings::kPrefix, QStringLiteral("never")).ok());
        }));
        QVERIFY(WIFSIGNALED(killed));
        const QDir dir(settings_->configDir());
        const QString left = QFileInfo(platform::temporaryPrefix(storeFile())).fileName() + "*";
        QCOMPARE(dir.entryList({left}, QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(settings::read(settings::kPrefix), QStringLiteral("before"));

        QVERIFY(settings::write(settings::kPrefix, QStringLiteral("after")).ok());
        QCOMPARE(
            dir.entryList(QDir::Files | QDir::Hidden),
            QStringList({"Quillomat.conf", "Quillomat.conf.lock", "Quillomat.conf.tmp-other"}));
        QCOMPARE(settings::read(settings::kPrefix), QStringLiteral("after"));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
