#pragma once
// Where the start-up password lives: a value of the installation's registry key. When the value
// is absent, no password is asked at start-up.

#include <string_view>

namespace password {

inline constexpr std::string_view kRegistryValue = "Password";

} // namespace password
