// The question at start-up after a batch that an earlier run left
// unfinished, answered on the real message boxes by key and by mouse, with
// the files on a real directory.
#include <QtTest>

#include <QMessageBox>

#include "engine/Journal.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/BoxAnswerer.h"
#include "ui/Recovery.h"

using testing_support::TempFiles;

class RecoveryTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    std::unique_ptr<TempFiles> dir_;
    QString journalPath_;

    // Three files renamed by a batch that never ended: a.txt -> n.txt,
    // b.txt -> n-1.txt, c.txt -> n-2.txt; their inode numbers kept where `inodes`.
    void leaveBatch(bool inodes = true) {
        journal::Record record{dir_->path(), {}};
        for (const auto& [name, to] : {std::pair{"a.txt", "n.txt"}, std::pair{"b.txt", "n-1.txt"},
                                       std::pair{"c.txt", "n-2.txt"}}) {
            dir_->create(name);
            record.entries.append(
                journal::Entry{name, to, testing_support::fingerprintOf(dir_->filePath(name))});
            record.entries.last().fingerprint.inode *= quint64(inodes);
        }
        QVERIFY(QFile::rename(dir_->filePath("a.txt"), dir_->filePath("n.txt")));
        QVERIFY(QFile::rename(dir_->filePath("b.txt"), dir_->filePath("n-1.txt")));
        QVERIFY(QFile::rename(dir_->filePath("c.txt"), dir_->filePath("n-2.txt")));
        journalPath_ = testing_support::leaveUnfinishedJournal(record);
        QVERIFY(!journalPath_.isEmpty());
    }

  private slots:
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        dir_ = std::make_unique<TempFiles>();
    }
    void cleanup() {
        dir_.reset();
        settings_.reset();
    }

    // The question names the directory and the number of files, and its
    // default answer is Yes; Yes gives the old names back, No leaves the
    // files as they are. Either way the question is asked once.
    void askedOnceAtStartUp_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("Enter: the default, Yes") << true << QStringList{"a.txt", "b.txt", "c.txt"};
        QTest::newRow("No") << false << QStringList{"n-1.txt", "n-2.txt", "n.txt"};
    }

    void askedOnceAtStartUp() {
        QFETCH(bool, yes);
        QFETCH(QStringList, after);
        leaveBatch();
        {
            BoxAnswerer answerer(
                {yes ? BoxAnswerer::Answer(pressEnter) : clickOn(QMessageBox::No)});
            recovery::offerToRestoreUnfinishedBatches();
            QCOMPARE(answerer.shown.size(), 1);
            const Shown& question = answerer.shown.first();
            QCOMPARE(question.title, QStringLiteral("Quillomat"));
            QCOMPARE(question.icon, QMessageBox::Question);
            QCOMPARE(question.defaultButton, QMessageBox::Yes);
            QVERIFY2(question.text.contains("Directory: " + dir_->path()),
                     qPrintable(question.text));
            QVERIFY2(question.text.contains("Files: 3"), qPrintable(question.text));
            QCOMPARE(question.informative,
                     QStringLiteral("Give these files their old names back?"));
        }
        QCOMPARE(dir_->names(), after);
        QCOMPARE(dir_->read("a.txt").isEmpty(), !yes);
        QVERIFY(!QFile::exists(journalPath_));

        BoxAnswerer again({});
        recovery::offerToRestoreUnfinishedBatches();
        QVERIFY(again.shown.isEmpty());
        QCOMPARE(dir_->names(), after);
    }

    // What could not be restored is reported in a second box, and the
    // journal is kept aside; a file that had to take a numbered name is
    // reported too. A journal that cannot be read is kept aside and reported.
    void whatCouldNotBeRestoredIsReported_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QString>("informative");
        QTest::addColumn<QString>("detailed");
        QTest::newRow("a file deleted")
            << "delete" << QMessageBox::Warning
            << "1 file could not be found.\nThe journal of the batch is kept as @."
            << "Not found:\n  b.txt";
        QTest::newRow("an old name taken") << "take" << QMessageBox::Information
                                           << "1 file got a numbered name, the old one being taken."
                                           << "Numbered:\n  c.txt -> c-1.txt";
        // Where inode numbers do not last, a copy kept with its time cannot
        // be told from the batch's file: both stay, and the user is told.
        QTest::newRow("a copy under the old name")
            << "copy" << QMessageBox::Warning
            << "1 file was left where it is: files alike under its names cannot be told apart.\n"
               "The journal of the batch is kept as @."
            << "Left where they are (old name: the names to look at):\n  a.txt: a.txt, n.txt";
        QTest::newRow("a damaged journal")
            << "damage" << QMessageBox::Warning
            << "It is kept as @. The files of that batch keep the names they have now."
            << "";
    }

    void whatCouldNotBeRestoredIsReported() {
        QFETCH(QString, meanwhile);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QString, informative);
        QFETCH(QString, detailed);
        testing_support::FaultPlatform faults;
        faults.forgetInodes = meanwhile == "copy";
        testing_support::ScopedPlatform installed(faults);
        leaveBatch(!faults.forgetInodes);
        if (meanwhile == "delete") {
            QVERIFY(QFile::remove(dir_->filePath("n-1.txt")));
        } else if (meanwhile == "copy") {
            testing_support::copyKeepingTime(dir_->path(), "n.txt", "a.txt");
        } else if (meanwhile == "take") {
            dir_->create("c.txt", "newcomer");
        } else {
            QFile journal(journalPath_);
            QVERIFY(journal.open(QIODevice::Append));
            journal.write("x");
        }
        const bool damaged = meanwhile == "damage";
        BoxAnswerer answerer(
            damaged ? QList<BoxAnswerer::Answer>{clickOn(QMessageBox::Ok)}
                    : QList<BoxAnswerer::Answer>{pressEnter, clickOn(QMessageBox::Ok)});
        recovery::offerToRestoreUnfinishedBatches();
        QCOMPARE(answerer.shown.size(), damaged ? 1 : 2);
        const Shown& report = answerer.shown.last();
        QCOMPARE(report.title, QStringLiteral("Quillomat"));
        QCOMPARE(report.icon, icon);
        QVERIFY(damaged || report.text.contains(dir_->path()));
        QCOMPARE(report.informative, informative.replace("@", journalPath_ + ".kept"));
        QCOMPARE(report.detailed, detailed);
        QCOMPARE(dir_->exists("a.txt"), !damaged);
        QCOMPARE(dir_->exists("n.txt"), damaged || meanwhile == "copy");
        QVERIFY(!QFile::exists(journalPath_));
        QCOMPARE(QFile::exists(journalPath_ + ".kept"), icon == QMessageBox::Warning);
    }
};

QTEST_MAIN(RecoveryTest)
#include "test_recovery.moc"
