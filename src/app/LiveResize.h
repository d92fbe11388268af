// A live resize: from the first resize event to the mouse-up or 0.5 s without events. Shows the
// badge beside the pointer meanwhile and hands the last size to the store once, at the end.
#pragma once

#include "accessibility/AccessibilityObserver.h"
#include "common/WeakAnchor.h"
#include "input/GlobalMouseMonitor.h"
#include "memory/SizeMemory.h"
#include "platform/PointerEvents.h"
#include "platform/Scheduler.h"
#include "platform/Shell.h"
#include "ui/IndicatorPanel.h"

#include <functional>
#include <memory>
#include <optional>

namespace nivu {

class LiveResize {
public:
    using ResizedWindowInfo = AccessibilityObserver::ResizedWindowInfo;
    static constexpr Duration resizeIdleTimeout{500};

    LiveResize(Scheduler& scheduler, PointerEvents& pointer, GlobalMouseMonitor& mouseMonitor,
               Shell& shell, std::function<SizeMemory&()> sizeMemory);
    LiveResize(const LiveResize&) = delete;
    LiveResize& operator=(const LiveResize&) = delete;

    void handleResize(const ResizedWindowInfo& info);
    void followPointer(Point point);
    void endResize();
    void restartResizeIdleTimer();
    // At shut-down: the pending end is dropped and nothing is recorded.
    void cancelIdleTimer() { resizeIdleTimer_.reset(); }

    bool isResizing() const { return isResizing_; }
    const std::optional<ResizedWindowInfo>& lastResizeInfo() const { return lastResizeInfo_; }

private:
    IndicatorPanel& indicatorPanel();

    Scheduler& scheduler_;
    PointerEvents& pointer_;
    GlobalMouseMonitor& mouseMonitor_;
    Shell& shell_;
    std::function<SizeMemory&()> sizeMemory_;

    bool isResizing_ = false;
    std::optional<ResizedWindowInfo> lastResizeInfo_;
    std::optional<Subscription> resizeIdleTimer_;
    std::unique_ptr<IndicatorPanel> indicatorPanel_;
    WeakAnchor<LiveResize> anchor_{this};
};

} // namespace nivu
