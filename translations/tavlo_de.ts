<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>Ungespeicherter Text kann hier nicht vor einem Absturz geschützt werden (%1); sicher ist er, sobald die Notiz gespeichert ist.</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>In Notizen suchen</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%1 von %2 Notizen</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Suche leeren</translation>
    </message>
</context>
<context>
    <name>QGuiApplication</name>
    <message>
        <source>QT_LAYOUT_DIRECTION</source>
        <translation>LTR</translation>
    </message>
</context>
<context>
    <name>editWindowWidget</name>
    <message>
        <source>Information:</source>
        <translation>Information:</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Notiztext</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>Strg+S oder Strg+Eingabe speichert die Notiz und schließt den Editor; Esc schließt ihn ohne Speichern.</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>Datei %1 konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>Diese Notiz konnte nicht gelesen werden und lässt sich daher nicht bearbeiten. Esc schließt den Editor.</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>Notiz zu groß</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>Die Notiz %1 ist zu groß, um sie hier zu bearbeiten. Daher wird nur ihr Anfang gezeigt, und die Notiz wird nicht verändert.</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>Notiz geändert</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>Die Notiz %1 wurde auf dem Datenträger von einem anderen Programm geändert, nachdem sie hier geöffnet wurde.

Durch den Text im Editor ersetzen?</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>Datei %1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>Die Notiz ist in einer 8-Bit-Kodierung gespeichert, die einige der eingegebenen Zeichen nicht darstellen kann.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>Änderungen an %1 vor dem Schließen speichern?</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>Ansehen/Bearbeiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Neue Notiz</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>Neue Notiz (Strg+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>Notiz ansehen/bearbeiten</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>Aktuelle Notiz öffnen (Eingabe)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>Notiz löschen</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>Aktuelle Notiz löschen (Entf)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>Eintrag &apos;%1&apos; konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>Datei löschen</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>&apos;%1&apos;
wirklich löschen?</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>Der ungespeicherte Text in &apos;%1&apos; konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>Der ungespeicherte Text in &apos;%1&apos; konnte nicht gelesen werden; er bleibt als &apos;%2&apos; erhalten</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>Ungespeicherter Text</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>In &apos;%1&apos; getippter Text wurde nicht gespeichert. Er wurde am %2 aufbewahrt.

Im Editor wiederherstellen, verwerfen oder beim nächsten Start erneut fragen?</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>In Notizen suchen</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>File i/o error</source>
        <translation>Fehler beim Dateizugriff</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;leere Datei&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;keine Überschrift&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>Die Notiz konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>Es gibt kein Benutzerverzeichnis, um ihn dort aufzubewahren.</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>Es ist kein Entwurf, den dieses Programm geschrieben hat.</translation>
    </message>
</context>
<context>
    <name>titleStrip</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
</TS>
