// The preview against the real rename: over many random batches in real
// temporary directories, the preview foresees exactly the names Rename gives,
// the files it numbers or skips and where it stops, without touching the
// disk; also as it follows a mask typed key by key.
#include <QtTest>

#include <QCryptographicHash>
#include <QDir>
#include <QRandomGenerator>
#include <memory>

#include "engine/AppState.h"
#include "engine/BatchPlan.h"
#include "engine/Extract.h"
#include "engine/Journal.h"
#include "engine/NameGenerator.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"

using testing_support::Batch;

using batch::Outcome;
using testing_support::TempFiles;

namespace {

// Creates `name` (exact, possibly not UTF-8) in `dir`, holding its own bytes.
void createFile(const QString& dir, const QString& name) {
    testing_support::createRaw(dir, platform::encodeFileName(name));
}

QStringList filesOf(const QString& dir) {
    QStringList names = platform::real().listDirectory(dir).files;
    names.sort();
    return names;
}

template <class T>
const T& pick(QRandomGenerator& random, const QList<T>& from) {
    return from.at(random.bounded(int(from.size())));
}

// A directory of files that chain, collide and repeat, some not valid UTF-8,
// with a subdirectory that takes a likely new name; and a batch over it.
Batch randomBatch(QRandomGenerator& random, const QString& dir) {
    const QList<QString> stems{"IMG_",
                               "img",
                               "Report",
                               "report",
                               "",
                               "Scan",
                               "x-",
                               "\u00e9t\u00e9",
                               QString(QChar(0xDCE9)) + "raw"};
    const QList<QString> extensions{".jpg", ".jpg", ".jpg", ".txt", "", ".tar.gz", ".", ".JPG"};
    QStringList files;
    if (random.bounded(2) == 0) {
        // Names a numbered batch moves along: 0000 to 0005.
        for (int k = random.bounded(2); k <= 5; ++k) {
            files << QStringLiteral("%1.jpg").arg(k, 4, 10, QLatin1Char('0'));
            createFile(dir, files.last());
        }
    }
    const int count = int(files.size()) + 3 + random.bounded(20);
    while (files.size() < count) {
        const int number = random.bounded(12);
        const QString digits = QString::number(number).rightJustified(
            random.bounded(2) == 0 ? 4 : random.bounded(4), u'0');
        const QString name = pick(random, stems) + digits + pick(random, extensions);
        if (!name.isEmpty() && !files.contains(name) && name != "." && name != "..") {
            files << name;
            createFile(dir, name);
        }
    }
    if (random.bounded(4) == 0) {
        QDir(dir).mkdir(QStringLiteral("0001.jpg"));
    }

    Batch b;
    QStringList pool = files;
    while (!pool.isEmpty() && (b.listed.isEmpty() || random.bounded(5) != 0)) {
        b.listed << pool.takeAt(random.bounded(int(pool.size())));
    }
    b.example = b.listed.first();
    const int length = int(b.example.size());
    switch (random.bounded(5)) {
        case 0:
        case 1:
            break;  // no mask: numbers for all, often taken already
        case 2:
            b.mask = QStringLiteral("1.5");  // numeric, matching nothing
            break;
        default: {
            const int from = random.bounded(length);
            b.mask = b.example.mid(from, 1 + random.bounded(length - from));
        }
    }
    b.lettering = pick(random, QList<QString>{"0", "0", "1", "2"});
    b.prefix =
        pick(random, QList<QString>{"", "", "", "", "p", "a/b", QString(250, u'x'), "\u00df"});
    b.suffix = pick(random, QList<QString>{"", "", "_s", "-1"});
    b.start = pick(random, QList<QString>{"", "0", "1", "998", "7", "", "x"});
    return b;
}

// Naming steps beyond the mask for half the batches, the defaults for the rest.
NamingSteps randomSteps(QRandomGenerator& random) {
    NamingSteps steps;
    if (random.bounded(2) == 0) {
        steps.digits = random.bounded(10);
        steps.step = 1 + random.bounded(3);
        steps.find = pick(random, QList<QString>{"", "", "0", "IMG_", "[0-9]+", "(", "\u00e9"});
        steps.pattern = random.bounded(2) == 0;
        steps.replacement = pick(random, QList<QString>{"", "x", "-", "0001"});
        steps.nameCase = NamingSteps::Case(random.bounded(4));
        steps.extensionCase = NamingSteps::Case(random.bounded(3));
        steps.date = NamingSteps::Date(random.bounded(3));
        steps.dateFormat = pick(random, QList<QString>{"yyyy-MM-dd", "yyyy", "dd/MM"});
        steps.dateAfter = random.bounded(2) == 0;
        steps.byDateTaken = random.bounded(2) == 0;
    }
    return steps;
}

}  // namespace

class TestPreview : public QObject {
    Q_OBJECT

  private slots:
    // Rename gives the names the preview shows, stops where it shows a stop,
    // and the preview itself changes nothing on disk. The preview that
    // followed a mask typed key by key (the listing kept) shows at the last
    // key what Rename does once Extract has taken that mask.
    void agreesWithRename() {
        QRandomGenerator random(20261207);
        for (int round = 0; round < 400; ++round) {
            TempFiles dir;
            Batch batch = randomBatch(random, dir.path());
            batch.steps = randomSteps(random);
            const QStringList before = filesOf(dir.path());
            testing_support::FaultPlatform watcher;
            const auto state = batch.extracted(dir.path());
            const platform::Listing listing = watcher.list(*state->chosenDirectory);
            // Keys typed over the mask Extract took: some taken back, some added.
            QString typed = batch.mask;
            batch::Plan live;
            for (int key = random.bounded(6); key > 0; --key) {
                if (!typed.isEmpty() && random.bounded(3) == 0) {
                    typed.chop(1);
                } else {
                    typed += batch.example.at(random.bounded(int(batch.example.size())));
                }
                const ExtractInput input{typed, batch.example, batch.prefix, batch.suffix,
                                         batch.lettering};
                live = batch::previewPlan(*state, &input, batch.input(), listing);
                // At every key, with the registry kept from the key before,
                // what a plan made afresh by that mask gives.
                const auto extracted = std::make_unique<AppState>(*state);
                extractMask(*extracted, input);
                const batch::Plan fresh = batch::makePlan(*extracted, batch.input(), listing);
                for (int i = 0; i < live.steps.size(); ++i) {
                    QVERIFY(batch::resultText(live, i) == batch::resultText(fresh, i) &&
                            live.steps[i].newName == fresh.steps[i].newName);
                }
            }
            batch.mask = typed;
            extractMask(*state,
                        {typed, batch.example, batch.prefix, batch.suffix, batch.lettering});
            const batch::Plan plan = testing_support::planned(*state, batch.input(), watcher);
            QCOMPARE(watcher.renameCalls(), 0);
            QCOMPARE(filesOf(dir.path()), before);
            QCOMPARE(plan.steps.size(), batch.listed.size());
            const QString context = QStringLiteral("round %1, mask '%2', prefix '%3', start '%4'")
                                        .arg(round)
                                        .arg(batch.mask, batch.prefix.left(8), batch.start);
            if (!live.steps.isEmpty()) {
                for (int i = 0; i < plan.steps.size(); ++i) {
                    QVERIFY2(batch::resultText(live, i) == batch::resultText(plan, i) &&
                                 live.steps[i].newName == plan.steps[i].newName,
                             qPrintable(context));
                }
            }

            const batch::Plan record =
                testing_support::renamed(*state, batch.input(), platform::real());
            journal::end();
            QVERIFY2(plan.stop.error == record.stop.error, qPrintable(context));
            if (record.stopped()) {
                QCOMPARE(plan.stopAt, record.stopAt);
                QVERIFY(record.stopAt < 0 || plan.steps[record.stopAt].outcome == Outcome::Stops);
                continue;
            }

            QSet<QString> expected(before.cbegin(), before.cend());
            for (int i = 0; i < plan.steps.size(); ++i) {
                const batch::Step& step = plan.steps[i];
                QVERIFY2(step.renamed() == record.steps[i].renamed(),
                         qPrintable(context + QStringLiteral(", row ") + step.oldName));
                QCOMPARE(step.newName, record.steps[i].newName);
                if (step.renamed()) {
                    QCOMPARE(step.newName, platform::nameOf(state->newNames[i]));
                    expected.remove(step.oldName);
                    expected.insert(step.newName);
                }
            }
            QStringList predicted(expected.cbegin(), expected.cend());
            predicted.sort();
            QVERIFY2(filesOf(dir.path()) == predicted, qPrintable(context));
        }
    }

    // With the naming steps at their defaults, generation gives exactly the
    // names it gave before they existed: a digest of the names of many
    // random batches, taken from the program as it was then.
    void defaultStepsKeepTheNames() {
        QRandomGenerator random(20261208);
        QCryptographicHash digest(QCryptographicHash::Sha1);
        for (int round = 0; round < 300; ++round) {
            TempFiles dir;
            const Batch batch = randomBatch(random, dir.path());
            const auto state = batch.extracted(dir.path());
            const Error error = generateNewNames(*state, batch.input());
            digest.addData(QByteArray::number(errorNumber(error)));
            for (int i = 0; i <= state->lastIndex; ++i) {
                digest.addData((state->newNames[i] + u'|' + state->extensions[i] + u'\n').toUtf8());
            }
        }
        QCOMPARE(digest.result().toHex(), QByteArray("c3a486121e1a44e3f5b56f6aa055e744b4650b66"));
    }

    // What each kind of row says, on batches a user would meet.
    void rows_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("lettering");
        QTest::addColumn<QStringList>("newNames");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QStringList>("steps");  // testing_support::namingSteps

        QTest::newRow("a name taken in the directory")
            << QStringList{"a.jpg", "b.jpg", "0002.jpg"} << QStringList{"a.jpg", "b.jpg"} << ""
            << ""
            << "0" << QStringList{"0001.jpg", "0002-1.jpg"}
            << QStringList{"renamed", "numbered: 0002.jpg is taken in the directory"}
            << "1 renamed, 1 numbered, 0 left alone, 0 skipped" << QStringList();
        QTest::newRow("a name taken by an earlier file of the batch")
            << QStringList{"x1.txt", "y1.txt"} << QStringList{"x1.txt", "y1.txt"} << "1"
            << ""
            << "0" << QStringList{"1.txt", "1-1.txt"}
            << QStringList{"renamed", "numbered: 1.txt is taken by an earlier file of this batch"}
            << "1 renamed, 1 numbered, 0 left alone, 0 skipped" << QStringList();
        QTest::newRow("taken in the directory, then by an earlier file")
            << QStringList{"2.txt", "b2.txt", "a1.txt", "d1.txt"}
            << QStringList{"b2.txt", "a1.txt", "d1.txt"} << "2"
            << ""
            << "0" << QStringList{"2-1.txt", "1.txt", "1-1.txt"}
            << QStringList{"numbered: 2.txt is taken in the directory", "renamed",
                           "numbered: 1.txt is taken by an earlier file of this batch"}
            << "1 renamed, 2 numbered, 0 left alone, 0 skipped" << QStringList();
        QTest::newRow("a numeric mask that matches nothing")
            << QStringList{"a.jpg"} << QStringList{"a.jpg"} << "1.5"
            << ""
            << "0" << QStringList{"a.jpg"} << QStringList{"left alone: no match"}
            << "0 renamed, 0 numbered, 1 left alone, 0 skipped" << QStringList();
        QTest::newRow("a lettered mask at the start of a name stops the batch")
            << QStringList{"AReport.txt", "report.txt", "Report.txt"}
            << QStringList{"AReport.txt", "Report.txt", "report.txt"} << "AReport"
            << ""
            << "1" << QStringList{"AReport.txt", "Report.txt", "report.txt"}
            << QStringList{"not renamed: the batch stops at Report.txt", "Error # 5",
                           "not renamed: the batch stops at Report.txt"}
            << "Rename would stop at Report.txt with Error # 5; no file would be renamed."
            << QStringList();
        QTest::newRow("a name too long for the file system")
            << QStringList{"a.jpg"} << QStringList{"a.jpg"} << "" << QString(300, u'x') << "0"
            << QStringList{"a.jpg"}
            << QStringList{"skipped: the new name is longer than the file system allows (255 bytes)"}
            << "0 renamed, 0 numbered, 0 left alone, 1 skipped" << QStringList();
        QTest::newRow("a separator in the prefix")
            << QStringList{"a.jpg"} << QStringList{"a.jpg"} << ""
            << "sub/"
            << "0" << QStringList{"a.jpg"}
            << QStringList{"skipped: the new name holds \"/\" or a NUL character"}
            << "0 renamed, 0 numbered, 0 left alone, 1 skipped" << QStringList();
        QTest::newRow("a name that does not change")
            << QStringList{"0001.jpg"} << QStringList{"0001.jpg"} << ""
            << ""
            << "0" << QStringList{"0001.jpg"} << QStringList{"left alone: the name does not change"}
            << "0 renamed, 0 numbered, 1 left alone, 0 skipped" << QStringList();
        // A file left alone says whether the mask fits it (and its name comes
        // out the same) or not.
        QTest::newRow("a text mask: one the same, one renamed, one without it")
            << QStringList{"day-0001", "day-0001.txt", "night"}
            << QStringList{"day-0001", "day-0001.txt", "night"} << "day"
            << ""
            << "0" << QStringList{"day-0001", "day-0002.txt", "night"}
            << QStringList{"left alone: the name does not change", "renamed",
                           "left alone: no match"}
            << "1 renamed, 0 numbered, 2 left alone, 0 skipped" << QStringList();
        QTest::newRow("no mask: a name without an extension the same")
            << QStringList{"0001", "b.txt"} << QStringList{"0001", "b.txt"} << ""
            << ""
            << "0" << QStringList{"0001", "0002.txt"}
            << QStringList{"left alone: the name does not change", "renamed"}
            << "1 renamed, 0 numbered, 1 left alone, 0 skipped" << QStringList();
        // Photos named by the day they were taken and numbered in that order; a
        // file without a date taken gets the day it was modified, and says so.
        const QStringList photos{"p1.jpg=2024:06:02 08:00:00", "p2.jpg=2024:06:01 09:30:00",
                                 "plain.jpg"};
        const QStringList listed{"p1.jpg", "p2.jpg", "plain.jpg"};
        QTest::newRow("dates taken, before the number, in that order")
            << photos << listed << ""
            << ""
            << "0" << QStringList{"2024-06-02 003.jpg", "2024-06-01 002.jpg", "2023-01-05 001.jpg"}
            << QStringList{"renamed", "renamed",
                           "renamed: no date taken, so the date modified is used"}
            << "3 renamed, 0 numbered, 0 left alone, 0 skipped"
            << QStringList{"date=1", "byDateTaken=1", "digits=3"};
        QTest::newRow("dates modified, after the number, as listed")
            << photos << listed << ""
            << ""
            << "0" << QStringList{"001 20230105.jpg", "002 20230105.jpg", "003 20230105.jpg"}
            << QStringList{"renamed", "renamed", "renamed"}
            << "3 renamed, 0 numbered, 0 left alone, 0 skipped"
            << QStringList{"date=2", "dateAfter=1", "dateFormat=yyyyMMdd", "digits=3"};
        QTest::newRow("an invalid regular expression")
            << QStringList{"a.jpg"} << QStringList{"a.jpg"} << ""
            << ""
            << "0" << QStringList{"a.jpg"}
            << QStringList{"not renamed: the batch stops before its first file"}
            << "Rename would stop with Error # 5 before renaming any file: the text to replace is "
               "not a valid regular expression."
            << QStringList{"find=(", "pattern=1"};
    }

    // Also: a plan that stops is a Rename that stops likewise, before any file.
    void rows() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, listed);
        QFETCH(QString, mask);
        QFETCH(QString, prefix);
        QFETCH(QString, lettering);
        QFETCH(QStringList, steps);
        TempFiles dir;
        testing_support::createFiles(dir, files);
        for (const QString& name : dir.names()) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime(QDate(2023, 1, 5), QTime(12, 0)),
                                     QFileDevice::FileModificationTime));
        }
        Batch batch{listed, listed.first(), mask, prefix, QString(), QString(), lettering};
        batch.steps = testing_support::namingSteps(steps);
        const auto state = batch.extracted(dir.path());
        const batch::Plan plan = testing_support::planned(*state, batch.input(), platform::real());
        QStringList newNames;
        QStringList results;
        for (int i = 0; i < plan.steps.size(); ++i) {
            newNames << plan.steps[i].newName;
            results << batch::resultText(plan, i);
        }
        QTEST(newNames, "newNames");
        QTEST(results, "results");
        QTEST(batch::countsText(plan), "counts");
        if (plan.stopped()) {
            const QStringList before = dir.names();
            const batch::Plan record =
                testing_support::renamed(*state, batch.input(), platform::real());
            journal::end();
            QCOMPARE(record.stop.error, plan.stop.error);
            QCOMPARE(dir.names(), before);
        }
    }

    // A chosen directory that is gone since the chooser's OK stops the batch
    // before its first file.
    void directoryGone() {
        auto dir = std::make_unique<TempFiles>();
        const Batch batch{{"a.jpg", "b.jpg"}, "a.jpg", "", "", "", "", "0"};
        const auto state = batch.extracted(dir->path());
        dir.reset();
        const batch::Plan plan = testing_support::planned(*state, batch.input(), platform::real());
        QCOMPARE(plan.stop.error, Error::PathNotFound);
        QCOMPARE(plan.stopAt, -1);
        QCOMPARE(batch::resultText(plan, 0),
                 QStringLiteral("not renamed: the batch stops before its first file"));
        QCOMPARE(batch::countsText(plan),
                 QStringLiteral("Rename would stop with Error # 76 before renaming any file."));
    }

    // Past the first 1001 files, a batch leaves the rest out.
    void beyondTheLimit() {
        TempFiles dir;
        QStringList listed;
        for (int i = 0; i < 1003; ++i) {
            listed << QStringLiteral("f%1.txt").arg(i);
        }
        dir.createAll(listed);
        const Batch batch{listed, listed.first(), "", "n", "", "", "0"};
        const batch::Plan plan =
            testing_support::planned(*batch.extracted(dir.path()), batch.input(), platform::real());
        QCOMPARE(batch::countsOf(plan).renamed, 1001);
        QCOMPARE(batch::countsOf(plan).skipped, 2);
        QCOMPARE(plan.steps.last().outcome, Outcome::Skipped);
        QCOMPARE(plan.steps[1000].newName, QStringLiteral("n1001.txt"));
    }
};

QTEST_GUILESS_MAIN(TestPreview)
#include "test_preview.moc"
