// The one text-to-number conversion: its grammar in several locales, the
// single-precision range, and the decimal text of the running number.

#include <QtTest>
#include <cfloat>

#include "engine/TextNumber.h"

using namespace Qt::Literals::StringLiterals;

class TestTextNumber : public QObject {
    Q_OBJECT
  private slots:
    void grammar_data();
    void grammar();
    void singleRange_data();
    void singleRange();
    void failureLeavesOutputAlone();
    void systemLocale();
    void numberText_data();
    void numberText();
    void numberTextReadsBack_data();
    void numberTextReadsBack();
};

void TestTextNumber::grammar_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    const QString c = u"C"_s;
    const QString en = u"en_US"_s;
    const QString de = u"de_DE"_s;
    const QString fr = u"fr_FR"_s;
    const QString ar = u"ar_EG"_s;

    QTest::newRow("digits") << c << u"123"_s << true << 123.0;
    QTest::newRow("leading zeros") << c << u"007"_s << true << 7.0;
    QTest::newRow("blanks around") << c << u" \t42  "_s << true << 42.0;
    QTest::newRow("no-break space around") << c << u"\u00a042\u00a0"_s << true << 42.0;
    QTest::newRow("plus") << c << u"+5"_s << true << 5.0;
    QTest::newRow("minus") << c << u"-5"_s << true << -5.0;
    QTest::newRow("point") << c << u"1.5"_s << true << 1.5;
    QTest::newRow("point first") << c << u".5"_s << true << 0.5;
    QTest::newRow("point last") << c << u"5."_s << true << 5.0;
    QTest::newRow("exponent") << c << u"1e5"_s << true << 1e5;
    QTest::newRow("exponent signed") << c << u"2.5E-3"_s << true << 2.5e-3;
    QTest::newRow("exponent plus") << c << u"1e+2"_s << true << 100.0;
    QTest::newRow("group") << en << u"1,234"_s << true << 1234.0;
    QTest::newRow("group sizes unchecked") << en << u"1,2,3"_s << true << 123.0;
    QTest::newRow("group and point") << en << u"12,345.25"_s << true << 12345.25;
    QTest::newRow("40 digits") << c << QString(40, u'9') << true << 1e40;
    QTest::newRow("tiny reads as zero") << c << u"1e-400"_s << true << 0.0;
    QTest::newRow("tiny fraction reads as zero")
        << c << (u"0."_s + QString(400, u'0') + u"1"_s) << true << 0.0;

    QTest::newRow("empty") << c << QString() << false << 0.0;
    QTest::newRow("blanks only") << c << u"   "_s << false << 0.0;
    QTest::newRow("letters after") << c << u"12a"_s << false << 0.0;
    QTest::newRow("inner minus") << c << u"1-2"_s << false << 0.0;
    QTest::newRow("two signs") << c << u"--5"_s << false << 0.0;
    QTest::newRow("sign after") << c << u"5-"_s << false << 0.0;
    QTest::newRow("blank after sign") << c << u"- 5"_s << false << 0.0;
    QTest::newRow("inner blank") << c << u"1 2"_s << false << 0.0;
    QTest::newRow("point alone") << c << u"."_s << false << 0.0;
    QTest::newRow("two points") << c << u"1.2.3"_s << false << 0.0;
    QTest::newRow("exponent without digits") << c << u"1e"_s << false << 0.0;
    QTest::newRow("exponent alone") << c << u"e5"_s << false << 0.0;
    QTest::newRow("hex prefix") << c << u"0x10"_s << false << 0.0;
    QTest::newRow("basic hex prefix") << c << u"&H10"_s << false << 0.0;
    QTest::newRow("inf") << c << u"inf"_s << false << 0.0;
    QTest::newRow("nan") << c << u"nan"_s << false << 0.0;
    QTest::newRow("Infinity") << c << u"Infinity"_s << false << 0.0;
    QTest::newRow("group first") << en << u",5"_s << false << 0.0;
    QTest::newRow("group last") << en << u"5,"_s << false << 0.0;
    QTest::newRow("double group") << en << u"1,,2"_s << false << 0.0;
    QTest::newRow("group in fraction") << en << u"1.2,3"_s << false << 0.0;
    QTest::newRow("group before point") << en << u"1,.5"_s << false << 0.0;
    QTest::newRow("beyond double") << c << u"1e400"_s << false << 0.0;
    QTest::newRow("beyond double, long") << c << QString(400, u'9') << false << 0.0;
    QTest::newRow("fullwidth digits") << c << u"\uff11\uff12"_s << false << 0.0;
    QTest::newRow("arabic-indic digits") << ar << u"\u0661\u0662"_s << false << 0.0;

    // The system locale first, then the C locale.
    QTest::newRow("de comma point") << de << u"1,5"_s << true << 1.5;
    QTest::newRow("de dot group") << de << u"1.234"_s << true << 1234.0;
    QTest::newRow("de falls back to C") << de << u"1,234.5"_s << true << 1234.5;
    QTest::newRow("fr narrow no-break group")
        << fr << (u"1"_s + QLocale(QLocale::French).groupSeparator() + u"000"_s) << true << 1000.0;
    QTest::newRow("fr comma point") << fr << u"2,25"_s << true << 2.25;
    QTest::newRow("ar own point") << ar
                                  << (u"3"_s + QLocale(QLocale::Arabic).decimalPoint() + u"5"_s)
                                  << true << 3.5;
    QTest::newRow("ar falls back to C") << ar << u"3.5"_s << true << 3.5;
}

void TestTextNumber::grammar() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);

    double result = -999;
    QCOMPARE(textToDouble(text, &result, QLocale(locale)), ok);
    if (ok) {
        QCOMPARE(result, value);
    }
}

void TestTextNumber::singleRange_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");

    QTest::newRow("38 digits") << QString(38, u'9') << true;
    QTest::newRow("39 digits") << QString(39, u'9') << false;
    QTest::newRow("40 digits") << QString(40, u'9') << false;
    QTest::newRow("1 and 38 zeros") << (u"1"_s + QString(38, u'0')) << true;
    QTest::newRow("3.4e38") << u"3.4e38"_s << true;
    QTest::newRow("3.5e38") << u"3.5e38"_s << false;
    QTest::newRow("-3.5e38") << u"-3.5e38"_s << false;
    QTest::newRow("1e-50 underflows to zero") << u"1e-50"_s << true;
    QTest::newRow("inf") << u"inf"_s << false;
}

void TestTextNumber::singleRange() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    float value = 0;
    QCOMPARE(textToSingle(text, &value, QLocale::c()), ok);
    QCOMPARE(textToSingle(text, &value), ok);
    if (ok) {
        QVERIFY(std::isfinite(value));
    }
}

void TestTextNumber::failureLeavesOutputAlone() {
    double d = 17;
    float f = 17;
    QVERIFY(!textToDouble(u"x"_s, &d));
    QVERIFY(!textToSingle(QString(40, u'9'), &f));
    QCOMPARE(d, 17.0);
    QCOMPARE(f, 17.0f);
}

// Whatever the machine's locale, a run of digits and the C spelling of a
// fraction read the same.
void TestTextNumber::systemLocale() {
    double value = 0;
    QVERIFY(textToDouble(u"998"_s, &value));
    QCOMPARE(value, 998.0);
    QVERIFY(textToDouble(u" 12 "_s, &value));
    QCOMPARE(value, 12.0);
    QVERIFY(textToDouble(u"1.5"_s, &value));
    QVERIFY(value == 1.5 || value == 15.0);  // 15 where "." groups digits
    QVERIFY(!textToDouble(u"abc"_s, &value));
}

void TestTextNumber::numberText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("one") << u"C"_s << 1.0 << u"1"_s;
    QTest::newRow("thousand, no group") << u"en_US"_s << 1234567.0 << u"1234567"_s;
    QTest::newRow("negative") << u"C"_s << -4.0 << u"-4"_s;
    QTest::newRow("2^53 + 1 is not a double")
        << u"C"_s << 9007199254740993.0 << u"9007199254740992"_s;
    QTest::newRow("1e16, no exponent") << u"C"_s << 1e16 << u"10000000000000000"_s;
    QTest::newRow("1e30, no exponent") << u"C"_s << 1e30 << u"1000000000000000019884624838656"_s;
    QTest::newRow("fraction") << u"C"_s << 2.5 << u"2.5"_s;
    QTest::newRow("fraction, de") << u"de_DE"_s << 2.5 << u"2,5"_s;
    QTest::newRow("small fraction") << u"C"_s << 1e-7 << u"0.0000001"_s;
}

void TestTextNumber::numberText() {
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(numberToText(value, QLocale(locale)), text);
}

void TestTextNumber::numberTextReadsBack_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    for (const QString& locale : {u"C"_s, u"de_DE"_s, u"fr_FR"_s, u"ar_EG"_s, u"hi_IN"_s}) {
        for (const double value : {0.0, 7.0, 1001.0, 9999999999999999.0, 1.1, -2.75, 1e300}) {
            QTest::addRow("%s %g", qPrintable(locale), value) << locale << value;
        }
    }
}

void TestTextNumber::numberTextReadsBack() {
    QFETCH(QString, locale);
    QFETCH(double, value);
    const QLocale loc(locale);
    double back = -1;
    QVERIFY(textToDouble(numberToText(value, loc), &back, loc));
    QVERIFY2(back == value, qPrintable(numberToText(value, loc)));
    QVERIFY(!numberToText(value, loc).contains(u'e'));
}

QTEST_GUILESS_MAIN(TestTextNumber)
#include "test_textnumber.moc"
