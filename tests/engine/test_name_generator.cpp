// New-name generation: for each mask kind, the names a batch gets. Each case
// runs Extract on an example first, as the user does, then generates.

#include <QtTest>
#include <memory>

#include "engine/AppState.h"
#include "engine/Extract.h"
#include "engine/NameGenerator.h"
#include "tests/support/TestSupport.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// In the expected names, "=" stands for the keep mark (new name = old name).
const QString kKeep = u"="_s;

QStringList outcome(const AppState& s) {
    QStringList names;
    for (int i = 0; i <= s.lastIndex; ++i) {
        const QString& name = s.newNames[size_t(i)];
        names << (name == s.oldNames[size_t(i)] ? kKeep : name);
    }
    return names;
}

QStringList numbered(int count, const QString& stem = u"f"_s) {
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names << stem + QString::number(i) + u".txt"_s;
    }
    return names;
}

}  // namespace

// Generation's error as the number the user would see (0 when none).
int generationError(AppState& s, const GenerationInput& in) {
    return errorNumber(generateNewNames(s, in));
}

class TestNameGenerator : public QObject {
    Q_OBJECT
  private slots:
    void generate_data();
    void generate();
    void extensionsAndBaseLength();
    void batchCappedAt1001();
    void emptyList();
    void runningNumberFields();
    void hugeStartingNumber();
    void notANumberKeepsStateReached();
    void unknownKindKeepsEveryFile_data();
    void unknownKindKeepsEveryFile();
    void loneSurrogatesSurvive();
    void namingSteps_data();
    void namingSteps();
};

void TestNameGenerator::generate_data() {
    QTest::addColumn<QString>("example");  // txtFile at Extract
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("lettering");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("exampleNow");  // txtFile at Rename; null: unchanged
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("error");

    const QString none = u"0"_s;
    const QString first = u"1"_s;
    const QString last = u"2"_s;
    const QString n;  // an empty option or an unchanged txtFile

    // Kind 1: every file takes the next number.
    QTest::newRow("1: numbers from 1")
        << u"a.txt"_s << n << none << u"Pic"_s << u"x"_s << n << n << 1
        << QStringList{u"a.txt"_s, u"b"_s, u"c.doc"_s}
        << QStringList{u"Pic0001x"_s, u"Pic0002x"_s, u"Pic0003x"_s} << 0;
    QTest::newRow("1: 998 crosses 1000")
        << u"a.txt"_s << n << none << n << n << u"998"_s << n << 1 << numbered(4)
        << QStringList{u"0998"_s, u"0999"_s, u"1000"_s, u"1001"_s} << 0;
    QTest::newRow("1: 007 keeps its text once")
        << u"a.txt"_s << n << none << n << n << u"007"_s << n << 1 << numbered(2)
        << QStringList{u"000007"_s, u"0008"_s} << 0;
    QTest::newRow("1: 12345") << u"a.txt"_s << n << none << n << n << u"12345"_s << n << 1
                              << numbered(2) << QStringList{u"12345"_s, u"12346"_s} << 0;
    QTest::newRow("1: zero") << u"a.txt"_s << n << none << n << n << u"0"_s << n << 1 << numbered(2)
                             << QStringList{u"0000"_s, u"0001"_s} << 0;
    QTest::newRow("1: not a number") << u"a.txt"_s << n << none << n << n << u"abc"_s << n << 1
                                     << numbered(2) << QStringList{QString(), QString()} << 13;

    // Kind 2: the characters at the mask's place in txtFile must be digits.
    const QStringList kind2Names{u"IMG_043.jpg"_s,  u"DSC_1.jpg"_s, u"IMG_0A1.jpg"_s,
                                 u"IMG_9999.jpg"_s, u"IMG_042"_s,   u"IMG_04.jpg"_s};
    QTest::newRow("2: IMG_042") << u"IMG_042.jpg"_s << u"042"_s << none << u"p"_s << u"s"_s << n
                                << n << 2 << kind2Names
                                << QStringList{u"p043s"_s, kKeep,      kKeep,
                                               u"p999s"_s, u"p042s"_s, kKeep}
                                << 0;
    QTest::newRow("2: ignores lettering and start")
        << u"IMG_042.jpg"_s << u"042"_s << first << n << n << u"abc"_s << n << 2
        << QStringList{u"IMG_043.jpg"_s} << QStringList{u"043"_s} << 0;
    QTest::newRow("2: txtFile read at Rename")
        << u"IMG_042.jpg"_s << u"042"_s << none << n << n << n << u"x042.jpg"_s << 2
        << QStringList{u"a123.jpg"_s, u"IMG_043.jpg"_s} << QStringList{u"123"_s, kKeep} << 0;
    QTest::newRow("2: mask gone from txtFile")
        << u"IMG_042.jpg"_s << u"042"_s << none << n << n << n << u"other.jpg"_s << 2
        << QStringList{u"a.jpg"_s, u"IMG_043.jpg"_s, u"b.jpg"_s}
        << QStringList{kKeep, QString(), kKeep} << 5;
    QTest::newRow("2: mask gone, every file too short")
        << u"IMG_042.jpg"_s << u"042"_s << none << n << n << n << u"other.jpg"_s << 2
        << QStringList{u"b.jpg"_s, u"a"_s} << QStringList{kKeep, kKeep} << 0;
    QTest::newRow("2: positions count code points")
        << u"\U0001F600042.jpg"_s << u"042"_s << none << n << n << n << n << 2
        << QStringList{u"\U0001F389123.jpg"_s, u"x123.jpg"_s, u"\U0001F389\U0001F38912.jpg"_s}
        << QStringList{u"123"_s, u"123"_s, kKeep} << 0;

    // Kind 3: files holding the mask take the next number.
    QTest::newRow("3: Report") << u"Report.txt"_s << u"Report"_s << none << n << n << n << n << 3
                               << QStringList{u"Report.txt"_s, u"Other.txt"_s, u"MyReport.doc"_s,
                                              u"report.txt"_s}
                               << QStringList{u"Report-0001"_s, kKeep, u"Report-0002"_s, kKeep}
                               << 0;
    QTest::newRow("3: matches the extension")
        << u"notes.txt"_s << u"txt"_s << none << u"p"_s << u"s"_s << u"41"_s << n << 3
        << QStringList{u"notes.txt"_s, u"a.doc"_s, u"b.txt"_s}
        << QStringList{u"ptxt-0041s"_s, kKeep, u"ptxt-0042s"_s} << 0;
    QTest::newRow("3: bad start, nothing matches")
        << u"Report.txt"_s << u"Report"_s << none << n << n << u"x"_s << n << 3
        << QStringList{u"a.txt"_s, u"b.txt"_s} << QStringList{kKeep, kKeep} << 0;
    QTest::newRow("3: bad start stops at the first match")
        << u"Report.txt"_s << u"Report"_s << none << n << n << u"x"_s << n << 3
        << QStringList{u"a.txt"_s, u"Report.txt"_s, u"c.txt"_s}
        << QStringList{kKeep, QString(), QString()} << 13;
    QTest::newRow("3: one letter with lettering first")
        << u"h.txt"_s << u"h"_s << first << n << n << n << n << 3
        << QStringList{u"ah.txt"_s, u"b.txt"_s} << QStringList{u"h-0001"_s, kKeep} << 0;

    // Kind 4: the mask with the file's own letter beside it.
    QTest::newRow("4 first: AReport")
        << u"AReport.txt"_s << u"AReport"_s << first << u"p"_s << u"s"_s << n << n << 4
        << QStringList{u"BReport.doc"_s, u"XYReport"_s, u"Other.txt"_s}
        << QStringList{u"pBReports"_s, u"pYReports"_s, kKeep} << 0;
    QTest::newRow("4 first: mask at the start")
        << u"AReport.txt"_s << u"AReport"_s << first << n << n << n << n << 4
        << QStringList{u"BReport.doc"_s, u"Report.txt"_s, u"CReport.doc"_s}
        << QStringList{u"BReport"_s, QString(), QString()} << 5;
    QTest::newRow("4 last: ReportA")
        << u"ReportA.txt"_s << u"ReportA"_s << last << n << n << n << n << 4
        << QStringList{u"ReportC.doc"_s, u"Report.txt"_s, u"Report"_s, u"Other"_s}
        << QStringList{u"ReportC"_s, u"Report."_s, kKeep, kKeep} << 0;
    QTest::newRow("4 first: emoji letter is whole")
        << u"\U0001F600Report.txt"_s << u"\U0001F600Report"_s << first << n << n << n << n << 4
        << QStringList{u"x\U0001F389Report.doc"_s, u"\u00e9Report.md"_s}
        << QStringList{u"\U0001F389Report"_s, u"\u00e9Report"_s} << 0;
    QTest::newRow("4 last: emoji letter is whole")
        << u"Report\U0001F600.txt"_s << u"Report\U0001F600"_s << last << n << n << n << n << 4
        << QStringList{u"Report\U0001F389x.doc"_s} << QStringList{u"Report\U0001F389"_s} << 0;
    QTest::newRow("4: case-sensitive")
        << u"xReport"_s << u"xReport"_s << first << n << n << n << n << 4
        << QStringList{u"yreport"_s, u"yREPORT"_s} << QStringList{kKeep, kKeep} << 0;

    // Kinds 5 and 6: the characters at the mask's position match its pattern.
    const QStringList scans{u"Scan02-A.tif"_s,      u"Scan02-B.tif"_s, u"Scan0x-A.tif"_s,
                            u"Scan99-a.tif"_s,      u"Sc.tif"_s,       u"Scan02-A"_s,
                            u"Scan\U0001F60002-A"_s};
    QTest::newRow("5: Scan01-A") << u"Scan01-A.tif"_s << u"01-A"_s << none << u"p"_s << u"s"_s << n
                                 << n << 5 << scans
                                 << QStringList{u"p02-As"_s, kKeep,       kKeep, kKeep,
                                                kKeep,       u"p02-As"_s, kKeep}
                                 << 0;
    QTest::newRow("6 last: Scan01-A")
        << u"Scan01-A.tif"_s << u"01-A"_s << last << n << n << n << n << 6 << scans
        << QStringList{u"02-A"_s, u"02-B"_s, kKeep, u"99-a"_s, kKeep, u"02-A"_s, kKeep} << 0;
    QTest::newRow("6 first: img042")
        << u"img042.png"_s << u"img042"_s << first << n << n << n << n << 6
        << QStringList{u"jmg777.png"_s, u"img1.png"_s, u"xng123.png"_s, u"\U0001F600mg123.png"_s}
        << QStringList{u"jmg777"_s, kKeep, kKeep, u"\U0001F600mg123"_s} << 0;
    QTest::newRow("5: emoji in the pattern")
        << u"a\U0001F6001.txt"_s << u"\U0001F6001"_s << none << n << n << n << n << 5
        << QStringList{u"b\U0001F6007.txt"_s, u"b\U0001F6037.txt"_s, u"bb7.txt"_s}
        << QStringList{u"\U0001F6007"_s, kKeep, kKeep} << 0;
    QTest::newRow("5: mask typed, not in the example")
        << u"abc.txt"_s << u"z1"_s << none << n << n << n << n << 5
        << QStringList{u".q"_s, u"long1.txt"_s} << QStringList{kKeep, QString()} << 5;
}

void TestNameGenerator::generate() {
    QFETCH(QString, example);
    QFETCH(QString, mask);
    QFETCH(QString, lettering);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QFETCH(QString, start);
    QFETCH(QString, exampleNow);
    QFETCH(QStringList, names);

    auto s = std::make_unique<AppState>();
    extractMask(*s, {mask, example, prefix, suffix, lettering});
    QTEST(int(s->maskKind), "kind");

    const int error = generationError(
        *s, {names, prefix, suffix, start, exampleNow.isNull() ? example : exampleNow});
    QTEST(error, "error");
    QCOMPARE(s->lastIndex, int(names.size()) - 1);
    QTEST(outcome(*s), "expected");
}

void TestNameGenerator::extensionsAndBaseLength() {
    auto s = std::make_unique<AppState>();
    extractMask(*s, {QString(), u"a.txt"_s, QString(), QString(), u"0"_s});
    const QStringList names{u"a.b.txt"_s, u"README"_s, u"notes."_s, u".profile"_s};
    QCOMPARE(generationError(*s, {names, QString(), QString(), QString(), QString()}), 0);
    const QStringList extensions{s->extensions[0], s->extensions[1], s->extensions[2],
                                 s->extensions[3]};
    QCOMPARE(extensions, (QStringList{u".txt"_s, QString(), u"."_s, u".profile"_s}));

    // .profile has a base length of 0, too short for any mask.
    extractMask(*s, {u"x1"_s, u"x1.c"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->maskKind, short(5));
    QCOMPARE(
        generationError(
            *s, {{u".profile"_s, u"x1.profile"_s}, QString(), QString(), QString(), QString()}),
        0);
    QCOMPARE(outcome(*s), (QStringList{kKeep, u"x1"_s}));
}

void TestNameGenerator::batchCappedAt1001() {
    auto s = std::make_unique<AppState>();
    extractMask(*s, {QString(), u"a.txt"_s, QString(), QString(), u"0"_s});
    const QStringList names = numbered(1500);
    QCOMPARE(generationError(*s, {names, QString(), QString(), QString(), QString()}), 0);
    QCOMPARE(s->lastIndex, 1000);
    QCOMPARE(s->oldNames[1000], u"f1000.txt"_s);
    QCOMPARE(s->newNames[0], u"0001"_s);
    QCOMPARE(s->newNames[1000], u"1001"_s);
    QCOMPARE(s->counterText, u"1002"_s);
}

void TestNameGenerator::emptyList() {
    auto s = std::make_unique<AppState>();
    extractMask(*s, {QString(), u"a.txt"_s, QString(), QString(), u"0"_s});
    s->oldNames[0] = u"left"_s;
    s->newNames[0] = u"alone"_s;
    QCOMPARE(generationError(*s, {{}, QString(), QString(), u"5"_s, QString()}), 0);
    QCOMPARE(s->lastIndex, -1);
    QCOMPARE(s->oldNames[0], u"left"_s);
    QCOMPARE(s->newNames[0], u"alone"_s);
    QCOMPARE(s->counterText, u"5"_s);
}

void TestNameGenerator::runningNumberFields() {
    auto s = std::make_unique<AppState>();
    extractMask(*s, {u"Report"_s, u"Report.txt"_s, QString(), QString(), u"0"_s});
    s->newNames[3] = u"from an earlier batch"_s;

    QCOMPARE(
        generationError(
            *s,
            {{u"Report1"_s, u"Report2"_s, u"Report3"_s}, QString(), QString(), u"98"_s, QString()}),
        0);
    QCOMPARE(s->leadingZeros, u"0"_s);  // taken by 100
    QCOMPARE(s->counterText, u"101"_s);
    QCOMPARE(s->newNames[2], u"Report-0100"_s);
    QCOMPARE(s->newNames[3], u"from an earlier batch"_s);

    // Every run starts over from the starting number.
    QCOMPARE(generationError(*s, {{u"Report1"_s}, QString(), QString(), QString(), QString()}), 0);
    QCOMPARE(s->newNames[0], u"Report-0001"_s);
    QCOMPARE(s->leadingZeros, u"000"_s);
    QCOMPARE(s->counterText, u"2"_s);
}

// Past 2^53 a double no longer holds every whole number; the text never turns
// to exponent notation.
void TestNameGenerator::hugeStartingNumber() {
    auto s = std::make_unique<AppState>();
    extractMask(*s, {QString(), u"a.txt"_s, QString(), QString(), u"0"_s});
    QCOMPARE(
        generationError(*s, {numbered(3), QString(), QString(), u"9999999999999999"_s, QString()}),
        0);
    QCOMPARE(outcome(*s),
             (QStringList{u"9999999999999999"_s, u"10000000000000000"_s, u"10000000000000000"_s}));

    QCOMPARE(generationError(*s, {numbered(2), QString(), QString(),
                                  u"123456789012345678901234567890"_s, QString()}),
             0);
    QCOMPARE(s->newNames[0], u"123456789012345678901234567890"_s);
    QCOMPARE(s->newNames[1], u"123456789012345677877719597056"_s);
}

void TestNameGenerator::notANumberKeepsStateReached() {
    auto s = std::make_unique<AppState>();
    extractMask(*s, {QString(), u"a.txt"_s, QString(), QString(), u"0"_s});
    s->newNames[0] = u"stale"_s;
    QCOMPARE(generationError(*s, {numbered(3), QString(), QString(), u"1,5x"_s, QString()}), 13);
    QCOMPARE(s->lastIndex, 2);
    QCOMPARE(s->oldNames[2], u"f2.txt"_s);
    QCOMPARE(s->extensions[2], u".txt"_s);
    QCOMPARE(s->newNames[0], QString());
    QCOMPARE(s->counterText, u"1,5x"_s);
}

void TestNameGenerator::unknownKindKeepsEveryFile_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("before the first Extract") << 0;
    QTest::newRow("7") << 7;
    QTest::newRow("-1") << -1;
}

void TestNameGenerator::unknownKindKeepsEveryFile() {
    QFETCH(int, kind);
    auto s = std::make_unique<AppState>();
    s->maskKind = short(kind);
    QCOMPARE(generationError(*s, {numbered(3), u"p"_s, u"s"_s, QString(), QString()}), 0);
    QCOMPARE(outcome(*s), (QStringList{kKeep, kKeep, kKeep}));
}

// A name byte that is not UTF-8 reaches the engine as a lone surrogate; it is
// a character of its own and comes out unchanged.
void TestNameGenerator::loneSurrogatesSurvive() {
    const QString byte(QChar(0xDCE9));
    auto s = std::make_unique<AppState>();
    extractMask(*s, {u"ReportA"_s, u"ReportA.txt"_s, QString(), QString(), u"2"_s});
    QCOMPARE(
        generationError(
            *s, {{u"Report"_s + byte + u".txt"_s}, QString(), QString(), QString(), QString()}),
        0);
    QCOMPARE(s->newNames[0], u"Report"_s + byte);

    extractMask(*s, {byte + u"1"_s, byte + u"1.txt"_s, QString(), QString(), u"0"_s});
    QCOMPARE(s->maskKind, short(5));
    QCOMPARE(
        generationError(
            *s,
            {{byte + u"7.txt"_s, u"\u00e97.txt"_s}, QString(), QString(), QString(), QString()}),
        0);
    QCOMPARE(outcome(*s), (QStringList{byte + u"7"_s, kKeep}));
}

// The naming steps beyond the mask: the number's digits and step, the text
// replaced, the letter case; and Extract's example of them.
void TestNameGenerator::namingSteps_data() {
    QTest::addColumn<QString>("mask");  // highlighted in the first name
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("steps");  // testing_support::namingSteps
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");  // whole names; "=" kept
    QTest::addColumn<QString>("example");       // Extract's example
    QTest::addColumn<int>("error");
    const QString n;
    const QStringList scans{u"scan 1.pdf"_s, u"scan 2.pdf"_s, u"scan 12.pdf"_s};
    using L = QStringList;

    QTest::newRow("two digits") << n << u"Invoice-"_s << n << L{u"digits=2"_s} << scans
                                << L{u"Invoice-01.pdf"_s, u"Invoice-02.pdf"_s, u"Invoice-03.pdf"_s}
                                << u"Invoice-01.pdf"_s << 0;
    QTest::newRow("a longer number keeps its digits")
        << n << n << u"99"_s << L{u"digits=1"_s} << scans
        << L{u"99.pdf"_s, u"100.pdf"_s, u"101.pdf"_s} << u"1.pdf"_s << 0;
    QTest::newRow("step of five, Auto digits")
        << n << n << u"95"_s << L{u"step=5"_s} << scans
        << L{u"0095.pdf"_s, u"0100.pdf"_s, u"0105.pdf"_s} << u"0001.pdf"_s << 0;
    QTest::newRow("text removed from the old names")
        << n << n << n << L{u"find=DSC_"_s}
        << L{u"DSC_0001.jpg"_s, u"DSC_0001_edit.jpg"_s, u"IMG_1.jpg"_s}
        << L{u"0001.jpg"_s, u"0001_edit.jpg"_s, u"IMG_1.jpg"_s} << u"0001.jpg"_s << 0;
    QTest::newRow("a regular expression with a group")
        << n << n << n << L{u"find=_(\\d+)$"_s, u"replacement=-\\1"_s, u"pattern=1"_s}
        << L{u"IMG_12.jpg"_s, u"IMG_12_b.jpg"_s} << L{u"IMG-12.jpg"_s, u"IMG_12_b.jpg"_s}
        << u"IMG-12.jpg"_s << 0;
    QTest::newRow("replaced in the name the mask builds")
        << u"0001"_s << n << n << L{u"find=0"_s, u"replacement=o"_s}
        << L{u"IMG_0001.jpg"_s, u"x.jpg"_s} << L{u"ooo1.jpg"_s, u"="_s} << u"ooo1.jpg"_s << 0;
    QTest::newRow("lower case, extension too")
        << n << n << n << L{u"nameCase=1"_s, u"extensionCase=1"_s}
        << L{u"IMG_0001.JPG"_s, u"Readme"_s} << L{u"img_0001.jpg"_s, u"readme"_s}
        << u"img_0001.jpg"_s << 0;
    QTest::newRow("title case, extension as it is")
        << n << n << n << L{u"nameCase=3"_s} << L{u"my HOLIDAY_photo 2.JPG"_s}
        << L{u"My Holiday_Photo 2.JPG"_s} << u"My Holiday_Photo 2.JPG"_s << 0;
    QTest::newRow("upper case with a prefix, only the extension")
        << n << u"inv-"_s << n << L{u"extensionCase=2"_s} << L{u"a.txt"_s} << L{u"inv-a.TXT"_s}
        << u"inv-a.TXT"_s << 0;
    QTest::newRow("a file the mask leaves alone keeps its case")
        << u"abc"_s << n << n << L{u"nameCase=2"_s, u"extensionCase=2"_s}
        << L{u"abc.txt"_s, u"x.txt"_s} << L{u"ABC-0001.TXT"_s, u"="_s} << u"ABC-0001.TXT"_s << 0;
    QTest::newRow("an invalid regular expression renames nothing")
        << n << n << n << L{u"find=("_s, u"pattern=1"_s} << L{u"a.txt"_s} << L{QString()}
        << u"a.txt"_s << 5;
}

void TestNameGenerator::namingSteps() {
    QFETCH(QString, mask);
    QFETCH(QString, prefix);
    QFETCH(QStringList, names);
    QFETCH(QStringList, steps);
    QFETCH(QString, start);
    const NamingSteps naming = testing_support::namingSteps(steps);
    auto s = std::make_unique<AppState>();
    QTEST(extractMask(*s, {mask, names.first(), prefix, QString(), u"0"_s}, naming), "example");
    GenerationInput input{names, prefix, QString(), QString(), names.first(), naming, nullptr};
    input.startNumber = start;
    QTEST(generationError(*s, input), "error");
    QStringList got;
    for (int i = 0; i <= s->lastIndex; ++i) {
        const QString& name = s->newNames[size_t(i)];
        got << (name == s->oldNames[size_t(i)] ? kKeep
                : name.isNull()                ? name
                                               : name + s->extensions[size_t(i)]);
    }
    QTEST(got, "expected");
}

QTEST_GUILESS_MAIN(TestNameGenerator)
#include "test_name_generator.moc"
