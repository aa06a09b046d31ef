<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>BatchCounts</name>
    <message>
        <source>%1 renamed, %2 numbered, %3 skipped</source>
        <translation>%1 umbenannt, %2 nummeriert, %3 übersprungen</translation>
    </message>
</context>
<context>
    <name>ChosenFiles</name>
    <message>
        <source>Quillomat starts without files; choose them with Select.</source>
        <translation>Quillomat startet ohne Dateien; wählen Sie sie mit „Auswählen“.</translation>
    </message>
</context>
<context>
    <name>HelpGuide</name>
    <message>
        <source>The steps of a batch</source>
        <translation>Die Schritte einer Umbenennung</translation>
    </message>
    <message>
        <source>Quillomat renames a batch of files in one directory after one example name. The main window shows the four steps from top to bottom:</source>
        <translation>Quillomat benennt eine Reihe von Dateien eines Ordners nach einem Beispielnamen um. Das Hauptfenster zeigt die vier Schritte von oben nach unten:</translation>
    </message>
    <message>
        <source>&lt;b&gt;Select&lt;/b&gt; opens the file chooser. Pick the drive, the directory and the files (Ctrl+A chooses them all, Ctrl+H shows hidden files) and press &lt;b&gt;OK&lt;/b&gt;. The files are listed on the right; the first is the example.</source>
        <translation>&lt;b&gt;Auswählen&lt;/b&gt; öffnet die Dateiauswahl. Wählen Sie Laufwerk, Ordner und Dateien (Strg+A wählt alle, Strg+H zeigt versteckte Dateien) und drücken Sie &lt;b&gt;OK&lt;/b&gt;. Die Dateien erscheinen rechts in der Liste; die erste ist das Beispiel.</translation>
    </message>
    <message>
        <source>Double-click another listed file, or press Enter on it, to make it the example instead.</source>
        <translation>Ein Doppelklick auf eine andere Datei der Liste, oder die Eingabetaste auf ihr, macht sie zum Beispiel.</translation>
    </message>
    <message>
        <source>Highlight the part of the example name to keep and press &lt;b&gt;Set Mask&lt;/b&gt;. The part goes to the mask box, where it can still be edited. To number all the files, skip this step.</source>
        <translation>Markieren Sie den Teil des Beispielnamens, der bleiben soll, und drücken Sie &lt;b&gt;Maske setzen&lt;/b&gt;. Der Teil kommt in das Maskenfeld, wo er sich noch bearbeiten lässt. Um alle Dateien zu nummerieren, überspringen Sie diesen Schritt.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Extract&lt;/b&gt; looks at the mask and shows an example of the new name.</source>
        <translation>&lt;b&gt;Auswerten&lt;/b&gt; untersucht die Maske und zeigt ein Beispiel des neuen Namens.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Rename&lt;/b&gt; gives every file that fits the mask its new name, then opens the review.</source>
        <translation>&lt;b&gt;Umbenennen&lt;/b&gt; gibt jeder Datei, die zur Maske passt, ihren neuen Namen und öffnet dann die Prüfung.</translation>
    </message>
    <message>
        <source>A new name is made of the prefix, the kept part, a running number or letter, the suffix and the file&apos;s own extension. Prefix, suffix, starting number and lettering position are set under &lt;b&gt;Options &amp;gt; Set Options&lt;/b&gt;; &lt;b&gt;Options &amp;gt; Clear Options&lt;/b&gt; empties them.</source>
        <translation>Ein neuer Name besteht aus dem Präfix, dem behaltenen Teil, einer laufenden Nummer oder einem Buchstaben, dem Suffix und der eigenen Endung der Datei. Präfix, Suffix, Startnummer und Buchstabenposition werden unter &lt;b&gt;Optionen &amp;gt; Optionen festlegen&lt;/b&gt; eingestellt; &lt;b&gt;Optionen &amp;gt; Optionen löschen&lt;/b&gt; leert sie.</translation>
    </message>
    <message>
        <source>The kinds of mask</source>
        <translation>Die Arten der Maske</translation>
    </message>
    <message>
        <source>Extract chooses the naming scheme from the mask. In the examples the prefix, the suffix and the starting number are empty; the running number then starts at 1 and has four digits below 1000.</source>
        <translation>Auswerten wählt das Namensschema nach der Maske. In den Beispielen sind Präfix, Suffix und Startnummer leer; die laufende Nummer beginnt dann bei 1 und hat unter 1000 vier Stellen.</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>Maske</translation>
    </message>
    <message>
        <source>Chosen when</source>
        <translation>Gewählt, wenn</translation>
    </message>
    <message>
        <source>Example</source>
        <translation>Beispiel</translation>
    </message>
    <message>
        <source>No mask</source>
        <translation>Keine Maske</translation>
    </message>
    <message>
        <source>the mask is empty: every file is numbered</source>
        <translation>die Maske leer ist: jede Datei wird nummeriert</translation>
    </message>
    <message>
        <source>a.txt, b.doc become 0001.txt, 0002.doc</source>
        <translation>aus a.txt, b.doc werden 0001.txt, 0002.doc</translation>
    </message>
    <message>
        <source>Numeric</source>
        <translation>Zahl</translation>
    </message>
    <message>
        <source>the mask is a number: files with digits at the same place keep them</source>
        <translation>die Maske eine Zahl ist: Dateien mit Ziffern an derselben Stelle behalten diese</translation>
    </message>
    <message>
        <source>mask 042 of IMG_042.jpg: IMG_043.jpg becomes 043.jpg; DSC_1.jpg is left alone</source>
        <translation>Maske 042 aus IMG_042.jpg: aus IMG_043.jpg wird 043.jpg; DSC_1.jpg bleibt unverändert</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>the mask holds no digit: files that contain it take it and a number</source>
        <translation>die Maske keine Ziffer enthält: Dateien, die sie enthalten, bekommen sie und eine Nummer</translation>
    </message>
    <message>
        <source>mask Report: Report.txt, MyReport.doc become Report-0001.txt, Report-0002.doc</source>
        <translation>Maske Report: aus Report.txt, MyReport.doc werden Report-0001.txt, Report-0002.doc</translation>
    </message>
    <message>
        <source>Lettered text</source>
        <translation>Text mit Buchstabe</translation>
    </message>
    <message>
        <source>as Text, with a lettering position: the first (First) or last (Last) character of the mask stands for each file&apos;s own letter, and no number is added</source>
        <translation>wie Text, mit einer Buchstabenposition: das erste (Vorne) oder letzte (Hinten) Zeichen der Maske steht für den eigenen Buchstaben jeder Datei, und keine Nummer kommt hinzu</translation>
    </message>
    <message>
        <source>mask ReportA, Last: old-ReportB.txt becomes ReportB.txt, ReportC-draft.doc becomes ReportC.doc</source>
        <translation>Maske ReportA, Hinten: aus old-ReportB.txt wird ReportB.txt, aus ReportC-draft.doc wird ReportC.doc</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Muster</translation>
    </message>
    <message>
        <source>the mask holds digits and other characters: at the same place a file must have a digit for each digit and the same other characters</source>
        <translation>die Maske Ziffern und andere Zeichen enthält: an derselben Stelle muss eine Datei für jede Ziffer eine Ziffer und dieselben anderen Zeichen haben</translation>
    </message>
    <message>
        <source>mask 01-A of Scan01-A.tif: Scan02-A.tif becomes 02-A.tif; Scan02-B.tif is left alone</source>
        <translation>Maske 01-A aus Scan01-A.tif: aus Scan02-A.tif wird 02-A.tif; Scan02-B.tif bleibt unverändert</translation>
    </message>
    <message>
        <source>Lettered pattern</source>
        <translation>Muster mit Buchstabe</translation>
    </message>
    <message>
        <source>as Pattern, with a lettering position whose character in the mask is not a digit: that character is the file&apos;s own letter</source>
        <translation>wie Muster, mit einer Buchstabenposition, deren Zeichen in der Maske keine Ziffer ist: dieses Zeichen ist der eigene Buchstabe der Datei</translation>
    </message>
    <message>
        <source>mask 01-A, Last: Scan02-B.tif becomes 02-B.tif</source>
        <translation>Maske 01-A, Hinten: aus Scan02-B.tif wird 02-B.tif</translation>
    </message>
    <message>
        <source>Letters are compared exactly: Report does not match report. A file that does not fit the mask keeps its name.</source>
        <translation>Buchstaben werden genau verglichen: Report passt nicht zu report. Eine Datei, die nicht zur Maske passt, behält ihren Namen.</translation>
    </message>
    <message>
        <source>Names that are taken</source>
        <translation>Vergebene Namen</translation>
    </message>
    <message>
        <source>No file is ever overwritten. When a new name is taken, by a file already there or by an earlier file of the same batch, the file gets the name with &quot;-1&quot; before its extension, or &quot;-2&quot; if that is taken too, and so on: a new name photo.jpg that is taken becomes photo-1.jpg. A file that cannot be renamed (no permission, a name the file system refuses) is skipped and keeps its name.</source>
        <translation>Keine Datei wird je überschrieben. Ist ein neuer Name schon vergeben, von einer vorhandenen Datei oder einer früheren Datei derselben Umbenennung, bekommt die Datei den Namen mit „-1“ vor der Endung, oder „-2“, wenn auch dieser vergeben ist, und so fort: aus einem vergebenen neuen Namen photo.jpg wird photo-1.jpg. Eine Datei, die sich nicht umbenennen lässt (keine Berechtigung, ein Name, den das Dateisystem ablehnt), wird übersprungen und behält ihren Namen.</translation>
    </message>
    <message>
        <source>The review: Accept or Undo</source>
        <translation>Die Prüfung: Übernehmen oder Rückgängig</translation>
    </message>
    <message>
        <source>After Rename the chooser comes back as the review, titled &quot;Accept the new names, or Undo the changes&quot;, listing the directory with the new names. Until the batch is accepted or undone, Set Mask, Extract and Rename are off, and Select brings the review to the front.</source>
        <translation>Nach dem Umbenennen erscheint die Dateiauswahl als Prüfung mit dem Titel „Neue Namen übernehmen oder die Änderungen rückgängig machen“ und zeigt den Ordner mit den neuen Namen. Bis die Umbenennung übernommen oder rückgängig gemacht ist, sind „Maske setzen“, „Auswerten“ und „Umbenennen“ gesperrt, und „Auswählen“ holt die Prüfung nach vorn.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Accept&lt;/b&gt; keeps the new names and ends the batch.</source>
        <translation>&lt;b&gt;Übernehmen&lt;/b&gt; behält die neuen Namen und schließt die Umbenennung ab.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Undo&lt;/b&gt; gives every renamed file its old name back, the last renamed first. If an old name has been taken meanwhile, the file gets a numbered form of it (report-1.txt).</source>
        <translation>&lt;b&gt;Rückgängig&lt;/b&gt; gibt jeder umbenannten Datei ihren alten Namen zurück, die zuletzt umbenannte zuerst. Ist ein alter Name inzwischen vergeben, bekommt die Datei eine nummerierte Form davon (report-1.txt).</translation>
    </message>
    <message>
        <source>If Undo cannot put a file back (it was deleted, or the directory cannot be written), the example box shows &quot;Error # &quot; and the number, followed by the files that were not restored; the review stays open, and Undo pressed again goes on with those files once the cause is mended.</source>
        <translation>Kann „Rückgängig“ eine Datei nicht zurückbenennen (sie wurde gelöscht, oder der Ordner ist schreibgeschützt), zeigt das Beispielfeld „Fehler # “ und die Nummer, gefolgt von den nicht zurückbenannten Dateien; die Prüfung bleibt offen, und ein weiteres „Rückgängig“ macht mit diesen Dateien weiter, sobald die Ursache behoben ist.</translation>
    </message>
    <message>
        <source>Exit or closing the main window while the review is open asks first: &lt;b&gt;Accept&lt;/b&gt; or &lt;b&gt;Undo&lt;/b&gt; the batch and end the program, or &lt;b&gt;Cancel&lt;/b&gt; and go on.</source>
        <translation>Beenden oder das Schließen des Hauptfensters bei offener Prüfung fragt zuerst: die Umbenennung &lt;b&gt;Übernehmen&lt;/b&gt; oder &lt;b&gt;Rückgängig&lt;/b&gt; machen und das Programm beenden, oder &lt;b&gt;Abbrechen&lt;/b&gt; und weiterarbeiten.</translation>
    </message>
    <message>
        <source>Preview New Names</source>
        <translation>Vorschau der neuen Namen</translation>
    </message>
    <message>
        <source>&lt;b&gt;File &amp;gt; Preview New Names&lt;/b&gt; (Ctrl+P) lists, before anything is renamed, the new name of every listed file and why: renamed, numbered because the name is taken, left alone, or skipped and the reason. It can be used whenever Rename can, and follows every new Extract while it is open. Nothing on disk changes.</source>
        <translation>&lt;b&gt;Datei &amp;gt; Vorschau der neuen Namen&lt;/b&gt; (Strg+P) zeigt, bevor etwas umbenannt wird, den neuen Namen jeder Datei der Liste und warum: umbenannt, nummeriert, weil der Name vergeben ist, unverändert, oder übersprungen und der Grund. Sie steht bereit, wann immer „Umbenennen“ es tut, und folgt jedem neuen „Auswerten“, solange sie offen ist. Auf der Platte ändert sich nichts.</translation>
    </message>
    <message>
        <source>The question at start-up</source>
        <translation>Die Frage beim Start</translation>
    </message>
    <message>
        <source>Before the first file of a batch is renamed, Quillomat notes the directory and the old names in a journal under ~/.local/state/Quillomat. If the program ends in the middle of a batch or with its review open (it crashed or was killed, the power went, the session ended), the next start asks whether to give those files their old names back, naming the directory and the number of files. Yes gives every file of that batch that can still be found its old name back and lists any that could not; No leaves the files as they are. Either way the question is asked once.</source>
        <translation>Bevor die erste Datei umbenannt wird, notiert Quillomat den Ordner und die alten Namen in einem Journal unter ~/.local/state/Quillomat. Endet das Programm mitten in einer Umbenennung oder bei offener Prüfung (es ist abgestürzt oder wurde beendet, der Strom fiel aus, die Sitzung endete), fragt der nächste Start mit Angabe des Ordners und der Zahl der Dateien, ob diese Dateien ihre alten Namen zurückbekommen sollen. Ja gibt jeder noch auffindbaren Datei ihren alten Namen zurück und nennt die, bei denen es nicht ging; Nein lässt die Dateien, wie sie sind. So oder so wird nur einmal gefragt.</translation>
    </message>
    <message>
        <source>The settings file</source>
        <translation>Die Einstellungsdatei</translation>
    </message>
    <message>
        <source>The options and the directory used last are kept in ~/.config/Quillomat.conf (in $XDG_CONFIG_HOME when that is set), in the group [Defaults], with the keys Prefix, Sufix, StartingNumber, LetteringPosition (0 none, 1 first, 2 last) and Dir. A value is the rest of its line, taken as it is. Quillomat changes only these keys and keeps every other line of the file. If the file cannot be written, a message names it and the reason; the program goes on with the new values.</source>
        <translation>Die Optionen und der zuletzt benutzte Ordner stehen in ~/.config/Quillomat.conf (in $XDG_CONFIG_HOME, wenn gesetzt), in der Gruppe [Defaults], mit den Schlüsseln Prefix, Sufix, StartingNumber, LetteringPosition (0 keiner, 1 vorne, 2 hinten) und Dir. Ein Wert ist der Rest seiner Zeile, so wie er steht. Quillomat ändert nur diese Schlüssel und lässt jede andere Zeile der Datei, wie sie ist. Lässt sich die Datei nicht schreiben, nennt eine Meldung sie und den Grund; das Programm arbeitet mit den neuen Werten weiter.</translation>
    </message>
    <message>
        <source>The command line</source>
        <translation>Die Befehlszeile</translation>
    </message>
    <message>
        <source>&lt;tt&gt;quillomat&lt;/tt&gt; starts with an empty list.</source>
        <translation>&lt;tt&gt;quillomat&lt;/tt&gt; startet mit leerer Liste.</translation>
    </message>
    <message>
        <source>&lt;tt&gt;quillomat DIRECTORY&lt;/tt&gt; opens the first Select in DIRECTORY.</source>
        <translation>&lt;tt&gt;quillomat ORDNER&lt;/tt&gt; öffnet das erste „Auswählen“ in ORDNER.</translation>
    </message>
    <message>
        <source>&lt;tt&gt;quillomat FILE...&lt;/tt&gt; takes the files (all in one directory) as if they had been chosen with Select and OK. The file manager&apos;s &quot;Rename with Quillomat&quot; starts the program this way.</source>
        <translation>&lt;tt&gt;quillomat DATEI...&lt;/tt&gt; übernimmt die Dateien (alle in einem Ordner), als wären sie mit „Auswählen“ und „OK“ gewählt. „Mit Quillomat umbenennen“ im Dateimanager startet das Programm so.</translation>
    </message>
    <message>
        <source>&lt;tt&gt;quillomat --help&lt;/tt&gt; and &lt;tt&gt;quillomat --version&lt;/tt&gt; answer on the terminal.</source>
        <translation>&lt;tt&gt;quillomat --help&lt;/tt&gt; und &lt;tt&gt;quillomat --version&lt;/tt&gt; antworten im Terminal.</translation>
    </message>
    <message>
        <source>A command line that cannot be used (an unknown option, a directory that does not exist) is answered on the terminal with exit status 2. Files that are not in one directory, or a name that is not a regular file, are named in a message and the program starts with an empty list.</source>
        <translation>Eine unbrauchbare Befehlszeile (eine unbekannte Option, ein Ordner, den es nicht gibt) wird im Terminal mit dem Rückgabewert 2 beantwortet. Dateien, die nicht in einem Ordner liegen, oder ein Name, der keine gewöhnliche Datei ist, werden in einer Meldung genannt, und das Programm startet mit leerer Liste.</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>F1: this guide.</source>
        <translation>F1: diese Anleitung.</translation>
    </message>
    <message>
        <source>Tab moves between the controls; Enter or Space presses the button that has the focus.</source>
        <translation>Tab wechselt zwischen den Bedienelementen; Eingabetaste oder Leertaste drückt die Schaltfläche mit dem Fokus.</translation>
    </message>
    <message>
        <source>Ctrl+P: Preview New Names. Alt with the underlined letter opens a menu.</source>
        <translation>Strg+P: Vorschau der neuen Namen. Alt mit dem unterstrichenen Buchstaben öffnet ein Menü.</translation>
    </message>
    <message>
        <source>In the chooser: Ctrl+A chooses all files, Ctrl+H shows or hides hidden files, Enter on a directory opens it.</source>
        <translation>In der Dateiauswahl: Strg+A wählt alle Dateien, Strg+H zeigt oder verbirgt versteckte Dateien, die Eingabetaste auf einem Ordner öffnet ihn.</translation>
    </message>
    <message>
        <source>Quillomat Help</source>
        <translation>Quillomat-Hilfe</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>User guide</source>
        <translation>Benutzerhandbuch</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>Preview</name>
    <message>
        <source>the new name is empty, &quot;.&quot; or &quot;..&quot;</source>
        <translation>der neue Name ist leer, &quot;.&quot; oder &quot;..&quot;</translation>
    </message>
    <message>
        <source>the new name holds &quot;%1&quot; or a NUL character</source>
        <translation>der neue Name enthält &quot;%1&quot; oder ein NUL-Zeichen</translation>
    </message>
    <message>
        <source>the directory is on a read-only file system</source>
        <translation>der Ordner liegt auf einem schreibgeschützten Dateisystem</translation>
    </message>
    <message>
        <source>the new name is longer than the file system allows (%1 bytes)</source>
        <translation>der neue Name ist länger, als das Dateisystem erlaubt (%1 Bytes)</translation>
    </message>
    <message>
        <source>the system refuses the rename</source>
        <translation>das System verweigert das Umbenennen</translation>
    </message>
    <message>
        <source>the batch stops at %1</source>
        <translation>das Umbenennen bricht bei %1 ab</translation>
    </message>
    <message>
        <source>the batch stops before its first file</source>
        <translation>das Umbenennen bricht vor der ersten Datei ab</translation>
    </message>
    <message>
        <source>no match</source>
        <translation>kein Treffer</translation>
    </message>
    <message>
        <source>the name does not change</source>
        <translation>der Name ändert sich nicht</translation>
    </message>
    <message>
        <source>%1 is taken by an earlier file of this batch</source>
        <translation>%1 ist schon von einer früheren Datei belegt</translation>
    </message>
    <message>
        <source>%1 is taken in the directory</source>
        <translation>%1 ist im Ordner schon vergeben</translation>
    </message>
    <message>
        <source>only the first %1 files of a batch are renamed</source>
        <translation>nur die ersten %1 Dateien werden umbenannt</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>umbenannt</translation>
    </message>
    <message>
        <source>numbered</source>
        <translation>nummeriert</translation>
    </message>
    <message>
        <source>left alone</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>übersprungen</translation>
    </message>
    <message>
        <source>not renamed</source>
        <translation>nicht umbenannt</translation>
    </message>
    <message>
        <source>Rename would stop with %1 before renaming any file.</source>
        <translation>Umbenennen würde mit %1 abbrechen, bevor eine Datei umbenannt ist.</translation>
    </message>
    <message>
        <source>Rename would stop at %1 with %2; no file would be renamed.</source>
        <translation>Umbenennen würde bei %1 mit %2 abbrechen; keine Datei würde umbenannt.</translation>
    </message>
    <message>
        <source>%1 renamed, %2 numbered, %3 left alone, %4 skipped</source>
        <translation>%1 umbenannt, %2 nummeriert, %3 unverändert, %4 übersprungen</translation>
    </message>
    <message>
        <source>the file system does not allow &apos;%1&apos; in names</source>
        <translation>das Dateisystem erlaubt kein &apos;%1&apos; in Namen</translation>
    </message>
    <message>
        <source>the file system does not allow a name to end with &apos;.&apos;</source>
        <translation>das Dateisystem erlaubt keinen Namen, der auf &apos;.&apos; endet</translation>
    </message>
    <message>
        <source>the file system does not allow a name to end with a blank</source>
        <translation>das Dateisystem erlaubt keinen Namen, der auf ein Leerzeichen endet</translation>
    </message>
    <message>
        <source>the file system does not allow the name %1 (a device of Windows)</source>
        <translation>das Dateisystem erlaubt den Namen %1 nicht (ein Gerät von Windows)</translation>
    </message>
    <message>
        <source>the new name is longer than the file system allows (%1 characters)</source>
        <translation>der neue Name ist länger, als das Dateisystem erlaubt (%1 Zeichen)</translation>
    </message>
</context>
<context>
    <name>PreviewModel</name>
    <message>
        <source>Old name</source>
        <translation>Alter Name</translation>
    </message>
    <message>
        <source>New name</source>
        <translation>Neuer Name</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>Quillomat ended before its last batch was accepted or undone.

Directory: %1
Files: %2</source>
        <translation>Quillomat wurde beendet, bevor die zuletzt umbenannten Dateien übernommen oder zurückbenannt waren.

Ordner: %1
Dateien: %2</translation>
    </message>
    <message>
        <source>Give these files their old names back?</source>
        <translation>Sollen diese Dateien ihre alten Namen zurückbekommen?</translation>
    </message>
    <message>
        <source>1 file could not be found.</source>
        <translation>1 Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>%1 files could not be found.</source>
        <translation>%1 Dateien wurden nicht gefunden.</translation>
    </message>
    <message>
        <source>Not found:</source>
        <translation>Nicht gefunden:</translation>
    </message>
    <message>
        <source>1 file could not be renamed back (%1).</source>
        <translation>1 Datei konnte nicht zurückbenannt werden (%1).</translation>
    </message>
    <message>
        <source>%1 files could not be renamed back (%2).</source>
        <translation>%1 Dateien konnten nicht zurückbenannt werden (%2).</translation>
    </message>
    <message>
        <source>Not restored:</source>
        <translation>Nicht zurückbenannt:</translation>
    </message>
    <message>
        <source>1 file got a numbered name, the old one being taken.</source>
        <translation>1 Datei bekam einen nummerierten Namen, weil der alte vergeben war.</translation>
    </message>
    <message>
        <source>%1 files got a numbered name, the old ones being taken.</source>
        <translation>%1 Dateien bekamen nummerierte Namen, weil die alten vergeben waren.</translation>
    </message>
    <message>
        <source>Numbered:</source>
        <translation>Nummeriert:</translation>
    </message>
    <message>
        <source>The files in %1 are back.</source>
        <translation>Die Dateien in %1 haben ihre alten Namen wieder.</translation>
    </message>
    <message>
        <source>Not every file in %1 got its old name back.</source>
        <translation>Nicht jede Datei in %1 hat ihren alten Namen wieder.</translation>
    </message>
    <message>
        <source>The journal of the batch is kept as %1.</source>
        <translation>Das Journal der Umbenennung bleibt als %1 erhalten.</translation>
    </message>
    <message>
        <source>Quillomat found the journal of an unfinished batch, but cannot read it: it is cut short or damaged.</source>
        <translation>Quillomat hat das Journal einer nicht abgeschlossenen Umbenennung gefunden, kann es aber nicht lesen: Es ist unvollständig oder beschädigt.</translation>
    </message>
    <message>
        <source>It is kept as %1. The files of that batch keep the names they have now.</source>
        <translation>Es bleibt als %1 erhalten. Die Dateien dieser Umbenennung behalten ihre jetzigen Namen.</translation>
    </message>
</context>
<context>
    <name>SaveFailure</name>
    <message>
        <source>The settings could not be saved to %1:
%2.

The new values stay in use until Quillomat is closed; the file keeps its earlier values.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden:
%2.

Die neuen Werte gelten, bis Quillomat beendet wird; die Datei behält ihre bisherigen Werte.</translation>
    </message>
</context>
<context>
    <name>Status</name>
    <message>
        <source>The registry refused the change</source>
        <translation>Die Registrierung hat die Änderung verweigert</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Keine reguläre Datei</translation>
    </message>
    <message>
        <source>Another program has kept the settings file locked for too long</source>
        <translation>Ein anderes Programm hält die Einstellungsdatei zu lange gesperrt</translation>
    </message>
</context>
<context>
    <name>SysInfo</name>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Systeminformationen sind zurzeit nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>batch</name>
    <message>
        <source>Error # %1</source>
        <translation>Fehler # %1</translation>
    </message>
    <message>
        <source> - Not Restored: %1</source>
        <translation> - Nicht zurückbenannt: %1</translation>
    </message>
    <message>
        <source>Undone, but numbered (the old name was taken): %1</source>
        <translation>Rückgängig gemacht, aber nummeriert (der alte Name war vergeben): %1</translation>
    </message>
    <message>
        <source>Nothing renamed: the batch journal cannot be written in %1 (%2)</source>
        <translation>Nichts umbenannt: Das Journal der Umbenennung kann in %1 nicht geschrieben werden (%2)</translation>
    </message>
</context>
<context>
    <name>commandline</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe zeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Die Version zeigen und beenden.</translation>
    </message>
    <message>
        <source>Renames a batch of files in one directory after one example name.</source>
        <translation>Benennt eine Reihe von Dateien eines Ordners nach einem Beispielnamen um.</translation>
    </message>
    <message>
        <source>Try &apos;quillomat --help&apos; for more.</source>
        <translation>Mehr dazu mit &apos;quillomat --help&apos;.</translation>
    </message>
    <message>
        <source>DIRECTORY</source>
        <translation>ORDNER</translation>
    </message>
    <message>
        <source>Open the file chooser there the first time Select is pressed.
FILE... instead: the files to rename, all in one directory, taken as Select and OK would take them.</source>
        <translation>Die Dateiauswahl beim ersten Klick auf „Auswählen“ dort öffnen.
Stattdessen DATEI...: die umzubenennenden Dateien, alle in einem Ordner, übernommen wie mit „Auswählen“ und „OK“.</translation>
    </message>
    <message>
        <source>[DIRECTORY | FILE...]</source>
        <translation>[ORDNER | DATEI...]</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The files named are in more than one directory (%1 and %2). Quillomat renames the files of one directory at a time.</source>
        <translation>Die genannten Dateien liegen in mehr als einem Ordner (%1 und %2). Quillomat benennt immer die Dateien eines einzigen Ordners um.</translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>Unbekannte Option &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Unknown options: %1.</source>
        <translation>Unbekannte Optionen: %1.</translation>
    </message>
    <message>
        <source>%1: no such file or directory</source>
        <translation>%1: keine solche Datei und kein solcher Ordner</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About Quillomat</source>
        <translation>Über Quillomat</translation>
    </message>
    <message>
        <source>Quillomat  Version %1</source>
        <translation>Quillomat  Version %1</translation>
    </message>
    <message>
        <source>Copyright © 2026 The Quillomat developers</source>
        <translation>Copyright © 2026 Die Quillomat-Entwickler</translation>
    </message>
    <message>
        <source>A file renaming utility</source>
        <translation>Ein Werkzeug zum Umbenennen von Dateien</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeminfo...</translation>
    </message>
    <message>
        <source>Warning: this program is protected by copyright law. It is licensed under the GNU General Public License, version 3 or later. Copying or distributing it other than as that licence permits is prohibited.</source>
        <translation>Warnung: Dieses Programm ist urheberrechtlich geschützt. Es steht unter der GNU General Public License, Version 3 oder später. Es anders zu kopieren oder zu verbreiten, als diese Lizenz erlaubt, ist verboten.</translation>
    </message>
</context>
<context>
    <name>frmDir</name>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Select the files to rename</source>
        <translation>Wählen Sie die umzubenennenden Dateien</translation>
    </message>
    <message>
        <source>Accept the new names, or Undo the changes</source>
        <translation>Neue Namen übernehmen oder die Änderungen rückgängig machen</translation>
    </message>
    <message>
        <source>Accept</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Quillomat</source>
        <translation>Quillomat</translation>
    </message>
    <message>
        <source>Quillomat Version %1</source>
        <translation>Quillomat Version %1</translation>
    </message>
    <message>
        <source>Select </source>
        <translation>Auswählen </translation>
    </message>
    <message>
        <source>Select the directory where you have files</source>
        <translation>Wählen Sie den Ordner mit den Dateien</translation>
    </message>
    <message>
        <source>to rename and select the files to rename.</source>
        <translation>und darin die umzubenennenden Dateien.</translation>
    </message>
    <message>
        <source>Do not include the extension</source>
        <translation>Ohne die Dateiendung</translation>
    </message>
    <message>
        <source>Set Mask</source>
        <translation>Maske setzen</translation>
    </message>
    <message>
        <source>Highlight one part of the above filename to keep and press</source>
        <translation>Den Teil des Namens oben markieren, der bleibt, und</translation>
    </message>
    <message>
        <source>Set mask button, or skip this button to number all the files.</source>
        <translation>„Maske setzen“ drücken – oder alle Dateien nur nummerieren.</translation>
    </message>
    <message>
        <source>If you missed a letter please add it</source>
        <translation>Fehlt ein Buchstabe, bitte ergänzen</translation>
    </message>
    <message>
        <source>Extract</source>
        <translation>Auswerten</translation>
    </message>
    <message>
        <source>Edit the above mask if you missed a letter or two, then</source>
        <translation>Die Maske oben ergänzen, falls Buchstaben fehlen, dann</translation>
    </message>
    <message>
        <source>press extract to see what the new name will look like.</source>
        <translation>„Auswerten“ drücken, um den neuen Namen zu sehen.</translation>
    </message>
    <message>
        <source>Example Filename</source>
        <translation>Beispiel-Dateiname</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Example new filename above, if you like it press rename to</source>
        <translation>Oben ein Beispiel des neuen Namens. Gefällt er, dann</translation>
    </message>
    <message>
        <source>rename all of the files that have the mask text in their name.</source>
        <translation>„Umbenennen“: alle Dateien mit der Maske umbenennen.</translation>
    </message>
    <message>
        <source>Double Click the file you want to use</source>
        <translation>Doppelklick auf die Datei, die als Beispiel dienen soll</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Clear Options</source>
        <translation>Optionen &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Set Options</source>
        <translation>Optionen &amp;festlegen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>About Quillomat</source>
        <translation>Über Quillomat</translation>
    </message>
    <message>
        <source>Quillomat program icon</source>
        <translation>Quillomat-Programmsymbol</translation>
    </message>
    <message>
        <source>Example file name</source>
        <translation>Beispiel-Dateiname</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>Maske</translation>
    </message>
    <message>
        <source>Example new file name</source>
        <translation>Beispiel des neuen Dateinamens</translation>
    </message>
    <message>
        <source>Files to rename</source>
        <translation>Umzubenennende Dateien</translation>
    </message>
    <message>
        <source>&amp;Preview New Names</source>
        <translation>&amp;Vorschau der neuen Namen</translation>
    </message>
    <message>
        <source>Some Files Were Skipped</source>
        <translation>Einige Dateien wurden übersprungen</translation>
    </message>
    <message>
        <source>The new names have not been accepted yet.</source>
        <translation>Die neuen Namen sind noch nicht übernommen.</translation>
    </message>
    <message>
        <source>&amp;Accept</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
</context>
<context>
    <name>frmOptions</name>
    <message>
        <source>Quillomat Options</source>
        <translation>Quillomat-Optionen</translation>
    </message>
    <message>
        <source>Prefix</source>
        <translation>Präfix</translation>
    </message>
    <message>
        <source>Suffix</source>
        <translation>Suffix</translation>
    </message>
    <message>
        <source>Starting Number</source>
        <translation>Startnummer</translation>
    </message>
    <message>
        <source>Consecutive Lettering Position</source>
        <translation>Fortlaufender Buchstabe</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>First</source>
        <translation>Vorne</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Hinten</translation>
    </message>
    <message>
        <source>Clear Options</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>frmPreview</name>
    <message>
        <source>Preview New Names</source>
        <translation>Vorschau der neuen Namen</translation>
    </message>
    <message>
        <source>New names of the listed files</source>
        <translation>Neue Namen der aufgelisteten Dateien</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
</TS>
