// Nivu's own connection to the X server: atoms, event dispatch from the main loop, and the
// helpers every X11 class uses. No other part of the program sees xcb.
#pragma once

#include "common/Signal.h"
#include "platform/Scheduler.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace nivu::x11 {

// Frees an xcb reply when it goes out of scope.
struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

// Every atom Nivu uses, as (enumerator, name): one list, so that names cannot drift apart.
#define NIVU_X11_ATOMS(X)                                                                          \
    X(netSupported, "_NET_SUPPORTED")                                                              \
    X(netSupportingWmCheck, "_NET_SUPPORTING_WM_CHECK")                                            \
    X(netActiveWindow, "_NET_ACTIVE_WINDOW")                                                       \
    X(netClientList, "_NET_CLIENT_LIST")                                                           \
    X(netWmPid, "_NET_WM_PID")                                                                     \
    X(netWmWindowType, "_NET_WM_WINDOW_TYPE")                                                      \
    X(netWmWindowTypeNormal, "_NET_WM_WINDOW_TYPE_NORMAL")                                         \
    X(netWmWindowTypeDialog, "_NET_WM_WINDOW_TYPE_DIALOG")                                         \
    X(netWmAllowedActions, "_NET_WM_ALLOWED_ACTIONS")                                              \
    X(netWmActionResize, "_NET_WM_ACTION_RESIZE")                                                  \
    X(netMoveresizeWindow, "_NET_MOVERESIZE_WINDOW")                                               \
    X(netWmName, "_NET_WM_NAME")                                                                   \
    X(wmWindowRole, "WM_WINDOW_ROLE")                                                              \
    X(wmClientLeader, "WM_CLIENT_LEADER")                                                          \
    X(gtkFrameExtents, "_GTK_FRAME_EXTENTS")                                                       \
    X(netWorkarea, "_NET_WORKAREA")                                                                \
    X(netCurrentDesktop, "_NET_CURRENT_DESKTOP")                                                   \
    X(netFrameExtents, "_NET_FRAME_EXTENTS")                                                       \
    X(netWmState, "_NET_WM_STATE")                                                                 \
    X(netWmStateMaximizedVert, "_NET_WM_STATE_MAXIMIZED_VERT")                                     \
    X(netWmStateMaximizedHorz, "_NET_WM_STATE_MAXIMIZED_HORZ")                                     \
    X(netWmStateFullscreen, "_NET_WM_STATE_FULLSCREEN")                                            \
    X(utf8String, "UTF8_STRING")

enum class Atom : std::size_t {
#define NIVU_ATOM_ENUMERATOR(enumerator, name) enumerator,
    NIVU_X11_ATOMS(NIVU_ATOM_ENUMERATOR)
#undef NIVU_ATOM_ENUMERATOR
        count
};

class X11Connection {
public:
    // Connects to display (nullptr: $DISPLAY). Throws std::runtime_error with a message for the
    // user when the display cannot be reached.
    X11Connection(const char* display, Scheduler& scheduler);
    // Why display (nullptr: $DISPLAY) cannot be used, or nothing when it can.
    static std::optional<std::string> displayProblem(const char* display);
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;
    ~X11Connection();

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }
    const xcb_screen_t& screen() const { return *screen_; }
    xcb_atom_t atom(Atom name) const { return atoms_[static_cast<std::size_t>(name)]; }

    // Receives every event of the given response type (without the sent-event bit).
    [[nodiscard]] Subscription onEvent(std::uint8_t responseType,
                                       std::function<void(const xcb_generic_event_t&)> handler);
    // Told once when the server goes away.
    [[nodiscard]] Subscription onConnectionLost(std::function<void()> handler);

    // Sends what is queued. Call after every batch of requests.
    void flush();
    // Call after waiting for a reply: events read meanwhile sit in xcb's queue and would wake
    // nothing, so a drain is queued on the main loop.
    void repliesCollected();
    // How many times replies were waited for (a measure for benchmarks).
    std::uint64_t roundTrips() const { return roundTrips_; }
    bool hasFailed() const { return failed_; }

    // Handles every event that is waiting.
    void drain();

    // Sends a pointer query ahead of the requests that handling the current event makes, so
    // that the pointer read for it costs no round trip of its own. Its reply is taken by
    // takePointerQuery() or dropped once the event is handled.
    void queryPointerAhead();
    std::optional<xcb_query_pointer_cookie_t> takePointerQuery() {
        return std::exchange(pointerAhead_, std::nullopt);
    }

private:
    void internAtoms();

    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    Scheduler& scheduler_;
    std::vector<xcb_atom_t> atoms_;
    std::map<std::uint8_t, std::unique_ptr<Signal<xcb_generic_event_t>>> handlers_;
    Signal<> connectionLost_;
    Subscription readableWatch_;
    bool drainQueued_ = false;
    std::optional<xcb_query_pointer_cookie_t> pointerAhead_;
    std::uint64_t roundTrips_ = 0;
    bool failed_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Which events of a batch are ConfigureNotify events that a later one of the same window, in
// the same batch, makes old news: a drag queues many while Nivu works, and only the newest size
// matters.
std::vector<bool> supersededConfigureNotifies(const std::vector<const xcb_generic_event_t*>& batch);

// A property's value as read with GetProperty; nothing when absent or of another format.
struct PropertyValue {
    xcb_atom_t type = XCB_NONE;
    std::uint8_t format = 0;
    std::string bytes;
};

// GetProperty cookie for at most maxBytes of the property (longer values are cut).
xcb_get_property_cookie_t requestProperty(const X11Connection& x, xcb_window_t window,
                                          xcb_atom_t property, std::uint32_t maxBytes = 4096);
std::optional<PropertyValue> collectProperty(const X11Connection& x,
                                             xcb_get_property_cookie_t cookie);
// 32-bit items of a property (windows, atoms, cardinals).
std::vector<std::uint32_t> cardinals(const PropertyValue& value);
// The 32-bit items of the property asked for with the cookie; none when it is absent.
std::vector<std::uint32_t> collectCardinals(const X11Connection& x,
                                            xcb_get_property_cookie_t cookie);

} // namespace nivu::x11
