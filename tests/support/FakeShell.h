// A shell whose views record what the controller asks of them.
#pragma once

#include "platform/Shell.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace nivu::test {

struct FakeIndicatorView final : IndicatorView {
    struct State {
        bool visible = false;
        int orderFrontCount = 0;
        std::vector<std::string> texts;
        Point frameOrigin;
        std::vector<Rect> screens; // none: no monitor holds the pointer
    };

    explicit FakeIndicatorView(State& state)
        : state(state) {}
    Size setLabelText(const std::string& text) override {
        state.texts.push_back(text);
        return {7 * static_cast<double>(text.size()), 16}; // 7 per byte of text
    }
    void setLabelOrigin(Point) override {}
    void setFrameOrigin(Point origin) override { state.frameOrigin = origin; }
    Size frameSize() const override { return {120, 28}; }
    std::optional<Rect> screenFrameAt(Point point) const override {
        for (const Rect& screen : state.screens) {
            if (point.x >= screen.origin.x && point.x < screen.right() &&
                point.y >= screen.origin.y && point.y < screen.top()) {
                return screen;
            }
        }
        return std::nullopt;
    }
    void orderFront() override {
        state.visible = true;
        ++state.orderFrontCount;
    }
    void orderOut() override { state.visible = false; }

    State& state;
};

struct FakeStatusItem final : StatusItem {
    explicit FakeStatusItem(Menu& menu)
        : menu(menu) {}
    bool setImage(const std::string&, const std::string&) override { return true; }
    void setMenu(Menu entries) override { menu = std::move(entries); }
    void setEntryHidden(std::size_t index, bool hidden) override { menu.at(index).hidden = hidden; }
    std::size_t entryCount() const override { return menu.size(); }

    Menu& menu;
};

class FakeShell final : public Shell {
public:
    std::unique_ptr<IndicatorView> createIndicatorView() override {
        return std::make_unique<FakeIndicatorView>(indicator);
    }
    std::unique_ptr<StatusItem> createStatusItem() override {
        return std::make_unique<FakeStatusItem>(statusMenu);
    }
    std::string localizedString(TextKey text) override {
        const auto found = translations.find(text.key);
        return found == translations.end() ? text.key : found->second;
    }
    void showAccessibilityPrompt() override { ++prompts; }
    // Records the menu; onPopUp plays the user (choosing an entry, or not) while it is open.
    void popUpMenu(Menu menu, Point location) override {
        poppedUpMenus.push_back(menu);
        popUpLocations.push_back(location);
        if (onPopUp) {
            onPopUp(menu);
        }
    }
    void showSettingsWindow() override { ++settingsWindows; }
    void showAboutPanel() override { ++aboutPanels; }
    void terminate() override { ++terminations; }

    FakeIndicatorView::State indicator;
    Menu statusMenu;
    int prompts = 0;
    int settingsWindows = 0;
    int aboutPanels = 0;
    int terminations = 0;
    std::map<std::string, std::string> translations;
    std::vector<Menu> poppedUpMenus;
    std::vector<Point> popUpLocations;
    std::function<void(const Menu&)> onPopUp;
};

} // namespace nivu::test
