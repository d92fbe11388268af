
// The entry for GNOME Shell 43 and 44, which load extensions as scripts.
const {Gio, GLib, Meta, Shell} = imports.gi;
const Main = imports.ui.main;

let bridge = null;

function init() {}

function enable() {
    bridge = new NivuBridge({Gio, GLib, Meta, Shell, Main});
    bridge.enable();
}

function disable() {
    if (bridge)
        bridge.disable();
    bridge = null;
}
