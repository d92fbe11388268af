// The user interface toolkit side of the controller, in Qt.
#pragma once

#include "platform/Shell.h"

#include <functional>

namespace nivu {

class QtShell final : public Shell {
public:
    explicit QtShell(std::function<bool()> compositing)
        : compositing_(std::move(compositing)) {}

    std::unique_ptr<IndicatorView> createIndicatorView() override;

private:
    std::function<bool()> compositing_;
};

} // namespace nivu
