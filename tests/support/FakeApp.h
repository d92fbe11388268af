// The controller built on a full set of fakes, for tests of what it does: a pointer the test
// moves and a size store that records every call.
#pragma once

#include "FakeDesktop.h"
#include "FakeHotKeys.h"
#include "FakeShell.h"
#include "InMemoryUserDefaults.h"
#include "VirtualClock.h"
#include "app/AppDelegate.h"
#include "memory/SizeMemory.h"

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

struct RecordingSizeMemory final : SizeMemory {
    struct Record {
        Size size;
        std::string bundleIdentifier;
        std::optional<std::string> windowIdentifier;
        friend bool operator==(const Record&, const Record&) = default;
    };
    std::optional<Size> rememberedSize(std::string_view bundle,
                                       const std::optional<std::string>& window) const override {
        const auto found = sizes.find({std::string(bundle), window});
        return found == sizes.end() ? std::nullopt : std::optional<Size>(found->second);
    }
    void recordSize(Size size, std::string_view bundle,
                    const std::optional<std::string>& window) const override {
        records.push_back({size, std::string(bundle), window});
    }

    std::map<std::pair<std::string, std::optional<std::string>>, Size> sizes;
    mutable std::vector<Record> records;
};

struct FakeApp {
    FakeDesktop desktop;
    VirtualClock clock;
    FakePointer pointer;
    FakeShell shell;
    RecordingSizeMemory memory;
    InMemoryUserDefaults defaults;
    AppSettings settings{defaults};
    FakeHotKeys hotKeyPlatform;
    HotKeyRegistry hotKeys{hotKeyPlatform};
    AppDelegate delegate{AppEnvironment{desktop, clock, pointer, shell, hotKeys,
                                        [this]() -> SizeMemory& { return memory; },
                                        [this]() -> AppSettings& { return settings; }}};
};

} // namespace nivu::test
