// What the controller asks of the user interface toolkit.
#pragma once

#include "platform/IndicatorView.h"

#include <memory>

namespace nivu {

class Shell {
public:
    Shell() = default;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;
    virtual ~Shell() = default;

    // A new, hidden size badge. Never fails.
    virtual std::unique_ptr<IndicatorView> createIndicatorView() = 0;
};

} // namespace nivu
