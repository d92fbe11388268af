// The live size badge's logic.
#include "ui/IndicatorPanel.h"

namespace nivu {

IndicatorPanel::IndicatorPanel(std::unique_ptr<IndicatorView> view)
    : view_(std::move(view)) {}

std::string IndicatorPanel::sizeText(Size size) {
    return std::to_string(roundHalfAwayFromZero(size.width)) + " \u00D7 " +
           std::to_string(roundHalfAwayFromZero(size.height));
}

void IndicatorPanel::update(Size size) {
    std::string text = sizeText(size);
    if (text == text_) {
        return;
    }
    text_ = std::move(text);
    const Size label = view_->setLabelText(text_);
    view_->setLabelOrigin({(width - label.width) * 0.5, (height - label.height) * 0.5});
}

void IndicatorPanel::moveNearPointer(Point pointer) {
    const Size frame = view_->frameSize();
    Point origin{pointer.x + pointerOffset, pointer.y - pointerOffset - frame.height};
    if (const auto screen = view_->screenFrameAt(pointer)) {
        if (origin.x + frame.width > screen->right()) {
            origin.x = pointer.x - pointerOffset - frame.width;
        }
        if (origin.y < screen->origin.y) {
            origin.y = pointer.y + pointerOffset;
        }
    }
    view_->setFrameOrigin(origin);
}

} // namespace nivu
