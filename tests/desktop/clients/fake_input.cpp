// A test's hands on a KWin session: KWin's fake-input protocol driven from stdin, one command a
// line, each answered "ok" once KWin has it: "move X Y", "down BUTTON", "up BUTTON" (left or
// right), "press KEY", "release KEY" (a Linux key code).
#include "fake-input-client-protocol.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <linux/input-event-codes.h>
#include <string>
#include <wayland-client.h>

namespace {

org_kde_kwin_fake_input* fakeInput = nullptr;

void announce(void*, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
        fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    }
}
void forget(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener listener{announce, forget};

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::cerr << "fake-input: no Wayland display\n";
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, nullptr);
    wl_display_roundtrip(display);
    if (!fakeInput) {
        std::cerr << "fake-input: the compositor offers no org_kde_kwin_fake_input\n";
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fakeInput, "nivu tests", "drive the pointer");
    std::string command;
    while (std::cin >> command) {
        if (command == "move") {
            double x = 0;
            double y = 0;
            std::cin >> x >> y;
            org_kde_kwin_fake_input_pointer_motion_absolute(fakeInput, wl_fixed_from_double(x),
                                                            wl_fixed_from_double(y));
        } else if (command == "down" || command == "up") {
            std::string button;
            std::cin >> button;
            org_kde_kwin_fake_input_button(fakeInput, button == "right" ? BTN_RIGHT : BTN_LEFT,
                                           command == "down" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                             : WL_POINTER_BUTTON_STATE_RELEASED);
        } else if (command == "press" || command == "release") {
            std::uint32_t key = 0;
            std::cin >> key;
            org_kde_kwin_fake_input_keyboard_key(fakeInput, key,
                                                 command == "press"
                                                     ? WL_KEYBOARD_KEY_STATE_PRESSED
                                                     : WL_KEYBOARD_KEY_STATE_RELEASED);
        } else {
            std::cerr << "fake-input: unknown command " << command << "\n";
            return 2;
        }
        if (wl_display_roundtrip(display) < 0) {
            return 1;
        }
        std::cout << "ok" << std::endl;
    }
    wl_display_disconnect(display);
    return 0;
}
