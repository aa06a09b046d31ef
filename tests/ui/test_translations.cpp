// The program in German where the system's locale is German, through the real
// windows (the chooser in both of its modes included), and exactly in English
// everywhere else.
#include <QtTest>

#include <QFile>
#include <QGuiApplication>
#include <QTextBrowser>

#include "engine/Settings.h"
#include "engine/Translations.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/Controls.h"
#include "ui/Forms.h"
#include "ui/HelpWindow.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"

namespace {

const QString kTranslations = QStringLiteral(QUILLOMAT_TRANSLATIONS_DIR);

// The texts a user reads first: the four steps, the menus, the window title.
QStringList mainWindowTexts(frmMain& main) {
    QStringList texts{main.windowTitle()};
    for (const char* name : {"Command3", "Command2", "Command1", "Command4"}) {
        texts << control<QPushButton>(main, name)->text();
    }
    for (const char* name : {"Label8", "Label1", "Label2", "Label7"}) {
        texts << control<QLabel>(main, name)->text();
    }
    for (QAction* menu : main.menuBar()->actions()) {
        texts << menu->text();
    }
    return texts;
}

}  // namespace

class TranslationsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing_support::ScopedSettings> settings_;
    std::unique_ptr<testing_support::TempFiles> dir_;

    void click(QWidget* w) {
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }
    frmMain& main() { return forms::frmMain(); }

    // Select, every file, OK, Extract with no mask, Rename: the review opens.
    void renameEveryFile() {
        settings::write(settings::kDir, dir_->path());
        click(control<QPushButton>(main(), "Command3"));
        QListView* files = control<QListView>(forms::frmDir(), "File1");
        files->setFocus();
        QTest::keyClick(files, Qt::Key_A, Qt::ControlModifier);
        click(control<QPushButton>(forms::frmDir(), "Command1"));
        click(control<QPushButton>(main(), "Command1"));
        click(control<QPushButton>(main(), "Command4"));
    }

  private slots:
    void initTestCase() {
        QVERIFY(QFile::exists(kTranslations + QStringLiteral("/quillomat_de.qm")));
    }
    void init() {
        settings_ = std::make_unique<testing_support::ScopedSettings>();
        dir_ = std::make_unique<testing_support::TempFiles>();
        main().show();
    }
    void cleanup() {
        forms::unloadDialogs();
        forms::unload(forms::Form::Main);
        translations::uninstall();
        dir_.reset();
        settings_.reset();
    }

    // The suite runs with LANG=de_DE.UTF-8: the translation follows the system.
    void germanMainWindowAndChooser() {
        forms::unload(forms::Form::Main);
        QVERIFY(translations::install(QLocale(), {kTranslations}));
        frmMain& german = main();
        german.show();
        QCOMPARE(mainWindowTexts(german),
                 (QStringList{"Quillomat", "Auswählen ", "Maske setzen", "Auswerten", "Umbenennen",
                              "Wählen Sie den Ordner mit den Dateien",
                              "und darin die umzubenennenden Dateien.",
                              "Den Teil des Namens oben markieren, der bleibt, und",
                              "„Maske setzen“ drücken – oder alle Dateien nur nummerieren.",
                              "&Datei", "&Optionen", "&Hilfe"}));

        // Choosing, then the review: Undo gives the old names back.
        dir_->createAll({"a.jpg", "b.jpg"});
        renameEveryFile();
        frmDir& review = forms::frmDir();
        QCOMPARE(review.windowTitle(),
                 QStringLiteral("Neue Namen übernehmen oder die Änderungen rückgängig machen"));
        QCOMPARE(control<QPushButton>(review, "Command1")->text(), QStringLiteral("Übernehmen"));
        QCOMPARE(control<QPushButton>(review, "Command2")->text(), QStringLiteral("Rückgängig"));
        QCOMPARE(dir_->names(), (QStringList{"0001.jpg", "0002.jpg"}));
        click(control<QPushButton>(review, "Command2"));
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        QCOMPARE(dir_->names(), (QStringList{"a.jpg", "b.jpg"}));

        // And Accept keeps them.
        renameEveryFile();
        click(control<QPushButton>(forms::frmDir(), "Command1"));
        QVERIFY(!forms::isLoaded(forms::Form::Dir));
        QCOMPARE(dir_->names(), (QStringList{"0001.jpg", "0002.jpg"}));

        // The chooser in selection mode, by its German caption and buttons.
        click(control<QPushButton>(german, "Command3"));
        QCOMPARE(forms::frmDir().windowTitle(),
                 QStringLiteral("Wählen Sie die umzubenennenden Dateien"));
        QCOMPARE(control<QPushButton>(forms::frmDir(), "Command2")->text(),
                 QStringLiteral("&Abbrechen"));
        click(control<QPushButton>(forms::frmDir(), "Command2"));
        QVERIFY(!forms::isLoaded(forms::Form::Dir));

        // The user guide, German from its title to its last section.
        german.findChild<QAction*>(QStringLiteral("MnuHelpHelp"))->trigger();
        QCOMPARE(forms::helpWindow().windowTitle(), QStringLiteral("Quillomat-Hilfe"));
        const QString guide = control<QTextBrowser>(forms::helpWindow(), "browser")->toPlainText();
        QVERIFY(guide.contains(QStringLiteral("Die Schritte einer Umbenennung")));
        QVERIFY(guide.contains(QStringLiteral("In der Dateiauswahl: Strg+A wählt alle Dateien")));
    }

    // In English and without a locale every text is the program's own.
    void englishStaysExact_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("C") << QLocale::c();
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom);
    }
    void englishStaysExact() {
        QFETCH(QLocale, locale);
        forms::unload(forms::Form::Main);
        QVERIFY(!translations::install(locale, {kTranslations}));
        QCOMPARE(mainWindowTexts(main()),
                 (QStringList{"Quillomat", "Select ", "Set Mask", "Extract", "Rename",
                              "Select the directory where you have files",
                              "to rename and select the files to rename.",
                              "Highlight one part of the above filename to keep and press",
                              "Set mask button, or skip this button to number all the files.",
                              "&File", "&Options", "&Help"}));
    }
};

QTEST_MAIN(TranslationsTest)
#include "test_translations.moc"
