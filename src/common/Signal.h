// Synchronous signals with owning subscription tokens: how the core tells observers about changes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace nivu {

// Keeps a connection alive; cancelling it (or destroying it) disconnects. Movable, not copyable.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel)
        : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept
        : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            cancel();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { cancel(); }

    void cancel() {
        if (auto cancel = std::exchange(cancel_, {})) {
            cancel();
        }
    }

private:
    std::function<void()> cancel_;
};

// Calls every connected slot, in connection order, synchronously on emit. Slots may connect or
// disconnect (themselves or others) while being called; a slot disconnected during an emission
// is not called afterwards.
template <typename... Args> class Signal {
public:
    using Slot = std::function<void(const Args&...)>;

    [[nodiscard]] Subscription connect(Slot slot) {
        const auto id = state_->nextId++;
        state_->slots.emplace(id, std::make_shared<Slot>(std::move(slot)));
        return Subscription([weak = std::weak_ptr<State>(state_), id] {
            if (auto state = weak.lock()) {
                state->slots.erase(id);
            }
        });
    }

    void emit(const Args&... args) const {
        const auto state = state_;
        const std::vector<std::pair<std::uint64_t, std::shared_ptr<Slot>>> snapshot(
            state->slots.begin(), state->slots.end());
        for (const auto& [id, slot] : snapshot) {
            if (state->slots.contains(id)) {
                (*slot)(args...);
            }
        }
    }

    [[nodiscard]] std::size_t connectionCount() const { return state_->slots.size(); }

private:
    struct State {
        std::uint64_t nextId = 0;
        std::map<std::uint64_t, std::shared_ptr<Slot>> slots;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace nivu
