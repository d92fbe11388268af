// A pointer the test moves and clicks; monitors are recorded and fired by hand.
#pragma once

#include "platform/PointerEvents.h"

#include <string>
#include <vector>

namespace nivu::test {

class FakePointer final : public PointerEvents {
public:
    FakePointer() = default;
    explicit FakePointer(std::vector<std::string>& sharedJournal)
        : journal(sharedJournal) {}

    std::optional<Subscription> monitorLeftDrags(std::function<void()> handler) override {
        return add("drag", std::move(handler), drags_);
    }
    std::optional<Subscription> monitorLeftUps(std::function<void()> handler) override {
        return add("up", std::move(handler), ups_);
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
    bool refuses = false;

private:
    std::vector<std::string> ownJournal_;

public:
    std::vector<std::string>& journal = ownJournal_;

private:
    std::optional<Subscription> add(const std::string& kind, std::function<void()> handler,
                                    Signal<>& signal) {
        journal.push_back("add " + kind);
        if (refuses) {
            return std::nullopt;
        }
        auto connection = signal.connect(std::move(handler));
        return Subscription(
            [this, kind, connection = std::make_shared<Subscription>(std::move(connection))] {
                journal.push_back("remove " + kind);
                connection->cancel();
            });
    }

    Signal<> drags_;
    Signal<> ups_;
};

} // namespace nivu::test
