// Global pointer events through XInput 2 raw events on the root window, selected only while a
// monitor is installed, so that an idle Nivu receives nothing.
#pragma once

#include "platform/PointerEvents.h"
#include "x11/X11Connection.h"

namespace nivu::x11 {

class X11PointerEvents final : public PointerEvents {
public:
    // toDesktop maps a point of the root window to the desktop's coordinates.
    using ToDesktop = std::function<Point(int x, int y)>;
    X11PointerEvents(X11Connection& connection, ToDesktop toDesktop);
    ~X11PointerEvents() override;

    std::optional<Subscription> monitorLeftDrags(std::function<void()> handler) override;
    std::optional<Subscription> monitorLeftUps(std::function<void()> handler) override;
    Point pointerLocation() override;

    bool available() const { return opcode_ != 0; }

private:
    std::optional<Subscription> monitor(Signal<>& signal, std::function<void()> handler);
    void updateSelection();
    void handleGenericEvent(const xcb_generic_event_t& event);
    struct PointerState {
        Point location;
        bool resizingButtonDown = false; // a button with which windows are resized
    };
    std::optional<PointerState> queryPointer();

    X11Connection& x_;
    ToDesktop toDesktop_;
    std::uint8_t opcode_ = 0;
    bool selected_ = false;
    Signal<> drags_;
    Signal<> ups_;
    // The location read to check the button, reused by the drag handlers of the same event.
    std::optional<Point> locationOfCurrentEvent_;
    Subscription genericEvents_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace nivu::x11
