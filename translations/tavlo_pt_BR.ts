<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>DraftKeeper</name>
    <message>
        <source>Unsaved text cannot be kept safe from a crash here (%1); it is safe once the note is saved.</source>
        <translation>O texto não salvo não pode ser protegido aqui contra uma falha (%1); ele estará seguro assim que a nota for salva.</translation>
    </message>
</context>
<context>
    <name>FindFieldWidget</name>
    <message>
        <source>Find in notes</source>
        <translation>Buscar nas notas</translation>
    </message>
    <message>
        <source>%1 of %2 notes</source>
        <translation>%1 de %2 notas</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Limpar a busca</translation>
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
        <translation>Informação:</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Texto da nota</translation>
    </message>
    <message>
        <source>Ctrl+S or Ctrl+Return saves the note and closes the editor; Escape closes it without saving.</source>
        <translation>Ctrl+S ou Ctrl+Enter salva a nota e fecha o editor; Esc fecha o editor sem salvar.</translation>
    </message>
    <message>
        <source>Could not read file %1</source>
        <translation>Não foi possível ler o arquivo %1</translation>
    </message>
    <message>
        <source>This note could not be read, so it cannot be edited. Escape closes the editor.</source>
        <translation>Não foi possível ler esta nota, por isso ela não pode ser editada. Esc fecha o editor.</translation>
    </message>
    <message>
        <source>Note too large</source>
        <translation>Nota grande demais</translation>
    </message>
    <message>
        <source>The note %1 is too large to edit here, so only its beginning is shown and the note will not be changed.</source>
        <translation>A nota %1 é grande demais para ser editada aqui, por isso só o início dela é mostrado e a nota não será alterada.</translation>
    </message>
    <message>
        <source>Note changed</source>
        <translation>Nota alterada</translation>
    </message>
    <message>
        <source>The note %1 was changed on disk by another program after it was opened here.

Replace it with the text in the editor?</source>
        <translation>A nota %1 foi alterada no disco por outro programa depois de ser aberta aqui.

Substituí-la pelo texto do editor?</translation>
    </message>
    <message>
        <source>Could not write file %1</source>
        <translation>Não foi possível gravar o arquivo %1</translation>
    </message>
    <message>
        <source>The note is stored in an 8-bit encoding that cannot hold some of the characters typed.</source>
        <translation>A nota está salva em uma codificação de 8 bits que não comporta alguns dos caracteres digitados.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Alterações não salvas</translation>
    </message>
    <message>
        <source>Save the changes to %1 before closing?</source>
        <translation>Salvar as alterações em %1 antes de fechar?</translation>
    </message>
</context>
<context>
    <name>mainWindowWidget</name>
    <message>
        <source>New</source>
        <translation>Nova nota</translation>
    </message>
    <message>
        <source>View/Edit</source>
        <translation>Ver/Editar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notas</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Nova nota</translation>
    </message>
    <message>
        <source>New note (Ctrl+N)</source>
        <translation>Nova nota (Ctrl+N)</translation>
    </message>
    <message>
        <source>View/Edit note</source>
        <translation>Ver/editar nota</translation>
    </message>
    <message>
        <source>Open the current note (Return)</source>
        <translation>Abrir a nota atual (Enter)</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>Excluir nota</translation>
    </message>
    <message>
        <source>Delete the current note (Delete)</source>
        <translation>Excluir a nota atual (Delete)</translation>
    </message>
    <message>
        <source>Could not read item &apos;%1&apos;</source>
        <translation>Não foi possível ler o item &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>Excluir arquivo</translation>
    </message>
    <message>
        <source>Really delete
&apos;%1&apos;?</source>
        <translation>Deseja mesmo excluir
&apos;%1&apos;?</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;</source>
        <translation>Não foi possível ler o texto não salvo guardado em &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Could not read the unsaved text kept in &apos;%1&apos;; it is kept as &apos;%2&apos;</source>
        <translation>Não foi possível ler o texto não salvo guardado em &apos;%1&apos;; ele é mantido como &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Unsaved text</source>
        <translation>Texto não salvo</translation>
    </message>
    <message>
        <source>Text typed into &apos;%1&apos; was not saved. It was kept on %2.

Restore it in the editor, discard it, or ask again at the next start?</source>
        <translation>O texto digitado em &apos;%1&apos; não foi salvo. Ele foi guardado em %2.

Restaurá-lo no editor, descartá-lo ou perguntar de novo na próxima inicialização?</translation>
    </message>
    <message>
        <source>Find in notes</source>
        <translation>Buscar nas notas</translation>
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
        <translation>Erro de leitura ou gravação</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurar</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Mais tarde</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>&lt;empty file&gt;</source>
        <translation>&lt;arquivo vazio&gt;</translation>
    </message>
    <message>
        <source>&lt;no caption&gt;</source>
        <translation>&lt;sem título&gt;</translation>
    </message>
    <message>
        <source>The note could not be read.</source>
        <translation>Não foi possível ler a nota.</translation>
    </message>
    <message>
        <source>There is no home directory to keep it in.</source>
        <translation>Não há pasta pessoal onde guardá-lo.</translation>
    </message>
    <message>
        <source>It is not a draft this program wrote.</source>
        <translation>Não é um rascunho escrito por este programa.</translation>
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
        <translation>Fechar</translation>
    </message>
</context>
</TS>
