#pragma once
// The kind of drive a folder lies on. On Linux a folder is on a fixed disk unless the file system
// mounted there is on a removable device, a network file system, an optical disc or memory. The
// mount is the one /proc/self/mountinfo gives for the folder (or, for a folder still to be made,
// for the nearest existing folder above it); a block device's removability is read from sysfs.

#include <filesystem>
#include <string_view>

namespace sys {

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

// The drive of `folder`; an empty text has none (NoRootDir).
DriveType DriveTypeOf(const std::filesystem::path& folder);

// The same from a mount table in the format of /proc/self/mountinfo and a sysfs root ("/sys").
DriveType DriveTypeOf(const std::filesystem::path& folder, std::string_view mountInfo,
                      const std::filesystem::path& sysRoot);

} // namespace sys
