
// The entry for GNOME Shell 43 and 44, which load extensions as scripts.
const {Gio, GLib, Meta, Shell, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;
const path = imports.misc.extensionUtils.getCurrentExtension().path;

let bridge = null;

function init() {}

function enable() {
    bridge = new NivuBridge({Gio, GLib, Meta, Shell, St, Main, PanelMenu, PopupMenu, path});
    bridge.enable();
}

function disable() {
    if (bridge)
        bridge.disable();
    bridge = null;
}
