<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>Le texte non enregistré ne peut pas être protégé ici contre un plantage (%1)&#xa0;; il est en sûreté dès que la note est enregistrée.</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>Rechercher dans les notes</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%1 notes sur %2</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Effacer la recherche</translation>
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
        <translation>Information&#xa0;:</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Texte de la note</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>Ctrl+S ou Ctrl+Entrée enregistre la note et ferme l&apos;éditeur&#xa0;; Échap le ferme sans enregistrer.</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>Impossible de lire le fichier %1</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>Impossible de lire cette note, elle ne peut donc pas être modifiée. Échap ferme l&apos;éditeur.</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>Note trop volumineuse</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>La note %1 est trop volumineuse pour être modifiée ici&#xa0;: seul son début est affiché, et la note ne sera pas modifiée.</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>Note modifiée</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>La note %1 a été modifiée sur le disque par un autre programme depuis son ouverture ici.

La remplacer par le texte de l&apos;éditeur&#xa0;?</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>Impossible d&apos;écrire le fichier %1</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>La note est enregistrée dans un codage 8&#xa0;bits qui ne peut pas contenir certains des caractères saisis.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Modifications non enregistrées</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>Enregistrer les modifications de %1 avant de fermer&#xa0;?</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>Nouvelle note</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>Afficher/Modifier</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Nouvelle note</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>Nouvelle note (Ctrl+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>Afficher/modifier la note</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>Ouvrir la note sélectionnée (Entrée)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>Supprimer la note</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>Supprimer la note sélectionnée (Suppr)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>Impossible de lire l&apos;élément &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>Supprimer le fichier</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>Vraiment supprimer
&apos;%1&apos;&#xa0;?</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>Impossible de lire le texte non enregistré conservé dans &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>Impossible de lire le texte non enregistré conservé dans &apos;%1&apos;&#xa0;; il est gardé sous &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>Texte non enregistré</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>Le texte saisi dans &apos;%1&apos; n&apos;a pas été enregistré. Il a été conservé le %2.

Le restaurer dans l&apos;éditeur, l&apos;abandonner ou redemander au prochain démarrage&#xa0;?</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>Rechercher dans les notes</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Rechercher</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>File i/o error</source>
        <translation>Erreur d&apos;accès au fichier</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Plus tard</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;fichier vide&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;sans titre&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>La note n&apos;a pas pu être lue.</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>Il n&apos;y a pas de dossier personnel où le conserver.</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>Ce n&apos;est pas un brouillon écrit par ce programme.</translation>
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
        <translation>Fermer</translation>
    </message>
</context>
</TS>
