// The size badge as a Qt window: 120 x 28, black at 0.82 with fully rounded ends, white
// semibold text; never focused, never activating Nivu, transparent to clicks, above other
// windows and outside the window manager's lists. On X11 it bypasses the window manager; on
// Wayland, where the compositor side places it, it is a plain window: Qt 6.9.1 and later refuse
// a tooltip whose parent window has had no input, and Nivu's windows may have had none.
#pragma once

#include "platform/IndicatorView.h"
#include "qt/Placement.h"

#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace nivu {

class QtIndicatorView final : public IndicatorView {
public:
    // compositing tells, at each show, whether translucency works on the screen now.
    explicit QtIndicatorView(std::function<bool()> compositing, WindowPlacer placeWindow = {});
    ~QtIndicatorView() override;

    Size setLabelText(const std::string& text) override;
    void setLabelOrigin(Point origin) override;
    void setFrameOrigin(Point origin) override;
    Size frameSize() const override;
    std::optional<Rect> screenFrameAt(Point point) const override;
    void orderFront() override;
    void orderOut() override;

    QWidget& widget();
    QRect labelRect() const;
    QString labelText() const;
    // The text of the last paint, which follows labelText() within a frame.
    QString paintedText() const;

private:
    class Badge;
    std::function<bool()> compositing_;
    WindowPlacer placeWindow_;
    std::optional<QPoint> placed_;
    std::unique_ptr<Badge> badge_;
    bool showPending_ = false;
};

} // namespace nivu
