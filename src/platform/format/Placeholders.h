// Texts with numbered places for their values ("%1 of %2"), so that each language puts the
// values in its own order.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace nv::platform {

// PATTERN with each "%1" to "%9" replaced by the value of that number in ARGS (a missing value
// by nothing) and each "%%" by "%"; any other '%' stays as it is. Values are put in as they
// are, never read as patterns themselves.
std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> args);

} // namespace nv::platform
