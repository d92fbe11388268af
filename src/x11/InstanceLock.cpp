// One nivu per display.
#include "x11/InstanceLock.h"

#include <cstring>

namespace nivu::x11 {

namespace {
constexpr const char* selectionName = "_NIVU_RUNNING";
}

InstanceLock::~InstanceLock() {
    if (owner_ != XCB_NONE && !x_.hasFailed()) {
        xcb_destroy_window(x_.get(), owner_);
        x_.flush();
    }
}

bool InstanceLock::acquire() {
    Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        x_.get(),
        xcb_intern_atom(x_.get(), 0, static_cast<std::uint16_t>(std::strlen(selectionName)),
                        selectionName),
        nullptr));
    if (!atom) {
        return false;
    }
    owner_ = xcb_generate_id(x_.get());
    xcb_create_window(x_.get(), XCB_COPY_FROM_PARENT, owner_, x_.root(), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    // Take it only if nobody holds it, with the server grabbed between the look and the taking:
    // of nivus starting at the same moment exactly one wins, and no other takes it over after.
    xcb_grab_server(x_.get());
    Reply<xcb_get_selection_owner_reply_t> before(xcb_get_selection_owner_reply(
        x_.get(), xcb_get_selection_owner(x_.get(), atom->atom), nullptr));
    if (!before || before->owner != XCB_NONE) {
        xcb_ungrab_server(x_.get());
        x_.flush();
        x_.repliesCollected();
        return false;
    }
    selection_ = atom->atom;
    clears_ = x_.onEvent(XCB_SELECTION_CLEAR, [this](const xcb_generic_event_t& generic) {
        const auto& event = reinterpret_cast<const xcb_selection_clear_event_t&>(generic);
        if (event.selection == selection_ && event.owner == owner_ && onLost) {
            onLost();
        }
    });
    xcb_set_selection_owner(x_.get(), owner_, atom->atom, XCB_CURRENT_TIME);
    xcb_ungrab_server(x_.get());
    Reply<xcb_get_selection_owner_reply_t> after(xcb_get_selection_owner_reply(
        x_.get(), xcb_get_selection_owner(x_.get(), atom->atom), nullptr));
    x_.repliesCollected();
    return after && after->owner == owner_;
}

} // namespace nivu::x11
