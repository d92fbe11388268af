// The application's icon in the panel's tray, with its menu.
#pragma once

#include "platform/Menu.h"

#include <string>

namespace nivu {

class StatusItem {
public:
    StatusItem() = default;
    StatusItem(const StatusItem&) = delete;
    StatusItem& operator=(const StatusItem&) = delete;
    virtual ~StatusItem() = default;

    // Shows the named image resource; false (and no image) when the resource is missing.
    virtual bool setImage(const std::string& name, const std::string& accessibilityDescription) = 0;
    // Attaches the menu that the item opens on click.
    virtual void setMenu(Menu menu) = 0;
    // Hides or shows one entry of the attached menu; an index out of range is ignored.
    virtual void setEntryHidden(std::size_t index, bool hidden) = 0;
    virtual std::size_t entryCount() const = 0;
};

} // namespace nivu
