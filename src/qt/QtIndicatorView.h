// The size badge as a Qt window: 120 x 28, black at 0.82 with fully rounded ends, white
// semibold text; never focused, never activating Nivu, transparent to clicks, above other
// windows and outside the window manager's lists. On X11 it bypasses the window manager; on
// Wayland, where the compositor side places it, it is a plain window: Qt 6.9.1 and later refuse
// a tooltip whose parent window has had no input, and Nivu's windows may have had none.
#pragma once

#include "platform/IndicatorView.h"

#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace nivu {

// Where one of Nivu's windows goes, where Qt cannot place it (a Wayland client cannot place
// its windows).
struct Placement {
    QPoint topLeft;
    // Instead: at the pointer, where it is when the compositor side takes the placement (a
    // tray icon's menu, where only the compositor knows the pointer).
    bool atPointer = false;
    // Only a window that takes the focus (a menu) keeps it when shown.
    bool takesFocus = false;
    // While a user moves or resizes a window, the compositor itself keeps this one so far beside
    // the pointer (to the other side where a screen's edge leaves no room), in the frame of each
    // step of the pointer; topLeft then counts only outside a drag.
    std::optional<int> besidePointer;
};
// Puts one of Nivu's windows (by its title) there; empty where Qt's own move places them.
using WindowPlacer = std::function<void(const QString& title, const Placement& placement)>;

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
