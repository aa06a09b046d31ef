<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>BatchCounts</name>
    <message numerus="yes">
        <source>%n renamed</source>
        <translation>
            <numerusform>%n umbenannt</numerusform>
            <numerusform>%n umbenannt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n numbered</source>
        <translation>
            <numerusform>%n nummeriert</numerusform>
            <numerusform>%n nummeriert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left alone</source>
        <translation>
            <numerusform>%n unverändert</numerusform>
            <numerusform>%n unverändert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n skipped</source>
        <translation>
            <numerusform>%n übersprungen</numerusform>
            <numerusform>%n übersprungen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HelpGuide</name>
    <message>
        <source>guide.html</source>
        <translation>guide.de.html</translation>
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
        <source>renamed back</source>
        <translation>zurückbenannt</translation>
    </message>
    <message>
        <source>not renamed back (%1)</source>
        <translation>nicht zurückbenannt (%1)</translation>
    </message>
    <message>
        <source>file managers hide names that begin with &quot;.&quot;</source>
        <translation>Dateimanager verbergen Namen, die mit „.“ beginnen</translation>
    </message>
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
    <message>
        <source>no date taken, so the date modified is used</source>
        <translation>kein Aufnahmedatum, daher gilt das Änderungsdatum</translation>
    </message>
    <message>
        <source>Rename would stop with %1 before renaming any file: %2.</source>
        <translation>Umbenennen würde mit %1 abbrechen, bevor eine Datei umbenannt ist: %2.</translation>
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
    <name>Progress</name>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
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
    <message>
        <source>1 file was left where it is: files alike under its names cannot be told apart.</source>
        <translation>1 Datei blieb, wo sie ist: gleiche Dateien unter ihren Namen lassen sich nicht unterscheiden.</translation>
    </message>
    <message>
        <source>%1 files were left where they are: files alike under their names cannot be told apart.</source>
        <translation>%1 Dateien blieben, wo sie sind: gleiche Dateien unter ihren Namen lassen sich nicht unterscheiden.</translation>
    </message>
    <message>
        <source>Left where they are (old name: the names to look at):</source>
        <translation>Geblieben, wo sie sind (alter Name: die Namen, die zu prüfen sind):</translation>
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
    <message>
        <source>Files alike: which one is the batch&apos;s cannot be told</source>
        <translation>Gleiche Dateien: welche zum Stapel gehört, lässt sich nicht sagen</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>er ist ein symbolischer Link</translation>
    </message>
    <message>
        <source>another user owns it</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>others can write in it</source>
        <translation>andere können darin schreiben</translation>
    </message>
    <message>
        <source>the text to replace is not a valid regular expression</source>
        <translation>der zu ersetzende Text ist kein gültiger regulärer Ausdruck</translation>
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
    <message>
        <source>%1 (now %2)</source>
        <translation>%1 (jetzt %2)</translation>
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
    <message>
        <source>Files numbered or skipped</source>
        <translation>Nummerierte oder übersprungene Dateien</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Quillomat starts without files; choose them with Select.</source>
        <translation>Quillomat startet ohne Dateien; wählen Sie sie mit „Auswählen“.</translation>
    </message>
    <message>
        <source>as the mask reads now; Extract makes Rename follow it</source>
        <translation>so, wie die Maske jetzt lautet; „Auswerten“ lässt „Umbenennen“ ihr folgen</translation>
    </message>
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
    <message>
        <source>%1: the directory %2 cannot be opened (%3)</source>
        <translation>%1: Der Ordner %2 kann nicht geöffnet werden (%3)</translation>
    </message>
    <message>
        <source>Shows the name Rename gives each listed file, and why</source>
        <translation>Zeigt den Namen, den Umbenennen jeder aufgeführten Datei gibt, und warum</translation>
    </message>
    <message>
        <source>There are no new names to show until files are chosen with Select</source>
        <translation>Neue Namen gibt es erst, wenn mit Auswählen Dateien gewählt sind</translation>
    </message>
    <message>
        <source>Only files can be dropped here.</source>
        <translation>Hier lassen sich nur Dateien ablegen.</translation>
    </message>
    <message>
        <source>&amp;Naming...</source>
        <translation>&amp;Benennung...</translation>
    </message>
    <message>
        <source>The files listed stay as they were.</source>
        <translation>Die aufgelisteten Dateien bleiben, wie sie waren.</translation>
    </message>
</context>
<context>
    <name>frmNaming</name>
    <message>
        <source>Quillomat Naming</source>
        <translation>Quillomat Benennung</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Nummer</translation>
    </message>
    <message>
        <source>&amp;Digits</source>
        <translation>&amp;Stellen</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>S&amp;tep</source>
        <translation>Schritt&amp;weite</translation>
    </message>
    <message>
        <source>Order of &amp;numbering</source>
        <translation>Reihenfolge der &amp;Nummerierung</translation>
    </message>
    <message>
        <source>As listed</source>
        <translation>Wie aufgelistet</translation>
    </message>
    <message>
        <source>By date taken</source>
        <translation>Nach Aufnahmedatum</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>&amp;With</source>
        <translation>&amp;Durch</translation>
    </message>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>Regulärer Ausdruc&amp;k</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Schreibweise</translation>
    </message>
    <message>
        <source>Case of the na&amp;me</source>
        <translation>Schreibweise des Na&amp;mens</translation>
    </message>
    <message>
        <source>As it is</source>
        <translation>Wie sie ist</translation>
    </message>
    <message>
        <source>lower case</source>
        <translation>kleinbuchstaben</translation>
    </message>
    <message>
        <source>UPPER CASE</source>
        <translation>GROSSBUCHSTABEN</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Wörter Groß</translation>
    </message>
    <message>
        <source>Case of the &amp;extension</source>
        <translation>Schreibweise der Endun&amp;g</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>D&amp;ate</source>
        <translation>Dat&amp;um</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keines</translation>
    </message>
    <message>
        <source>Date taken</source>
        <translation>Aufnahmedatum</translation>
    </message>
    <message>
        <source>Date modified</source>
        <translation>Änderungsdatum</translation>
    </message>
    <message>
        <source>&amp;Format</source>
        <translation>&amp;Format</translation>
    </message>
    <message>
        <source>&amp;Place</source>
        <translation>S&amp;telle</translation>
    </message>
    <message>
        <source>Before the name</source>
        <translation>Vor dem Namen</translation>
    </message>
    <message>
        <source>After the name</source>
        <translation>Nach dem Namen</translation>
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
