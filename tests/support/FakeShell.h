// A shell whose views record what the controller asks of them.
#pragma once

#include "platform/Shell.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace nivu::test {

class FakeIndicatorView final : public IndicatorView {
public:
    struct State {
        bool visible = false;
        int orderFrontCount = 0;
        std::vector<std::string> texts;
        Point labelOrigin;
        Point frameOrigin;
        double characterWidth = 7; // label width per byte of text
    };

    explicit FakeIndicatorView(State& state)
        : state_(state) {}

    Size setLabelText(const std::string& text) override {
        state_.texts.push_back(text);
        return {state_.characterWidth * static_cast<double>(text.size()), 16};
    }
    void setLabelOrigin(Point origin) override { state_.labelOrigin = origin; }
    void setFrameOrigin(Point origin) override { state_.frameOrigin = origin; }
    Size frameSize() const override { return {120, 28}; }
    void orderFront() override {
        state_.visible = true;
        ++state_.orderFrontCount;
    }
    void orderOut() override { state_.visible = false; }

private:
    State& state_;
};

class FakeStatusItem final : public StatusItem {
public:
    struct State {
        std::string image;
        std::string accessibilityDescription;
        Menu menu;
    };

    FakeStatusItem(State& state, std::vector<std::string>& journal)
        : state_(state)
        , journal_(journal) {}

    bool setImage(const std::string& name, const std::string& description) override {
        journal_.push_back("status item image " + name);
        state_.image = name;
        state_.accessibilityDescription = description;
        return true;
    }
    void setMenu(Menu menu) override {
        journal_.push_back("status item menu");
        state_.menu = std::move(menu);
    }
    void setEntryHidden(std::size_t index, bool hidden) override {
        journal_.push_back("hide entry " + std::to_string(index) + (hidden ? "" : " (show)"));
        if (index < state_.menu.size()) {
            state_.menu[index].hidden = hidden;
        }
    }
    std::size_t entryCount() const override { return state_.menu.size(); }

private:
    State& state_;
    std::vector<std::string>& journal_;
};

class FakeShell final : public Shell {
public:
    FakeShell() = default;
    explicit FakeShell(std::vector<std::string>& sharedJournal)
        : journal(sharedJournal) {}

    std::unique_ptr<IndicatorView> createIndicatorView() override {
        ++indicatorViewsCreated;
        return std::make_unique<FakeIndicatorView>(indicator);
    }
    std::unique_ptr<StatusItem> createStatusItem() override {
        journal.push_back("create status item");
        return std::make_unique<FakeStatusItem>(statusItem, journal);
    }
    std::string localizedString(const std::string& key, const std::string& comment) override {
        comments[key] = comment;
        const auto found = translations.find(key);
        return found == translations.end() ? key : found->second;
    }
    void showAccessibilityPrompt() override { journal.push_back("accessibility prompt"); }
    // Records the menu; onPopUp plays the user (choosing an entry, or not) while it is open.
    void popUpMenu(Menu menu, Point location) override {
        journal.push_back("pop up menu");
        poppedUpMenus.push_back(menu);
        popUpLocations.push_back(location);
        if (onPopUp) {
            onPopUp(menu);
        }
    }
    void showSettingsWindow() override { journal.push_back("settings window"); }
    void showAboutPanel() override { journal.push_back("about panel"); }
    void terminate() override { journal.push_back("terminate"); }

    FakeIndicatorView::State indicator;
    FakeStatusItem::State statusItem;
    int indicatorViewsCreated = 0;
    std::map<std::string, std::string> translations;
    std::map<std::string, std::string> comments;
    std::vector<Menu> poppedUpMenus;
    std::vector<Point> popUpLocations;
    std::function<void(const Menu&)> onPopUp;

private:
    std::vector<std::string> ownJournal_;

public:
    std::vector<std::string>& journal = ownJournal_;
};

} // namespace nivu::test
