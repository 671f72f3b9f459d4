<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>此处无法保护未保存的文本免受崩溃影响（%1）；笔记保存后即安全。</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>在笔记中查找</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%2 条笔记中的 %1 条</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>清除搜索</translation>
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
        <translation>信息：</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>笔记内容</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>按 Ctrl+S 或 Ctrl+Enter 保存笔记并关闭编辑器；按 Esc 关闭编辑器但不保存。</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>无法读取文件 %1</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>无法读取此笔记，因此不能编辑。按 Esc 关闭编辑器。</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>笔记过大</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>笔记 %1 太大，无法在此编辑，因此只显示开头部分，笔记不会被更改。</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>笔记已更改</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>笔记 %1 在此打开后，已被其他程序在磁盘上更改。

要用编辑器中的文本替换它吗？</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>无法写入文件 %1</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>此笔记以 8 位编码保存，无法容纳输入的部分字符。</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>未保存的更改</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>关闭前是否保存对 %1 的更改？</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>查看/编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>笔记</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>新建笔记</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>新建笔记 (Ctrl+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>查看/编辑笔记</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>打开当前笔记 (Enter)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>删除笔记</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>删除当前笔记 (Delete)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>无法读取条目 &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>删除文件</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>确实要删除
&apos;%1&apos; 吗？</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>无法读取保存在 &apos;%1&apos; 中的未保存文本</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>无法读取保存在 &apos;%1&apos; 中的未保存文本；它已保留为 &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>未保存的文本</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>在 &apos;%1&apos; 中输入的文本未保存。它保留于 %2。

在编辑器中恢复、丢弃，还是下次启动时再问？</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>在笔记中查找</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>查找</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>File i/o error</source>
        <translation>文件读写错误</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>稍后</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;空文件&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;无标题&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>无法读取此笔记。</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>没有可用于保存它的主目录。</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>这不是本程序写入的草稿。</translation>
    </message>
</context>
<context>
    <name>titleStrip</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
</TS>
