// The rename phase and the undo on real temporary directories: collisions,
// skips, stops with their restore, and that no file is ever lost or replaced.
#include <QtTest>

#include <unistd.h>
#include <QRandomGenerator>
#include <optional>

#include "engine/AppState.h"
#include "engine/CodePoints.h"
#include "engine/Journal.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"

using testing_support::createRaw;
using testing_support::FaultPlatform;
using testing_support::fingerprintOf;
using testing_support::rawContents;
using testing_support::rawSnapshot;
using testing_support::ScopedPlatform;
using testing_support::TempFiles;

namespace {

// One entry of a batch as generation leaves it: the bare old name and the
// new base name (equal to the old name for the keep mark).
struct Entry {
    QString oldName;
    QString newBase;
};

// A batch as the chooser's OK and generation leave it: the directory pinned,
// and the entries.
void loadBatch(AppState& s, const QString& dir, const QList<Entry>& entries) {
    s.chosenDirectory = platform::real().openDirectory(dir).directory;
    s.filesSkipped = 0;
    s.lastIndex = entries.size() - 1;
    for (int i = 0; i < entries.size(); ++i) {
        s.oldNames[i] = entries[i].oldName;
        s.newNames[i] = entries[i].newBase;
        s.extensions[i] = extensionOf(entries[i].oldName);
    }
}

// The step-by-step rule, played on a set of names: every attempt on a taken
// name fails and the next number is tried. The executor must end with the
// same names.
QStringList referenceRename(QStringList dir, const QList<Entry>& entries) {
    QSet<QString> names(dir.cbegin(), dir.cend());
    for (const Entry& e : entries) {
        if (e.oldName == e.newBase) {
            continue;
        }
        const QString ext = extensionOf(e.oldName);
        const QString target = e.newBase + ext;
        QString attempt = target;
        for (int n = 1; attempt != e.oldName && names.contains(attempt); ++n) {
            attempt = target.left(target.size() - ext.size()) + QLatin1Char('-') +
                      QString::number(n) + ext;
        }
        names.remove(e.oldName);
        names.insert(attempt);
    }
    QStringList result(names.cbegin(), names.cend());
    result.sort();
    return result;
}

bool existsRaw(const QString& dir, const QByteArray& name) {
    const QByteArray path = platform::encodeFileName(dir) + '/' + name;
    return ::access(path.constData(), F_OK) == 0;
}

std::optional<journal::Record> journalOnDisk() {
    QFile f(journal::currentPath());
    if (journal::currentPath().isEmpty() || !f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return journal::decode(f.readAll());
}

}  // namespace

class RenameExecutorTest : public QObject {
    Q_OBJECT
    AppState state_;
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    std::unique_ptr<TempFiles> dir_;
    QList<QByteArray> before_;

    QStringList names() const { return dir_->names(); }

  private slots:
    void init() {
        state_ = AppState();
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        dir_ = std::make_unique<TempFiles>();
    }
    // Whatever a test did, the directory holds the same contents as at the
    // start of the batch: nothing lost, nothing overwritten.
    void cleanup() {
        if (!before_.isEmpty()) {
            QCOMPARE(testing_support::contents(dir_->path()), before_);
        }
        before_.clear();
        journal::close();
        settings_.reset();
    }

    void collisions_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("oldNames");
        QTest::addColumn<QStringList>("newBases");
        QTest::addColumn<QStringList>("expected");   // the directory afterwards
        QTest::addColumn<QStringList>("afterUndo");  // and after an undo

        QTest::newRow("plain") << QStringList{"a.txt", "b.doc"} << QStringList{"a.txt", "b.doc"}
                               << QStringList{"x", "y"} << QStringList{"x.txt", "y.doc"}
                               << QStringList{"a.txt", "b.doc"};
        QTest::newRow("keep mark untouched")
            << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt", "b.txt"}
            << QStringList{"a.txt", "c"} << QStringList{"a.txt", "c.txt"}
            << QStringList{"a.txt", "b.txt"};
        QTest::newRow("with each other")
            << QStringList{"x1.txt", "y1.txt", "z1.txt"}
            << QStringList{"x1.txt", "y1.txt", "z1.txt"} << QStringList{"1", "1", "1"}
            << QStringList{"1-1.txt", "1-2.txt", "1.txt"}
            << QStringList{"x1.txt", "y1.txt", "z1.txt"};
        QTest::newRow("with an unselected file")
            << QStringList{"a.txt", "k.txt"} << QStringList{"a.txt"} << QStringList{"k"}
            << QStringList{"k-1.txt", "k.txt"} << QStringList{"a.txt", "k.txt"};
        QTest::newRow("with a later file of the batch (chain)")
            << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt", "b.txt"}
            << QStringList{"b", "c"} << QStringList{"b-1.txt", "c.txt"}
            << QStringList{"a.txt", "b.txt"};
        QTest::newRow("without an extension")
            << QStringList{"p", "q", "0001"} << QStringList{"p", "q"} << QStringList{"0001", "0001"}
            << QStringList{"0001", "0001-1", "0001-2"} << QStringList{"0001", "p", "q"};
        QTest::newRow("five-character extension")
            << QStringList{"a.jpeg", "0001.jpeg"} << QStringList{"a.jpeg"} << QStringList{"0001"}
            << QStringList{"0001-1.jpeg", "0001.jpeg"} << QStringList{"0001.jpeg", "a.jpeg"};
        QTest::newRow("new name equals the old one: left alone")
            << QStringList{"a.txt", "a-1.txt"} << QStringList{"a.txt"} << QStringList{"a"}
            << QStringList{"a-1.txt", "a.txt"} << QStringList{"a-1.txt", "a.txt"};
        QTest::newRow("numbered variant that is the file's own name")
            << QStringList{"x.txt", "x-1.txt"} << QStringList{"x-1.txt"} << QStringList{"x"}
            << QStringList{"x-1.txt", "x.txt"} << QStringList{"x-1.txt", "x.txt"};
        QTest::newRow("a name freed by the batch is reused")
            << QStringList{"k-1.txt", "k.txt", "m.txt"} << QStringList{"k-1.txt", "m.txt"}
            << QStringList{"z", "k"} << QStringList{"k-1.txt", "k.txt", "z.txt"}
            << QStringList{"k-1.txt", "k.txt", "m.txt"};
    }

    void collisions() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, oldNames);
        QFETCH(QStringList, newBases);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, afterUndo);
        dir_->createAll(files);
        before_ = testing_support::contents(dir_->path());
        QList<Entry> entries;
        for (int i = 0; i < oldNames.size(); ++i) {
            entries << Entry{oldNames[i], newBases[i]};
        }
        loadBatch(state_, dir_->path(), entries);
        const batch::Plan outcome = testing_support::renamed(state_, platform::real());
        QCOMPARE(outcome.error(), Error::None);
        QCOMPARE(names(), expected);
        QCOMPARE(names(), referenceRename(files, entries));
        QCOMPARE(state_.filesSkipped, 0);

        QCOMPARE(testing_support::undone(state_, platform::real()).error(), Error::None);
        QCOMPARE(names(), afterUndo);
    }

    void recordAfterTheRenamePhase() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        loadBatch(state_, dir_->path(), {{"a.txt", "n"}, {"b.txt", "b.txt"}, {"c.txt", "n"}});
        QCOMPARE(testing_support::renamed(state_, platform::real()).error(), Error::None);
        const QString d = dir_->path() + QLatin1Char('/');
        QCOMPARE(state_.oldNames[0], d + "a.txt");
        QCOMPARE(state_.newNames[0], d + "n.txt");
        QCOMPARE(state_.oldNames[1], QStringLiteral("b.txt"));
        QCOMPARE(state_.newNames[1], QStringLiteral("b.txt"));
        QCOMPARE(state_.newNames[2], d + "n-1.txt");
    }

    // Random batches against the step-by-step rule, with many collisions.
    void matchesTheStepByStepRule() {
        QRandomGenerator random(20261207);
        for (int round = 0; round < 40; ++round) {
            TempFiles dir;
            const QStringList alphabet{"a", "b", "a-1", "a-2", "b-1", "c"};
            const QStringList exts{".txt", "", ".jpeg"};
            QSet<QString> files;
            const int count = 2 + random.bounded(12);
            while (files.size() < count) {
                files.insert(alphabet[random.bounded(alphabet.size())] +
                             exts[random.bounded(exts.size())]);
            }
            const QStringList fileList(files.cbegin(), files.cend());
            dir.createAll(fileList);
            const QList<QByteArray> before = testing_support::contents(dir.path());
            QList<Entry> entries;
            for (const QString& f : fileList) {
                if (random.bounded(4) != 0) {
                    const QString base =
                        random.bounded(5) == 0 ? f : alphabet[random.bounded(alphabet.size())];
                    entries << Entry{f, base};
                }
            }
            AppState s;
            loadBatch(s, dir.path(), entries);
            QCOMPARE(testing_support::renamed(s, platform::real()).error(), Error::None);
            QCOMPARE(dir.names(), referenceRename(fileList, entries));
            QCOMPARE(testing_support::undone(s, platform::real()).error(), Error::None);
            QCOMPARE(testing_support::contents(dir.path()), before);
        }
    }

    // 1001 files that all want one name cost one system call each, not one
    // per taken number.
    void collisionsInLinearTime() {
        QList<Entry> entries;
        for (int i = 0; i < AppState::kMaxEntries; ++i) {
            const QString name = QStringLiteral("f%1.txt").arg(i);
            dir_->create(name);
            entries << Entry{name, QStringLiteral("same")};
        }
        FaultPlatform counting;
        loadBatch(state_, dir_->path(), entries);
        QCOMPARE(testing_support::renamed(state_, counting).error(), Error::None);
        // The directory is listed before the first rename: no call fails.
        QCOMPARE(counting.renameCalls(), AppState::kMaxEntries);
        QVERIFY(dir_->exists("same.txt"));
        QVERIFY(dir_->exists("same-1000.txt"));
    }

    void unexpectedCollisionMovesOn() {
        dir_->createAll({"a.txt", "b.txt"});
        FaultPlatform p;
        // Someone creates the target and its first variant after the listing.
        p.beforeRename = [this](const QString&, const QString&) {
            if (!dir_->exists("n.txt")) {
                dir_->createAll({"n.txt", "n-1.txt"});
            }
        };
        loadBatch(state_, dir_->path(), {{"a.txt", "n"}, {"b.txt", "n"}});
        QCOMPARE(testing_support::renamed(state_, p).error(), Error::None);
        QCOMPARE(names(), QStringList({"n-1.txt", "n-2.txt", "n-3.txt", "n.txt"}));
        QCOMPARE(dir_->read("n-2.txt"), QByteArray("a.txt"));
        QCOMPARE(dir_->read("n-3.txt"), QByteArray("b.txt"));
        QCOMPARE(dir_->read("n.txt"), QByteArray("n.txt"));
    }

    void accessErrorSkipsTheFile() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        before_ = testing_support::contents(dir_->path());
        FaultPlatform p;
        p.failRename("b.txt", Error::PathFileAccess, -1, testing_support::RenameSide::Source);
        loadBatch(state_, dir_->path(), {{"a.txt", "x"}, {"b.txt", "y"}, {"c.txt", "z"}});
        QCOMPARE(testing_support::renamed(state_, p).error(), Error::None);
        QCOMPARE(state_.filesSkipped, 1);
        QCOMPARE(names(), QStringList({"b.txt", "x.txt", "z.txt"}));
        QCOMPARE(state_.oldNames[1], state_.newNames[1]);
        QCOMPARE(state_.oldNames[1], dir_->filePath("b.txt"));
        // Undo leaves the skipped file alone.
        QCOMPARE(testing_support::undone(state_, p).error(), Error::None);
        QCOMPARE(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    }

    void nameLeavingTheDirectoryIsSkipped_data() {
        QTest::addColumn<QString>("newBase");
        QTest::newRow("separator") << "sub/x";
        QTest::newRow("parent") << "../x";
        QTest::newRow("dot-dot alone") << "..";
        QTest::newRow("empty name") << "";
    }

    void nameLeavingTheDirectoryIsSkipped() {
        QFETCH(QString, newBase);
        QDir(dir_->path()).mkdir("sub");
        dir_->create("a");
        dir_->create("b.txt");
        before_ = testing_support::contents(dir_->path());
        loadBatch(state_, dir_->path(), {{"a", newBase}, {"b.txt", "c"}});
        QCOMPARE(testing_support::renamed(state_, platform::real()).error(), Error::None);
        QCOMPARE(state_.filesSkipped, 1);
        QCOMPARE(names(), QStringList({"a", "c.txt"}));
        QVERIFY(QDir(dir_->path() + "/sub").isEmpty());
        QVERIFY(!QFile::exists(dir_->path() + "/../x"));
        QVERIFY(journalOnDisk());  // readable: it holds only names of this directory
    }

    // A file removed before its turn stops the batch; what was renamed
    // before it gets its old name back.
    void stopRestoresTheBatch() {
        dir_->createAll({"a.txt", "b.txt", "c.txt", "d.txt"});
        FaultPlatform p;
        p.beforeRename = [this](const QString& from, const QString&) {
            if (from.endsWith("/a.txt")) {
                QFile::remove(dir_->filePath("c.txt"));
            }
        };
        loadBatch(state_, dir_->path(),
                  {{"a.txt", "b"}, {"b.txt", "x"}, {"c.txt", "y"}, {"d.txt", "z"}});
        const batch::Plan outcome = testing_support::renamed(state_, p);
        QCOMPARE(outcome.error(), Error::FileNotFound);
        QCOMPARE(outcome.stopAt, 2);
        QVERIFY(batch::allBack(outcome));
        QCOMPARE(batch::errorText(outcome), QStringLiteral("Error # 53"));
        QCOMPARE(names(), QStringList({"a.txt", "b.txt", "d.txt"}));
        QCOMPARE(dir_->read("a.txt"), QByteArray("a.txt"));
        QCOMPARE(dir_->read("b.txt"), QByteArray("b.txt"));
    }

    void stopWhoseRestoreFails() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        before_ = testing_support::contents(dir_->path());
        FaultPlatform p;
        p.failRenameAfter(2, Error::DiskFull);  // the disk fills after two renames
        loadBatch(state_, dir_->path(), {{"a.txt", "x"}, {"b.txt", "y"}, {"c.txt", "z"}});
        const batch::Plan outcome = testing_support::renamed(state_, p);
        QCOMPARE(outcome.error(), Error::DiskFull);
        QCOMPARE(batch::errorText(outcome),
                 QStringLiteral("Error # 61 - Not Restored: a.txt (now x.txt), b.txt (now y.txt)"));
        QCOMPARE(names(), QStringList({"c.txt", "x.txt", "y.txt"}));
    }

    void undoNumbersAnOldNameTakenMeanwhile() {
        dir_->createAll({"c.txt", "README", "p.jpeg"});
        loadBatch(state_, dir_->path(), {{"c.txt", "n1"}, {"README", "n2"}, {"p.jpeg", "n3"}});
        QCOMPARE(testing_support::renamed(state_, platform::real()).error(), Error::None);
        dir_->createAll({"c.txt", "c-1.txt", "README", "p.jpeg"});
        before_ = testing_support::contents(dir_->path());
        QCOMPARE(testing_support::undone(state_, platform::real()).error(), Error::None);
        QCOMPARE(names(), QStringList({"README", "README-1", "c-1.txt", "c-2.txt", "c.txt",
                                       "p-1.jpeg", "p.jpeg"}));
        QCOMPARE(state_.oldNames[0], dir_->filePath("c-2.txt"));
        QCOMPARE(dir_->read("c-2.txt"), QByteArray("c.txt"));
    }

    // Undo goes last file first, so names that moved along a chain go back
    // exactly, not to numbered variants.
    void undoAlongAChain_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("newBases");
        QTest::addColumn<QStringList>("renamed");  // the directory after the rename
        // Start number 0 over 0001..0003: each file takes the name the one
        // before it had.
        QTest::newRow("numbers moved down") << QStringList{"0001.jpg", "0002.jpg", "0003.jpg"}
                                            << QStringList{"0000", "0001", "0002"}
                                            << QStringList{"0000.jpg", "0001.jpg", "0002.jpg"};
        // a -> b (taken, so b-1), b -> c (taken, so c-1), c -> a.
        QTest::newRow("a cycle") << QStringList{"a.txt", "b.txt", "c.txt"}
                                 << QStringList{"b", "c", "a"}
                                 << QStringList{"a.txt", "b-1.txt", "c-1.txt"};
    }

    void undoAlongAChain() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, newBases);
        QFETCH(QStringList, renamed);
        dir_->createAll(files);
        const auto original = testing_support::snapshot(dir_->path());
        before_ = testing_support::contents(dir_->path());
        QList<Entry> entries;
        for (int i = 0; i < files.size(); ++i) {
            entries << Entry{files[i], newBases[i]};
        }
        loadBatch(state_, dir_->path(), entries);
        QCOMPARE(testing_support::renamed(state_, platform::real()).error(), Error::None);
        QCOMPARE(names(), renamed);
        const batch::Plan outcome = testing_support::undone(state_, platform::real());
        QCOMPARE(outcome.error(), Error::None);
        QVERIFY(batch::allBack(outcome));
        QCOMPARE(testing_support::snapshot(dir_->path()), original);
    }

    // A file Undo cannot restore does not keep the others from going back,
    // and Undo tried again touches only what is still not back.
    void undoCarriesOnPastAFileItCannotRestore_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("listed");  // the text after " - Not Restored: " and the old name
        QTest::newRow("renamed file deleted") << "deleted" << 53 << " (now y.txt)";
        // The middle file's old name is 255 bytes and taken meanwhile: its
        // numbered variant would be too long.
        QTest::newRow("numbered old name too long") << "long" << 75 << " (now y.txt)";
    }

    void undoCarriesOnPastAFileItCannotRestore() {
        QFETCH(QString, cause);
        QFETCH(int, error);
        QFETCH(QString, listed);
        const QString longName = QString(251, u'b') + QStringLiteral(".txt");
        const QString middle = cause == "long" ? longName : QStringLiteral("b.txt");
        dir_->createAll({"a.txt", middle, "c.txt"});
        loadBatch(state_, dir_->path(), {{"a.txt", "x"}, {middle, "y"}, {"c.txt", "z"}});
        QCOMPARE(testing_support::renamed(state_, platform::real()).error(), Error::None);
        QCOMPARE(names(), QStringList({"x.txt", "y.txt", "z.txt"}));
        if (cause == "deleted") {
            QVERIFY(QFile::rename(dir_->filePath("y.txt"), dir_->filePath("kept aside")));
        } else {
            dir_->create(longName, "newcomer");
        }

        FaultPlatform p;
        batch::Plan outcome = testing_support::undone(state_, p);
        QCOMPARE(errorNumber(outcome.error()), error);
        QCOMPARE(batch::errorText(outcome),
                 QStringLiteral("Error # %1 - Not Restored: %2%3").arg(error).arg(middle, listed));
        QVERIFY(dir_->exists("a.txt"));
        QVERIFY(dir_->exists("c.txt"));

        // Mended, Undo again renames the one file left and nothing else.
        if (cause == "deleted") {
            QVERIFY(QFile::rename(dir_->filePath("kept aside"), dir_->filePath("y.txt")));
        } else {
            QVERIFY(QFile::remove(dir_->filePath(longName)));
        }
        const int callsBefore = p.renameCalls();
        outcome = testing_support::undone(state_, p);
        QCOMPARE(outcome.error(), Error::None);
        QCOMPARE(p.renameCalls() - callsBefore, 1);
        QStringList expected{"a.txt", middle, "c.txt"};
        expected.sort();
        QCOMPARE(names(), expected);
        QCOMPARE(dir_->read(middle), middle.toUtf8());
    }

    // 0001.jpg to 0004.jpg with start number 0 (each takes the name of the
    // one before): whether 0004.jpg is gone before Rename or goes while the
    // batch runs, the directory ends with exactly its old names.
    void stopLeavesTheOldNamesExactly_data() {
        QTest::addColumn<bool>("midBatch");
        QTest::newRow("deleted before Rename") << false;
        QTest::newRow("deleted while the batch runs") << true;
    }

    void stopLeavesTheOldNamesExactly() {
        QFETCH(bool, midBatch);
        dir_->createAll({"0001.jpg", "0002.jpg", "0003.jpg", "0004.jpg"});
        FaultPlatform p;
        if (midBatch) {
            p.beforeRename = [this](const QString& from, const QString&) {
                if (from.endsWith("/0003.jpg")) {
                    QFile::remove(dir_->filePath("0004.jpg"));
                }
            };
        } else {
            QFile::remove(dir_->filePath("0004.jpg"));
        }
        auto original = testing_support::snapshot(dir_->path());
        original.remove("0004.jpg");
        loadBatch(state_, dir_->path(),
                  {{"0001.jpg", "0000"},
                   {"0002.jpg", "0001"},
                   {"0003.jpg", "0002"},
                   {"0004.jpg", "0003"}});
        const batch::Plan outcome = testing_support::renamed(state_, p);
        QCOMPARE(batch::errorText(outcome), QStringLiteral("Error # 53"));
        QCOMPARE(outcome.stopAt, 3);
        QCOMPARE(p.renameCalls(), midBatch ? 7 : 0);  // three there, one failed, three back
        QCOMPARE(testing_support::snapshot(dir_->path()), original);
        QVERIFY(journal::currentPath().isEmpty());  // all back: the batch is over
    }

    // The journal is on disk before the first rename: the directory, and for
    // every file that is to change its identity and old name.
    void journalIsOnDiskBeforeTheFirstRename() {
        dir_->createAll({"a.txt", "b.txt", "c.txt", "d.txt"});
        const platform::Fingerprint a = fingerprintOf(dir_->filePath("a.txt"));
        const platform::Fingerprint c = fingerprintOf(dir_->filePath("c.txt"));
        FaultPlatform p;
        std::optional<journal::Record> seen;
        p.beforeRename = [&](const QString&, const QString&) {
            if (!seen) {
                seen = journalOnDisk();
            }
        };
        // b.txt keeps its name (keep mark), d.txt comes out as its own name.
        loadBatch(state_, dir_->path(),
                  {{"a.txt", "x"}, {"b.txt", "b.txt"}, {"c.txt", "y"}, {"d.txt", "d"}});
        QCOMPARE(testing_support::renamed(state_, p).error(), Error::None);
        QVERIFY(seen);
        QCOMPARE(seen->directory, dir_->path());
        QCOMPARE(seen->entries.size(), 2);
        QCOMPARE(seen->entries[0].oldName, QStringLiteral("a.txt"));
        QCOMPARE(seen->entries[0].newName, QStringLiteral("x.txt"));
        QVERIFY(seen->entries[0].fingerprint.matches(a));
        QCOMPARE(seen->entries[1].oldName, QStringLiteral("c.txt"));
        QVERIFY(seen->entries[1].fingerprint.matches(c));
        QVERIFY(journal::currentPath().startsWith(settings_->stateDir() + "/Quillomat/"));
        QCOMPARE(p.durableWrites().size(), 1);  // once per batch, not per file

        // The review is open: the journal stays until the batch ends.
        QVERIFY(journalOnDisk());
        QCOMPARE(testing_support::undone(state_, p).error(), Error::None);
        QVERIFY(journal::currentPath().isEmpty());
        QCOMPARE(QDir(settings_->stateDir() + "/Quillomat").entryList({"*.journal"}),
                 QStringList());
    }

    // The journal goes when the batch ends with every file back, and stays
    // while a file is still under its new name.
    void journalLastsAsLongAsTheBatch_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("kept");
        QTest::newRow("stopped, every file back") << "stop" << false;
        QTest::newRow("stopped, a file not back") << "stop, restore fails" << true;
        QTest::newRow("undone") << "undo" << false;
        QTest::newRow("undone but for a file") << "undo, restore fails" << true;
    }

    void journalLastsAsLongAsTheBatch() {
        QFETCH(QString, how);
        QFETCH(bool, kept);
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        before_ = testing_support::contents(dir_->path());
        FaultPlatform p;
        if (how.startsWith("stop")) {
            p.failRename("c.txt", Error::DiskFull, 1, testing_support::RenameSide::Source);
        }
        if (how.endsWith("restore fails")) {
            p.failRename("x.txt", Error::PathFileAccess, 1, testing_support::RenameSide::Source);
        }
        loadBatch(state_, dir_->path(), {{"a.txt", "x"}, {"b.txt", "y"}, {"c.txt", "z"}});
        const batch::Plan renamed = testing_support::renamed(state_, p);
        QCOMPARE(renamed.error(), how.startsWith("stop") ? Error::DiskFull : Error::None);
        if (how.startsWith("undo")) {
            testing_support::undone(state_, p);
        }
        QCOMPARE(bool(journalOnDisk()), kept);
        QCOMPARE(dir_->exists("x.txt"), kept);
        if (kept) {
            // What is still not back is still in the journal.
            QCOMPARE(journalOnDisk()->entries.first().oldName, QStringLiteral("a.txt"));
            QVERIFY(batch::allBack(testing_support::undone(state_, p)));
            QVERIFY(!journalOnDisk());
        }
        QCOMPARE(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    }

    // A journal that cannot be written stops the batch before any file is
    // renamed, with a message that names the state directory and the reason
    // (a bare number would read as if the photo folder were full or gone).
    void unwritableJournalStopsTheBatch_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("example");
        QTest::newRow("disk full") << "full"
                                   << "Nothing renamed: the batch journal cannot be written in "
                                      "@/Quillomat (No space left on device)";
        QTest::newRow("state directory is a file")
            << "file"
            << "Nothing renamed: the batch journal cannot be written in @/state/Quillomat (Not a "
               "directory)";
    }

    void unwritableJournalStopsTheBatch() {
        QFETCH(QString, cause);
        QFETCH(QString, example);
        dir_->createAll({"a.txt", "b.txt"});
        before_ = testing_support::contents(dir_->path());
        FaultPlatform p;
        TempFiles other;
        if (cause == "full") {
            p.failDurableWrites(Error::DiskFull);
            example.replace("@", settings_->stateDir());
        } else {
            other.create("state");
            qputenv("XDG_STATE_HOME", QFile::encodeName(other.filePath("state")));
            example.replace("@", other.path());
        }
        loadBatch(state_, dir_->path(), {{"a.txt", "x"}, {"b.txt", "y"}});
        const batch::Plan outcome = testing_support::renamed(state_, p);
        QCOMPARE(batch::errorText(outcome), example);
        QCOMPARE(p.renameCalls(), 0);
        QCOMPARE(names(), QStringList({"a.txt", "b.txt"}));
        QVERIFY(journal::currentPath().isEmpty());
    }

    // Random batches over names that chain, collide, repeat and are not valid
    // UTF-8: Rename then Undo gives back exactly the original names and
    // contents, and so does a batch stopped at a random file. No round loses
    // or overwrites a file.
    void randomBatchesGoBackExactly() {
        const QList<QByteArray> stems{"0000", "0001", "0002",    "0003",     "a",     "a-1",
                                      "b",    "b-1",  "caf\xe9", "\xff\xfe", "x\xc3("};
        const QList<QByteArray> exts{".jpg", "", ".\xe9"};
        const QList<Error> stops{Error::DiskFull, Error::InvalidCall, Error::RenameAcrossDisks,
                                 Error::FileNotFound};
        QRandomGenerator random(20261211);
        int stopped = 0;
        for (int round = 0; round < 200; ++round) {
            TempFiles dir;
            QSet<QByteArray> files;
            const int count = 2 + random.bounded(10);
            while (files.size() < count) {
                files.insert(stems[random.bounded(stems.size())] +
                             exts[random.bounded(exts.size())]);
            }
            for (const QByteArray& name : files) {
                createRaw(dir.path(), name);
            }
            const QMap<QByteArray, QByteArray> original = rawSnapshot(dir.path());

            QList<Entry> entries;
            for (const QByteArray& name : files) {
                const QString old = platform::decodeFileName(name);
                const int pick = random.bounded(8);
                entries << Entry{
                    old, pick == 0 ? old
                                   : platform::decodeFileName(stems[random.bounded(stems.size())])};
                if (pick == 1 && round % 4 == 0) {
                    entries << entries.last();  // listed twice
                }
            }
            AppState s;
            loadBatch(s, dir.path(), entries);
            FaultPlatform p;
            if (round % 2 == 1) {
                const Entry& victim = entries[random.bounded(entries.size())];
                p.failRename(victim.oldName, stops[random.bounded(stops.size())], 1,
                             testing_support::RenameSide::Source);
            }

            const batch::Plan outcome = testing_support::renamed(s, p);
            // Nothing lost, nothing overwritten.
            QCOMPARE(rawContents(rawSnapshot(dir.path())), rawContents(original));
            if (outcome.error() == Error::None) {
                const batch::Plan undone = testing_support::undone(s, p);
                QCOMPARE(undone.error(), Error::None);
                QVERIFY2(batch::allBack(undone), qPrintable(batch::errorText(undone)));
            } else {
                ++stopped;
                QVERIFY2(batch::allBack(outcome), qPrintable(batch::errorText(outcome)));
            }
            QCOMPARE(rawSnapshot(dir.path()), original);
            QVERIFY(journal::currentPath().isEmpty());
            testing_support::removeAllRaw(dir.path());
        }
        QVERIFY(stopped > 50);
    }

    void emptyBatch() {
        dir_->createAll({"a.txt"});
        loadBatch(state_, dir_->path(), {});
        QCOMPARE(state_.lastIndex, -1);
        QCOMPARE(testing_support::renamed(state_, platform::real()).error(), Error::None);
        QCOMPARE(testing_support::undone(state_, platform::real()).error(), Error::None);
        QCOMPARE(names(), QStringList{"a.txt"});
    }

    void nonUtf8NameRenamedAndBackByteForByte() {
        const QByteArray raw("caf\xe9-\xff.txt");
        createRaw(dir_->path(), raw);
        const QString decoded = platform::decodeFileName(raw);
        loadBatch(state_, dir_->path(), {{decoded, "n"}});
        QCOMPARE(testing_support::renamed(state_, platform::real()).error(), Error::None);
        QVERIFY(!existsRaw(dir_->path(), raw));
        QVERIFY(dir_->exists("n.txt"));
        QCOMPARE(testing_support::undone(state_, platform::real()).error(), Error::None);
        QVERIFY(existsRaw(dir_->path(), raw));
        QVERIFY(!dir_->exists("n.txt"));
        // QTemporaryDir cannot remove a name that is not UTF-8.
        ::unlink((platform::encodeFileName(dir_->path()) + '/' + raw).constData());
    }
};

QTEST_GUILESS_MAIN(RenameExecutorTest)
#include "test_rename_executor.moc"
