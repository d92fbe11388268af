// A menu as a window of its own, for the Wayland compositors that run Nivu's side.
//
// Qt 6.9.1 and later refuse a popup whose parent window has had no input, and Nivu's menus open
// where none of its windows has had any (the hot key, a tray icon drawn by another program);
// earlier Qt guessed a parent, at times the size badge, and the menu closed with it. A plain
// window has no parent to guess: the compositor side places it and gives it the keyboard, and
// it closes itself when Nivu loses the keyboard, as a popup does at a click elsewhere. The
// pointer in it is measured in its own coordinates (MenuPointerFilter).
#pragma once

class QMenu;

namespace nivu {

void makeToplevel(QMenu& menu);

} // namespace nivu
