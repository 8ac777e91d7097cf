#pragma once
// A profile file in the classic INI layout ("[Section]" lines, "Key=Value" lines), standing in for
// the system-wide WIN.INI that the launcher writes the database engine's settings to:
//   $LENDAR_PROFILE, or else win.ini beside the registry file (…/Orbelin/win.ini).

#include "platform/sys/Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sys {

std::filesystem::path ProfileFilePath();

// Sets Key=Value in Section. Section and key names are matched without regard to letter case and
// to blanks around them. An existing key's line is replaced where it stands; a missing key is added
// at the end of its section, a missing section at the end of the file; every other line stays
// byte for byte. The file is written atomically and created when missing. Section and key must not
// be empty and none of the three texts may hold a line break (nor "]" in the section, "=" in the
// key): such input is refused with a message and nothing is written.
Status WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                          const std::filesystem::path& file = ProfileFilePath());

// The value of Key in Section with blanks around it removed; nullopt when the file, section or key
// is missing. `status`, when given, receives a failure to read an existing file.
std::optional<std::string> ReadProfileString(std::string_view section, std::string_view key,
                                             const std::filesystem::path& file = ProfileFilePath(),
                                             Status* status = nullptr);

} // namespace sys
