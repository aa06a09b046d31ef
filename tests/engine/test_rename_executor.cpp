// The rename phase and the undo on real temporary directories: collisions,
// skips, stops with their restore, and that no file is ever lost or replaced.
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>
#include <QRandomGenerator>

#include "engine/AppState.h"
#include "engine/RenameExecutor.h"
#include "platform/Platform.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestSupport.h"

using testing_support::FaultPlatform;
using testing_support::ScopedPlatform;
using testing_support::TempFiles;

namespace {

// One entry of a batch as generation leaves it: the bare old name and the
// new base name (equal to the old name for the keep mark).
struct Entry {
    QString oldName;
    QString newBase;
};

QString extensionOf(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

void loadBatch(AppState& s, const QString& dir, const QList<Entry>& entries) {
    s.batchDirectory = dir;
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

void createRaw(const QString& dir, const QByteArray& name) {
    const QByteArray path = platform::encodeFileName(dir) + '/' + name;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, name.constData(), name.size()), name.size());
    ::close(fd);
}

bool existsRaw(const QString& dir, const QByteArray& name) {
    const QByteArray path = platform::encodeFileName(dir) + '/' + name;
    return ::access(path.constData(), F_OK) == 0;
}

}  // namespace

class RenameExecutorTest : public QObject {
    Q_OBJECT
    AppState state_;
    std::unique_ptr<TempFiles> dir_;
    QList<QByteArray> before_;

    QStringList names() const { return dir_->names(); }

  private slots:
    void init() {
        state_ = AppState();
        dir_ = std::make_unique<TempFiles>();
    }
    // Whatever a test did, the directory holds the same contents as at the
    // start of the batch: nothing lost, nothing overwritten.
    void cleanup() {
        if (!before_.isEmpty()) {
            QCOMPARE(testing_support::contents(dir_->path()), before_);
        }
        before_.clear();
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
            << QStringList{"k-1-1.txt", "k.txt", "m.txt"};
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
        const batch::RenameOutcome outcome = batch::renameBatch(state_, platform::real());
        QCOMPARE(outcome.error, Error::None);
        QCOMPARE(names(), expected);
        QCOMPARE(names(), referenceRename(files, entries));
        QCOMPARE(state_.filesSkipped, 0);

        QCOMPARE(batch::undoBatch(state_, platform::real()).error, Error::None);
        QCOMPARE(names(), afterUndo);
    }

    void recordAfterTheRenamePhase() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        loadBatch(state_, dir_->path(), {{"a.txt", "n"}, {"b.txt", "b.txt"}, {"c.txt", "n"}});
        QCOMPARE(batch::renameBatch(state_, platform::real()).error, Error::None);
        const QString d = dir_->path() + QLatin1Char('/');
        QCOMPARE(state_.oldNames[0], d + "a.txt");
        QCOMPARE(state_.newNames[0], d + "n.txt");
        QCOMPARE(state_.oldNames[1], QStringLiteral("b.txt"));
        QCOMPARE(state_.newNames[1], QStringLiteral("b.txt"));
        QCOMPARE(state_.newNames[2], d + "n-1.txt");
        QCOMPARE(state_.collisionCount, short(1));
        QCOMPARE(state_.collisionRetry, 0);
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
            QCOMPARE(batch::renameBatch(s, platform::real()).error, Error::None);
            QCOMPARE(dir.names(), referenceRename(fileList, entries));
            QCOMPARE(batch::undoBatch(s, platform::real()).error, Error::None);
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
        QCOMPARE(batch::renameBatch(state_, counting).error, Error::None);
        // One failing call finds the first collision; the directory is known from then on.
        QCOMPARE(counting.renameCalls(), AppState::kMaxEntries + 1);
        QVERIFY(dir_->exists("same.txt"));
        QVERIFY(dir_->exists("same-1000.txt"));
    }

    void unexpectedCollisionMovesOn() {
        dir_->createAll({"a.txt", "b.txt"});
        before_ = testing_support::contents(dir_->path());
        FaultPlatform p;
        // Someone creates the target and its first variant after the listing.
        p.failRename("n.txt", Error::FileExists, 1, testing_support::RenameSide::Target);
        p.failRename("n-1.txt", Error::FileExists, 1, testing_support::RenameSide::Target);
        loadBatch(state_, dir_->path(), {{"a.txt", "n"}, {"b.txt", "n"}});
        QCOMPARE(batch::renameBatch(state_, p).error, Error::None);
        QCOMPARE(names(), QStringList({"n-2.txt", "n.txt"}));
    }

    void accessErrorSkipsTheFile() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        before_ = testing_support::contents(dir_->path());
        FaultPlatform p;
        p.failRename("b.txt", Error::PathFileAccess, -1, testing_support::RenameSide::Source);
        loadBatch(state_, dir_->path(), {{"a.txt", "x"}, {"b.txt", "y"}, {"c.txt", "z"}});
        QCOMPARE(batch::renameBatch(state_, p).error, Error::None);
        QCOMPARE(state_.filesSkipped, 1);
        QCOMPARE(names(), QStringList({"b.txt", "x.txt", "z.txt"}));
        QCOMPARE(state_.oldNames[1], state_.newNames[1]);
        QCOMPARE(state_.oldNames[1], dir_->filePath("b.txt"));
        // Undo leaves the skipped file alone.
        QCOMPARE(batch::undoBatch(state_, p).error, Error::None);
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
        QCOMPARE(batch::renameBatch(state_, platform::real()).error, Error::None);
        QCOMPARE(state_.filesSkipped, 1);
        QCOMPARE(names(), QStringList({"a", "c.txt"}));
        QVERIFY(QDir(dir_->path() + "/sub").isEmpty());
        QVERIFY(!QFile::exists(dir_->path() + "/../x"));
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
        const batch::RenameOutcome outcome = batch::renameBatch(state_, p);
        QCOMPARE(outcome.error, Error::FileNotFound);
        QCOMPARE(outcome.failedIndex, 2);
        QVERIFY(outcome.notRestored.isEmpty());
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
        const batch::RenameOutcome outcome = batch::renameBatch(state_, p);
        QCOMPARE(outcome.error, Error::DiskFull);
        QCOMPARE(outcome.notRestored, QStringList({"x.txt", "y.txt"}));
        QCOMPARE(batch::errorText(outcome),
                 QStringLiteral("Error # 61 - Not Restored: x.txt, y.txt"));
        QCOMPARE(names(), QStringList({"c.txt", "x.txt", "y.txt"}));
    }

    void undoNumbersAnOldNameTakenMeanwhile() {
        dir_->createAll({"c.txt", "README", "p.jpeg"});
        loadBatch(state_, dir_->path(), {{"c.txt", "n1"}, {"README", "n2"}, {"p.jpeg", "n3"}});
        QCOMPARE(batch::renameBatch(state_, platform::real()).error, Error::None);
        dir_->createAll({"c.txt", "c-1.txt", "README", "p.jpeg"});
        before_ = testing_support::contents(dir_->path());
        QCOMPARE(batch::undoBatch(state_, platform::real()).error, Error::None);
        QCOMPARE(names(), QStringList({"README", "README-1", "c-1.txt", "c-2.txt", "c.txt",
                                       "p-1.jpeg", "p.jpeg"}));
        QCOMPARE(state_.oldNames[0], dir_->filePath("c-2.txt"));
        QCOMPARE(dir_->read("c-2.txt"), QByteArray("c.txt"));
    }

    void undoAlongAChain() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        before_ = testing_support::contents(dir_->path());
        // a -> b (taken, so b-1), b -> c (taken, so c-1), c -> a: afterwards
        // the first entry's old name a.txt is held by the third file.
        loadBatch(state_, dir_->path(), {{"a.txt", "b"}, {"b.txt", "c"}, {"c.txt", "a"}});
        QCOMPARE(batch::renameBatch(state_, platform::real()).error, Error::None);
        QCOMPARE(names(), QStringList({"a.txt", "b-1.txt", "c-1.txt"}));
        QCOMPARE(batch::undoBatch(state_, platform::real()).error, Error::None);
        QCOMPARE(names(), QStringList({"a-1.txt", "b.txt", "c.txt"}));
        QCOMPARE(dir_->read("a-1.txt"), QByteArray("a.txt"));
        QCOMPARE(dir_->read("c.txt"), QByteArray("c.txt"));
    }

    void undoStoppedByADeletedFile() {
        dir_->createAll({"a.txt", "b.txt", "c.txt"});
        loadBatch(state_, dir_->path(), {{"a.txt", "x"}, {"b.txt", "y"}, {"c.txt", "z"}});
        QCOMPARE(batch::renameBatch(state_, platform::real()).error, Error::None);
        QFile::remove(dir_->filePath("y.txt"));
        const batch::UndoOutcome outcome = batch::undoBatch(state_, platform::real());
        QCOMPARE(outcome.error, Error::FileNotFound);
        QCOMPARE(outcome.failedIndex, 1);
        QCOMPARE(names(), QStringList({"a.txt", "z.txt"}));
    }

    void emptyBatch() {
        dir_->createAll({"a.txt"});
        loadBatch(state_, dir_->path(), {});
        QCOMPARE(state_.lastIndex, -1);
        QCOMPARE(batch::renameBatch(state_, platform::real()).error, Error::None);
        QCOMPARE(batch::undoBatch(state_, platform::real()).error, Error::None);
        QCOMPARE(names(), QStringList{"a.txt"});
    }

    void nonUtf8NameRenamedAndBackByteForByte() {
        const QByteArray raw("caf\xe9-\xff.txt");
        createRaw(dir_->path(), raw);
        const QString decoded = platform::decodeFileName(raw);
        loadBatch(state_, dir_->path(), {{decoded, "n"}});
        QCOMPARE(batch::renameBatch(state_, platform::real()).error, Error::None);
        QVERIFY(!existsRaw(dir_->path(), raw));
        QVERIFY(dir_->exists("n.txt"));
        QCOMPARE(batch::undoBatch(state_, platform::real()).error, Error::None);
        QVERIFY(existsRaw(dir_->path(), raw));
        QVERIFY(!dir_->exists("n.txt"));
        // QTemporaryDir cannot remove a name that is not UTF-8.
        ::unlink((platform::encodeFileName(dir_->path()) + '/' + raw).constData());
    }
};

QTEST_GUILESS_MAIN(RenameExecutorTest)
#include "test_rename_executor.moc"
