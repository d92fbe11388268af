// The window that has the keyboard focus.
#include "x11/InputFocus.h"

namespace nivu::x11 {

std::uint64_t inputFocus(X11Connection& x) {
    Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr));
    x.repliesCollected();
    return reply ? reply->focus : XCB_NONE;
}

} // namespace nivu::x11
