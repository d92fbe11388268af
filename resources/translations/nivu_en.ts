<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name>Nivu</name>
    <message>
        <source>ウィンドウサイズプリセット</source>
        <translation>Window Size Presets</translation>
    </message>
    <message>
        <source>プリセットがありません。下から追加するか、「デフォルトに戻す」を押してください。</source>
        <translation>No presets. Add one below or press “Restore Defaults”.</translation>
    </message>
    <message>
        <source>デフォルトに戻す</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>名前:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>幅:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>高さ:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>プリセット選択メニューのショートカット</source>
        <translation>Preset Menu Shortcut</translation>
    </message>
    <message>
        <source>設定すると、他のアプリを操作中でもこのキーを押すだけで、フォーカス中のウィンドウにプリセットサイズを適用できます。</source>
        <translation>With a shortcut set, pressing it while you work in any other app applies a preset size to the focused window.</translation>
    </message>
    <message>
        <source>プリセットをデフォルトに戻しますか？</source>
        <translation>Restore the default presets?</translation>
    </message>
    <message>
        <source>追加・変更したプリセットは失われます。</source>
        <translation>Presets you added or changed will be lost.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>記録...</source>
        <translation>Record…</translation>
    </message>
    <message>
        <source>このキーの組み合わせは他のアプリと衝突しているため使用できません</source>
        <translation>This key combination is taken by another application and cannot be used</translation>
    </message>
    <message>
        <source>No presets configured</source>
        <comment>プリセット未設定時のプレースホルダー</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grant Accessibility Access…</source>
        <comment>アクセシビリティ権限を要求するメニュー項目</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings…</source>
        <comment>設定を開くメニュー項目</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Nivu</source>
        <comment>Aboutパネルを開くメニュー項目</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Nivu</source>
        <comment>終了メニュー項目</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remembers window sizes, shows them while you resize, and applies size presets.</source>
        <comment>Aboutパネルの説明文</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no system tray is running; Nivu works on and shows its icon once a tray starts</source>
        <comment>トレイが無いことを伝える通知（標準エラー出力にも出る）</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nivu needs a window manager to see and resize windows</source>
        <comment>ウィンドウマネージャが必要なことを伝える見出し</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start a window manager that supports EWMH, such as Openbox, Xfwm, KWin or Mutter. Nivu notices it within a second; nothing else is needed.</source>
        <comment>ウィンドウマネージャの起動を促す説明</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%lld × %lld</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nivu cannot reach KWin&apos;s scripting</source>
        <comment>KWinのスクリプト機能に届かないことを伝える見出し</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On Plasma, Nivu sees and resizes windows through a small KWin script that it loads itself. KWin is not running, or did not load the script. Nivu tries again every second; nothing else is needed.</source>
        <comment>KWinスクリプトの読み込みを待っていることの説明</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nivu needs its GNOME Shell extension</source>
        <comment>GNOME Shell拡張機能が必要なことを伝える見出し</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On GNOME, Nivu sees and resizes windows through a small GNOME Shell extension, which Nivu installs and turns on itself. GNOME loads a newly installed extension only when you log in: log out and back in once, and Nivu starts working. Where the extension was only turned off, Nivu works again within a second.</source>
        <comment>GNOME Shell拡張機能が次のログインで読み込まれることの説明</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GNOME does not run Nivu&apos;s extension: the copy it found is out of date for this version of GNOME. Update Nivu, or remove the folder %1 from ~/.local/share/gnome-shell/extensions, then log out and back in once.</source>
        <comment>拡張機能がこのGNOMEには古いことの説明</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GNOME stopped Nivu&apos;s extension after an error: %1. Update Nivu, then log out and back in once.</source>
        <comment>拡張機能がエラーで止められたことの説明</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extensions are turned off in GNOME, so Nivu&apos;s extension does not run. Turn extensions on in the Extensions app, or run: gsettings set org.gnome.shell disable-user-extensions false</source>
        <comment>拡張機能全体がオフになっていることの説明</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GNOME did not turn Nivu&apos;s extension on. Turn it on in the Extensions app, or run: gnome-extensions enable %1</source>
        <comment>拡張機能をオンにできなかったことの説明</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nivu replaced an older copy of its extension in %1 with its own. GNOME loads it when you log in: log out and back in once.</source>
        <comment>古い拡張機能を置き換えたことの説明</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
