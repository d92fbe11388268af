// A shell whose views record what the controller asks of them.
#pragma once

#include "platform/Shell.h"

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

class FakeShell final : public Shell {
public:
    std::unique_ptr<IndicatorView> createIndicatorView() override {
        ++indicatorViewsCreated;
        return std::make_unique<FakeIndicatorView>(indicator);
    }

    FakeIndicatorView::State indicator;
    int indicatorViewsCreated = 0;
};

} // namespace nivu::test
