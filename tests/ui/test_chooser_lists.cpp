// The chooser's names and paths, and the "Dir" setting for paths that are not
// valid UTF-8.
#include <QtTest>

#include <QCollator>
#include <QFile>
#include <algorithm>
#include <random>

#include "engine/Settings.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"
#include "ui/ChooserLists.h"

namespace {

// Text from raw file-name bytes, as the platform layer decodes them.
QString fromBytes(const QByteArray& bytes) {
    return platform::decodeFileName(bytes);
}

}  // namespace

class ChooserListsTest : public QObject {
    Q_OBJECT

  private slots:
    void displayName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "report.txt"
                               << "report.txt";
        QTest::newRow("valid UTF-8") << fromBytes("caf\xc3\xa9 \xf0\x9f\x98\x80.txt")
                                     << QString::fromUtf8("caf\xc3\xa9 \xf0\x9f\x98\x80.txt");
        QTest::newRow("Latin-1 byte") << fromBytes("caf\xe9.txt") << "caf\\xE9.txt";
        QTest::newRow("leading and trailing bytes") << fromBytes("\x80x\xff") << "\\x80x\\xFF";
        QTest::newRow("truncated sequence") << fromBytes("a\xe2\x82") << "a\\xE2\\x82";
        // U+10080 is the pair D800 DC80: its low half is no stray byte.
        QTest::newRow("supplementary character")
            << fromBytes("\xf0\x90\x82\x80") << QString::fromUtf8("\xf0\x90\x82\x80");
        QTest::newRow("empty") << ""
                               << "";
    }

    void displayName() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(chooser::displayName(name), shown);
    }

    // The lists' order, made in parts on every core, is the one a plain sort
    // by the collator gives, for names of every kind, in the user's language
    // (none given: the one the tests run in).
    void listOrder_data() {
        QTest::addColumn<QStringList>("stems");
        QTest::addColumn<bool>("showHidden");
        QTest::addColumn<QString>("language");
        QTest::newRow("letter case")
            << QStringList{"photo ", "Photo ", "PHOTO ", "pHoto "} << true << "";
        QTest::newRow("digits, leading zeros")
            << QStringList{"IMG_", "IMG_0", "img_00", "track 1-"} << true << "";
        QTest::newRow("accents") << QStringList{"resume", fromBytes("r\xc3\xa9sum\xc3\xa9"),
                                                fromBytes("R\xc3\xa9sum\xc3\xa9"),
                                                fromBytes("\xc3\x86r\xc3\xb8 ")}
                                 << true << "";
        QTest::newRow("bytes not UTF-8")
            << QStringList{fromBytes("caf\xe9"), fromBytes("\xff"), fromBytes("\x80\x80z"),
                           fromBytes("caf\xc3\xa9"), "cafe"}
            << true << "";
        QTest::newRow("hidden names left out")
            << QStringList{".cache", "cache", ".Cache", "Cache", "cach", "CACHE"} << false << "";
        // Keys alike for far more than eight bytes, and keys of one name that
        // end where another's go on.
        const QString holiday = "Holiday photos from the summer of 2019 - ";
        QTest::newRow("long shared beginnings")
            << QStringList{holiday + "beach ", holiday + "Beach ", holiday + "beach 0",
                           holiday + "beaches ", holiday}
            << true << "";
        QTest::newRow("long runs of digits")
            << QStringList{"photo 00000000000000000001-", "photo 1-", "Photo 99999999999999999999-"}
            << true << "";
        QTest::newRow("punctuation and spaces")
            << QStringList{"report",  "report ",  "report-", "report_",
                           "report.", "report (", "report~"}
            << true << "";
        // A ligature that expands to eighteen letters makes a key longer than most.
        QTest::newRow("other scripts, long keys")
            << QStringList{"Ωμέγα ", "Фото ", "写真", "사진 ", "😀", QString(12, QChar(0xFDFA))}
            << true << "";
        QTest::newRow("Swedish: å, ä, ö after z")
            << QStringList{"a", "z", "å", "ä", "Ä", "ö", "o"} << true << "sv_SE";
    }

    void listOrder() {
        QFETCH(QStringList, stems);
        QFETCH(bool, showHidden);
        QFETCH(QString, language);
        const QLocale before;
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        QLocale::setDefault(language.isEmpty() ? before : QLocale(language));
        // Enough names to be sorted in parts: numbers of every width after
        // each stem, shuffled.
        QStringList names;
        for (int n = 0; n < 3000; ++n) {
            for (const QString& stem : stems) {
                names << stem + QString::number(n * 7 % 3001) + ".jpg";
            }
        }
        std::shuffle(names.begin(), names.end(), std::mt19937(19));
        QStringList expected = names;
        if (!showHidden) {
            expected.removeIf([](const QString& name) { return name.startsWith(u'.'); });
        }
        QCollator collator(QLocale().language() == QLocale::C
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : QLocale());
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(true);
        std::sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
            const int order = collator.compare(a, b);
            return order != 0 ? order < 0 : a < b;
        });
        QCOMPARE(chooser::listOrder(names, showHidden), expected);
    }

    void models_keep_exact_names() {
        const QStringList names{"a", fromBytes("b\xfe"), "c"};
        chooser::FileListModel files;
        files.setNames(names);
        QCOMPARE(files.rowCount(), 3);
        QCOMPARE(files.index(1).data(chooser::NameRole).toString(), names[1]);
        QCOMPARE(files.index(1).data().toString(), QStringLiteral("b\\xFE"));

        chooser::DirListModel dirs;
        const int current = dirs.setDirectory(QStringLiteral("/x/y"), {"z", fromBytes("\xff")});
        QCOMPARE(current, 2);
        QCOMPARE(dirs.rowCount(), 5);
        QCOMPARE(dirs.index(4).data(chooser::PathRole).toString(), "/x/y/" + fromBytes("\xff"));
        QCOMPARE(dirs.index(4).data().toString(), QStringLiteral("\\xFF"));
        QCOMPARE(dirs.index(4).data(chooser::DepthRole).toInt(), 3);
    }

    void normalisedPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("doubled root") << "//"
                                      << "/";
        QTest::newRow("trailing separator") << "/home/user/"
                                            << "/home/user";
        QTest::newRow("dots") << "/a/./b/../c"
                              << "/a/c";
        QTest::newRow("above the root") << "/.."
                                        << "/";
        QTest::newRow("through above the root") << "/../../a/"
                                                << "/a";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("relative") << "some/dir" << QDir::currentPath() + "/some/dir";
        QTest::newRow("backslash is a name character") << "/a\\b/"
                                                       << "/a\\b";
        QTest::newRow("stray bytes kept") << fromBytes("/d\xe9/\xff/") << fromBytes("/d\xe9/\xff");
    }

    void normalisedPath() {
        QFETCH(QString, path);
        QFETCH(QString, normalised);
        QCOMPARE(chooser::normalisedPath(path), normalised);
    }

    void ancestorsOf_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("chain");
        QTest::newRow("root") << "/" << QStringList{"/"};
        QTest::newRow("one down") << "/home" << QStringList{"/", "/home"};
        QTest::newRow("deeper") << "/a/b/c" << QStringList{"/", "/a", "/a/b", "/a/b/c"};
    }

    void ancestorsOf() {
        QFETCH(QString, path);
        QFETCH(QStringList, chain);
        QCOMPARE(chooser::ancestorsOf(path), chain);
    }

    // "Dir" as it comes back from the file on disk, not from Qt's in-process cache.
    void dirSettingOnDisk_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain path") << "/home/user/Pictures";
        QTest::newRow("root") << "/";
        QTest::newRow("empty") << "";
        QTest::newRow("spaces and punctuation") << "/a b/;c,\"d\"/100%/x=y";
        QTest::newRow("looks like a byte array") << "@ByteArray(/tmp)";
        QTest::newRow("valid UTF-8") << QString::fromUtf8("/home/j\xc3\xbcrgen/\xf0\x9f\x93\xb7");
        QTest::newRow("Latin-1 directory") << fromBytes("/home/j\xfcrgen");
        QTest::newRow("bytes and UTF-8 mixed")
            << fromBytes("/\xc3\xa9t\xe9/\xff\xfe/\xf0\x9f\x93\xb7 (1)");
    }

    void dirSettingOnDisk() {
        QFETCH(QString, value);
        testing_support::ScopedSettings scoped;
        settings::write(settings::kDir, value);

        // A copy under another name is parsed afresh from its bytes.
        const QString file = settings::storeLocation(settings::kAppName);
        const QString copy = settings::storeLocation(QStringLiteral("QuillomatCopy"));
        QVERIFY(QFile::copy(file, copy));
        const QString back =
            settings::GetSetting(QStringLiteral("QuillomatCopy"), settings::kSection,
                                 settings::kDir, QStringLiteral("<none>"));
        QCOMPARE(platform::encodeFileName(back), platform::encodeFileName(value));
        QCOMPARE(back, value);

        QFile raw(file);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray text = raw.readAll();
        QVERIFY(!text.contains("\xef\xbf\xbd"));  // no U+FFFD
        // A directory name is written as its own bytes when they are UTF-8, and
        // otherwise in the escaped form, which keeps the file valid UTF-8.
        if (platform::holdsEscapedBytes(value)) {
            QVERIFY(text.startsWith("[Defaults]\nDir=@Escaped("));
            QCOMPARE(QString::fromUtf8(text).toUtf8(), text);
        } else {
            QCOMPARE(text, "[Defaults]\nDir=" + platform::encodeFileName(value) + '\n');
        }
        // The other keys are untouched by the byte form.
        settings::write(settings::kPrefix, QStringLiteral("pre"));
        QCOMPARE(settings::read(settings::kPrefix), QStringLiteral("pre"));
    }
};

QTEST_MAIN(ChooserListsTest)
#include "test_chooser_lists.moc"
