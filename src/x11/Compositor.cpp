// Whether a compositing manager runs on the screen.
#include "x11/Compositor.h"

#include <cstring>
#include <string>

namespace nivu::x11 {

bool compositorRunning(X11Connection& x) {
    int screenNumber = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(x.get())); it.rem > 0;
         xcb_screen_next(&it), ++screenNumber) {
        if (it.data->root == x.root()) {
            break;
        }
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
    Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        x.get(), xcb_intern_atom(x.get(), 1, static_cast<std::uint16_t>(name.size()), name.c_str()),
        nullptr));
    if (!atom || atom->atom == XCB_NONE) {
        return false;
    }
    Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        x.get(), xcb_get_selection_owner(x.get(), atom->atom), nullptr));
    x.repliesCollected();
    return owner && owner->owner != XCB_NONE;
}

} // namespace nivu::x11
