<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>Несохранённый текст нельзя здесь защитить от сбоя (%1); он будет в безопасности, как только заметка будет сохранена.</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>Найти в заметках</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%1 из %2 заметок</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Очистить поиск</translation>
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
        <translation>Информация:</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Текст заметки</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>Ctrl+S или Ctrl+Enter сохраняет заметку и закрывает редактор; Esc закрывает его без сохранения.</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>Не удалось прочитать файл %1</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>Не удалось прочитать эту заметку, поэтому её нельзя изменить. Esc закрывает редактор.</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>Заметка слишком большая</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>Заметка %1 слишком большая, чтобы править её здесь, поэтому показано только её начало, и заметка не будет изменена.</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>Заметка изменена</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>После того как заметка %1 была открыта здесь, другая программа изменила её на диске.

Заменить её текстом из редактора?</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>Не удалось записать файл %1</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>Заметка хранится в 8-битной кодировке, в которой нельзя записать некоторые из введённых символов.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Несохранённые изменения</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>Сохранить изменения в %1 перед закрытием?</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Заметки</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Новая заметка</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>Новая заметка (Ctrl+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>Открыть заметку</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>Открыть выбранную заметку (Enter)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>Удалить заметку</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>Удалить выбранную заметку (Delete)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>Не удалось прочитать элемент &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>Удаление файла</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>Действительно удалить
&apos;%1&apos;?</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>Не удалось прочитать несохранённый текст, хранящийся в &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>Не удалось прочитать несохранённый текст, хранящийся в &apos;%1&apos;; он сохранён как &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>Несохранённый текст</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>Текст, набранный в &apos;%1&apos;, не был сохранён. Он сохранён в черновике от %2.

Восстановить его в редакторе, удалить или спросить снова при следующем запуске?</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>Найти в заметках</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>File i/o error</source>
        <translation>Ошибка ввода-вывода</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Позже</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;пустой файл&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;без заголовка&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>Не удалось прочитать заметку.</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>Нет домашнего каталога, чтобы хранить его там.</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>Это не черновик, записанный этой программой.</translation>
    </message>
</context>
<context>
    <name>titleStrip</name>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
</TS>
