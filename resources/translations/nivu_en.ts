<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja">
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
</context>
</TS>
