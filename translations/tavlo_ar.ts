<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>لا يمكن هنا حماية النص غير المحفوظ من الأعطال (%1)؛ يصبح آمنًا حين تُحفظ الملاحظة.</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>البحث في الملاحظات</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%1 من %2 ملاحظة</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>مسح البحث</translation>
    </message>
</context>
<context>
    <name>QGuiApplication</name>
    <message>
        <source>QT_LAYOUT_DIRECTION</source>
        <translation>RTL</translation>
    </message>
</context>
<context>
    <name>editWindowWidget</name>
    <message>
        <source>Information:</source>
        <translation>معلومات:</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>نص الملاحظة</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>اضغط Ctrl+S أو Ctrl+Enter لحفظ الملاحظة وإغلاق المحرر، أو Esc لإغلاقه دون حفظ.</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>تعذّرت قراءة الملف %1</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>تعذّرت قراءة هذه الملاحظة، لذا لا يمكن تحريرها. اضغط Esc لإغلاق المحرر.</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>الملاحظة كبيرة جدًا</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>الملاحظة %1 أكبر من أن تُحرَّر هنا، لذا تظهر بدايتها فقط ولن تتغيّر الملاحظة.</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>تغيّرت الملاحظة</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>غيّر برنامج آخر الملاحظة %1 على القرص بعد فتحها هنا.

أتريد استبدالها بالنص الموجود في المحرر؟</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>تعذّرت كتابة الملف %1</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>الملاحظة محفوظة بترميز 8 بت لا يتّسع لبعض الأحرف المكتوبة.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>تغييرات غير محفوظة</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>أتريد حفظ التغييرات على %1 قبل الإغلاق؟</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>ملاحظة جديدة</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>عرض/تحرير</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>حذف</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>الملاحظات</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>ملاحظة جديدة</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>ملاحظة جديدة (Ctrl+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>عرض/تحرير الملاحظة</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>فتح الملاحظة الحالية (Enter)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>حذف الملاحظة</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>حذف الملاحظة الحالية (Delete)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>تعذّرت قراءة العنصر &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>حذف ملف</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>أتريد حقًا حذف
‏&apos;%1&apos;؟</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>تعذّرت قراءة النص غير المحفوظ المحتفظ به في &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>تعذّرت قراءة النص غير المحفوظ المحتفظ به في &apos;%1&apos;؛ وهو محفوظ باسم &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>نص غير محفوظ</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>لم يُحفظ النص المكتوب في &apos;%1&apos;. احتُفظ به في %2.

أتريد استعادته في المحرر، أم تجاهله، أم السؤال مجددًا عند التشغيل التالي؟</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>البحث في الملاحظات</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>بحث</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>File i/o error</source>
        <translation>خطأ في قراءة الملف أو كتابته</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>استعادة</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>لاحقًا</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;ملف فارغ&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;بلا عنوان&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>تعذّرت قراءة الملاحظة.</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>لا يوجد مجلد منزلي للاحتفاظ به فيه.</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>ليست مسودة كتبها هذا البرنامج.</translation>
    </message>
</context>
<context>
    <name>titleStrip</name>
    <message>
        <source>OK</source>
        <translation>موافق</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>إغلاق</translation>
    </message>
</context>
</TS>
