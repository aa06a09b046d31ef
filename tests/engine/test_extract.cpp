// Extract's analysis of the mask: the kind it chooses, the mask it leaves, the
// example it shows, and what it records for new-name generation.

#include <QtTest>
#include <memory>

#include "engine/AppState.h"
#include "engine/Extract.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kNumber = u"Number"_s;

// 150 letters "a".."z" repeated, with `digit` put at `digitAt` (1-based) if non-zero.
QString letters150(int digitAt = 0) {
    QString mask;
    for (int i = 0; i < 150; ++i) {
        mask += QChar(u'a' + i % 26);
    }
    if (digitAt > 0) {
        mask[digitAt - 1] = u'7';
    }
    return mask;
}

}  // namespace

class TestExtract : public QObject {
    Q_OBJECT
  private slots:
    void kinds_data();
    void kinds();
    void extensions_data();
    void extensions();
    void exampleExtension();
    void longMask_data();
    void longMask();
    void maskCharsKeepOlderSlots();
    void maskCharsCountCodePoints();
    void codePointsRoundTrip();
};

void TestExtract::kinds_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("lettering");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("maskAfter");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("length");

    // Text masks.
    QTest::newRow("holiday, none")
        << u"holiday"_s << u"holiday.jpg"_s << u"0"_s << u"x"_s << QString() << 3 << u"holiday"_s
        << u"xholiday-0001.jpg"_s << 1 << 7;
    QTest::newRow("holiday, first") << u"holiday"_s << u"holiday.jpg"_s << u"1"_s << u"x"_s
                                    << QString() << 4 << u"oliday"_s << u"x!oliday.jpg"_s << 1 << 7;
    QTest::newRow("holiday, last") << u"holiday"_s << u"holiday.jpg"_s << u"2"_s << u"x"_s
                                   << QString() << 4 << u"holida"_s << u"xholida!.jpg"_s << 1 << 7;
    QTest::newRow("one letter, first") << u"h"_s << u"holiday.jpg"_s << u"1"_s << u"p"_s << u"s"_s
                                       << 3 << u"h"_s << u"ph-0001s.jpg"_s << 1 << 1;
    QTest::newRow("mask not in example") << u"zz"_s << u"holiday.jpg"_s << u"0"_s << QString()
                                         << QString() << 3 << u"zz"_s << u"zz-0001.jpg"_s << 0 << 2;
    QTest::newRow("case-sensitive position")
        << u"Day"_s << u"holiday-Day.jpg"_s << u"0"_s << QString() << QString() << 3 << u"Day"_s
        << u"Day-0001.jpg"_s << 9 << 3;

    // The lettering position is read as a number.
    QTest::newRow("lettering 1.0 is first")
        << u"holiday"_s << u"holiday.jpg"_s << u"1.0"_s << QString() << QString() << 4
        << u"oliday"_s << u"!oliday.jpg"_s << 1 << 7;
    QTest::newRow("lettering 01 is first")
        << u"holiday"_s << u"holiday.jpg"_s << u" 01 "_s << QString() << QString() << 4
        << u"oliday"_s << u"!oliday.jpg"_s << 1 << 7;
    QTest::newRow("lettering 1.5 is last")
        << u"holiday"_s << u"holiday.jpg"_s << u"1.5"_s << QString() << QString() << 4
        << u"holida"_s << u"holida!.jpg"_s << 1 << 7;
    QTest::newRow("lettering 3 is last")
        << u"holiday"_s << u"holiday.jpg"_s << u"3"_s << QString() << QString() << 4 << u"holida"_s
        << u"holida!.jpg"_s << 1 << 7;
    QTest::newRow("lettering not a number is 0")
        << u"holiday"_s << u"holiday.jpg"_s << u"x"_s << QString() << QString() << 3 << u"holiday"_s
        << u"holiday-0001.jpg"_s << 1 << 7;
    QTest::newRow("lettering empty is 0")
        << u"holiday"_s << u"holiday.jpg"_s << QString() << QString() << QString() << 3
        << u"holiday"_s << u"holiday-0001.jpg"_s << 1 << 7;
    QTest::newRow("pattern, lettering 1.0 is first")
        << u"img042"_s << u"img042.png"_s << u"1.0"_s << QString() << QString() << 6 << u"mg042"_s
        << u"!mg042.png"_s << 1 << 6;
    QTest::newRow("pattern, lettering 3 is none")
        << u"0-A"_s << u"Scan0-A.tif"_s << u"3"_s << QString() << QString() << 5 << u"0-A"_s
        << u"0-A.tif"_s << 5 << 3;

    // Numeric masks: the number test comes before the digit search.
    QTest::newRow("123") << u"123"_s << u"a123.txt"_s << u"1"_s << u"p"_s << u"s"_s << 2 << u"123"_s
                         << u"p123s.txt"_s << 2 << 3;
    QTest::newRow("042, first") << u"042"_s << u"IMG_042.jpg"_s << u"1"_s << QString() << QString()
                                << 2 << u"042"_s << u"042.jpg"_s << 5 << 3;
    QTest::newRow("042, last") << u"042"_s << u"IMG_042.jpg"_s << u"2"_s << QString() << QString()
                               << 2 << u"042"_s << u"042.jpg"_s << 5 << 3;
    QTest::newRow("38 digits") << QString(38, u'1') << u"x.txt"_s << u"0"_s << QString()
                               << QString() << 2 << QString(38, u'1')
                               << (QString(38, u'1') + u".txt"_s) << 0 << 38;
    QTest::newRow("40 digits") << QString(40, u'1') << u"x.txt"_s << u"0"_s << QString()
                               << QString() << 5 << QString(40, u'1')
                               << (QString(40, u'1') + u".txt"_s) << 0 << 40;
    QTest::newRow("1.5 reads as a number") << u"1.5"_s << u"v1.5.zip"_s << u"0"_s << QString()
                                           << QString() << 2 << u"1.5"_s << u"1.5.zip"_s << 2 << 3;
    QTest::newRow("blanks around digits") << u" 12"_s << u"a 12.txt"_s << u"0"_s << QString()
                                          << QString() << 2 << u" 12"_s << u" 12.txt"_s << 2 << 3;
    QTest::newRow("1e5 reads as a number") << u"1e5"_s << u"x1e5"_s << u"0"_s << QString()
                                           << QString() << 2 << u"1e5"_s << u"1e5"_s << 2 << 3;
    QTest::newRow("1e-5 holds a minus") << u"1e-5"_s << u"x1e-5"_s << u"0"_s << QString()
                                        << QString() << 5 << u"1e-5"_s << u"1e-5"_s << 2 << 4;
    QTest::newRow("12a") << u"12a"_s << u"12a.txt"_s << u"0"_s << QString() << QString() << 5
                         << u"12a"_s << u"12a.txt"_s << 1 << 3;
    QTest::newRow("12a, last") << u"12a"_s << u"12a.txt"_s << u"2"_s << QString() << QString() << 6
                               << u"12"_s << u"12!.txt"_s << 1 << 3;
    QTest::newRow("1-2") << u"1-2"_s << u"1-2.txt"_s << u"0"_s << QString() << QString() << 5
                         << u"1-2"_s << u"1-2.txt"_s << 1 << 3;
    QTest::newRow("+5, none") << u"+5"_s << u"a+5.txt"_s << u"0"_s << QString() << QString() << 5
                              << u"+5"_s << u"+5.txt"_s << 2 << 2;
    QTest::newRow("+5, first") << u"+5"_s << u"a+5.txt"_s << u"1"_s << QString() << QString() << 6
                               << u"5"_s << u"!5.txt"_s << 2 << 2;
    QTest::newRow("-42, none") << u"-42"_s << u"t-42"_s << u"0"_s << QString() << QString() << 5
                               << u"-42"_s << u"-42"_s << 2 << 3;
    QTest::newRow("-42, first") << u"-42"_s << u"t-42"_s << u"1"_s << QString() << QString() << 6
                                << u"42"_s << u"!42"_s << 2 << 3;

    // Patterns.
    QTest::newRow("img042, none") << u"img042"_s << u"img042.png"_s << u"0"_s << u"P"_s << u"S"_s
                                  << 5 << u"img042"_s << u"Pimg042S.png"_s << 1 << 6;
    QTest::newRow("img042, first") << u"img042"_s << u"img042.png"_s << u"1"_s << u"P"_s << u"S"_s
                                   << 6 << u"mg042"_s << u"P!mg042S.png"_s << 1 << 6;
    QTest::newRow("img042, last") << u"img042"_s << u"img042.png"_s << u"2"_s << u"P"_s << u"S"_s
                                  << 5 << u"img042"_s << u"Pimg042S.png"_s << 1 << 6;
    QTest::newRow("01-A, last") << u"01-A"_s << u"Scan01-A.tif"_s << u"2"_s << QString()
                                << QString() << 6 << u"01-"_s << u"01-!.tif"_s << 5 << 4;

    // Empty mask and names without extension.
    QTest::newRow("empty mask") << QString() << u"a.txt"_s << u"1"_s << u"Pic"_s << u"x"_s << 1
                                << QString() << u"Pic0001x.txt"_s << 1 << 0;
    QTest::newRow("no dot in example") << u"abc"_s << u"abcdef"_s << u"0"_s << u"p"_s << u"s"_s << 3
                                       << u"abc"_s << u"pabc-0001s"_s << 1 << 3;

    // Characters beyond the BMP are one character each.
    QTest::newRow("emoji, first") << u"\U0001F600photo"_s << u"\U0001F600photo.jpg"_s << u"1"_s
                                  << QString() << QString() << 4 << u"photo"_s << u"!photo.jpg"_s
                                  << 1 << 6;
    QTest::newRow("emoji, last") << u"photo\U0001F600"_s << u"a photo\U0001F600.jpg"_s << u"2"_s
                                 << QString() << QString() << 4 << u"photo"_s << u"photo!.jpg"_s
                                 << 3 << 6;
    QTest::newRow("emoji pattern, first")
        << u"\U0001F600\U0001F601 7"_s << u"\U0001F389\U0001F600\U0001F601 7.png"_s << u"1"_s
        << QString() << QString() << 6 << u"\U0001F601 7"_s << u"!\U0001F601 7.png"_s << 2 << 4;
    QTest::newRow("non-ASCII letters")
        << u"\u00dcber"_s << u"\u00dcbersicht.pdf"_s << u"2"_s << QString() << QString() << 4
        << u"\u00dcbe"_s << u"\u00dcbe!.pdf"_s << 1 << 4;
}

void TestExtract::kinds() {
    QFETCH(QString, mask);
    QFETCH(QString, example);
    QFETCH(QString, lettering);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);

    auto s = std::make_unique<AppState>();
    const QString shown = extractMask(*s, {mask, example, prefix, suffix, lettering});

    QTEST(int(s->maskKind), "kind");
    QTEST(s->mask, "maskAfter");
    QTEST(shown, "shown");
    QTEST(s->maskPosition, "position");
    QTEST(s->maskLength, "length");
}

void TestExtract::extensions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");

    QTest::newRow("a.b.txt") << u"a.b.txt"_s << u".txt"_s;
    QTest::newRow("README") << u"README"_s << QString();
    QTest::newRow("notes.") << u"notes."_s << u"."_s;
    QTest::newRow(".profile") << u".profile"_s << u".profile"_s;
    QTest::newRow("..") << u".."_s << u"."_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("emoji extension") << u"x.\U0001F600"_s << u".\U0001F600"_s;
}

void TestExtract::extensions() {
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(extensionOf(name), extension);
}

// The example's extension goes to slot 0 and shows in the example text.
void TestExtract::exampleExtension() {
    auto s = std::make_unique<AppState>();
    s->extensions[0] = u"old"_s;
    extractMask(*s, {u"a"_s, u"x.tar.gz"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->extensions[0], u".gz"_s);

    extractMask(*s, {u"a"_s, u"README"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->extensions[0], QString());
}

// Masks beyond 100 characters: the length is capped, a digit counts only in
// the first 100, and the shortening uses the capped length.
void TestExtract::longMask_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("lettering");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("maskAfter");

    const QString letters = letters150();
    QTest::newRow("letters, none") << letters << u"0"_s << 3 << letters;
    QTest::newRow("letters, first") << letters << u"1"_s << 4 << letters.right(99);
    QTest::newRow("letters, last") << letters << u"2"_s << 4 << letters.left(99);
    QTest::newRow("digit at 120 is no digit") << letters150(120) << u"0"_s << 3 << letters150(120);
    QTest::newRow("digit at 120, first")
        << letters150(120) << u"1"_s << 4 << letters150(120).right(99);
    QTest::newRow("digit at 100 counts") << letters150(100) << u"0"_s << 5 << letters150(100);
    QTest::newRow("digit at 100, last") << letters150(100) << u"2"_s << 5 << letters150(100);
    QTest::newRow("digit at 50, first")
        << letters150(50) << u"1"_s << 6 << letters150(50).right(99);
    QTest::newRow("digit at 50, last") << letters150(50) << u"2"_s << 6 << letters150(50).left(99);
}

void TestExtract::longMask() {
    QFETCH(QString, mask);
    QFETCH(QString, lettering);

    auto s = std::make_unique<AppState>();
    extractMask(*s, {mask, u"name"_s + mask + u".txt"_s, QString(), QString(), lettering});
    QTEST(int(s->maskKind), "kind");
    QTEST(s->mask, "maskAfter");
    QCOMPARE(s->maskLength, 100);
    QCOMPARE(s->maskPosition, 5);
    if (s->maskKind >= 5) {
        for (int i = 1; i <= 100; ++i) {
            const QString expected = mask.at(i - 1).isDigit() ? kNumber : QString(mask.at(i - 1));
            QCOMPARE(s->maskChars[size_t(i)], expected);
        }
    }
}

// Slot 0 and the slots above the mask's length keep what an earlier Extract
// left; a mask without digits leaves every slot alone.
void TestExtract::maskCharsKeepOlderSlots() {
    auto s = std::make_unique<AppState>();
    s->maskChars[0] = u"zero"_s;

    extractMask(*s, {u"a1b2"_s, u"a1b2.txt"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->maskKind, short(5));
    const QStringList first{s->maskChars[1], s->maskChars[2], s->maskChars[3], s->maskChars[4]};
    QCOMPARE(first, (QStringList{u"a"_s, kNumber, u"b"_s, kNumber}));

    extractMask(*s, {u"9x"_s, u"9x.txt"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->maskKind, short(5));
    const QStringList second{s->maskChars[0], s->maskChars[1], s->maskChars[2], s->maskChars[3],
                             s->maskChars[4]};
    QCOMPARE(second, (QStringList{u"zero"_s, kNumber, u"x"_s, u"b"_s, kNumber}));

    extractMask(*s, {u"word"_s, u"word.txt"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->maskKind, short(3));
    QCOMPARE(s->maskChars[1], kNumber);
    QCOMPARE(s->maskChars[2], u"x"_s);

    // An empty mask leaves the length of the previous one.
    extractMask(*s, {QString(), u"word.txt"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->maskKind, short(1));
    QCOMPARE(s->maskLength, 4);
}

void TestExtract::maskCharsCountCodePoints() {
    auto s = std::make_unique<AppState>();
    const QString lone(QChar(0xDC80));  // an undecodable file-name byte
    const QString mask = u"\u00e9\U0001F600"_s + lone + u"1"_s;
    extractMask(*s, {mask, u"x"_s + mask + u".txt"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->maskKind, short(5));
    QCOMPARE(s->maskLength, 4);
    QCOMPARE(s->maskPosition, 2);
    QCOMPARE(s->maskChars[1], u"\u00e9"_s);
    QCOMPARE(s->maskChars[2], u"\U0001F600"_s);
    QCOMPARE(s->maskChars[3], lone);
    QCOMPARE(s->maskChars[4], kNumber);
}

// Lone surrogates (undecodable file-name bytes) survive; pairs stay whole.
void TestExtract::codePointsRoundTrip() {
    const QString text = QString(QChar(0xDC80)) + u"a\U0001F600"_s + QChar(0xD800) + u"b"_s;
    const codepoints::Text chars = codepoints::decode(text);
    QCOMPARE(chars.size(), size_t(5));
    QCOMPARE(codepoints::length(text), 5);
    QCOMPARE(chars[2], U'\U0001F600');
    QCOMPARE(codepoints::encode(chars), text);
    QCOMPARE(codepoints::find(codepoints::decode(u"\U0001F480"_s), U"\xDC80"), 0);
    QCOMPARE(codepoints::find(chars, U"b"), 5);
    QCOMPARE(codepoints::find(chars, U""), 1);
    QCOMPARE(codepoints::find(U"", U""), 0);
}

QTEST_GUILESS_MAIN(TestExtract)
#include "test_extract.moc"
