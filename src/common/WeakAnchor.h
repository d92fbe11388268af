// Weak references to an owner for callbacks and delayed tasks that may outlive it.
#pragma once

#include <memory>
#include <utility>

namespace nivu {

// Member of the owner; callbacks made through weakly() do nothing once the owner is gone.
template <typename Owner> class WeakAnchor {
public:
    explicit WeakAnchor(Owner* owner)
        : anchor_(std::make_shared<Owner*>(owner)) {}
    WeakAnchor(const WeakAnchor&) = delete;
    WeakAnchor& operator=(const WeakAnchor&) = delete;

    std::weak_ptr<Owner*> weak() const { return anchor_; }

    // Wraps f(owner, args...) so that it runs only while the owner exists.
    template <typename F> auto weakly(F f) const {
        return [weak = weak(), f = std::move(f)](auto&&... args) {
            if (const auto owner = weak.lock()) {
                f(**owner, std::forward<decltype(args)>(args)...);
            }
        };
    }

private:
    std::shared_ptr<Owner*> anchor_;
};

} // namespace nivu
