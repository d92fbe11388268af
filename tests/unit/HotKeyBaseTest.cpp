// What every hot-key backend gets from the shared bookkeeping: which combinations are refused
// before the platform is asked, which presses reach the handler, and what is let go.
#include "backend/HotKeyBase.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace nivu::backend {
namespace {

using enum Modifier;
constexpr std::uint32_t keyR = 15, keySpace = 0x31, noKey = 0x34; // virtual key codes

// A platform that grabs every combination but those on the keys it is told to refuse.
class GrabbingHotKeys final : public HotKeyBase {
public:
    std::set<int> refusedKeys; // evdev codes
    std::map<Number, KeyCombination> grabbed;
    int releases = 0;
    std::vector<HotKeyIdentifier> presses;

    GrabbingHotKeys() {
        installEventHandler([this](HotKeyIdentifier identifier) { presses.push_back(identifier); });
    }
    void press(int evdevCode, Modifiers modifiers) {
        for (const auto& [number, combination] : grabbed) {
            if (combination == KeyCombination{evdevCode, modifiers}) {
                pressed(number);
            }
        }
    }
    void loseTo(int evdevCode) { // another program takes the key meanwhile
        for (auto& [number, registration] : registrations()) {
            registration.held =
                registration.held && registration.combination.evdevCode != evdevCode;
        }
    }

private:
    bool grab(Number number, const KeyCombination& combination) override {
        if (refusedKeys.contains(combination.evdevCode)) {
            return false;
        }
        grabbed[number] = combination;
        return true;
    }
    void release(Number number, const KeyCombination&) override {
        grabbed.erase(number);
        ++releases;
    }
};

TEST(HotKeyBaseTest, KeysWithoutPositionOrModifiersAndTakenCombinationsAreRefused) {
    GrabbingHotKeys platform;
    platform.refusedKeys = {57}; // space: another program's
    const struct {
        std::uint32_t key;
        Modifiers modifiers;
        bool registered;
    } rows[] = {
        {keyR, {command, option}, true},
        {keyR, {command, option}, false}, // Nivu holds it already
        {keyR, {command, option, shift}, true},
        {keySpace, {control}, false}, // the platform refuses it
        {noKey, {control}, false},
        {0x10000 + keyR, {control}, false},
        {keyR, {}, false}, // a bare key would be taken from every program
    };
    std::vector<std::unique_ptr<HotKeyHandle>> handles;
    for (const auto& row : rows) {
        handles.push_back(platform.registerHotKey(row.key, row.modifiers, {1, row.key}));
        EXPECT_EQ(handles.back() != nullptr, row.registered) << row.key;
    }
    EXPECT_EQ(platform.grabbed.size(), 2u);
}

TEST(HotKeyBaseTest, PressesReachTheHandlerWhileHeldAndAReleasedCombinationIsFreeAgain) {
    GrabbingHotKeys platform;
    auto first = platform.registerHotKey(keyR, {command, option}, {1, 1});
    auto second = platform.registerHotKey(keySpace, {control}, {1, 2});
    platform.press(19, {command, option});
    platform.press(19, {command}); // not registered
    EXPECT_EQ(platform.presses, (std::vector<HotKeyIdentifier>{{1, 1}}));

    platform.unregisterHotKey(std::move(first));
    EXPECT_EQ(platform.releases, 1);
    platform.unregisterHotKey(nullptr); // nothing to let go
    auto again = platform.registerHotKey(keyR, {command, option}, {1, 3});
    ASSERT_NE(again, nullptr);
    platform.press(19, {command, option});
    EXPECT_EQ(platform.presses.back(), (HotKeyIdentifier{1, 3}));

    // A registration that the platform no longer holds hears nothing, is not let go when it
    // ends, and does not stand in the way of the same combination.
    platform.loseTo(57);
    platform.presses.clear();
    platform.press(57, {control});
    EXPECT_TRUE(platform.presses.empty());
    EXPECT_NE(platform.registerHotKey(keySpace, {control}, {1, 4}), nullptr);
    platform.unregisterHotKey(std::move(second));
    EXPECT_EQ(platform.releases, 1);
}

} // namespace
} // namespace nivu::backend
