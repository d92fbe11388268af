// The toolkit side of the size badge: a 120 x 28 floating panel with one text label.
#pragma once

#include "common/Geometry.h"

#include <optional>
#include <string>

namespace nivu {

class IndicatorView {
public:
    IndicatorView() = default;
    IndicatorView(const IndicatorView&) = delete;
    IndicatorView& operator=(const IndicatorView&) = delete;
    virtual ~IndicatorView() = default;

    // Sets the label's text and sizes the label to fit it; returns the label's new size.
    virtual Size setLabelText(const std::string& text) = 0;
    // Places the label inside the panel (origin at the panel's lower left, y up).
    virtual void setLabelOrigin(Point origin) = 0;
    // Moves the panel so that its lower-left corner is at origin (screen coordinates, y up).
    virtual void setFrameOrigin(Point origin) = 0;
    virtual Size frameSize() const = 0;
    // The frame of the monitor that holds point (screen coordinates, y up); nothing when no
    // monitor holds it.
    virtual std::optional<Rect> screenFrameAt(Point point) const = 0;
    // Shows the panel above other windows without activating Nivu.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
};

} // namespace nivu
