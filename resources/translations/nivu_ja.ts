<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>Nivu</name>
    <message>
        <source>Grant Accessibility Access…</source>
        <comment>アクセシビリティ権限を要求するメニュー項目</comment>
        <translation>アクセシビリティへのアクセスを許可…</translation>
    </message>
    <message>
        <source>Settings…</source>
        <comment>設定を開くメニュー項目</comment>
        <translation>設定…</translation>
    </message>
    <message>
        <source>About Nivu</source>
        <comment>Aboutパネルを開くメニュー項目</comment>
        <translation>Nivu について</translation>
    </message>
    <message>
        <source>Quit Nivu</source>
        <comment>終了メニュー項目</comment>
        <translation>Nivu を終了</translation>
    </message>
    <message>
        <source>No presets configured</source>
        <comment>プリセット未設定時のプレースホルダー</comment>
        <translation>プリセットが設定されていません</translation>
    </message>
    <message>
        <source>Nivu needs a window manager to see and resize windows</source>
        <comment>ウィンドウマネージャが必要なことを伝える見出し</comment>
        <translation>ウィンドウを確認・リサイズするには、ウィンドウマネージャが必要です</translation>
    </message>
    <message>
        <source>Start a window manager that supports EWMH, such as Openbox, Xfwm, KWin or Mutter. Nivu notices it within a second; nothing else is needed.</source>
        <comment>ウィンドウマネージャの起動を促す説明</comment>
        <translation>Openbox、Xfwm、KWin、Mutter など、EWMH に対応したウィンドウマネージャを起動してください。Nivu は 1 秒以内にそれを検知します。ほかの操作は必要ありません。</translation>
    </message>
    <message>
        <source>Remembers window sizes, shows the size while you resize, and resizes windows to presets.</source>
        <comment>Aboutパネルの説明文</comment>
        <translation>ウィンドウのサイズを記憶し、リサイズ中にサイズを表示し、プリセットのサイズにウィンドウを変更します。</translation>
    </message>
</context>
</TS>
