// Warnings for the user: one line on stderr, which a terminal or the session log shows.
#include "common/Warning.h"

#include <iostream>

namespace nivu {

void warn(std::string_view message) {
    std::cerr << "nivu: " << message << std::endl;
}

} // namespace nivu
