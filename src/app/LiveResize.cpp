// A live resize and its badge.
#include "app/LiveResize.h"

namespace nivu {

LiveResize::LiveResize(Scheduler& scheduler, PointerEvents& pointer,
                       GlobalMouseMonitor& mouseMonitor, Shell& shell,
                       std::function<SizeMemory&()> sizeMemory)
    : scheduler_(scheduler)
    , pointer_(pointer)
    , mouseMonitor_(mouseMonitor)
    , shell_(shell)
    , sizeMemory_(std::move(sizeMemory)) {}

IndicatorPanel& LiveResize::indicatorPanel() {
    if (!indicatorPanel_) {
        indicatorPanel_ = std::make_unique<IndicatorPanel>(shell_.createIndicatorView());
    }
    return *indicatorPanel_;
}

void LiveResize::handleResize(const ResizedWindowInfo& info) {
    if (!isResizing_) {
        isResizing_ = true;
        mouseMonitor_.start();
        indicatorPanel().show();
    }
    lastResizeInfo_ = info;
    indicatorPanel().update(info.size);
    indicatorPanel().moveNearPointer(pointer_.pointerLocation());
    restartResizeIdleTimer();
}

void LiveResize::followPointer(Point point) {
    indicatorPanel().moveNearPointer(point);
}

void LiveResize::restartResizeIdleTimer() {
    resizeIdleTimer_.reset();
    resizeIdleTimer_ =
        scheduler_.startTimer(resizeIdleTimeout, /*repeats=*/false,
                              anchor_.weakly([](LiveResize& self) { self.endResize(); }));
}

void LiveResize::endResize() {
    if (!isResizing_) {
        return;
    }
    isResizing_ = false;
    mouseMonitor_.stop();
    resizeIdleTimer_.reset();
    indicatorPanel().hide();
    if (lastResizeInfo_ && lastResizeInfo_->bundleIdentifier) {
        sizeMemory_().recordSize(lastResizeInfo_->size, *lastResizeInfo_->bundleIdentifier,
                                 lastResizeInfo_->windowIdentifier);
    }
    lastResizeInfo_.reset();
}

} // namespace nivu
