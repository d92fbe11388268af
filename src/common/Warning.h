// Warnings for the user: one line on stderr, which a terminal or the session log shows.
#pragma once

#include <string_view>

namespace nivu {

void warn(std::string_view message);

} // namespace nivu
