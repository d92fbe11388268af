// A pointer the test moves and releases; the monitors are signals fired by hand.
#pragma once

#include "platform/PointerEvents.h"

namespace nivu::test {

class FakePointer final : public PointerEvents {
public:
    std::optional<Subscription> monitorLeftDrags(std::function<void()> handler) override {
        return drags_.connect(std::move(handler));
    }
    std::optional<Subscription> monitorLeftUps(std::function<void()> handler) override {
        return ups_.connect(std::move(handler));
    }
    Point pointerLocation() override { return location; }

    // Moves the pointer with the left button held, as a drag over another application.
    void drag(Point to) {
        location = to;
        drags_.emit();
    }
    void release() { ups_.emit(); }
    std::size_t monitorCount() const { return drags_.connectionCount() + ups_.connectionCount(); }

    Point location{500, 400};

private:
    Signal<> drags_;
    Signal<> ups_;
};

} // namespace nivu::test
