// The live size badge beside the pointer: its text, the label's centring and its placement.
#pragma once

#include "common/Geometry.h"
#include "platform/IndicatorView.h"

#include <memory>
#include <string>

namespace nivu {

class IndicatorPanel {
public:
    static constexpr double width = 120;
    static constexpr double height = 28;
    static constexpr double pointerOffset = 16;

    explicit IndicatorPanel(std::unique_ptr<IndicatorView> view);

    // "1280 × 720": whole numbers, halves away from zero.
    static std::string sizeText(Size size);

    // Shows the size; nothing is laid out again when the text is unchanged.
    void update(Size size);
    // Top-left corner 16 points right of and below the pointer. Where the monitor under the
    // pointer has no room on a side, the badge goes to the pointer's other side, 16 points
    // away, so that it never leaves the screen that the user looks at.
    void moveNearPointer(Point pointer);
    void show() { view_->orderFront(); }
    void hide() { view_->orderOut(); }

    const std::string& text() const { return text_; }

private:
    std::unique_ptr<IndicatorView> view_;
    std::string text_;
};

} // namespace nivu
