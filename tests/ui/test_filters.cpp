// The keystroke filters of the options dialog, code by code.
#include <QtTest>

#include "tests/ui/BeepCounter.h"
#include "ui/Filters.h"

namespace {

enum class Outcome { Kept, Silent, Beep };

}  // namespace
Q_DECLARE_METATYPE(Outcome)

class FiltersTest : public QObject {
    Q_OBJECT

    static void addCodes(QList<int> codes, Outcome outcome, const char* what) {
        for (int code : codes) {
            QTest::addRow("%s %d", what, code) << code << outcome;
        }
    }

  private slots:
    void numeric_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<Outcome>("outcome");
        addCodes({48, 49, 50, 51, 52, 53, 54, 55, 56, 57}, Outcome::Kept, "digit");
        addCodes({0, 8}, Outcome::Kept, "no character / backspace");
        addCodes({13}, Outcome::Silent, "enter");
        addCodes({43, 44, 45, 46}, Outcome::Silent, "sign or separator");
        addCodes({1, 7, 9, 10, 22, 27, 31, 127}, Outcome::Beep, "control");
        addCodes({32, 33, 42, 47, 58, 65, 90, 97, 122}, Outcome::Beep, "other ascii");
        addCodes({128, 178, 233, 0x0663, 0x7FFF}, Outcome::Beep, "above 127");
        addCodes({-1, -10179, -32768}, Outcome::Beep, "negative");
    }

    void numeric() {
        QFETCH(int, code);
        QFETCH(Outcome, outcome);
        BeepCounter beeps;
        short KeyAscii = static_cast<short>(code);
        Filters::NumericKeyFilter(KeyAscii);
        QCOMPARE(KeyAscii, outcome == Outcome::Kept ? static_cast<short>(code) : short(0));
        QCOMPARE(beeps.count(), outcome == Outcome::Beep ? 1 : 0);
    }

    void nameChar_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<Outcome>("outcome");
        addCodes({13, 34, 42, 47, 58, 60, 62, 63, 92, 124}, Outcome::Silent, "forbidden");
        addCodes({0, 8, 9, 27, 127}, Outcome::Kept, "control");
        addCodes({32, 33, 35, 43, 44, 45, 46, 48, 57, 59, 61, 64, 91, 93, 123, 125, 126},
                 Outcome::Kept, "allowed ascii");
        addCodes({65, 90, 97, 122}, Outcome::Kept, "letter");
        addCodes({128, 233, 0x20AC, 0x7FFF}, Outcome::Kept, "above 127");
        addCodes({-1, -10179, -32768}, Outcome::Kept, "negative");
    }

    void nameChar() {
        QFETCH(int, code);
        QFETCH(Outcome, outcome);
        BeepCounter beeps;
        short KeyAscii = static_cast<short>(code);
        Filters::NameCharKeyFilter(KeyAscii);
        QCOMPARE(KeyAscii, outcome == Outcome::Kept ? static_cast<short>(code) : short(0));
        QCOMPARE(beeps.count(), 0);  // this filter never beeps
    }

    void pastedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("asName");
        QTest::addColumn<QString>("asNumber");
        QTest::newRow("plain") << "abc"
                               << "abc"
                               << "";
        QTest::newRow("path") << "C:\\dir/file?.txt"
                              << "Cdirfile.txt"
                              << "";
        QTest::newRow("every forbidden one") << "\"*/:<>?\\|\r"
                                             << ""
                                             << "";
        QTest::newRow("digits and signs") << "-1,234.5+"
                                          << "-1,234.5+"
                                          << "12345";
        QTest::newRow("spaces and accents") << "été 2024"
                                            << "été 2024"
                                            << "2024";
        QTest::newRow("NUL") << QString::fromUtf16(u"a\0b", 3) << "ab"
                             << "";
        QTest::newRow("other digits") << "١٢٣"
                                      << "١٢٣"
                                      << "";
        QTest::newRow("outside the BMP") << "x😀9"
                                         << "x😀9"
                                         << "9";
    }

    void pastedText() {
        QFETCH(QString, text);
        QFETCH(QString, asName);
        QFETCH(QString, asNumber);
        BeepCounter beeps;
        QCOMPARE(Filters::nameCharText(text), asName);
        QCOMPARE(Filters::numericText(text), asNumber);
        QCOMPARE(beeps.count(), 0);  // pasting is silent
    }
};

QTEST_GUILESS_MAIN(FiltersTest)
#include "test_filters.moc"
