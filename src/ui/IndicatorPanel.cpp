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
    const double frameHeight = view_->frameSize().height;
    view_->setFrameOrigin({pointer.x + pointerOffset, pointer.y - pointerOffset - frameHeight});
}

} // namespace nivu
