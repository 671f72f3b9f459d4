<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>El texto sin guardar no puede protegerse aquí de un fallo (%1); estará a salvo en cuanto se guarde la nota.</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>Buscar en las notas</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%1 de %2 notas</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Borrar la búsqueda</translation>
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
        <translation>Información:</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Texto de la nota</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>Ctrl+S o Ctrl+Intro guarda la nota y cierra el editor; Esc lo cierra sin guardar.</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>No se pudo leer el archivo %1</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>No se pudo leer esta nota, así que no se puede editar. Esc cierra el editor.</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>Nota demasiado grande</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>La nota %1 es demasiado grande para editarla aquí, así que solo se muestra su comienzo y la nota no se modificará.</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>Nota modificada</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>Otro programa modificó la nota %1 en el disco después de abrirla aquí.

¿Reemplazarla por el texto del editor?</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>No se pudo escribir el archivo %1</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>La nota está guardada en una codificación de 8 bits que no admite algunos de los caracteres escritos.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Cambios sin guardar</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>¿Guardar los cambios en %1 antes de cerrar?</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>Nueva nota</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>Ver/Editar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notas</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Nueva nota</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>Nueva nota (Ctrl+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>Ver/editar nota</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>Abrir la nota actual (Intro)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>Eliminar nota</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>Eliminar la nota actual (Supr)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>No se pudo leer el elemento &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>Eliminar archivo</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>¿Seguro que quiere eliminar
&apos;%1&apos;?</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>No se pudo leer el texto sin guardar conservado en &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>No se pudo leer el texto sin guardar conservado en &apos;%1&apos;; se conserva como &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>Texto sin guardar</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>El texto escrito en &apos;%1&apos; no se guardó. Se conservó el %2.

¿Restaurarlo en el editor, descartarlo o volver a preguntar en el próximo inicio?</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>Buscar en las notas</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Buscar</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>File i/o error</source>
        <translation>Error de lectura o escritura</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurar</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Más tarde</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;archivo vacío&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;sin título&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>No se pudo leer la nota.</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>No hay carpeta personal donde conservarlo.</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>No es un borrador escrito por este programa.</translation>
    </message>
</context>
<context>
    <name>titleStrip</name>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
</TS>
