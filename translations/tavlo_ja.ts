<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>ここでは未保存のテキストをクラッシュから守れません（%1）。ノートを保存すれば安全です。</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>ノートを検索</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%2 件中 %1 件のノート</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>検索をクリア</translation>
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
        <translation>情報:</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>メモの本文</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>Ctrl+S または Ctrl+Enter でメモを保存してエディターを閉じます。Esc で保存せずに閉じます。</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>ファイル %1 を読み込めませんでした</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>このメモは読み込めなかったため、編集できません。Esc でエディターを閉じます。</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>メモが大きすぎます</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>メモ %1 は大きすぎてここでは編集できないため、先頭だけを表示します。メモは変更されません。</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>メモが変更されました</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>メモ %1 は、ここで開いた後に別のプログラムによってディスク上で変更されました。

エディターのテキストで置き換えますか？</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>ファイル %1 に書き込めませんでした</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>このメモは 8 ビットの文字コードで保存されているため、入力した文字の一部を保存できません。</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>未保存の変更</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>閉じる前に %1 への変更を保存しますか？</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>表示/編集</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>メモ</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>新しいメモ</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>新しいメモ (Ctrl+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>メモを表示/編集</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>選択中のメモを開く (Enter)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>メモを削除</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>選択中のメモを削除 (Delete)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>項目 &apos;%1&apos; を読み込めませんでした</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>ファイルの削除</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>本当に削除しますか？
&apos;%1&apos;</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>&apos;%1&apos; に保管された未保存のテキストを読み込めませんでした</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>&apos;%1&apos; に保管された未保存のテキストを読み込めませんでした。&apos;%2&apos; として残してあります</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>未保存のテキスト</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>&apos;%1&apos; に入力したテキストは保存されていません。%2 に保管されました。

エディターで復元するか、破棄するか、次回の起動時にもう一度尋ねますか？</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>ノートを検索</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>検索</translation>
    </message>
</context>
<context>
    <name>messages</name>
    <message>
        <source>File i/o error</source>
        <translation>ファイル入出力エラー</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>復元</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>後で</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;空のファイル&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;タイトルなし&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>メモを読み込めませんでした。</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>保管先のホームディレクトリがありません。</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>このプログラムが書いた下書きではありません。</translation>
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
        <translation>閉じる</translation>
    </message>
</context>
</TS>
